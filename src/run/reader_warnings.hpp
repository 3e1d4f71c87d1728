// The words of what the ring-width readers notice: one warning line per
// finding, each naming the file, the line or series and the value concerned.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "ringio/series.hpp"
#include "text/console.hpp"

namespace ruvela {

// The text of `finding`'s warning in file `file`, without the warning prefix.
std::string reader_warning_text(const Finding& finding, std::string_view file);

// Writes the findings of file `file` as warning lines, in their order: the
// negative widths of at most max_negative_width_warnings series, then one
// line with the number of the other series that hold any.
void write_reader_warnings(Console& con, std::string_view file, std::span<const Finding> findings);

}  // namespace ruvela
