#include "text/numfmt.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "text/fixed_text.hpp"

namespace ruvela {
namespace {

TEST(Nint, HalvesGoAwayFromZero) {
    EXPECT_EQ(nint(2.5f), 3);
    EXPECT_EQ(nint(-2.5f), -3);
    EXPECT_EQ(nint(0.49999997f), 0);
    EXPECT_EQ(nint(1.2345f * 1000.0f), 1235);  // binary32 product lands on 1234.5
    EXPECT_EQ(nint(-0.0005f * 1000.0f), -1);
}

TEST(Nint, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(nint(1e20f), std::numeric_limits<int>::max());
    EXPECT_EQ(nint(-1e20f), std::numeric_limits<int>::min());
    EXPECT_EQ(nint(std::nanf("")), std::numeric_limits<int>::min());
}

// nint takes its own way within the 32-bit range: it must round as the
// library does everywhere, at halves and at the range's ends too.
TEST(Nint, AgreesWithTheLibraryAcrossTheFloats) {
    const auto library = [](float value) {
        const float rounded = std::round(value);
        if (std::isnan(value) || rounded < -2147483648.0f) return std::numeric_limits<int>::min();
        if (rounded >= 2147483648.0f) return std::numeric_limits<int>::max();
        return static_cast<int>(rounded);
    };
    int mismatches = 0;
    for (std::uint64_t bits = 0; bits <= 0xffffffff; bits += 509) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        for (const float v : {value, std::nextafter(value, 0.0f), value + 0.5f, value - 0.5f}) {
            if (nint(v) != library(v) && ++mismatches <= 10)
                ADD_FAILURE() << std::hexfloat << v << ": " << nint(v) << ", not " << library(v);
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(IntField, RightAlignedOrAsterisks) {
    EXPECT_EQ(int_field(50, 4), "  50");
    EXPECT_EQ(int_field(1001, 4), "1001");
    EXPECT_EQ(int_field(10000, 4), "****");
    EXPECT_EQ(int_field(-999, 4), "-999");
    EXPECT_EQ(int_field(-1000, 4), "****");
    EXPECT_EQ(int_field(0, 5), "    0");
    EXPECT_EQ(int_field(std::numeric_limits<long long>::min(), 20), "-9223372036854775808");
}

// Short fields take a way of their own: it must agree with the digits of
// the standard conversion, right-aligned, or asterisks.
TEST(IntField, AgreesWithToCharsAtEveryWidth) {
    int mismatches = 0;
    for (long long magnitude = 1; magnitude < 10000000000; magnitude = magnitude * 7 + 3) {
        for (const long long value : {magnitude, -magnitude, magnitude / 7, -(magnitude / 7)}) {
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
            const std::string text(digits, end);
            for (int width = 1; width <= 10; ++width) {
                const std::string expected =
                    static_cast<int>(text.size()) > width
                        ? std::string(static_cast<std::size_t>(width), '*')
                        : std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
                if (int_field(value, width) != expected && ++mismatches <= 10)
                    ADD_FAILURE() << value << " in " << width << ": \"" << int_field(value, width)
                                  << '"';
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FixedField, SixDecimalsWithTableWidths) {
    EXPECT_EQ(fixed_field(0.0f, 11, 6), "   0.000000");
    EXPECT_EQ(fixed_field(-0.0f, 11, 6), "   0.000000");
    EXPECT_EQ(fixed_field(3.1415927f, 11, 6), "   3.141593");
    EXPECT_EQ(fixed_field(-1.5f, 12, 6), "   -1.500000");
    EXPECT_EQ(fixed_field(-1e-7f, 11, 6), "  -0.000000");  // negative keeps its sign
    EXPECT_EQ(fixed_field(9999.999f, 11, 6), "9999.999023");
    EXPECT_EQ(fixed_field(10000.0f, 11, 6), "***********");
    EXPECT_EQ(fixed_field(-999.9f, 11, 6), "-999.900024");
    EXPECT_EQ(fixed_field(-1000.0f, 11, 6), "***********");
    EXPECT_EQ(fixed_field(99999.99f, 12, 6), "99999.992188");
    EXPECT_EQ(fixed_field(100000.0f, 12, 6), "************");
}

TEST(FixedField, RoundsFromTheExactBinaryValue) {
    // 0.1f is 0.100000001490116...; 2.675f is 2.67499995231628...
    EXPECT_EQ(fixed_field(0.1f, 11, 9), "0.100000001");
    EXPECT_EQ(fixed_field(2.675f, 5, 2), " 2.67");
    EXPECT_EQ(fixed_field(12.345f, 12, 3), "      12.345");
    EXPECT_EQ(fixed_field(0.1f, 10, 6), "  0.100000");
}

TEST(FixedField, DropsLeadingZeroOnlyWhenThatMakesItFit) {
    EXPECT_EQ(fixed_field(0.5f, 7, 6), ".500000");
    EXPECT_EQ(fixed_field(-0.5f, 8, 6), "-.500000");
    EXPECT_EQ(fixed_field(0.5f, 6, 6), "******");
}

TEST(FixedField, NonFiniteValues) {
    EXPECT_EQ(fixed_field(std::numeric_limits<float>::infinity(), 11, 6), "   Infinity");
    EXPECT_EQ(fixed_field(-std::numeric_limits<float>::infinity(), 5, 2), "*****");
    EXPECT_EQ(fixed_field(std::nanf(""), 11, 6), "        NaN");
    EXPECT_EQ(fixed_field(3.4e38f, 12, 6), "************");
    // 100 characters, more than the converter's buffer holds: not what the
    // buffer held before.
    EXPECT_EQ(fixed_field(3.4e38f, 90, 60), std::string(90, '*'));
}

// Every value must read back to the very same float, or a CSV reader sees
// another number than the fixed-width table was computed from.
TEST(Shortest, ReadsBackToTheSameFloat) {
    const float values[] = {0.1f,  1.0f / 3.0f, 1.3000001f,    17.233f,  -0.5f,
                            1e-7f, 16777216.0f, 3.4028235e38f, 1.4e-45f, 0.0f};
    for (float v : values) {
        std::string text;
        put_shortest(text, v);
        float back = -1.0f;
        const auto res = std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(res.ptr, text.data() + text.size()) << text;
        EXPECT_EQ(back, v) << text;
    }
    const auto shortest = [](float v) {
        std::string text;
        put_shortest(text, v);
        return text;
    };
    EXPECT_EQ(shortest(0.1f), "0.1");
    EXPECT_EQ(shortest(45.0f), "45");
    EXPECT_EQ(shortest(std::nanf("")), "NaN");
    EXPECT_EQ(shortest(-std::numeric_limits<float>::infinity()), "-Inf");
}

TEST(Text, FixedLengthAndTrim) {
    EXPECT_EQ(fixed_text("core1a", 8), "core1a  ");
    EXPECT_EQ(fixed_text("a_very_long_id", 8), "a_very_l");
    EXPECT_EQ(trim_right("ab   "), "ab");
    EXPECT_EQ(trim_right("    "), "");
    std::string s;
    put_text(s, "abc", 2);
    put_text(s, "d", 3);
    EXPECT_EQ(s, "abd  ");
}

}  // namespace
}  // namespace ruvela
