// Reading values with a format known only at run time, written in the
// notation of a Fortran read statement: "(i2)", "(f6.1)", "(5x,i3)", "(10f8.3)".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/lines.hpp"

namespace ruvela {

enum class ReadStatus { done, conversion_error, end_of_file };

// One edit descriptor or group of a parsed format. Repeat counts stay
// counts: the walk repeats, nothing is expanded in memory.
struct FormatElement {
    enum Kind { int_field, real_field, skip, group } kind;
    int repeat = 1;    // r in rIw, rFw.d, r(...); 1 for nX
    int width = 0;     // w of Iw/Fw.d, n of nX
    int decimals = 0;  // d of Fw.d
    int end = 0;       // group: index of the first element after its contents
};

// A format as a flat list: a group's contents follow it up to `end`.
struct ReadFormat {
    std::vector<FormatElement> elements;
    int reversion = 0;  // where the walk resumes on a new line
    bool has_int_field = false;
    bool has_real_field = false;
};

// Largest repeat count, width or skip a format may hold. Larger numbers mean
// a mistyped format, not a line layout.
inline constexpr int max_format_number = 9999;

// Parses `text` (trailing blanks not part of it): I, F, E, D, G and X
// elements, repeat counts and nested groups, letters of either case, blanks
// anywhere ignored. nullopt when it cannot be interpreted: no enclosing
// parentheses, an unknown element, a number of 0 or above max_format_number,
// a group without a data element, or no data element at all.
std::optional<ReadFormat> parse_read_format(std::string_view text);

// Why a numeric field is no number, as far as its characters tell.
enum class FieldFault {
    letter_in_number,  // a letter other than an exponent: "12a", "O5"
    decimal_comma,     // "1,25"
    tab_in_field,      // a tab, which shifts the columns the line seems to show
    byte_order_mark,   // the mark of a UTF-8 file at the start of its first line
    stray_character,   // any other character that is no part of a number
    malformed_number,  // only number characters, in an order that is no number: "1-2", "1.2.3"
};

// The field a read stopped at with conversion_error.
struct BadField {
    long line = 0;      // line number of the LineReader
    std::string field;  // the field's columns as the line holds them
    FieldFault fault = FieldFault::malformed_number;
};

// What a read saw beyond its values: how much of its lines the format used,
// and the field habits that read something other than what the line seems
// to say.
struct ReadReport {
    int lines_used = 0;
    std::string last_line;          // the last line used
    std::size_t last_column = 0;    // columns of last_line that the format walked over
    bool field_cuts_token = false;  // a numeric field ends in the middle of a word: (i2) on "147"
    bool blanks_between_digits = false;  // blanks inside a field run its digits together
    bool implied_decimal_point = false;  // a real field without "." got the format's decimals
    bool blank_field = false;            // a numeric field of blanks only, read as 0
    std::optional<BadField> bad_field;   // set on a conversion error in a line's field
};

// Reads items.size() values with `format`, starting at the beginning of the
// next line of `lines`. After `done` the reader stands at the line after the
// last line used. On a conversion error or at the end of the input the items
// already read keep their values and the others are set to 0. A format that
// cannot be interpreted, or whose data elements do not suit the item type
// (Iw for reals, Fw.d for integers), gives conversion_error on first use
// (before any line is read). A numeric field holding anything but blanks,
// signs, digits, a point and an exponent letter is a conversion error; a
// tab too, as its columns are not the ones the line seems to show.
//
// With `report`, also tells what the read saw beyond the values (see ReadReport).
ReadStatus read_formatted(LineReader& lines, std::string_view format, std::span<int> items,
                          ReadReport* report = nullptr);
ReadStatus read_formatted(LineReader& lines, std::string_view format, std::span<float> items,
                          ReadReport* report = nullptr);

}  // namespace ruvela
