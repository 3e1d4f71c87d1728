// The command line, the same for both programs: a few options around the
// dialogue on standard input, or a whole run named on the command line.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "run/edition.hpp"
#include "run/store.hpp"
#include "text/stops.hpp"

namespace ruvela {

// What a run does besides what its job says.
struct RunOptions {
    bool write_csv = false;  // --csv: the CSV tables as well as the fixed-width ones
    std::string device;      // --device: the screen plot device; empty leaves it to RUVELA_DEVICE
    // Only with the inputs on the command line:
    std::string out_dir;      // --out: the folder of every table and plot; empty: the working one
    std::string plots;        // --plots: FILE.pdf, FILE.ps or DIR/ (one PNG a page); empty: none
    bool keep_going = false;  // --keep-going: a pair that stops the run is left out instead
    bool strict = false;      // --strict: any warning makes the exit status 1
    bool trees = false;       // --trees: the tree means as well
    int tree_chars = 0;       // --tree-chars: a tree is the first N characters of an ID
};

// The inputs of a run given on the command line instead of the dialogue.
struct BatchInputs {
    CompanionKind kind = CompanionKind::pith;
    std::string format{free_format};  // --format; read freely without it
    OutputLayout layout = OutputLayout::column;
    std::vector<FilePair> pairs;            // RINGS COMPANION ...
    std::string ring_list, companion_list;  // or --ring-list and --companion-list
    ValueErrors errors;                     // --pith-error, --d2pith-error, --dbh-error
    std::optional<float> bark_mm;           // --bark
    std::optional<int> estimate_inner_rings;  // --estimate-pith-offset, with --inner-rings
    int inner_rings = default_inner_rings;    // --inner-rings
};

struct CommandLine {
    enum class Request { run, help, version };
    Request request = Request::run;
    RunOptions run;
    std::optional<BatchInputs> batch;  // set with --kind: a run without the dialogue
    // Set when the command line cannot be used: one line naming the word at fault.
    std::string error;
};

// Every option of the command line, in the order --help shows them. The one
// source of their names: parsing, --help and the test that holds the man
// page and the README to them.
enum class OptionKey {
    help,
    version,
    csv,
    device,
    kind,
    format,
    layout,
    ring_list,
    companion_list,
    out,
    plots,
    keep_going,
    strict,
    trees,
    tree_chars,
    pith_error,
    d2pith_error,
    dbh_error,
    bark,
    estimate_pith_offset,
    inner_rings,
};

struct Option {
    OptionKey key;
    std::string_view name;   // "--device"
    std::string_view value;  // its value in --help ("NAME"); empty: it takes none
    bool named_run;          // an option of a run named on the command line: all
                             // but --kind itself need --kind
    // Its lines in --help, '\n' between them; empty: it is shown on the line
    // of the option before it.
    std::string_view help;
};

std::span<const Option> command_line_options();

// A bad command line ends the program as a failure of its surroundings does.
inline constexpr int bad_command_line_status = failure_status;

// `args` are the words after the program's name. --help wins over --version,
// and both over a run; any bad word wins over all.
CommandLine parse_command_line(std::span<const std::string_view> args);

// "Usage: ..." for both ways in, without the last line end.
std::string usage_line(Edition edition);

// The whole text of --help and of --version, line ends included.
std::string help_text(Edition edition);
std::string version_text(Edition edition);

// The project's version, as the build names it.
std::string_view project_version();

}  // namespace ruvela
