#include "run/program.hpp"

#include <cstdlib>
#include <iostream>

#include "text/stops.hpp"

#ifndef RUVELA_PLPLOT_FONT_DIR
#error "RUVELA_PLPLOT_FONT_DIR must name the folder of PLplot's font files"
#endif

namespace ruvela {

void set_plplot_fonts(Edition edition) {
    ::setenv("PLPLOT_LIB", RUVELA_PLPLOT_FONT_DIR, 1);
    if (edition == Edition::v11) ::setenv("PGPLOT_DIR", RUVELA_PLPLOT_FONT_DIR, 1);
}

namespace {

void write_banner(Edition edition, Console& con) {
    write_line(con);
    write_line(con);
    write_line(con, edition == Edition::v11
                        ? " Program Ruvela_v11 computes total Basal Area and Basal Area increment"
                        : " Program Ruvela_v12 computes total Basal Area and Basal Area increment");
}

}  // namespace

int run_program(Edition edition, Console& con) {
    try {
        write_banner(edition, con);
        con.out.flush();
        return 0;
    } catch (const RunEnded& stop) {
        con.out.flush();
        return stop.status;
    } catch (const InputEnded& e) {
        con.out.flush();
        con.err << "Ruvela: " << e.what() << '\n';
        return failure_status;
    } catch (const FileFailure& e) {
        con.out.flush();
        con.err << "Ruvela: " << e.what() << '\n';
        return failure_status;
    }
}

int program_main(Edition edition) {
    set_plplot_fonts(edition);
    std::ios::sync_with_stdio(false);
    Console con(std::cin, std::cout, std::cerr);
    const int status = run_program(edition, con);
    std::cout.flush();
    return status;
}

}  // namespace ruvela
