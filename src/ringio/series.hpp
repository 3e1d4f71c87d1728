// What every ring-width reader hands back: series records and the things it
// noticed on the way, as data. The run driver words them for the console.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ringio/series_id.hpp"

namespace ruvela {


// The highest calendar year the store has a slot for, and so also the most
// rings a series can hold.
inline constexpr int max_years = 5001;

// What a ring-width file itself says of a series' pith and stem, each value
// with the key or element it came from, so that a run can tell where a
// companion value came from. A value the file does not give, or gives in a
// form that cannot be read, is absent.
struct PithInfo {
    // Rings missing between the first measured ring and the pith; 0 when the
    // first ring holds the pith.
    std::optional<int> offset{};
    std::string offset_source{};
    // Whether the pith is on the sample: true present, false marked absent.
    std::optional<bool> present{};
    std::string present_source{};
    // From the inner edge of the first ring to the pith, in millimetres.
    std::optional<float> distance_mm{};
    std::string distance_source{};
    // The stem's diameter in centimetres.
    std::optional<float> diameter_cm{};
    std::string diameter_source{};

    bool operator==(const PithInfo&) const = default;
};

// One measured series: its ID, the calendar year of its first ring and one
// width per year in millimetres; and what its file says of its pith, when it
// says anything.
struct RingSeries {
    SeriesId id;
    int first_year = 0;
    std::vector<float> widths;
    std::optional<PithInfo> pith{};
    // The decimals of a millimetre the widths were measured at, as the file
    // writes them (2 for hundredths, 3 for thousandths, the most digits of
    // any value written in millimetres; for a coordinate file, whose widths
    // are computed, the most digits of its coordinates); the CSV tables
    // write the widths at it. None where the reader does not know it (a
    // counted block of the decade format).
    std::optional<int> width_decimals{};
};

// Something a reader noticed that the user should know of. The values read
// stay as they are; the driver tells it as a warning. Which fields are set
// depends on the kind.
enum class FindingKind {
    // Decade format.
    year_out_of_sequence,  // line, series, year (found), expected_year
    id_changed,            // line, series, other_id (the line's ID)
    negative_widths,       // series, count, year (first), value (first)
    empty_series,          // series, year
    not_decade_format,     // text (the file's first line), line (where the text-line limit
                           // stopped the reading; 0 when the file ended without a series)
    series_unended,        // line (its first), series, year (first): the file ended
                           // before its end marker, and the series is not read
    // Other formats.
    id_cut,            // line, series (as kept), other_id (as written)
    duplicate_id,      // line, series
    series_skipped,    // line, series, text (why)
    gap_read_as_zero,  // series, year (first missing), expected_year (last missing), count
    // Any format.
    mean_width_implausible,  // series, value (the mean width of its rings not below zero)
    tabs_between_fields,     // line (the first), count (lines): decade lines whose fields are
                             // separated by tabs, read by their fields instead of their columns
    id_not_utf8,             // line, series (the first such ID, repaired), count (IDs): once
                             // per file; each byte of an ID that is not UTF-8 became '?'
    // Coordinate files.
    point_order_reversed,  // line (the first such point), series, count (steps): steps
                           // between points that go back on both axes against the core
    pith_off_core_line,    // line (of the pith coordinates), series, value (mm to the pith),
                           // text (why: against the core's direction, or too far)
};

struct Finding {
    FindingKind kind{};
    long line = 0;  // 1-based line of the file, 0 when none applies
    std::string series{};
    std::string other_id{};
    int year = 0;
    int expected_year = 0;
    int count = 0;
    float value = 0.0f;
    std::string text{};

    bool operator==(const Finding&) const = default;
};

// Input a reader cannot take: the pair is not processed and the run stops.
struct ReadError {
    long line = 0;  // 0 when the fault has no line (an empty file)
    std::string text;
};

}  // namespace ruvela
