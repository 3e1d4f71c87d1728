#include "ringio/ring_values.hpp"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>

#include "ringio/units.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "text/utf8.hpp"

namespace ruvela {

namespace {

// A decimal number as exact digits: sign, digits without leading or
// trailing zeros (empty for zero) and a power of ten.
struct Decimal {
    bool negative = false;
    std::string digits;
    long long exponent = 0;
};

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Exponents past this many digits are beyond any float, and are not summed
// further so that they cannot overflow.
constexpr long long exponent_cap = 100000000;

std::optional<Decimal> parse_decimal(std::string_view text) {
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
    bool any_digit = false;
    bool point = false;
    long long fraction_digits = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (is_digit(c)) {
            any_digit = true;
            if (!(d.digits.empty() && c == '0')) d.digits.push_back(c);
            if (point) ++fraction_digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any_digit) return std::nullopt;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
        if (i == text.size()) return std::nullopt;
        for (; i < text.size() && is_digit(text[i]); ++i)
            if (exponent < exponent_cap) exponent = exponent * 10 + (text[i] - '0');
        if (negative) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;
    // Leading zeros of the fraction were dropped with the others: the
    // exponent counts every fraction digit, so the value stays the same.
    d.exponent = exponent - fraction_digits;
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
    return d;
}

// The value as an int when it is a whole number that fits.
std::optional<int> as_int(const Decimal& d) {
    if (d.digits.empty()) return 0;
    if (d.exponent < 0 || static_cast<long long>(d.digits.size()) + d.exponent > 10)
        return std::nullopt;
    long long v = 0;
    for (char c : d.digits) v = v * 10 + (c - '0');
    for (long long k = 0; k < d.exponent; ++k) v *= 10;
    if (d.negative) v = -v;
    if (v < INT_MIN || v > INT_MAX) return std::nullopt;
    return static_cast<int>(v);
}

// Decimal digits times a factor, exactly (inches are 254 tenths of a
// millimetre).
std::string times(const std::string& digits, int factor) {
    std::string out(digits.size() + 1, '0');
    int carry = 0;
    for (std::size_t k = digits.size(); k-- > 0;) {
        const int v = (digits[k] - '0') * factor + carry;
        out[k + 1] = static_cast<char>('0' + v % 10);
        carry = v / 10;
    }
    out[0] = static_cast<char>('0' + carry % 10);
    for (carry /= 10; carry > 0; carry /= 10)
        out.insert(out.begin(), static_cast<char>('0' + carry % 10));
    return out;
}

}  // namespace

std::optional<float> width_in_mm(std::string_view text, WidthUnit unit) {
    // Most files write whole hundredths or thousandths: no need for exact digits.
    if (unit == hundredths || unit == thousandths) {
        if (const auto v = whole_number(text))
            return unit == hundredths ? hundredths_to_mm(*v) : thousandths_to_mm(*v);
    }
    const auto d = parse_decimal(text);
    if (!d) return std::nullopt;
    if (d->digits.empty()) return 0.0f;
    if (unit == hundredths || unit == thousandths) {
        if (const auto v = as_int(*d))
            return unit == hundredths ? hundredths_to_mm(*v) : thousandths_to_mm(*v);
    }
    const std::string digits = unit.factor == 1 ? d->digits : times(d->digits, unit.factor);
    const long long exponent = d->exponent + unit.exponent;
    // The value lies below 10^magnitude; binary32 ends near 3.4e38 and its
    // smallest step is 1.4e-45.
    const long long magnitude = static_cast<long long>(digits.size()) + exponent;
    if (magnitude > 40 || magnitude < -50) return std::nullopt;
    const std::string exact = (d->negative ? "-" : "") + digits + "e" + std::to_string(exponent);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(exact.data(), exact.data() + exact.size(), value);
    if (error != std::errc{} || end != exact.data() + exact.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int written_decimals(std::string_view text, WidthUnit unit) {
    long long fraction_digits = 0;
    std::size_t i = text.find('.');
    if (i != std::string_view::npos)
        while (++i < text.size() && is_digit(text[i])) ++fraction_digits;
    long long exponent = 0;
    const std::size_t e = text.find_first_of("eE");
    if (e != std::string_view::npos) {
        std::size_t k = e + 1;
        const bool negative = k < text.size() && text[k] == '-';
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
        for (; k < text.size() && is_digit(text[k]); ++k)
            if (exponent < exponent_cap) exponent = exponent * 10 + (text[k] - '0');
        if (negative) exponent = -exponent;
    }
    const long long decimals = fraction_digits - exponent - unit.exponent;
    return static_cast<int>(std::clamp<long long>(decimals, 0, exponent_cap));
}

std::optional<int> whole_number(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string_view without_byte_order_mark(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return text;
}

bool looks_like_utf16(std::string_view head) {
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) return true;
    // Enough characters to tell text from a stray NUL, few enough to stay cheap.
    constexpr std::size_t looked_at = 256;
    const std::size_t pairs = std::min(head.size(), looked_at) / 2;
    if (pairs < 2) return false;
    std::size_t nul_at[2] = {0, 0};
    for (std::size_t k = 0; k < 2 * pairs; k += 2) {
        // Two NULs make U+0000, which no text holds.
        if (head[k] == '\0' && head[k + 1] == '\0') return false;
        if (head[k] == '\0') ++nul_at[0];
        if (head[k + 1] == '\0') ++nul_at[1];
    }
    // A NUL on the other side is a character whose other byte is 0 (U+4E00,
    // U+0100, a combining accent), which must not hide the ASCII around it.
    const auto one_side = [&](std::size_t nul, std::size_t other) {
        return other < nul && 2 * nul >= pairs;
    };
    return one_side(nul_at[0], nul_at[1]) || one_side(nul_at[1], nul_at[0]);
}

std::string shown_id(std::string_view written) {
    std::string id(written);
    for (char& c : id)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return std::string(trim(id));
}

std::string kept_id(std::string_view written) {
    return cut_to_id_length(shown_id(written));
}

// Told once for the file: a file in another encoding holds many such IDs.
std::string SeriesCollector::repaired(std::string_view written_id, long line) {
    std::string id(written_id);
    if (!repair_utf8(id)) return id;
    if (not_utf8_) {
        ++reading_.findings[*not_utf8_].count;
        return id;
    }
    not_utf8_ = reading_.findings.size();
    reading_.findings.push_back(
        {.kind = FindingKind::id_not_utf8, .line = line, .series = kept_id(id), .count = 1});
    return id;
}

void SeriesCollector::keep(std::string_view written, long line, int first_year,
                           std::vector<float> widths, std::optional<PithInfo> pith,
                           std::optional<int> width_decimals) {
    SeriesId id(shown_id(repaired(written, line)), shown_id(written));
    if (id.whole().size() > id_length) {
        Finding f;
        f.kind = FindingKind::id_cut;
        f.line = line;
        f.series = id.cut();
        f.other_id = excerpt(id.whole());
        reading_.findings.push_back(std::move(f));
    }
    // The tables tell series apart by the cut ID.
    if (!ids_.insert(id.cut()).second) {
        Finding f;
        f.kind = FindingKind::duplicate_id;
        f.line = line;
        f.series = id.cut();
        reading_.findings.push_back(std::move(f));
    }
    reading_.series.push_back(
        {std::move(id), first_year, std::move(widths), std::move(pith), width_decimals});
}

void SeriesCollector::skip(std::string_view written_id, long line, std::string why) {
    Finding f;
    f.kind = FindingKind::series_skipped;
    f.line = line;
    f.series = kept_id(repaired(written_id, line));
    f.text = std::move(why);
    reading_.findings.push_back(std::move(f));
}

void SeriesCollector::tell_gap(int first_missing, int last_missing) {
    // The gaps of one series make one finding: a series with a gap every
    // other year would otherwise give thousands.
    const int missing = last_missing - first_missing + 1;
    if (!reading_.findings.empty()) {
        Finding& last = reading_.findings.back();
        if (last.kind == FindingKind::gap_read_as_zero &&
            last.series == reading_.series.back().id.cut()) {
            last.expected_year = last_missing;
            last.count += missing;
            return;
        }
    }
    Finding f;
    f.kind = FindingKind::gap_read_as_zero;
    f.series = reading_.series.back().id.cut();
    f.year = first_missing;
    f.expected_year = last_missing;
    f.count = missing;
    reading_.findings.push_back(std::move(f));
}

RingFileReading SeriesCollector::done() && {
    return std::move(reading_);
}

RingFileReading read_error(long line, std::string text) {
    RingFileReading r;
    r.error = ReadError{line, std::move(text)};
    return r;
}

}  // namespace ruvela
