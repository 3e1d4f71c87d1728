// The ways a run ends before its normal termination.
#pragma once

#include <stdexcept>
#include <string>

namespace ruvela {

// The program stops by its own decision: its message lines are already
// written, open files are closed by unwinding, and the process exits with
// `status`.
struct RunEnded {
    int status = 0;
    std::string reason;  // the message in one line, for a run that tells it as a warning
};

[[noreturn]] inline void end_run(int status, std::string reason = {}) {
    throw RunEnded{status, std::move(reason)};
}

// Standard input ended while the program waited for an answer.
struct InputEnded : std::runtime_error {
    InputEnded() : std::runtime_error("standard input ended while an answer was expected") {}
};

// A file could not be opened, created or written. The message names the
// file and the system's reason; the run ends with exit status 2.
struct FileFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Exit statuses: a normal end; a stop the program decides on input it cannot
// take; a failure of the console and file layer (input ended, a file that
// cannot be opened or written).
inline constexpr int normal_status = 0;
inline constexpr int stop_status = 1;
inline constexpr int failure_status = 2;

}  // namespace ruvela
