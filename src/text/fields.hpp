// The fields of a line: split at a separator, quotes taken off, and
// numbers decoded whatever the locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ruvela {

// decode_int_field below, giving false instead of nullopt and leaving
// `value` alone then.
bool read_int_field(std::string_view field, int& value);

// read_int_field for the fields of the ring-width lines, read in line: a
// field of at most nine columns holding blanks, perhaps a minus and digits
// up to its end, which is every value of a usual file, cannot leave the
// 32-bit range; any other field goes to read_int_field.
inline bool read_short_int_field(std::string_view field, int& value) {
    if (field.size() > 9) return read_int_field(field, value);
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    const bool negative = i < field.size() && field[i] == '-';
    if (negative) ++i;
    int magnitude = 0;
    for (; i < field.size(); ++i) {
        const auto digit = static_cast<unsigned char>(field[i] - '0');
        if (digit > 9) return read_int_field(field, value);
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

// An integer field of fixed width: an optional sign followed by digits, with
// blanks and tabs anywhere ignored; a field holding nothing else (also a lone
// sign) reads as 0. Any other character, a sign after a digit, or a value
// past the 32-bit range gives nullopt. Inline over read_int_field: from a
// function that is not inline, a std::optional<int> comes back through
// memory in a way that stalls the processor on every call, and the readers
// decode every value of a file with it.
inline std::optional<int> decode_int_field(std::string_view field) {
    int value = 0;
    if (!read_short_int_field(field, value)) return std::nullopt;
    return value;
}

// A number read "free": the first item of `text` after leading blanks, ending
// at a blank, a comma or the end. Accepts an optional sign, digits, a decimal
// point and an exponent (E or D). Empty or malformed text is no number; a
// number past the binary32 range is too small (nearer 0 than its least
// value, about 1e-45) or too large (beyond about 3.4e38), and gives no value.
enum class RealFault { none, no_number, too_small, too_large };

struct FreeReal {
    float value = 0.0f;
    RealFault fault = RealFault::none;
};

FreeReal read_free_real(std::string_view text);

// What a fault says of a number: "is no number", "is too small: ...".
std::string_view real_fault_words(RealFault fault);

// read_free_real's value, or nullopt.
std::optional<float> decode_free_real(std::string_view text);

// As decode_free_real, but the item must be a whole number within 32 bits.
std::optional<int> decode_free_int(std::string_view text);

// The column range [first, last] (1-based, inclusive) of `line`, or the part
// of it that the line holds; columns past the end read as blanks to callers.
// Inline: the readers take every field of a line with it.
inline std::string_view columns(std::string_view line, int first, int last) {
    const auto begin = static_cast<std::size_t>(first - 1);
    if (begin >= line.size() || last < first) return {};
    return line.substr(begin, static_cast<std::size_t>(last - first + 1));
}

// A field of a line, its quotes taken off.
struct Field {
    std::string text;
    bool quoted = false;      // written in quotes: "" is a field, though empty
    bool well_formed = true;  // false: its quote is not closed, or text follows
                              // the closing quote
};

// The fields of `line` split at `separator`, or at every run of blanks and
// tabs when `separator` is ' ' (blanks at the line's ends then separate
// nothing). Blanks and tabs around a field are dropped, a tab only where it
// does not separate. A field that starts with a quote runs to the closing
// quote, a doubled quote inside it standing for one, and may hold the
// separator. An unclosed quote runs to the line's end and text after the
// closing quote is added to the field: readers that forgive these take the
// text, the others refuse a field that is not well formed.
std::vector<Field> split_fields(std::string_view line, char separator);

}  // namespace ruvela
