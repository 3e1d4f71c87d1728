// TRiDaS XML files: measurement series with their first year and a block
// of ring-width values each.
#pragma once

#include <string_view>

#include "ringio/ring_format.hpp"

namespace ruvela {

// An XML declaration, or a first element named tridas or project (any
// prefix), after blanks and an optional UTF-8 byte order mark.
bool looks_like_tridas(std::string_view content);

// Every measurementSeries of a TRiDaS file, in document order, under a
// tridas or a project root; elements are matched on their local names. A
// series' ID is its title (its identifier when it has none). Derived series
// and series that cannot be read (undated, without exactly one ring-width
// values block, a unit not known, a value or first year that is no number)
// are skipped with a finding; values blocks without values are passed over.
// The file is refused when it is no XML or none of its series can be read. First years: AD as
// given, "N BC" is year 1 - N (1 BC is year 0, so that the years after it stay right), "N BP" is
// year 1950 - N.
RingFileReading read_tridas(std::string_view content);

}  // namespace ruvela
