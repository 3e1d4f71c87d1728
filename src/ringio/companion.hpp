// The companion file of a ring-width file: one value per series (for the
// proportional method a row of three), read with the user's read format or
// freely, and the pairing of those values with the series.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ringio/companion_kinds.hpp"
#include "ringio/readfmt.hpp"
#include "ringio/units.hpp"
#include "text/lines.hpp"

namespace ruvela {

// The read format that asks for free reading (Fortran's own notation for
// list-directed input): values found by their text, not by columns.
inline constexpr std::string_view free_format = "*";

// True when `format` asks for free reading, blanks around it aside.
bool is_free_format(std::string_view format);

// Field habits that read something other than what a line seems to say.
enum class CompanionHabit {
    cut_token,
    blanks_between_digits,
    implied_decimal_point,
    decimal_comma
};
inline constexpr std::size_t companion_habit_count = 4;

// A habit seen on some lines: how many, and the first of them.
struct HabitSeen {
    int lines = 0;
    long first_line = 0;
    std::string first_text;
    std::string first_value;  // the value as read from that line
};

// One value as read: the line it ends on, that line, and the series ID on
// it (after the format's columns, or the field that is not the value; empty
// when there is none).
struct CompanionValue {
    CompanionRecord record;
    ValueBounds bounds;  // the ends of ranges the row gives its values
    long line = 0;
    std::string text;
    std::string name;
    bool empty_line = false;   // a line of blanks that a format read as 0
    bool blank_field = false;  // a field of blanks on a line that holds more, read as 0
    // A table's empty pith offset beside a distance to the pith: to be
    // estimated from the distance and the core's inner rings.
    bool pith_offset_unknown = false;
    // A line of two numbers read the other way round, the first the series
    // ID: which of them is the ID only the series' IDs can tell.
    struct IdFirst {
        CompanionRecord record;
        std::string name;
    };
    std::optional<IdFirst> id_first;
};

// A column whose values are read otherwise than as written: in the unit its
// header names, converted to the field's own, or (without a unit) counted
// from 1 for a core that reaches the pith, as the column "pith.offset" is.
struct ConvertedColumn {
    long line = 0;
    std::string name;  // as the header writes it
    CompanionField field{};
    const ColumnUnit* unit = nullptr;
};

// A line the reading cannot take, and why: in words when read freely, the
// format's field that holds no number when read with a format.
struct CompanionFault {
    long line = 0;
    std::string text;
    std::string reason{};
    std::optional<BadField> field{};
};

// Lines that are not values: how many, and where the first is.
struct LinesPassedOver {
    int lines = 0;
    long first_line = 0;
    std::string first_text;
};

struct CompanionReading {
    std::vector<CompanionValue> values;  // up to the error or the end, at most value_limit + 1
    std::array<HabitSeen, companion_habit_count> habits;
    bool conversion_error = false;         // reading stopped at a value the format cannot read
    std::optional<CompanionFault> fault;   // reading stopped at a line that holds no usable value
    LinesPassedOver header;                // a first line without a number (at most 1)
    LinesPassedOver trailing_empty_lines;  // after the last value
    // Fields of a table that its header does not name and that the
    // ring-width files are to give.
    std::vector<CompanionField> fields_from_files;
    // Optional fields (the bark) a table's header names.
    std::vector<CompanionField> optional_fields_named;
    std::vector<ConvertedColumn> converted_columns;
};

// Reads the values of `kind` until the end of `lines`, a conversion error, a
// fault, or one value past `value_limit` (so that a caller with room for
// value_limit sees that there are more). With free_format, and always for the
// proportional method's table, the values are found by their text
// (read_free_companion); otherwise `format` gives their columns. Empty lines
// after the last value are no values either way.
CompanionReading read_companion(CompanionKind kind, std::string_view format, LineReader& lines,
                                std::size_t value_limit);

// Counts `habit` as seen on the line of `at`, keeping the first such line
// and the value read from it.
void note_habit(CompanionReading& reading, CompanionHabit habit, const CompanionValue& at,
                const std::string& value_text);

// Reads the values freely: one value a line (not empty, not a "#" comment)
// with the series ID before or after it, separated by blanks, a tab, a comma
// or a semicolon; a first line without a number is a header, which is read
// for its column names when it has them. A decimal comma is read where the
// separator is not a comma. An unknown value (NA, an empty field), a pith
// offset that is no whole number, a negative distance to the pith and a
// diameter of the proportional method that is not positive are faults.
CompanionReading read_free_companion(CompanionKind kind, LineReader& lines, std::size_t value_limit);

// What is wrong with a value of `kind` that the computation cannot use, or
// nothing.
std::string unusable_value(CompanionKind kind, const CompanionRecord& record);

// A named value whose name is not the ID of the series in its place.
struct NameMismatch {
    long line = 0;
    std::string name;
    int series = 0;  // 1-based
};

// How the values go with the series: in file order, or by name.
struct CompanionPairing {
    // For value k (from 0), the series it belongs to (from 1), 0 for a value
    // left out; empty when the values keep the file's order.
    std::vector<int> series_of_value;
    // In file order: the named lines whose name is not the ID in its place.
    std::vector<NameMismatch> mismatches;
    // Values whose name is no series ID (another core, a mean): left out
    // when series_of_value pairs the others, else those past the last series.
    std::vector<std::size_t> naming_no_series;
};

// Reads the lines of two numbers the other way round (the first the ID)
// when more of their first numbers than of their second are series IDs;
// gives whether it did.
bool take_numeric_ids_first(std::span<CompanionValue> values,
                            std::span<const std::string_view> ids);

// Pairs by name when every value's name is a series ID, each exactly once,
// and the IDs differ from each other, or when that holds once the values
// naming no series are left out; otherwise keeps the file's order. `ids` are
// the series IDs without their padding.
// Values naming no series are looked for only in a file read freely: a
// read format's file keeps the count check of old.
CompanionPairing pair_by_id(std::span<const CompanionValue> values,
                            std::span<const std::string_view> ids, bool read_freely);

// Rows that must name their series: each value's series, or the first row or
// series that keeps the rows from pairing.
struct RowPairing {
    enum class Problem { none, unknown_id, repeated_id, series_without_row };
    std::vector<int> series_of_value;  // as in CompanionPairing, when there is no problem
    Problem problem = Problem::none;
    std::size_t value = 0;      // the row at fault (unknown or repeated ID)
    std::size_t first_row = 0;  // for a repeated ID, the row that named it first
    int series = 0;             // for a series without a row, from 1
};

// Pairs every value with the series its name is the ID of (the first series
// of that ID); every series needs exactly one.
RowPairing pair_rows_by_id(std::span<const CompanionValue> values,
                           std::span<const std::string_view> ids);

}  // namespace ruvela
