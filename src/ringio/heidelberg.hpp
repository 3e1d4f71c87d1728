// Heidelberg files: series as header blocks of Key=Value lines, each ended
// by a DATA: line and followed by its values.
#pragma once

#include <string_view>

#include "ringio/ring_format.hpp"

namespace ruvela {

// The line that opens a series' header, and with it a Heidelberg file.
bool is_heidelberg_header_line(std::string_view line);

// Every series of a Heidelberg file. Single series of ring widths are kept;
// chronologies, other data kinds, other measured quantities, units not known
// and undated series are skipped with a finding. Values are blank-separated
// on a line (block layout) or the first `;`-separated field of a line
// (column layout); values past `Length` must be zero, the padding of the
// block layout. Without `Length` the series' years give the ring count, or
// else its values up to that padding.
RingFileReading read_heidelberg(std::string_view content);

}  // namespace ruvela
