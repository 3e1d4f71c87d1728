#include "text/numfmt.hpp"

#include <charconv>
#include <cmath>
#include <limits>

namespace ruvela {

int nint(float value) {
    if (std::isnan(value)) return std::numeric_limits<int>::min();
    const float rounded = std::round(value);  // halves away from zero
    if (rounded >= 2147483648.0f) return std::numeric_limits<int>::max();
    if (rounded < -2147483648.0f) return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

namespace {

void put_right(std::string& out, std::string_view digits, int width) {
    if (width <= 0) return;
    const auto w = static_cast<std::size_t>(width);
    if (digits.size() > w) {
        out.append(w, '*');
        return;
    }
    out.append(w - digits.size(), ' ');
    out.append(digits);
}

}  // namespace

void put_int(std::string& out, long long value, int width) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    put_right(out, std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)), width);
}

void put_fixed(std::string& out, float value, int width, int decimals) {
    if (std::isnan(value)) return put_right(out, "NaN", width);
    if (std::isinf(value)) return put_right(out, value > 0 ? "Infinity" : "-Infinity", width);
    if (value == 0.0f) value = 0.0f;  // no "-0.000000" for a negative zero
    char buf[80];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    // Like a Fortran F edit, drop the optional zero before the point when
    // only that keeps the number within its field.
    if (text.size() > static_cast<std::size_t>(width) && width > 0) {
        if (text.starts_with("0.")) {
            text.remove_prefix(1);
        } else if (text.starts_with("-0.")) {
            buf[1] = '-';
            text = std::string_view(buf + 1, text.size() - 1);
        }
    }
    put_right(out, text, width);
}

void put_shortest(std::string& out, float value) {
    if (std::isnan(value)) {
        out.append("NaN");
    } else if (std::isinf(value)) {
        out.append(value > 0 ? "Inf" : "-Inf");
    } else {
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, value);
        out.append(buf, res.ptr);
    }
}

void put_text(std::string& out, std::string_view text, int width) {
    if (width <= 0) return;
    const auto w = static_cast<std::size_t>(width);
    if (text.size() >= w) {
        out.append(text.substr(0, w));
    } else {
        out.append(text);
        out.append(w - text.size(), ' ');
    }
}

std::string int_field(long long value, int width) {
    std::string s;
    put_int(s, value, width);
    return s;
}

std::string shortest_text(float value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string fixed_field(float value, int width, int decimals) {
    std::string s;
    put_fixed(s, value, width, decimals);
    return s;
}

std::string_view trim_right(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string fixed_text(std::string_view text, std::size_t length) {
    std::string s(text.substr(0, length));
    s.resize(length, ' ');
    return s;
}

}  // namespace ruvela
