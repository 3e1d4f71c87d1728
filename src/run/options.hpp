// The command line, the same for both programs: a few options around the
// dialogue, which stays on standard input.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "run/edition.hpp"
#include "text/stops.hpp"

namespace ruvela {

// What a run does besides what the dialogue asks.
struct RunOptions {
    bool write_csv = false;  // --csv: the CSV tables as well as the fixed-width ones
    std::string device;      // --device: the screen plot device; empty leaves it to RUVELA_DEVICE
};

struct CommandLine {
    enum class Request { run, help, version };
    Request request = Request::run;
    RunOptions run;
    // Set when the command line cannot be used: one line naming the word at fault.
    std::string error;
};

// A bad command line ends the program as a failure of its surroundings does.
inline constexpr int bad_command_line_status = failure_status;

// `args` are the words after the program's name. --help wins over --version,
// and both over a run; any bad word wins over all.
CommandLine parse_command_line(std::span<const std::string_view> args);

// "Usage: ..." as one line, without its line end.
std::string usage_line(Edition edition);

// The whole text of --help and of --version, line ends included.
std::string help_text(Edition edition);
std::string version_text(Edition edition);

// The project's version, as the build names it.
std::string_view project_version();

}  // namespace ruvela
