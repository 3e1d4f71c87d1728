// Fixed-width number fields, the way every table and message writes them:
// right-aligned, and filled with asterisks when the value does not fit.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace ruvela {

namespace numfmt_detail {

// The general ways of nint, put_int and put_fixed, for what the short
// ways below decline.
int nint_beyond_int(float value);
char* put_int_field(char* field, long long value, int width);
char* put_fixed_field(char* field, float value, int width, int decimals);

// The eight decimal digits of n < 10^8, leading zeros included, as eight
// characters in one number, the first in the lowest byte. The number is
// split in halves, the halves in pairs and the pairs in digits in the lanes
// of one 64-bit number: each step costs one multiplication however many
// lanes it splits, and no lane's product reaches the next lane.
inline std::uint64_t eight_digits(std::uint32_t n) {
    const std::uint64_t halves = n / 10000 | static_cast<std::uint64_t>(n % 10000) << 32;
    // q * 10486 >> 20 is q / 100 for every q below 10^4, and q * 103 >> 10
    // is q / 10 for every q below 100.
    const std::uint64_t hundreds = (halves * 10486 >> 20) & 0x0000007f0000007f;
    const std::uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
    const std::uint64_t tens = (pairs * 103 >> 10) & 0x000f000f000f000f;
    const std::uint64_t digits = tens | (pairs - tens * 10) << 8;
    return digits + 0x3030303030303030;
}

// The tables' cells, F11.6 to F16.6 of values below 10^4: the exact product
// value * 10^6 rounded to an integer, halves to even, as put_fixed rounds,
// and its ten digits in a few stores of whole words, without a call or a
// branch on the digits. Declines (returns false) for everything else,
// including NaN and the infinities, whose product fails the range test too.
inline bool put_short_six_decimals(char* field, float value, int width) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (width < 11 || width > 16) return false;
    // Adding 2^52 to a double below 2^52 rounds it to an integer, halves to
    // even, and the sum's bits less those of 2^52 are that integer; a
    // product of 2^52 or more leaves 2^52 or more, past the test below.
    const double scaled = std::fabs(static_cast<double>(value)) * 1e6;
    const std::uint64_t n =
        std::bit_cast<std::uint64_t>(scaled + 0x1p52) - std::bit_cast<std::uint64_t>(0x1p52);
    if (!(n < 10000000000)) return false;
    const auto high =
        static_cast<std::uint32_t>(n / 100000000);  // the whole part's first two digits
    const std::uint64_t low_chars =                 // its last two, then the six decimals
        eight_digits(static_cast<std::uint32_t>(n - std::uint64_t{high} * 100000000));
    const int whole_digits = 1 + (n >= 10000000) + (n >= 100000000) + (n >= 1000000000);
    const int sign = value < 0.0f ? 1 : 0;  // none for a negative zero
    const auto w = static_cast<std::size_t>(width);
    if (sign + whole_digits + 7 > width) {
        std::memset(field, '*', w);
        return true;
    }
    char* const end = field + w;
    std::memcpy(field, "        ", 8);  // the blanks left of the four whole digits
    const std::uint32_t high_tens = high * 103 >> 10;
    const std::uint32_t high_chars = 0x3030 + high_tens + ((high - high_tens * 10) << 8);
    std::uint32_t whole_chars = high_chars | static_cast<std::uint32_t>(low_chars & 0xffff) << 16;
    const auto blank = static_cast<std::uint32_t>(std::uint64_t{0xffffffff} >> (8 * whole_digits));
    whole_chars = (whole_chars & ~blank) | (0x20202020u & blank);
    std::memcpy(end - 11, &whole_chars, 4);
    // The last whole digit again, the point and the decimals.
    const std::uint64_t tail = (low_chars & 0xffffffffffff0000) | 0x2e00 | (low_chars >> 8 & 0xff);
    std::memcpy(end - 8, &tail, 8);
    if (sign > 0) end[-8 - whole_digits] = '-';
    return true;
}

// Integer fields of up to eight columns that the number fills without
// asterisks, its digits in one word as in the fixed fields. Declines
// (returns false) for everything else.
inline bool put_short_int(char* field, long long value, int width) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (width < 1 || width > 8) return false;
    const int sign = value < 0 ? 1 : 0;
    const std::uint64_t magnitude = sign > 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                             : static_cast<std::uint64_t>(value);
    if (magnitude >= 100000000) return false;
    const int digits = 1 + (magnitude >= 10) + (magnitude >= 100) + (magnitude >= 1000) +
                       (magnitude >= 10000) + (magnitude >= 100000) + (magnitude >= 1000000) +
                       (magnitude >= 10000000);
    const int blanks = width - digits - sign;
    if (blanks < 0) return false;
    // The last `width` of the eight digits, the leading zeros blank, then the sign.
    std::uint64_t chars = eight_digits(static_cast<std::uint32_t>(magnitude)) >> (8 * (8 - width));
    const std::uint64_t blank = (std::uint64_t{1} << (8 * (blanks + sign))) - 1;
    chars = (chars & ~blank) | (0x2020202020202020 & blank);
    if (sign > 0)
        chars = (chars & ~(std::uint64_t{0xff} << (8 * blanks))) | std::uint64_t{'-'}
                                                                       << (8 * blanks);
    std::memcpy(field, &chars, static_cast<std::size_t>(width));
    return true;
}

}  // namespace numfmt_detail

// Nearest integer, halves away from zero, in single precision. Values past
// the 32-bit range saturate; NaN gives the most negative integer, which no
// field of the program can show, so it prints as asterisks.
inline int nint(float value) {
    // Within the 32-bit range the whole part comes of a conversion, and the
    // rest, which the subtraction gets exactly, settles the rounding.
    if (std::fabs(value) < 2147483648.0f) {
        const int whole = static_cast<int>(value);  // toward zero
        const float rest = value - static_cast<float>(whole);
        return whole + (rest >= 0.5f ? 1 : 0) - (rest <= -0.5f ? 1 : 0);
    }
    return numfmt_detail::nint_beyond_int(value);
}

// Appends `value` right-aligned in `width` columns ("Iw").
void put_int(std::string& out, long long value, int width);

// The same field written over the `width` characters at `field`; returns
// the end of the field. Short fields are formatted in line.
inline char* put_int(char* field, long long value, int width) {
    if (numfmt_detail::put_short_int(field, value, width))
        return field + static_cast<std::size_t>(width);
    return numfmt_detail::put_int_field(field, value, width);
}

// Appends `value` in fixed notation with `decimals` digits after the point,
// right-aligned in `width` columns ("Fw.d"). The value is rounded correctly
// from its exact binary32 value. A negative value keeps its minus sign even
// when it rounds to zero; an exact zero of either sign is written as zero.
void put_fixed(std::string& out, float value, int width, int decimals);

// The same field written over the `width` characters at `field`, for tables
// that are formatted straight into a block; returns the end of the field.
// The tables' usual cells are formatted in line, in the caller's loop.
inline char* put_fixed(char* field, float value, int width, int decimals) {
    if (decimals == 6 && numfmt_detail::put_short_six_decimals(field, value, width))
        return field + static_cast<std::size_t>(width);
    return numfmt_detail::put_fixed_field(field, value, width, decimals);
}

// Appends the shortest text that reads back to the same binary32 value
// (std::to_chars), for files that other programs read. NaN and the
// infinities are written NaN, Inf and -Inf, which R, Python and pandas all read.
void put_shortest(std::string& out, float value);

// Appends a value measured at `decimals` decimals as the decimal that was
// measured: fixed notation with that many digits after the point
// (std::to_chars), "0.67" for the binary32 value 0.66999996 that 67
// hundredths of a millimetre gave. Where that text would hold more
// significant digits than binary32 keeps exactly (6), more than 9 decimals,
// or a NaN or infinity, it is put_shortest's text. Zero is written unsigned.
void put_measured(std::string& out, float value, int decimals);

std::string int_field(long long value, int width);

// The shortest text that reads back as the same float ("45.3", "1e+30").
std::string shortest_text(float value);
std::string fixed_field(float value, int width, int decimals);

}  // namespace ruvela
