#include "run/program.hpp"

#include <cstdlib>
#include <iostream>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "plot/plplot_plotter.hpp"
#include "run/basal_area.hpp"
#include "run/batch.hpp"
#include "run/companion_file.hpp"
#include "run/csv_tables.hpp"
#include "run/dialogue.hpp"
#include "run/options.hpp"
#include "run/pair_input.hpp"
#include "run/plot_selection.hpp"
#include "run/store.hpp"
#include "run/tables.hpp"
#include "run/warning_text.hpp"
#include "text/numfmt.hpp"
#include "text/stops.hpp"
#include "text/temporary_files.hpp"

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
    write_line(con, " Program " + std::string(program_name(edition)) +
                        " computes total Basal Area and Basal Area increment");
    for (std::string_view line : banner_text) write_line(con, line);
    write_line(con, " Mx series= " + int_field(max_series, 4) + " Mx age= " +
                        int_field(max_years, 4) + " Mx input files= " + int_field(max_files, 4));
    write_line(con, " If any of your jobs dimesions exceeds these values quit now and call");
    write_line(con, " your local programmer. vrn-ostk");
    write_line(con);
    pause(con, " Hit RETURN to Continue");
}

}  // namespace

namespace {

void run(Edition edition, Store& store, Console& con, const RunOptions& options) {
    write_banner(edition, con);
    const Job job = input_dialogue(con);
    // The plots keep their settings, their device and the series last
    // plotted for the whole run.
    PlotSession plots;
    PlplotPlotter plotter = PlplotPlotter::from_environment(con.out, options.device);
    int selected_series = 0;
    run_job(job, edition, store, con, options,
            [&](const Job& j, const Store& s, const std::string&, int) {
                const std::string title = j.ring_file_name(s.run.file_index);
                return plot_selection(plot_data_of(s, title), selected_series, plots, con,
                                      plotter) == PlotOutcome::quit
                           ? PairOutcome::quit
                           : PairOutcome::next;
            });
}

}  // namespace

int run_program(Edition edition, Console& con, const RunOptions& options,
                const std::optional<BatchInputs>& batch) {
    Store store;
    return run_program(edition, con, store, options, batch);
}

int run_program(Edition edition, Console& con, Store& store, const RunOptions& options,
                const std::optional<BatchInputs>& batch) {
    try {
        if (batch)
            return finish_output(con.out, con.err, run_batch(edition, con, store, options, *batch));
        run(edition, store, con, options);
        return finish_output(con.out, con.err, normal_status);
    } catch (const RunEnded& stop) {
        return finish_output(con.out, con.err, stop.status);
    } catch (const std::runtime_error& failure) {  // InputEnded, FileFailure, a failed read
        return end_with_failure(con, failure);
    } catch (const std::bad_alloc& failure) {
        return end_with_failure(con, failure);
    }
}

int program_main(Edition edition, int argc, char** argv) {
    take_over_signals();
    const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CommandLine line = parse_command_line(args);
    if (!line.error.empty()) {
        std::cerr << program_name(edition) << ": " << line.error << '\n'
                  << usage_line(edition) << '\n';
        return bad_command_line_status;
    }
    if (line.request == CommandLine::Request::help) {
        std::cout << help_text(edition);
        return finish_output(std::cout, std::cerr, normal_status);
    }
    if (line.request == CommandLine::Request::version) {
        std::cout << version_text(edition);
        return finish_output(std::cout, std::cerr, normal_status);
    }
    set_plplot_fonts(edition);
    std::ios::sync_with_stdio(false);
    Console con(std::cin, std::cout, std::cerr);
    const int status = run_program(edition, con, line.run, line.batch);
    std::cout.flush();
    return status;
}

}  // namespace ruvela
