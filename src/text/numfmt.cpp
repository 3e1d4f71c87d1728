#include "text/numfmt.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>
#include <type_traits>
#include <utility>

namespace ruvela {

int numfmt_detail::nint_beyond_int(float value) {
    if (std::isnan(value)) return std::numeric_limits<int>::min();
    const float rounded = std::round(value);  // halves away from zero
    if (rounded >= 2147483648.0f) return std::numeric_limits<int>::max();
    if (rounded < -2147483648.0f) return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}

void put_int(std::string& out, long long value, int width) {
    if (width <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(width));
    put_int(out.data() + at, value, width);
}

namespace {

// Up to this many decimals a float times 10^decimals is exact in a double:
// a 24-bit significand times 5^12 (28 bits) fills at most 52 of its 53 bits.
constexpr int max_exact_decimals = 12;

// Adding 2^52 to a double below 2^52 rounds it to an integer, halves to
// even, because the sum's last bit is worth exactly one; and the sum's bits
// less those of 2^52 are that integer (a sum of 2^53 included).
constexpr double two_to_52 = 0x1p52;

constexpr std::uint64_t power_of_ten(int n) {
    return n == 0 ? 1 : 10 * power_of_ten(n - 1);
}

// "00" to "99", for writing digits two at a time.
constexpr char digit_pairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the `count` lowest decimal digits of `n`, leading zeros included,
// to the left of `end` and returns where they start.
char* put_digits_left(char* end, std::uint64_t n, int count) {
    for (; count >= 2; count -= 2, n /= 100) {
        end -= 2;
        std::memcpy(end, digit_pairs + 2 * (n % 100), 2);
    }
    if (count == 1) *--end = static_cast<char>('0' + n % 10);
    return end;
}

// The same for a constant count. Each pair is divided out of `n` on its own
// rather than out of what the previous division left, so that none of them
// waits for another.
template <int Count>
void put_digits_before(char* end, std::uint64_t n) {
    // Divisions of 32-bit numbers cost less.
    using Number = std::conditional_t<Count <= 9, std::uint32_t, std::uint64_t>;
    const auto m = static_cast<Number>(n);
    for (int pair = 0; pair < Count / 2; ++pair) {
        const Number digits = m / static_cast<Number>(power_of_ten(2 * pair)) % 100;
        std::memcpy(end - 2 * (pair + 1), digit_pairs + 2 * digits, 2);
    }
    if constexpr (Count % 2 == 1)
        *(end - Count) =
            static_cast<char>('0' + m / static_cast<Number>(power_of_ten(Count - 1)) % 10);
}

// The 1 to 4 digits of n < 10^4 as four characters in one number, the
// first in the lowest byte, with the leading zeros blank.
std::uint32_t four_digits(std::uint32_t n, int digits) {
    std::uint16_t high, low;
    std::memcpy(&high, digit_pairs + 2 * (n / 100), 2);
    std::memcpy(&low, digit_pairs + 2 * (n % 100), 2);
    const std::uint32_t chars = high | static_cast<std::uint32_t>(low) << 16;
    const auto blank = static_cast<std::uint32_t>(std::uint64_t{0xffffffff} >> (8 * digits));
    return (chars & ~blank) | (0x20202020u & blank);
}

// 10^0 to 10^19, all that a 64-bit number holds.
constexpr auto powers_of_ten = [] {
    std::array<std::uint64_t, 20> powers{};
    for (std::size_t i = 0; i < powers.size(); ++i) powers[i] = power_of_ten(static_cast<int>(i));
    return powers;
}();

// Number of decimal digits of n, none for zero. Small numbers, the usual
// case, are settled by four comparisons that need not wait for each other;
// for larger ones the bit width times log10(2) (1233 / 4096) gives the
// count or one less, and one comparison settles which.
int digit_count(std::uint64_t n) {
    if (n < 10000) return (n >= 1) + (n >= 10) + (n >= 100) + (n >= 1000);
    const int guess = std::bit_width(n) * 1233 >> 12;
    return guess + (n >= powers_of_ten[static_cast<std::size_t>(guess)]);
}

// Writes `text` right-aligned into the `width` characters at `field`, or
// asterisks when it does not fit.
void fill_right(char* field, std::string_view text, std::size_t width) {
    if (text.size() > width) {
        std::memset(field, '*', width);
        return;
    }
    const std::size_t blanks = width - text.size();
    std::memset(field, ' ', blanks);
    std::memcpy(field + blanks, text.data(), text.size());
}

// The fast path: rounds the exact product value * 10^Decimals to an integer,
// halves to even as the general path does, and writes its digits; with the
// decimals a constant, every division is one by a constant. Declines
// (returns false) when the product reaches 2^52, where the rounding step
// stops being exact, and leaves such values to the general path.
template <int Decimals>
bool put_fixed_exact(char* field, float value, std::size_t width) {
    static_assert(Decimals >= 0 && Decimals <= max_exact_decimals);
    constexpr std::uint64_t unit = power_of_ten(Decimals);
    const double scaled = std::fabs(static_cast<double>(value)) * static_cast<double>(unit);
    if (!(scaled < two_to_52)) return false;
    const std::uint64_t n =
        std::bit_cast<std::uint64_t>(scaled + two_to_52) - std::bit_cast<std::uint64_t>(two_to_52);

    const std::size_t sign = value < 0.0f ? 1 : 0;  // none for a negative zero
    constexpr std::size_t point_and_decimals = Decimals > 0 ? Decimals + 1 : 0;
    // The zero before the point is dropped only when that makes the number fit.
    const int least_whole = Decimals == 0 || sign + point_and_decimals < width ? 1 : 0;
    const int whole_digits = std::max(digit_count(n / unit), least_whole);
    if (sign + static_cast<std::size_t>(whole_digits) + point_and_decimals > width) {
        std::memset(field, '*', width);
        return true;
    }
    // Blanks first; the number is then stored over them from the end.
    char* const end = field + width;
    if (width >= 8 && width <= 16) {
        std::memcpy(field, "        ", 8);
        std::memcpy(end - 8, "        ", 8);
    } else {
        std::memset(field, ' ', width);
    }
    put_digits_before<Decimals>(end, n % unit);
    if constexpr (Decimals > 0) *(end - Decimals - 1) = '.';
    char* const whole_end = end - point_and_decimals;
    if (std::endian::native == std::endian::little && whole_digits <= 4 &&
        width >= point_and_decimals + 4) {
        const std::uint32_t chars = four_digits(static_cast<std::uint32_t>(n / unit), whole_digits);
        std::memcpy(whole_end - 4, &chars, 4);
    } else {
        put_digits_left(whole_end, n / unit, whole_digits);
    }
    if (sign > 0) *(whole_end - whole_digits - 1) = '-';
    return true;
}

// The general path, for any number of decimals, through std::to_chars; kept
// out of line so that the fast path's caller stays small.
[[gnu::noinline]] void put_fixed_by_to_chars(char* field, float value, std::size_t width,
                                             int decimals) {
    if (std::isnan(value)) return fill_right(field, "NaN", width);
    if (std::isinf(value)) return fill_right(field, value > 0 ? "Infinity" : "-Infinity", width);
    if (value == 0.0f) value = 0.0f;  // no "-0.000000" for a negative zero
    char buf[80];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    // Only decimals that no field of the program asks for make a longer
    // text; it shows as asterisks, not as what the buffer held before.
    if (res.ec != std::errc{}) {
        std::memset(field, '*', width);
        return;
    }
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    // Like a Fortran F edit, drop the optional zero before the point when
    // only that keeps the number within its field.
    if (text.size() > width) {
        if (text.starts_with("0.")) {
            text.remove_prefix(1);
        } else if (text.starts_with("-0.")) {
            buf[1] = '-';
            text = std::string_view(buf + 1, text.size() - 1);
        }
    }
    fill_right(field, text, width);
}

// A whole field with the decimals fixed: the fast path, or the general one
// where the fast path declines.
template <int Decimals>
char* put_fixed_with(char* field, float value, int width) {
    if (width <= 0) return field;
    const auto w = static_cast<std::size_t>(width);
    if (!put_fixed_exact<Decimals>(field, value, w))
        put_fixed_by_to_chars(field, value, w, Decimals);
    return field + w;
}

using FixedWriter = char* (*)(char*, float, int);

template <int... Decimals>
constexpr std::array<FixedWriter, sizeof...(Decimals)> fixed_writers_for(
    std::integer_sequence<int, Decimals...>) {
    return {&put_fixed_with<Decimals>...};
}

constexpr auto fixed_writers =
    fixed_writers_for(std::make_integer_sequence<int, max_exact_decimals + 1>());

}  // namespace

char* numfmt_detail::put_int_field(char* field, long long value, int width) {
    if (width <= 0) return field;
    const auto w = static_cast<std::size_t>(width);
    const std::size_t sign = value < 0 ? 1 : 0;
    const std::uint64_t magnitude = sign > 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                             : static_cast<std::uint64_t>(value);
    const int digits = std::max(digit_count(magnitude), 1);
    const std::size_t length = sign + static_cast<std::size_t>(digits);
    if (length > w) {
        std::memset(field, '*', w);
        return field + w;
    }
    for (char* blank = field; blank < field + (w - length); ++blank) *blank = ' ';
    char* const end = field + w;
    put_digits_left(end, magnitude, digits);
    if (sign > 0) *(end - digits - 1) = '-';
    return end;
}

// Up to max_exact_decimals, a writer of the fields with those decimals takes
// over the call, so that a table cell costs one call. NaN and the infinities
// fail the fast path's range test and so take the general path.
char* numfmt_detail::put_fixed_field(char* field, float value, int width, int decimals) {
    if (decimals >= 0 && decimals <= max_exact_decimals)
        return fixed_writers[static_cast<std::size_t>(decimals)](field, value, width);
    if (width <= 0) return field;
    const auto w = static_cast<std::size_t>(width);
    put_fixed_by_to_chars(field, value, w, decimals);
    return field + w;
}

void put_fixed(std::string& out, float value, int width, int decimals) {
    if (width <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(width));
    put_fixed(out.data() + at, value, width, decimals);
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

void put_measured(std::string& out, float value, int decimals) {
    constexpr int most_decimals = 9;
    constexpr int exact_digits = std::numeric_limits<float>::digits10;
    if (decimals < 0 || decimals > most_decimals || !std::isfinite(value) ||
        std::fabs(value) >= 1e7f)
        return put_shortest(out, value);
    if (value == 0.0f) value = 0.0f;  // no "-0.00"
    char buf[32];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t first = text.find_first_of("123456789");
    const auto significant =
        first == std::string_view::npos
            ? 0
            : std::count_if(text.begin() + static_cast<long>(first), text.end(),
                            [](char c) { return c >= '0' && c <= '9'; });
    if (significant > exact_digits) return put_shortest(out, value);
    out.append(text);
}

std::string int_field(long long value, int width) {
    std::string s;
    put_int(s, value, width);
    return s;
}

std::string shortest_text(float value) {
    std::string s;
    put_shortest(s, value);
    return s;
}

std::string fixed_field(float value, int width, int decimals) {
    std::string s;
    put_fixed(s, value, width, decimals);
    return s;
}

}  // namespace ruvela
