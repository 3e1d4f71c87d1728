// Reading values with a format known only at run time, written in the
// notation of a Fortran read statement: "(i2)", "(f6.1)", "(5x,i3)", "(10f8.3)".
#pragma once

#include <span>
#include <string_view>

#include "text/lines.hpp"

namespace ruvela {

enum class ReadStatus { done, conversion_error, end_of_file };

// Reads items.size() values with `format`, starting at the beginning of the
// next line of `lines`. After `done` the reader stands at the line after the
// last line used. On a conversion error or at the end of the input the items
// already read keep their values and the others are set to 0. A format that
// cannot be interpreted gives conversion_error on first use (before any line
// is read); trailing blanks of `format` are not part of it.
ReadStatus read_formatted(LineReader& lines, std::string_view format, std::span<int> items);
ReadStatus read_formatted(LineReader& lines, std::string_view format, std::span<float> items);

}  // namespace ruvela
