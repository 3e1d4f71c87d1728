// The companion file of a ring-width file: one value per series, read with
// the user's read format, and the pairing of those values with the series.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ringio/readfmt.hpp"
#include "text/lines.hpp"

namespace ruvela {

// What the companion files of a run hold, numbered as the dialogue offers
// the first two; the others are given on the command line.
enum class OffsetKind { pith_offsets = 1, diameters = 2, d2pith = 3, proportional = 4 };

// What the companion file gives one series. The kind decides which of the
// fields is read and which rule turns it into radii.
struct CompanionRecord {
    int pith_offset = 0;       // rings missing to the pith
    float diameter_cm = 0.0f;  // the stem's diameter at the last measured ring
    float d2pith_mm = 0.0f;    // distance from the innermost measured ring to the pith
};

// The read format that asks for free reading (Fortran's own notation for
// list-directed input): values found by their text, not by columns.
inline constexpr std::string_view free_format = "*";

// Field habits that read something other than what a line seems to say.
enum class CompanionHabit { cut_token, blanks_between_digits, implied_decimal_point };
inline constexpr std::size_t companion_habit_count = 3;

// A habit seen on some lines: how many, and the first of them.
struct HabitSeen {
    int lines = 0;
    long first_line = 0;
    std::string first_text;
    std::string first_value;  // the value as read from that line
};

// One value as read: the line it ends on, that line, and the name after the
// format's columns (empty when there is none).
struct CompanionValue {
    CompanionRecord record;
    long line = 0;
    std::string text;
    std::string name;
};

// Where a read stopped at a value it cannot take.
struct CompanionFault {
    long line = 0;
    std::string text;                // the line
    std::optional<BadField> field;   // the format's field that holds no number
};

struct CompanionReading {
    std::vector<CompanionValue> values;  // up to the error or the end, at most value_limit
    std::array<HabitSeen, companion_habit_count> habits;
    bool conversion_error = false;  // reading stopped at a value the format cannot read
    std::optional<CompanionFault> fault;  // where, when known
};

// Reads the values of `kind` with `format` until the end of `lines`, a
// conversion error, or one value past `value_limit` (so that a caller with
// room for value_limit sees that there are more).
CompanionReading read_companion(OffsetKind kind, std::string_view format, LineReader& lines,
                                std::size_t value_limit);

// A named value whose name is not the ID of the series in its place.
struct NameMismatch {
    long line = 0;
    std::string name;
    int series = 0;  // 1-based
};

// How the values go with the series: in file order, or by name.
struct CompanionPairing {
    // For value k (from 0), the series it belongs to (from 1); empty when the
    // values keep the file's order.
    std::vector<int> series_of_value;
    // In file order: the named lines whose name is not the ID in its place.
    std::vector<NameMismatch> mismatches;
};

// Pairs by name when every value's name is a series ID, each exactly once,
// and the IDs differ from each other; otherwise keeps the file's order.
// `ids` are the series IDs without their padding.
CompanionPairing pair_by_id(std::span<const CompanionValue> values,
                            std::span<const std::string_view> ids);

}  // namespace ruvela
