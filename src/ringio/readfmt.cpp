#include "ringio/readfmt.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <type_traits>

#include "text/fields.hpp"

namespace ruvela {

namespace {

// Deeper nesting than this is no line layout; the limit keeps the parser's
// and the walk's recursion shallow whatever text they are given.
constexpr int max_group_depth = 16;

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Recursive descent over the format without its blanks, lower-cased.
class FormatParser {
  public:
    explicit FormatParser(std::string_view text) {
        for (const char c : text)
            if (!is_blank(c))
                text_.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }

    std::optional<ReadFormat> parse() {
        if (!take('(')) return std::nullopt;
        if (!list(0) || at_ < text_.size()) return std::nullopt;
        if (!format_.has_int_field && !format_.has_real_field) return std::nullopt;
        // Reversion starts at the last group of the outermost level.
        for (int i = 0; i < static_cast<int>(format_.elements.size()); i = next_at_level(i))
            if (format_.elements[i].kind == FormatElement::group) format_.reversion = i;
        return std::move(format_);
    }

  private:
    std::string text_;
    std::size_t at_ = 0;
    ReadFormat format_;

    int next_at_level(int i) const {
        const FormatElement& e = format_.elements[i];
        return e.kind == FormatElement::group ? e.end : i + 1;
    }

    bool take(char c) {
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }

    // An unsigned number, 0 when none stands here; -1 when it is too large.
    int number() {
        long value = 0;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            value = value * 10 + (text_[at_++] - '0');
            if (value > max_format_number) return -1;
        }
        return static_cast<int>(value);
    }

    bool has_number() const {
        return at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]));
    }

    // The elements of a group up to and including its ")".
    bool list(int depth) {
        do {
            if (!element(depth)) return false;
        } while (take(','));
        return take(')');
    }

    bool element(int depth) {
        const bool counted = has_number();
        const int count = counted ? number() : 1;
        if (count <= 0) return false;
        if (take('(')) return group(count, depth + 1);
        if (take('x')) return push({FormatElement::skip, 1, count, 0, 0});
        const bool integer = take('i');
        if (!integer && !take('f') && !take('e') && !take('d') && !take('g')) return false;
        const int width = number();
        if (width <= 0) return false;
        if (integer) {
            format_.has_int_field = true;
            return push({FormatElement::int_field, count, width, 0, 0});
        }
        if (!take('.') || !has_number()) return false;
        const int decimals = number();
        if (decimals < 0) return false;
        format_.has_real_field = true;
        return push({FormatElement::real_field, count, width, decimals, 0});
    }

    bool group(int repeat, int depth) {
        if (depth > max_group_depth) return false;
        const std::size_t start = format_.elements.size();
        format_.elements.push_back({FormatElement::group, repeat, 0, 0, 0});
        if (!list(depth)) return false;
        const auto data = [](const FormatElement& e) {
            return e.kind == FormatElement::int_field || e.kind == FormatElement::real_field;
        };
        if (std::none_of(format_.elements.begin() + static_cast<long>(start) + 1,
                         format_.elements.end(), data))
            return false;  // would repeat without ever reading a value
        format_.elements[start].end = static_cast<int>(format_.elements.size());
        return true;
    }

    bool push(FormatElement e) {
        format_.elements.push_back(e);
        return true;
    }
};

// Fw.d (and Ew.d, Dw.d, Gw.d) input: blanks ignored, a point in the field
// fixes the value, otherwise the last d digits are the fraction; an
// exponent is E or D with an optionally signed integer, or a signed integer.
std::optional<float> decode_real_field(std::string_view field, int decimals) {
    std::string text;
    for (const char c : field)
        if (!is_blank(c)) text.push_back(c);
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
    if (i == text.size()) return 0.0f;  // blanks, or a lone sign
    std::string digits;
    bool point = false;
    long long scale = -decimals;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits.push_back(c);
            if (point) --scale;
        } else if (c == '.' && !point) {
            point = true;
            scale = 0;
        } else {
            break;
        }
    }
    if (digits.empty()) return std::nullopt;
    if (i < text.size()) {
        const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        if (letter == 'e' || letter == 'd')
            ++i;
        else if (text[i] != '+' && text[i] != '-')
            return std::nullopt;
        const std::string_view exponent = std::string_view(text).substr(i);
        if (exponent.find_first_of("0123456789") == std::string_view::npos) return std::nullopt;
        const auto value = decode_int_field(exponent);
        if (!value) return std::nullopt;
        scale += *value;
    }
    const std::string number = (negative ? "-" : "") + digits + "e" + std::to_string(scale);
    float value = 0.0f;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec != std::errc{}) return std::nullopt;  // beyond the binary32 range
    return value;
}

// Bytes that cannot stand in a number at all. A decimal comma and an
// exponent letter are told apart from the others.
FieldFault fault_of(std::string_view field, bool real) {
    if (field.find("\xEF\xBB\xBF") != std::string_view::npos) return FieldFault::byte_order_mark;
    if (field.find('\t') != std::string_view::npos) return FieldFault::tab_in_field;
    if (field.find(',') != std::string_view::npos) return FieldFault::decimal_comma;
    const std::string_view number_characters = real ? " +-0123456789.eEdD" : " +-0123456789";
    for (const char c : field) {
        if (number_characters.find(c) != std::string_view::npos) continue;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        return letter ? FieldFault::letter_in_number : FieldFault::stray_character;
    }
    return FieldFault::malformed_number;
}

enum class Step { more, done, error };

// One read: walks the format's elements over the lines, repeat counts as
// loops, storing one item per data element.
// The habits of fixed fields that quietly read another number than the one
// the line shows.
void note_field(std::string_view line, long long end, std::string_view field, bool real,
                int decimals, ReadReport& report) {
    const auto first = field.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        report.blank_field = true;
        return;
    }
    const auto last = field.find_last_not_of(" \t");
    if (field.substr(first, last - first + 1).find_first_of(" \t") != std::string_view::npos)
        report.blanks_between_digits = true;
    const auto next = static_cast<std::size_t>(end);
    if (last + 1 == field.size() && next < line.size() && !is_blank(line[next]))
        report.field_cuts_token = true;
    if (real && decimals > 0 && field.find('.') == std::string_view::npos)
        report.implied_decimal_point = true;
}

template <typename T>
struct FormatWalk {
    const ReadFormat& format;
    std::span<T> items;
    ReadReport* report = nullptr;
    std::size_t stored = 0;
    std::string line;
    long line_number = 0;
    long long position = 0;  // 0-based column of the next field

    Step walk(int first, int last) {
        for (int i = first; i < last;) {
            const FormatElement& e = format.elements[static_cast<std::size_t>(i)];
            for (int r = 0; r < e.repeat; ++r) {
                const Step step = e.kind == FormatElement::group ? walk(i + 1, e.end) : edit(e);
                if (step != Step::more) return step;
            }
            i = e.kind == FormatElement::group ? e.end : i + 1;
        }
        return Step::more;
    }

    Step edit(const FormatElement& e) {
        const std::string_view field = next_field(e.width);
        if (e.kind == FormatElement::skip) return Step::more;
        if (report)
            note_field(line, position, field, std::is_same_v<T, float>, e.decimals, *report);
        constexpr bool real = std::is_same_v<T, float>;
        std::optional<T> value;
        if (field.find('\t') != std::string_view::npos)
            value = std::nullopt;
        else if constexpr (real)
            value = decode_real_field(field, e.decimals);
        else
            value = decode_int_field(field);
        if (!value) {
            if (report)
                report->bad_field =
                    BadField{line_number, std::string(field), fault_of(field, real)};
            return Step::error;
        }
        items[stored++] = *value;
        return stored == items.size() ? Step::done : Step::more;
    }

    // The next `width` columns; columns past the end of the line are blanks.
    std::string_view next_field(int width) {
        const long long start = position;
        position += width;
        if (start >= static_cast<long long>(line.size())) return {};
        return std::string_view(line).substr(static_cast<std::size_t>(start),
                                             static_cast<std::size_t>(width));
    }
};

template <typename T>
ReadStatus read_items(LineReader& lines, std::string_view text, std::span<T> items,
                      ReadReport* report) {
    std::fill(items.begin(), items.end(), T{});
    const auto format = parse_read_format(text);
    const bool suits =
        format && (std::is_same_v<T, int> ? !format->has_real_field : !format->has_int_field);
    if (!suits) return ReadStatus::conversion_error;
    if (items.empty()) return ReadStatus::done;
    FormatWalk<T> walk{*format, items, report, 0, {}, 0, 0};
    const int end = static_cast<int>(format->elements.size());
    // Every pass stores at least one item (every group holds a data
    // element), so this ends after at most items.size() lines.
    for (int first = 0;; first = format->reversion) {
        if (!lines.next(walk.line)) return ReadStatus::end_of_file;
        walk.line_number = lines.line_number();
        walk.position = 0;
        const Step step = walk.walk(first, end);
        if (report) {
            ++report->lines_used;
            report->last_line = walk.line;
            report->last_column = static_cast<std::size_t>(walk.position);
        }
        switch (step) {
            case Step::done:
                return ReadStatus::done;
            case Step::error:
                return ReadStatus::conversion_error;
            case Step::more:
                break;
        }
    }
}

}  // namespace

std::optional<ReadFormat> parse_read_format(std::string_view text) {
    return FormatParser(text).parse();
}

ReadStatus read_formatted(LineReader& lines, std::string_view format, std::span<int> items,
                          ReadReport* report) {
    return read_items(lines, format, items, report);
}

ReadStatus read_formatted(LineReader& lines, std::string_view format, std::span<float> items,
                          ReadReport* report) {
    return read_items(lines, format, items, report);
}

}  // namespace ruvela
