// The program's own stops on input it cannot take.
#pragma once

#include <initializer_list>
#include <string_view>

#include "text/console.hpp"
#include "text/stops.hpp"

namespace ruvela {

inline constexpr std::string_view terminating_line = " Sorry, Program Terminating ";

// Writes an empty line, `lines` and the terminating line, then ends the run
// with exit status 1 (stop_status). Each line names what could not be taken;
// the stop carries them as its reason, and a quiet run writes nothing here.
[[noreturn]] void stop_run(Console& con, std::initializer_list<std::string_view> lines);

// The same without the terminating line.
[[noreturn]] void stop_with_lines(Console& con, std::initializer_list<std::string_view> lines);

// Writes `line` on the console's error stream and ends the run with
// stop_status.
[[noreturn]] void stop_with_error_line(Console& con, std::string_view line);

}  // namespace ruvela
