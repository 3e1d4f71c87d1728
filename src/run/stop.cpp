#include "run/stop.hpp"

#include "text/fixed_text.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

// The message lines as one line: each without the blanks around it.
std::string one_line(std::initializer_list<std::string_view> lines) {
    std::string reason;
    for (std::string_view line : lines) {
        if (!reason.empty()) reason += ' ';
        reason += trim(line);
    }
    return reason;
}

}  // namespace

void stop_run(Console& con, std::initializer_list<std::string_view> lines) {
    write_line(con);
    for (std::string_view line : lines) write_line(con, line);
    write_line(con, terminating_line);
    end_run(stop_status, one_line(lines));
}

void stop_with_lines(Console& con, std::initializer_list<std::string_view> lines) {
    write_line(con);
    for (std::string_view line : lines) write_line(con, line);
    end_run(stop_status, one_line(lines));
}

void stop_with_error_line(Console& con, std::string_view line) {
    con.err << line << '\n';
    end_run(stop_status, one_line({line}));
}

}  // namespace ruvela
