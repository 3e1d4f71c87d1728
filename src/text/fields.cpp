#include "text/fields.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "text/fixed_text.hpp"

namespace ruvela {

namespace {

// Any field: blanks and tabs anywhere are passed over, one sign may come
// before the digits.
bool read_any_int_field(std::string_view field, int& result) {
    bool negative = false;
    bool seen_sign = false;
    bool seen_digit = false;
    long long value = 0;
    for (const char c : field) {
        if (c == ' ' || c == '\t') continue;
        if (c == '+' || c == '-') {
            if (seen_sign || seen_digit) return false;
            seen_sign = true;
            negative = c == '-';
        } else if (c >= '0' && c <= '9') {
            seen_digit = true;
            value = value * 10 + (c - '0');
            if (value > 2147483648LL) return false;
        } else {
            return false;
        }
    }
    if (negative) value = -value;
    if (value > 2147483647LL) return false;
    result = static_cast<int>(value);
    return true;
}

}  // namespace

bool read_int_field(std::string_view field, int& result) {
    // The usual field, blanks, a sign perhaps and digits up to its end, is
    // read in one pass; anything else by the rules for any field.
    std::size_t i = field.find_first_not_of(' ');
    if (i == std::string_view::npos) {
        result = 0;
        return true;
    }
    const bool negative = field[i] == '-';
    if (negative || field[i] == '+') ++i;
    long long value = 0;
    for (; i < field.size(); ++i) {
        const auto digit = static_cast<unsigned char>(field[i] - '0');
        if (digit > 9 || value > 214748364) return read_any_int_field(field, result);
        value = value * 10 + digit;
    }
    if (value > 2147483648LL) return false;
    if (negative) value = -value;
    if (value > 2147483647LL) return false;
    result = static_cast<int>(value);
    return true;
}

namespace {

std::string_view first_item(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos) return {};
    text.remove_prefix(begin);
    const auto end = text.find_first_of(" \t,");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

// Of a number out of binary32's range, whether it is too small: its value as
// a double tells, or, beyond a double's range too, its exponent's sign.
RealFault out_of_range(std::string_view number) {
    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc{})
        return std::fabs(value) < 1.0 ? RealFault::too_small : RealFault::too_large;
    const auto e = number.find_first_of("eE");
    const bool negative_exponent =
        e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
    return negative_exponent ? RealFault::too_small : RealFault::too_large;
}

}  // namespace

std::string_view real_fault_words(RealFault fault) {
    if (fault == RealFault::too_small)
        return "is too small: values nearer 0 than 1e-45 cannot be read";
    if (fault == RealFault::too_large) return "is too large: values beyond 3.4e38 cannot be read";
    return "is no number";
}

FreeReal read_free_real(std::string_view text) {
    std::string item(first_item(text));
    if (item.empty()) return {0.0f, RealFault::no_number};
    std::size_t start = 0;
    if (item[0] == '+') start = 1;
    bool digit = false;
    for (std::size_t i = start; i < item.size(); ++i) {
        char& c = item[i];
        if (c == 'd' || c == 'D') c = 'e';
        if (std::isdigit(static_cast<unsigned char>(c)) && !digit) digit = true;
        const bool allowed = std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'e' ||
                             c == 'E' || c == '+' || c == '-';
        if (!allowed) return {0.0f, RealFault::no_number};
    }
    if (!digit) return {0.0f, RealFault::no_number};
    float value = 0.0f;
    const std::string_view number = std::string_view(item).substr(start);
    const char* last = number.data() + number.size();
    const auto res = std::from_chars(number.data(), last, value, std::chars_format::general);
    if (res.ptr != last) return {0.0f, RealFault::no_number};
    if (res.ec == std::errc::result_out_of_range) return {0.0f, out_of_range(number)};
    if (res.ec != std::errc{} || !std::isfinite(value)) return {0.0f, RealFault::no_number};
    return {value, RealFault::none};
}

std::optional<float> decode_free_real(std::string_view text) {
    const FreeReal real = read_free_real(text);
    if (real.fault != RealFault::none) return std::nullopt;
    return real.value;
}

std::optional<int> decode_free_int(std::string_view text) {
    const std::string_view item = first_item(text);
    if (item.empty()) return std::nullopt;
    for (std::size_t i = 0; i < item.size(); ++i) {
        const char c = item[i];
        const bool sign = (c == '+' || c == '-') && i == 0;
        if (!sign && !std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    if (item == "+" || item == "-") return std::nullopt;
    return decode_int_field(item);
}

namespace {

bool separates(char c, char separator) {
    return separator == ' ' ? (c == ' ' || c == '\t') : c == separator;
}

bool is_blank_between(char c, char separator) {
    return (c == ' ' || c == '\t') && !separates(c, separator);
}

// The quoted text that starts at line[i] ('"') into `text`, its doubled
// quotes single; `i` moves past the closing quote, or to the line's end
// when there is none. False when there is none.
bool take_quoted(std::string_view line, std::size_t& i, std::string& text) {
    for (++i; i < line.size(); ++i) {
        if (line[i] != '"') {
            text += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
            text += '"';
            ++i;
        } else {
            ++i;
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<Field> split_fields(std::string_view line, char separator) {
    if (separator == ' ') line = trim(line);
    std::vector<Field> fields;
    std::size_t i = 0;
    for (;;) {
        while (i < line.size() && is_blank_between(line[i], separator)) ++i;
        Field field;
        if (i < line.size() && line[i] == '"') {
            field.quoted = true;
            field.well_formed = take_quoted(line, i, field.text);
        }
        std::size_t end = i;
        while (end < line.size() && !separates(line[end], separator)) ++end;
        const std::string_view rest = trim(line.substr(i, end - i));
        if (field.quoted && !rest.empty()) field.well_formed = false;
        field.text += rest;
        fields.push_back(std::move(field));
        if (end == line.size()) return fields;
        i = end + 1;
        if (separator == ' ')
            while (i < line.size() && separates(line[i], separator)) ++i;
    }
}

}  // namespace ruvela
