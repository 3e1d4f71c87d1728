// Decade-format ring-width files read whole, series after series, the way
// the run reads every format.
#pragma once

#include <string_view>

#include "ringio/ring_format.hpp"

namespace ruvela {

// Every series of `content` through trrw_read in the measurement layout,
// into room for `max_rings` rings each, with the console lines of each call,
// everything the lines showed and where each series' width findings go. The
// reading stops after a series longer than max_rings (last_series_too_long)
// or at the text-line limit (error_line); a file that ends without a series
// has the finding not_decade_format.
RingFileReading read_decade(std::string_view content, std::size_t max_rings);

}  // namespace ruvela
