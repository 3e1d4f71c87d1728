#include "run/options.hpp"

#include <algorithm>
#include <charconv>

#include "plot/plplot_plotter.hpp"
#include "run/companion_file.hpp"
#include "text/fixed_text.hpp"

#ifndef RUVELA_VERSION
#error "RUVELA_VERSION must give the project's version"
#endif

namespace ruvela {

namespace {

// Whether args[k] is option `name` with a value, as "--name VALUE" or
// "--name=VALUE"; `value` is then set (empty when missing) and k moved past
// it. "--namefoo" is another option.
bool take_value(std::span<const std::string_view> args, std::size_t& k, std::string_view name,
                std::string_view& value) {
    const std::string_view arg = args[k];
    if (!arg.starts_with(name)) return false;
    const std::string_view rest = arg.substr(name.size());
    if (rest.empty()) {
        value = k + 1 < args.size() ? args[++k] : std::string_view{};
        return true;
    }
    if (!rest.starts_with('=')) return false;
    value = rest.substr(1);
    return true;
}

std::optional<OutputLayout> layout_named(std::string_view name) {
    if (name == "column") return OutputLayout::column;
    if (name == "decade") return OutputLayout::decade;
    return std::nullopt;
}

bool plots_target(std::string_view name) {
    return name.ends_with('/') || ends_with_ignoring_case(name, ".pdf") ||
           ends_with_ignoring_case(name, ".ps");
}

std::optional<int> positive_number(std::string_view text) {
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n <= 0) return std::nullopt;
    return n;
}

// The words of one command line and what they set.
struct Parse {
    CommandLine line;
    bool help = false, version = false;
    std::optional<CompanionKind> kind;
    BatchInputs inputs;
    std::vector<std::string_view> files;
    std::string_view batch_option;  // the first option that needs --kind

    void fail(std::string text) {
        if (line.error.empty()) line.error = std::move(text);
    }

    void word(std::span<const std::string_view> args, std::size_t& k);
    bool take_text(std::span<const std::string_view> args, std::size_t& k);
    void finish();
};

// The options whose value is any text that is not empty.
bool Parse::take_text(std::span<const std::string_view> args, std::size_t& k) {
    const struct {
        std::string_view name;
        std::string_view needs;
        std::string* value;
    } options[] = {
        {"--format", "a read format, such as (f6.1)", &inputs.format},
        {"--out", "a folder", &line.run.out_dir},
        {"--ring-list", "a file name", &inputs.ring_list},
        {"--companion-list", "a file name", &inputs.companion_list},
    };
    std::string_view value;
    for (const auto& option : options) {
        if (!take_value(args, k, option.name, value)) continue;
        if (batch_option.empty()) batch_option = option.name;
        if (value.empty())
            fail("option " + std::string(option.name) + " needs " + std::string(option.needs));
        *option.value = value;
        return true;
    }
    return false;
}

void Parse::word(std::span<const std::string_view> args, std::size_t& k) {
    const std::string_view arg = args[k];
    RunOptions& run = line.run;
    std::string_view value;
    const auto needs_kind = [&](std::string_view option) {
        if (batch_option.empty()) batch_option = option;
    };
    if (arg == "--help") {
        help = true;
    } else if (arg == "--version") {
        version = true;
    } else if (arg == "--csv") {
        run.write_csv = true;
    } else if (take_value(args, k, "--device", value)) {
        if (value.empty()) fail("option --device needs a device name");
        run.device = value;
    } else if (take_value(args, k, "--kind", value)) {
        kind = kind_named(value);
        if (!kind)
            fail("unknown kind '" + std::string(value) + "' for --kind (" + kind_names() + ")");
    } else if (take_value(args, k, "--layout", value)) {
        needs_kind("--layout");
        const auto layout = layout_named(value);
        if (!layout)
            fail("unknown layout '" + std::string(value) + "' for --layout (column or decade)");
        inputs.layout = layout.value_or(OutputLayout::column);
    } else if (take_value(args, k, "--plots", value)) {
        needs_kind("--plots");
        if (!plots_target(value))
            fail("option --plots needs FILE.pdf, FILE.ps or DIR/, not '" + std::string(value) +
                 "'");
        run.plots = value;
    } else if (take_text(args, k)) {
    } else if (take_value(args, k, "--tree-chars", value)) {
        needs_kind("--tree-chars");
        const auto n = positive_number(value);
        if (!n)
            fail("option --tree-chars needs a whole number above 0, not '" + std::string(value) +
                 "'");
        run.trees = true;
        run.tree_chars = n.value_or(0);
    } else if (arg == "--keep-going" || arg == "--strict" || arg == "--trees") {
        needs_kind(arg);
        run.keep_going = run.keep_going || arg == "--keep-going";
        run.strict = run.strict || arg == "--strict";
        run.trees = run.trees || arg == "--trees";
    } else if (arg.starts_with("-") && arg != "-") {
        fail("unknown option '" + std::string(arg) + "'");
    } else if (arg.empty() || arg == "-") {
        fail("unexpected argument '" + std::string(arg) + "'");
    } else {
        files.push_back(arg);
    }
}

void Parse::finish() {
    if (!kind) {
        if (!files.empty())
            fail("unexpected argument '" + std::string(files.front()) +
                 "': files on the command line need --kind");
        if (!batch_option.empty()) fail("option " + std::string(batch_option) + " needs --kind");
        return;
    }
    inputs.kind = *kind;
    if (!is_free_format(inputs.format)) {
        if (kind_info(inputs.kind).is_table())
            fail("option --format does not apply to --kind " +
                 std::string(kind_info(inputs.kind).name) +
                 ", whose companion files are tables with a header row");
        const std::string problem = read_format_problem(inputs.format, inputs.kind);
        if (!problem.empty())
            fail("option --format: the read format '" + inputs.format +
                 "' cannot be used: " + problem);
    }
    if (files.size() % 2 != 0)
        fail("ring-width file '" + std::string(files.back()) + "' has no companion file after it");
    for (std::size_t k = 0; k + 1 < files.size(); k += 2)
        inputs.pairs.push_back({std::string(files[k]), std::string(files[k + 1])});
    const bool lists = !inputs.ring_list.empty() || !inputs.companion_list.empty();
    if (lists && inputs.ring_list.empty()) fail("option --companion-list needs --ring-list");
    if (lists && inputs.companion_list.empty()) fail("option --ring-list needs --companion-list");
    if (lists && !files.empty())
        fail("file '" + std::string(files.front()) + "' beside --ring-list: give pairs one way");
    if (!lists && files.empty())
        fail("option --kind needs file pairs (RINGS COMPANION ...) or the two list files");
    line.batch = std::move(inputs);
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string_view> args) {
    Parse parse;
    for (std::size_t k = 0; k < args.size() && parse.line.error.empty(); ++k) parse.word(args, k);
    if (parse.line.error.empty()) parse.finish();
    CommandLine& line = parse.line;
    if (!line.error.empty()) line.batch.reset();
    if (parse.help)
        line.request = CommandLine::Request::help;
    else if (parse.version)
        line.request = CommandLine::Request::version;
    return line;
}

std::string usage_line(Edition edition) {
    const std::string name(program_name(edition));
    return "Usage: " + name + " [--help] [--version] [--csv] [--device NAME]\n" + "       " + name +
           " [OPTIONS] --kind KIND RINGS COMPANION [RINGS COMPANION ...]\n" + "       " + name +
           " [OPTIONS] --kind KIND --ring-list FILE --companion-list FILE";
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
           "Without --kind the program asks for its input on standard input: one pair of\n"
           "files or two list files of pairs, the kind and read format of the companion\n"
           "file (pith offsets or diameters), and the layout of the per-file table.\n"
           "With --kind it reads nothing from standard input: the pairs are given as\n"
           "ring-width file then companion file, or as the two list files, and every\n"
           "series' page and each pair's means can be drawn into one file (--plots).\n"
           "\n"
           "Options:\n"
           "  --help          show this help and end\n"
           "  --version       show the program's version and PLplot's, and end\n"
           "  --csv           also write the tables as CSV: <stem>_BAI.csv for each pair\n"
           "                  and summary.csv for the run\n"
           "  --device NAME   PLplot device for plots on the screen (xcairo, xwin, null,\n"
           "                  ...); wins over RUVELA_DEVICE\n"
           "\n"
           "Options of a run named on the command line:\n"
           "  --kind KIND     what the companion files hold: pith (rings missing to the\n"
           "                  pith), diameter (stem diameter, cm), d2pith (distance to\n"
           "                  the pith, mm) or proportional (a table of pith offset,\n"
           "                  distance to the pith and diameter per series)\n"
           "  --format FMT    read the companion files with this read format, such as\n"
           "                  (i3) or (f6.1); without it they are read freely: one value\n"
           "                  and the series ID per line, a header line passed over\n"
           "  --layout L      column (the default) or decade: the per-file table's layout\n"
           "  --ring-list FILE --companion-list FILE\n"
           "                  the pairs from two list files, one name a line\n"
           "  --out DIR       write every table, CSV file and plot file into DIR\n"
           "  --plots FILE.pdf | FILE.ps | DIR/\n"
           "                  draw every series' page and each pair's means page: one\n"
           "                  multi-page file, or one PNG a page in DIR\n"
           "  --keep-going    leave out a pair the program stops at, with a warning, and\n"
           "                  go on; the run then ends with status 1\n"
           "  --strict        end with status 1 when the run wrote any warning\n"
           "  --trees         also write the means of each tree's cores: <table>_trees.csv\n"
           "  --tree-chars N  a tree is the first N characters of a series ID (default:\n"
           "                  the ID without its final run of letters)\n"
           "\n"
           "Environment:\n"
           "  RUVELA_DEVICE   PLplot device for plots on the screen; when unset or empty,\n"
           "                  the X11 device if a display is available, otherwise none\n"
           "\n"
           "Exit status:\n"
           "  0  normal end, and after --help or --version\n"
           "  1  the program stopped at a problem it found in its input (count check,\n"
           "     limits, bad data), a pair was left out (--keep-going), or a warning was\n"
           "     written (--strict)\n"
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
