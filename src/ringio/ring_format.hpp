// Which format a ring-width file is in, told by its content, and reading the
// formats other than the decade format.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ringio/series.hpp"

namespace ruvela {

enum class RingFormat { decade, heidelberg, delimited, tridas };

// A console line of the decade format's own routines (a text line echoed, a
// message of the counted-block reader), met while reading series `series`
// (from 1; one past the last series for lines after it).
struct ReaderLine {
    int series = 0;
    std::string text;
};

// What every reader hands back: the series in file order and what was
// noticed on the way, or the fault that stops the pair (the series and
// findings are then empty).
struct RingFileReading {
    std::vector<RingSeries> series;
    std::vector<Finding> findings;
    std::optional<ReadError> error;
    // Where each series' width findings stand among `findings`: before the
    // finding of this index. The decade format tells series by series as it
    // reads them; the other readers read the whole file first and leave this
    // empty, which puts the width findings after all of theirs.
    std::vector<std::size_t> width_findings_at;
    // The decade format's own console lines, in order.
    std::vector<ReaderLine> lines;
    // The decade format's reading stopped: the last series holds more rings
    // than a series can (its first ones are kept), ...
    bool last_series_too_long = false;
    // ... or the file gave no series within its text-line limit; the message
    // for the error output.
    std::optional<std::string> error_line;
};

// The format that the file's content positively shows: a first non-blank
// line "HEADER:" (Heidelberg); an XML declaration or a tridas or project
// root element (TRiDaS); a header row naming the year column and series,
// separated by commas, semicolons or tabs, and a next non-blank row starting
// with a whole year, which may be written "1850.0" (delimited). Anything else is the decade format.
// The lines judged are seen whole, however long.
RingFormat detect_ring_format(std::string_view content);

// The format's name as the console shows it.
std::string_view ring_format_name(RingFormat format);

// Reads a whole file in `format`, every series' widths checked alike
// (series_checks.hpp). A decade-format series is read into room for
// `max_rings` rings.
RingFileReading read_ring_file(RingFormat format, std::string_view content,
                               std::size_t max_rings = max_years);

// What a file given where a companion file belongs shows of a ring-width
// file: its format and series, when it holds any that its format reads.
struct RingFileSeen {
    RingFormat format{};
    std::size_t series = 0;
};
std::optional<RingFileSeen> ring_width_content(std::string_view content);

}  // namespace ruvela
