#include "run/options.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>

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

// A plus-or-minus: a finite number not below 0, below a million.
std::optional<float> error_number(std::string_view text) {
    float x = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (error != std::errc() || end != text.data() + text.size() || !(x >= 0.0f) || x >= 1e6f)
        return std::nullopt;
    return x;
}

std::optional<int> positive_number(std::string_view text) {
    int n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || n <= 0) return std::nullopt;
    return n;
}

// Help lines of at most 60 characters keep --help within 78 columns.
constexpr Option options[] = {
    {OptionKey::help, "--help", "", false, "show this help and end"},
    {OptionKey::version, "--version", "", false,
     "show the program's version and PLplot's, and end"},
    {OptionKey::csv, "--csv", "", false,
     "also write the tables as CSV: <stem>_BAI.csv for each pair\n"
     "and summary.csv for the run"},
    {OptionKey::device, "--device", "NAME", false,
     "PLplot device for plots on the screen (xcairo, xwin, null,\n"
     "...); wins over RUVELA_DEVICE"},
    {OptionKey::kind, "--kind", "KIND", true,
     "what the companion files hold:"},  // and the kinds, from their table
    {OptionKey::format, "--format", "FMT", true,
     "read the companion files with this read format, such as\n"
     "(i3) or (f6.1); without it they are read freely: one value\n"
     "and the series ID per line, a header line passed over"},
    {OptionKey::layout, "--layout", "L", true,
     "column (the default) or decade: the per-file table's layout"},
    {OptionKey::ring_list, "--ring-list", "FILE", true,
     "the pairs from two list files, one name a line"},
    {OptionKey::companion_list, "--companion-list", "FILE", true, ""},
    {OptionKey::out, "--out", "DIR", true, "write every table, CSV file and plot file into DIR"},
    {OptionKey::plots, "--plots", "FILE.pdf | FILE.ps | DIR/", true,
     "draw every series' page and each pair's means page: one\n"
     "multi-page file, or one PNG a page in DIR"},
    {OptionKey::keep_going, "--keep-going", "", true,
     "leave out a pair the program stops at, with a warning, and\n"
     "go on; the run then ends with status 1"},
    {OptionKey::strict, "--strict", "", true, "end with status 1 when the run wrote any warning"},
    {OptionKey::trees, "--trees", "", true,
     "also write the means of each tree's cores: <table>_trees.csv"},
    {OptionKey::tree_chars, "--tree-chars", "N", true,
     "a tree is the first N characters of a series ID (default:\n"
     "the ID without its final run of letters)"},
    {OptionKey::pith_error, "--pith-error", "N", true,
     "plus or minus N rings on every pith offset: the CSV table\n"
     "gives each year's least and greatest area and increment"},
    {OptionKey::d2pith_error, "--d2pith-error", "MM", true,
     "plus or minus MM on every distance to the pith, likewise"},
    {OptionKey::dbh_error, "--dbh-error", "CM", true,
     "plus or minus CM on every diameter, likewise"},
    {OptionKey::estimate_pith_offset, "--estimate-pith-offset", "", true,
     "with proportional: every pith offset estimated as the\n"
     "distance to the pith over the mean width of the innermost\n"
     "rings, rounded to a whole ring"},
    {OptionKey::inner_rings, "--inner-rings", "N", true,
     "how many innermost rings an estimate takes (10 by default),\n"
     "also for the pith offsets a table leaves empty"},
    {OptionKey::bark, "--bark", "MM", true,
     "the bark's thickness on every diameter measured over it,\n"
     "where the companion table has no bark column"},
};

// The words of one command line and what they set.
struct Parse {
    CommandLine line;
    bool help = false, version = false;
    std::optional<CompanionKind> kind;
    BatchInputs inputs;
    std::vector<std::string_view> files;
    std::string_view batch_option;                 // the first option that needs --kind
    bool options_ended = false;                    // after "--" every word is a file
    std::map<OptionKey, std::string_view> values;  // of the options given
    bool estimate = false;                         // --estimate-pith-offset
    std::optional<int> inner_rings;                // --inner-rings

    void fail(std::string text) {
        if (line.error.empty()) line.error = std::move(text);
    }

    void word(std::span<const std::string_view> args, std::size_t& k);
    void take_file(std::string_view arg);
    void take_pairs();
    void check_errors_suit_the_kind();
    bool once(const Option& option, std::string_view value);
    void take(const Option& option, std::string_view value);
    void take_text(const Option& option, std::string_view value, std::string_view needs,
                   std::string& into);
    void finish();
};

// Whether args[k] is `option`, with its value when it takes one.
bool is_option(std::span<const std::string_view> args, std::size_t& k, const Option& option,
               std::string_view& value) {
    if (option.value.empty()) return args[k] == option.name;
    return take_value(args, k, option.name, value);
}

void Parse::word(std::span<const std::string_view> args, std::size_t& k) {
    const std::string_view arg = args[k];
    if (options_ended) return take_file(arg);
    if (arg == "--") {
        options_ended = true;
        return;
    }
    for (const Option& option : options) {
        std::string_view value;
        if (!is_option(args, k, option, value)) continue;
        if (once(option, value)) take(option, value);
        return;
    }
    if (arg.starts_with("-") && arg != "-")
        fail("unknown option '" + std::string(arg) + "'");
    else
        take_file(arg);
}

// "-" would be standard input, which a named run does not read; after "--"
// it is a file of that name.
void Parse::take_file(std::string_view arg) {
    if (arg.empty() || (arg == "-" && !options_ended))
        fail("unexpected argument '" + std::string(arg) + "'");
    else
        files.push_back(arg);
}

// An option given again must say the same: of two values, neither can be
// taken for the one meant.
bool Parse::once(const Option& option, std::string_view value) {
    if (option.value.empty()) return true;
    const auto [given, first] = values.emplace(option.key, value);
    if (first || given->second == value) return true;
    fail("option " + std::string(option.name) + " is given twice, as '" +
         std::string(given->second) + "' and as '" + std::string(value) + "'");
    return false;
}

// An option whose value is any text that is not empty.
void Parse::take_text(const Option& option, std::string_view value, std::string_view needs,
                      std::string& into) {
    if (value.empty()) fail("option " + std::string(option.name) + " needs " + std::string(needs));
    into = value;
}

void Parse::take(const Option& option, std::string_view value) {
    const std::string name(option.name);
    if (option.named_run && option.key != OptionKey::kind && batch_option.empty())
        batch_option = option.name;
    RunOptions& run = line.run;
    switch (option.key) {
        case OptionKey::help:
            help = true;
            break;
        case OptionKey::version:
            version = true;
            break;
        case OptionKey::csv:
            run.write_csv = true;
            break;
        case OptionKey::device:
            take_text(option, value, "a device name", run.device);
            break;
        case OptionKey::kind:
            kind = kind_named(value);
            if (!kind)
                fail("unknown kind '" + std::string(value) + "' for " + name + " (" +
                     kind_names() + ")");
            break;
        case OptionKey::format:
            take_text(option, value, "a read format, such as (f6.1)", inputs.format);
            break;
        case OptionKey::layout: {
            const auto layout = layout_named(value);
            if (!layout)
                fail("unknown layout '" + std::string(value) + "' for " + name +
                     " (column or decade)");
            inputs.layout = layout.value_or(OutputLayout::column);
            break;
        }
        case OptionKey::ring_list:
            take_text(option, value, "a file name", inputs.ring_list);
            break;
        case OptionKey::companion_list:
            take_text(option, value, "a file name", inputs.companion_list);
            break;
        case OptionKey::out:
            take_text(option, value, "a folder", run.out_dir);
            break;
        case OptionKey::plots:
            if (!plots_target(value))
                fail("option " + name + " needs FILE.pdf, FILE.ps or DIR/, not '" +
                     std::string(value) + "'");
            run.plots = value;
            break;
        case OptionKey::keep_going:
            run.keep_going = true;
            break;
        case OptionKey::strict:
            run.strict = true;
            break;
        case OptionKey::trees:
            run.trees = true;
            break;
        case OptionKey::pith_error: {
            const auto n = error_number(value);
            if (!n || std::trunc(*n) != *n)
                fail("option " + name + " needs a whole number of rings not below 0, not '" +
                     std::string(value) + "'");
            inputs.errors.pith_offset = static_cast<int>(n.value_or(0.0f));
            break;
        }
        case OptionKey::d2pith_error:
        case OptionKey::dbh_error: {
            const auto x = error_number(value);
            if (!x)
                fail("option " + name + " needs a number not below 0, not '" + std::string(value) +
                     "'");
            (option.key == OptionKey::dbh_error ? inputs.errors.diameter_cm
                                                : inputs.errors.d2pith_mm) = x.value_or(0.0f);
            break;
        }
        case OptionKey::estimate_pith_offset:
            estimate = true;
            break;
        case OptionKey::inner_rings: {
            const auto n = positive_number(value);
            if (!n)
                fail("option " + name + " needs a whole number above 0, not '" +
                     std::string(value) + "'");
            inner_rings = n.value_or(default_inner_rings);
            break;
        }
        case OptionKey::bark: {
            const auto x = error_number(value);
            if (!x)
                fail("option " + name + " needs a number not below 0, not '" + std::string(value) +
                     "'");
            inputs.bark_mm = x.value_or(0.0f);
            break;
        }
        case OptionKey::tree_chars: {
            const auto n = positive_number(value);
            if (!n)
                fail("option " + name + " needs a whole number above 0, not '" +
                     std::string(value) + "'");
            run.trees = true;
            run.tree_chars = n.value_or(0);
            break;
        }
    }
}

// A range on a value the kind does not use bounds nothing; the
// proportional method's areas do not depend on the pith offset at all.
void Parse::check_errors_suit_the_kind() {
    const CompanionKindInfo& info = kind_info(inputs.kind);
    const struct {
        bool given;
        CompanionField field;
        std::string_view option;
    } ranges[] = {{inputs.errors.pith_offset.has_value(), CompanionField::pith_offset, "--pith-error"},
                  {inputs.errors.d2pith_mm.has_value(), CompanionField::d2pith, "--d2pith-error"},
                  {inputs.errors.diameter_cm.has_value(), CompanionField::diameter, "--dbh-error"}};
    for (const auto& [given, option] : {std::pair{estimate, "--estimate-pith-offset"},
                                        std::pair{inner_rings.has_value(), "--inner-rings"}})
        if (given && !info.is_table())
            fail("option " + std::string(option) + " does not apply to --kind " +
                 std::string(info.name) + ", whose files give no distance beside a pith offset");
    inputs.inner_rings = inner_rings.value_or(default_inner_rings);
    if (estimate) inputs.estimate_inner_rings = inputs.inner_rings;
    if (inputs.bark_mm && !info.takes(CompanionField::bark))
        fail("option --bark does not apply to --kind " + std::string(info.name) +
             ", whose files give no diameter");
    for (const auto& r : ranges) {
        if (!r.given) continue;
        const bool used = info.gives(r.field) &&
                          !(info.is_table() && r.field == CompanionField::pith_offset);
        if (!used)
            fail("option " + std::string(r.option) + " does not apply to --kind " +
                 std::string(info.name) + ", whose areas do not depend on " +
                 std::string(field_info(r.field).words));
    }
}

// A ring-width input that may carry its series' values: a coordinate file
// or a folder of them, a Heidelberg or a TRiDaS file.
bool carries_its_values(std::string_view word) {
    std::error_code error;
    for (const std::string_view ending : {".pos", ".fh", ".xml"})
        if (ends_with_ignoring_case(word, ending)) return true;
    return word.ends_with('/') || std::filesystem::is_directory(std::filesystem::path(word), error);
}

// A word that is never a companion file: a ring-width input by its name.
bool is_ring_width_name(std::string_view word) {
    if (carries_its_values(word)) return true;
    for (const std::string_view ending : {".rwl", ".raw", ".crn"})
        if (ends_with_ignoring_case(word, ending)) return true;
    return false;
}

// The words pair as RINGS COMPANION. A ring-width input that may carry its
// values stands alone when no companion file follows it: its series take
// their values from their files.
void Parse::take_pairs() {
    for (std::size_t k = 0; k < files.size(); ++k) {
        const std::string rings(files[k]);
        const bool alone = carries_its_values(rings) &&
                           (k + 1 == files.size() || is_ring_width_name(files[k + 1]));
        if (alone) {
            inputs.pairs.push_back({rings, ""});
            continue;
        }
        if (k + 1 == files.size()) {
            fail("ring-width file '" + rings + "' has no companion file after it");
            return;
        }
        inputs.pairs.push_back({rings, std::string(files[++k])});
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
    take_pairs();
    const bool lists = !inputs.ring_list.empty() || !inputs.companion_list.empty();
    if (lists && inputs.ring_list.empty()) fail("option --companion-list needs --ring-list");
    const bool without_companions =
        (lists && inputs.companion_list.empty()) ||
        std::any_of(inputs.pairs.begin(), inputs.pairs.end(),
                    [](const FilePair& pair) { return pair.companion_file.empty(); });
    check_errors_suit_the_kind();
    if (without_companions && kind_info(inputs.kind).is_table())
        fail("--kind " + std::string(kind_info(inputs.kind).name) +
             " needs a companion table for every ring-width file");
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

namespace {

// Where an option's help lines start: after a head of up to 14 characters on
// its line, or on a line of their own below a longer one.
constexpr std::size_t help_column = 18;

void put_help_lines(std::string& out, std::string_view head, std::string_view help) {
    out += "  ";
    out += head;
    if (2 + head.size() + 2 <= help_column) {
        out.append(help_column - 2 - head.size(), ' ');
    } else {
        out += '\n';
        out.append(help_column, ' ');
    }
    for (std::size_t at = 0;;) {
        const std::size_t end = std::min(help.find('\n', at), help.size());
        out += help.substr(at, end - at);
        out += '\n';
        if (end == help.size()) return;
        out.append(help_column, ' ');
        at = end + 1;
    }
}

// `text` broken before words so that no line is longer than `width`.
std::string wrapped(std::string_view text, std::size_t width) {
    std::string out;
    std::size_t line = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (line > 0 && line + 1 + word.size() > width) {
            out += '\n';
            line = 0;
        } else if (line > 0) {
            out += ' ';
            ++line;
        }
        out += word;
        line += word.size();
        at = end + 1;
    }
    return out;
}

// --kind's help: its own words, then each kind with what its files give.
std::string kind_help(std::string_view head) {
    std::string text(head);
    const std::span<const CompanionKindInfo> kinds = companion_kinds();
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        text += k == 0 ? " " : k + 1 == kinds.size() ? " or " : ", ";
        text += kinds[k].name;
        text += " (";
        text += kinds[k].description;
        text += ')';
    }
    return wrapped(text, 59);
}

std::string head_of(const Option& option) {
    std::string head(option.name);
    if (option.value.empty()) return head;
    head += ' ';
    head += option.value;
    return head;
}

// The options of one group as --help lists them; an option without help
// lines of its own goes on the line of the one before it.
std::string options_help(bool named_run) {
    std::string out;
    const std::span<const Option> all(options);
    for (std::size_t k = 0; k < all.size(); ++k) {
        if (all[k].named_run != named_run || all[k].help.empty()) continue;
        std::string head = head_of(all[k]);
        if (k + 1 < all.size() && all[k + 1].help.empty()) {
            head += ' ';
            head += head_of(all[k + 1]);
        }
        put_help_lines(out, head,
                       all[k].key == OptionKey::kind ? kind_help(all[k].help)
                                                     : std::string(all[k].help));
    }
    return out;
}

}  // namespace

std::span<const Option> command_line_options() {
    return options;
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
           "Options:\n" +
           options_help(false) +
           "\n"
           "Options of a run named on the command line:\n" +
           options_help(true) +
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
