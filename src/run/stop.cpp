#include "run/stop.hpp"

#include "text/stops.hpp"

namespace ruvela {

void stop_run(Console& con, std::initializer_list<std::string_view> lines) {
    write_line(con);
    for (std::string_view line : lines) write_line(con, line);
    write_line(con, terminating_line);
    end_run(stop_status);
}

void stop_with_error_line(Console& con, std::string_view line) {
    con.err << line << '\n';
    end_run(stop_status);
}

}  // namespace ruvela
