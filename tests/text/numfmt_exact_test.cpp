// The table cells do not go through std::to_chars but round value * 10^d
// themselves; this checks that they still agree with it byte for byte on
// millions of floats, weighted towards the places where a hand-made
// fixed-point writer goes wrong.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/numfmt.hpp"

namespace ruvela {
namespace {

// Sanitizer builds run everything many times slower; a tenth of the values
// still covers every kind of edge below.
#ifdef RUVELA_CHECK_INDEXES
constexpr int random_values = 200'000;
#else
constexpr int random_values = 2'000'000;
#endif

// std::to_chars' correctly rounded fixed notation, without a minus sign on
// a negative zero.
std::string to_chars_text(float value, int decimals) {
    if (value == 0.0f) value = 0.0f;
    char buf[96];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, res.ptr);
}

// `text` as a field: the zero before the point dropped only when that makes
// it fit, asterisks when it does not fit.
std::string field_of(std::string text, int width) {
    const auto w = static_cast<std::size_t>(width);
    if (text.size() > w && text.starts_with("0.")) text.erase(0, 1);
    if (text.size() > w && text.starts_with("-0.")) text.erase(1, 1);
    if (text.size() > w) return std::string(w, '*');
    return std::string(w - text.size(), ' ') + text;
}

float from_bits(std::uint32_t bits) {
    return std::bit_cast<float>(bits);
}

// Both signs of `value` and the `steps` finite floats on either side of each.
void add_neighbourhood(std::vector<float>& values, float value, int steps) {
    for (const float centre : {value, -value}) {
        float up = centre, down = centre;
        for (int i = 0; i <= steps; ++i) {
            if (std::isfinite(up)) values.push_back(up);
            if (std::isfinite(down)) values.push_back(down);
            up = std::nextafter(up, std::numeric_limits<float>::infinity());
            down = std::nextafter(down, -std::numeric_limits<float>::infinity());
        }
    }
}

std::vector<float> edge_values(int decimals, std::mt19937_64& random) {
    std::vector<float> values = {0.0f, -0.0f};
    add_neighbourhood(values, std::numeric_limits<float>::denorm_min(), 8);
    add_neighbourhood(values, std::numeric_limits<float>::min(), 8);
    add_neighbourhood(values, std::numeric_limits<float>::max(), 8);
    const double unit = std::pow(10.0, -decimals);
    // Carries into a new digit (9.9999995 -> 10.000000) and the fields they
    // overflow, up to where a float's steps exceed the last decimal.
    for (double power = 1.0; power <= 1e10; power *= 10) {
        add_neighbourhood(values, static_cast<float>(power - unit / 2), 64);
        add_neighbourhood(values, static_cast<float>(power), 64);
    }
    // Negative values that round to zero keep their sign.
    add_neighbourhood(values, static_cast<float>(unit / 2), 64);
    // Where value * 10^decimals reaches 2^52 and the exact path hands over.
    add_neighbourhood(values, static_cast<float>(0x1p52 / std::pow(10.0, decimals)), 64);
    // Exact ties: odd multiples of 2^-(decimals+1) end in a 5 just past the
    // last decimal.
    for (int i = 0; i < 20'000; ++i) {
        const auto odd = static_cast<float>((random() & 0xffffff) | 1);
        const int scale_down = decimals + 1 + static_cast<int>(random() % 4) * (i % 2);
        values.push_back(std::ldexp(odd, -scale_down));
        values.push_back(-std::ldexp(odd, -scale_down));
    }
    return values;
}

// Random finite floats: half with any bit pattern, half between 10^-9 and
// 10^10 with a uniform exponent, where the exact path does its work.
std::vector<float> random_floats(int count, std::mt19937_64& random) {
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(count));
    while (static_cast<int>(values.size()) < count) {
        const std::uint64_t bits = random();
        float value = from_bits(static_cast<std::uint32_t>(bits));
        if (values.size() % 2 == 1) {
            const int exponent = -30 + static_cast<int>((bits >> 32) % 64);  // 2^-30..2^33
            value = std::ldexp(1.0f + static_cast<float>(bits & 0x7fffff) * 0x1p-23f, exponent);
            if (bits >> 63) value = -value;
        }
        if (std::isfinite(value)) values.push_back(value);
    }
    return values;
}

// Checks every value at the given widths and at the two widths around its
// own length, where the zero is dropped or the field overflows.
void expect_agreement(const std::vector<float>& values, int decimals, std::vector<int> widths) {
    int mismatches = 0;
    const std::size_t given = widths.size();
    std::string field;
    for (const float value : values) {
        const std::string text = to_chars_text(value, decimals);
        const int length = static_cast<int>(text.size());
        widths.resize(given);
        widths.push_back(length);
        if (length > 1) widths.push_back(length - 1);
        for (const int width : widths) {
            field.clear();
            put_fixed(field, value, width, decimals);
            const std::string expected = field_of(text, width);
            if (field != expected && ++mismatches <= 10) {
                ADD_FAILURE() << std::hexfloat << value << " as F" << width << "." << decimals
                              << ": \"" << field << "\", to_chars gives \"" << expected << "\"";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FixedFieldExact, AgreesWithToCharsAtTheTablesSixDecimals) {
    std::mt19937_64 random(20240601);
    expect_agreement(edge_values(6, random), 6, {11, 12});
    expect_agreement(random_floats(random_values, random), 6, {11, 12});
}

TEST(FixedFieldExact, AgreesWithToCharsAtOtherDecimals) {
    std::mt19937_64 random(7);
    for (int decimals = 0; decimals <= 14; ++decimals) {
        SCOPED_TRACE(decimals);
        expect_agreement(edge_values(decimals, random), decimals, {5, 10});
        expect_agreement(random_floats(random_values / 20, random), decimals, {5, 10});
    }
}

}  // namespace
}  // namespace ruvela
