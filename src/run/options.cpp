#include "run/options.hpp"

#include <algorithm>

#include "plot/plplot_plotter.hpp"

#ifndef RUVELA_VERSION
#error "RUVELA_VERSION must give the project's version"
#endif

namespace ruvela {

namespace {

constexpr std::string_view device_option = "--device";
constexpr std::string_view device_with_name = "--device=";

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args) {
    CommandLine line;
    bool help = false, version = false;
    for (std::size_t k = 0; k < args.size() && line.error.empty(); ++k) {
        const std::string_view arg = args[k];
        if (arg == "--help") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--csv") {
            line.run.write_csv = true;
        } else if (arg == device_option || arg.starts_with(device_with_name)) {
            std::string_view name = arg.substr(std::min(arg.size(), device_with_name.size()));
            if (arg == device_option && k + 1 < args.size()) name = args[++k];
            if (name.empty()) line.error = "option --device needs a device name";
            line.run.device = name;
        } else if (arg.starts_with("-") && arg != "-") {
            line.error = "unknown option '" + std::string(arg) + "'";
        } else {
            line.error = "unexpected argument '" + std::string(arg) + "'";
        }
    }
    if (help)
        line.request = CommandLine::Request::help;
    else if (version)
        line.request = CommandLine::Request::version;
    return line;
}

std::string usage_line(Edition edition) {
    return "Usage: " + std::string(program_name(edition)) +
           " [--help] [--version] [--csv] [--device NAME]";
}

std::string help_text(Edition edition) {
    const std::string name(program_name(edition));
    return name +
           " computes, for every series of tree-ring widths, the basal area of the\n"
           "stem and its yearly increment, and writes them as tables and plots.\n"
           "\n" +
           usage_line(edition) +
           "\n"
           "\n"
           "The program asks for its input on standard input: one pair of files or two\n"
           "list files of pairs, the kind and read format of the companion file (pith\n"
           "offsets or diameters), and the layout of the per-file table.\n"
           "\n"
           "Options:\n"
           "  --help          show this help and end\n"
           "  --version       show the program's version and PLplot's, and end\n"
           "  --csv           also write the tables as CSV: <stem>_BAI.csv for each pair\n"
           "                  and summary.csv for the run\n"
           "  --device NAME   PLplot device for plots on the screen (xcairo, xwin, null,\n"
           "                  ...); wins over RUVELA_DEVICE\n"
           "\n"
           "Environment:\n"
           "  RUVELA_DEVICE   PLplot device for plots on the screen; when unset or empty,\n"
           "                  the X11 device if a display is available, otherwise none\n"
           "\n"
           "Exit status:\n"
           "  0  normal end, and after --help or --version\n"
           "  1  the program stopped at a problem it found in its input (count check,\n"
           "     limits, bad data)\n"
           "  2  standard input ended, a file could not be opened or written, or the\n"
           "     command line is bad\n"
           "\n"
           "More in: man ruvela, and README.md in the source folder (installed in\n"
           "share/doc/ruvela under the installation prefix).\n";
}

std::string version_text(Edition edition) {
    return std::string(program_name(edition)) + " (Ruvela) " + std::string(project_version()) +
           ", edition " + std::to_string(static_cast<int>(edition)) + "\nbuilt with PLplot " +
           std::string(plplot_version()) + "\n";
}

std::string_view project_version() {
    return RUVELA_VERSION;
}

}  // namespace ruvela
