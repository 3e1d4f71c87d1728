// Which format a ring-width file is in, told by its content, and reading the
// formats other than the decade format.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "ringio/series.hpp"

namespace ruvela {

enum class RingFormat { decade, heidelberg, delimited, tridas };

// What the readers of the formats other than the decade format hand back:
// the series in file order and what was noticed on the way, or the fault
// that stops the pair (the series and findings are then empty).
struct RingFileReading {
    std::vector<RingSeries> series;
    std::vector<Finding> findings;
    std::optional<ReadError> error;
};

// The format that the file's content positively shows: a first non-blank
// line "HEADER:" (Heidelberg); an XML declaration or a tridas root element
// (TRiDaS); a header row naming the year column and series, separated by
// commas, semicolons or tabs, and a next non-blank row starting with a whole
// year (delimited). Anything else is the decade format.
RingFormat detect_ring_format(std::string_view content);

// The format's name as the console shows it.
std::string_view ring_format_name(RingFormat format);

// Reads a whole file in one of the formats other than the decade format,
// whose reader takes one series per call (trrw_read). For the decade format
// the result is an error.
RingFileReading read_ring_file(RingFormat format, std::string_view content);

}  // namespace ruvela
