#include "run/program.hpp"

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "plot/plplot_plotter.hpp"
#include "run/basal_area.hpp"
#include "run/dialogue.hpp"
#include "run/pair_input.hpp"
#include "run/plot_selection.hpp"
#include "run/store.hpp"
#include "run/tables.hpp"
#include "text/numfmt.hpp"
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

constexpr std::string_view banner_text[] = {
    " from tree ring data.  The program requires radial treering data",
    " in decade format files and a file of either Pith Estimates, the ",
    " number of years missing to the pith (expressed as an integer) or a",
    " tree diameter measurement in centimeters (expressed as a real number).",
    " The optimal format for these files, though not strictly enforced, ",
    " would be something like:",
    "",
    " Pith Estimates (integers)        Diameters (real,centimeters)",
    "  2  core1a                          21.3   core1a",
    "  4  core1b                          45.2   core1b",
    "  1  core2a                          21.5   core2a",
    "  2  .etc..                          32.7   .etc..",
    "  0 .......                          40.1   .......",
    "",
    " What is required is that you know how to describe this file format",
    " in a fortran read statement e.g., (i2) for the example on the left,",
    " or (f4.1) for the example on the right.  The estimates or diameters",
    " must be in the same series order as the measurements in the data file.",
    "",
    " This version is currently configured with the following dimensions",
};

void write_banner(Edition edition, Console& con) {
    write_line(con);
    write_line(con);
    write_line(con, edition == Edition::v11
                        ? " Program Ruvela_v11 computes total Basal Area and Basal Area increment"
                        : " Program Ruvela_v12 computes total Basal Area and Basal Area increment");
    for (std::string_view line : banner_text) write_line(con, line);
    write_line(con, " Mx series= " + int_field(max_series, 4) + " Mx age= " +
                        int_field(max_years, 4) + " Mx input files= " + int_field(max_files, 4));
    write_line(con, " If any of your jobs dimesions exceeds these values quit now and call");
    write_line(con, " your local programmer. vrn-ostk");
    write_line(con);
    pause(con, " Hit RETURN to Continue");
}

void run(Edition edition, Store& store, Console& con) {
    write_banner(edition, con);
    input_dialogue(store, con);
    // The plots keep their settings, their device and the series last
    // plotted for the whole run.
    plot_session plots;
    PlplotPlotter plotter = PlplotPlotter::from_environment(con.out);
    int selected_series = 0;
    for (store.file_index = 1; store.file_index <= store.file_count; ++store.file_index) {
        start_pair(store);
        read_ring_width_file(store, con);
        read_companion_file(store, con);
        compute_basal_area(store);
        write_file_table(store, con);
        if (plot_selection(store, selected_series, plots, con, plotter) == PlotOutcome::quit) break;
    }
    write_summary_tables(store, edition);
    if (con.warnings > 0) {
        write_line(con);  // the last answer's prompt has no line end
        write_warning(con, std::to_string(con.warnings) + " warnings in this run; see above.");
    }
    write_line(con);
    write_line(con, " Normal Termination of Program");
}

}  // namespace

int run_program(Edition edition, Console& con) {
    Store store;
    return run_program(edition, con, store);
}

int run_program(Edition edition, Console& con, Store& store) {
    try {
        run(edition, store, con);
        con.out.flush();
        return 0;
    } catch (const RunEnded& stop) {
        con.out.flush();
        return stop.status;
    } catch (const std::runtime_error& failure) {  // InputEnded, FileFailure
        con.out.flush();
        con.err << "Ruvela: " << failure.what() << '\n';
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
