#include "ringio/heidelberg.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ringio/ring_values.hpp"
#include "ringio/units.hpp"
#include "text/fixed_text.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

// A header's value with the line that gives it.
struct Entry {
    std::string value;
    long line = 0;
};

struct Header {
    long line = 0;                         // of HEADER:
    long data_line = 0;                    // of DATA:
    std::string kind;                      // after DATA:
    std::map<std::string, Entry> entries;  // keys lower-cased: files spell KeyCode both ways

    const Entry* find(const std::string& key) const {
        const auto it = entries.find(key);
        return it == entries.end() || it->second.value.empty() ? nullptr : &it->second;
    }
    std::string id() const {
        const Entry* e = find("keycode");
        return e ? e->value : std::string();
    }
};

struct Value {
    std::string text;
    long line = 0;
};

// Lower case without blanks, so that "1/100 mm" and "1/100mm" are one unit.
std::string squeezed(std::string_view text) {
    std::string out;
    for (char c : lower_case(text))
        if (c != ' ' && c != '\t') out.push_back(c);
    return out;
}

// Files write Data: and data: too.
bool is_data_line(std::string_view line) {
    return lower_case(trim(line).substr(0, 5)) == "data:";
}

// A Unit= line without a value names no unit: it is not the default.
std::optional<WidthUnit> unit_of(const Header& h) {
    const auto given = h.entries.find("unit");
    if (given == h.entries.end()) return hundredths;
    return unit_named(squeezed(given->second.value), &UnitName::heidelberg);
}

// Why a series is not a single ring-width series, or empty when it is one.
std::string not_ring_widths(const Header& h) {
    const std::string kind = lower_case(h.kind);
    if (kind == "halfchrono" || kind == "chrono" || kind == "double" || kind == "quadro")
        return "a chronology (DATA:" + excerpt(h.kind) + ")";
    if (kind != "tree" && kind != "single")
        return "DATA:" + excerpt(h.kind) + ", not a single series";
    if (const Entry* e = h.find("datatype")) {
        const std::string type = squeezed(e->value);
        if (type != "ringwidth" && type != "ringwidths")
            return "another quantity than ring width (DataType=" + excerpt(e->value) + ")";
    }
    if (!unit_of(h)) return "a unit not known (Unit=" + excerpt(h.entries.at("unit").value) + ")";
    return {};
}

// A decimal as written: the unit that scales it by one.
constexpr WidthUnit as_written{1, 0};

// A count of rings: a whole number not below zero.
std::optional<int> ring_count_of(const Entry* e) {
    if (!e) return std::nullopt;
    const auto n = whole_number(e->value);
    if (!n || *n < 0) return std::nullopt;
    return n;
}

// A size above zero, in the unit it is written in.
std::optional<float> size_of(const Entry* e) {
    if (!e) return std::nullopt;
    const auto v = width_in_mm(e->value, as_written);
    if (!v || !(*v > 0.0f)) return std::nullopt;
    return v;
}

// Pith= as the lab programs code it: P (or 1) present, - (or 0) absent.
std::optional<bool> pith_presence(const Entry* e) {
    if (!e) return std::nullopt;
    const std::string code = lower_case(e->value);
    if (code == "p" || code == "1") return true;
    if (code == "-" || code == "0") return false;
    return std::nullopt;
}

// What the header says of the pith and the stem. The offset is
// MissingRingsBefore itself (a pith offset counts the missing rings), or 0
// when the pith is marked present without a count. BHD and Circumference
// carry no unit in any file seen; they are taken as centimetres, as foresters
// write a stem's size.
std::optional<PithInfo> pith_of(const Header& h) {
    PithInfo p;
    p.present = pith_presence(h.find("pith"));
    if (p.present) p.present_source = "Pith";
    if (const auto n = ring_count_of(h.find("missingringsbefore"))) {
        p.offset = n;
        p.offset_source = "MissingRingsBefore";
    } else if (p.present == true) {
        p.offset = 0;
        p.offset_source = "Pith";
    }
    if (const auto d = size_of(h.find("bhd"))) {
        p.diameter_cm = d;
        p.diameter_source = "BHD";
    } else if (const auto c = size_of(h.find("circumference"))) {
        p.diameter_cm = *c / 3.14159265f;
        p.diameter_source = "Circumference";
    }
    if (p == PithInfo{}) return std::nullopt;
    return p;
}

class HeidelbergReader {
  public:
    explicit HeidelbergReader(std::string_view content) : text_(without_byte_order_mark(content)) {}

    RingFileReading read() {
        while (next_line()) {
            if (trim(line_).empty()) continue;
            if (!is_heidelberg_header_line(line_))
                return read_error(lines_.line_number(), "a line outside any series");
            Header h;
            if (!read_header(h)) return read_error(h.line, "HEADER: without a DATA: line");
            std::vector<Value> values;
            read_values(values);
            if (auto error = take_series(h, values)) return std::move(*error);
        }
        return std::move(series_).done();
    }

  private:
    bool next_line() { return lines_.next(line_); }

    bool read_header(Header& h) {
        h.line = lines_.line_number();
        while (next_line()) {
            if (is_heidelberg_header_line(line_)) return false;
            if (is_data_line(line_)) {
                h.data_line = lines_.line_number();
                const std::string_view rest = trim(line_);
                h.kind = std::string(trim(rest.substr(5)));
                return true;
            }
            const auto eq = line_.find('=');
            if (eq == std::string::npos) continue;
            h.entries[lower_case(trim(std::string_view(line_).substr(0, eq)))] = {
                std::string(trim(std::string_view(line_).substr(eq + 1))), lines_.line_number()};
        }
        return false;
    }

    // Every value up to the next HEADER: line, which is handed back.
    void read_values(std::vector<Value>& values) {
        while (next_line()) {
            if (is_heidelberg_header_line(line_)) {
                lines_.unread(line_);
                return;
            }
            std::string_view rest = line_;
            const auto semicolon = rest.find(';');
            if (semicolon != std::string_view::npos) {
                values.push_back(
                    {std::string(trim(rest.substr(0, semicolon))), lines_.line_number()});
                continue;
            }
            for (;;) {
                const auto start = rest.find_first_not_of(" \t");
                if (start == std::string_view::npos) break;
                rest.remove_prefix(start);
                const auto end = std::min(rest.find_first_of(" \t"), rest.size());
                values.push_back({std::string(rest.substr(0, end)), lines_.line_number()});
                rest.remove_prefix(end);
            }
        }
    }

    // The error that stops the file, if any.
    std::optional<RingFileReading> take_series(const Header& h, const std::vector<Value>& values) {
        const std::string id = h.id();
        if (std::string why = not_ring_widths(h); !why.empty()) {
            series_.skip(id, h.data_line, std::move(why));
            return std::nullopt;
        }
        Dates d;
        if (auto error = read_dates(h, d)) return error;
        if (!d.begin && !d.end) {
            series_.skip(id, h.data_line, "undated (no DateBegin or DateEnd)");
            return std::nullopt;
        }
        const WidthUnit unit = *unit_of(h);
        std::vector<float> widths;
        widths.reserve(values.size());
        int decimals = 0;
        for (const Value& v : values) {
            const auto w = width_in_mm(v.text, unit);
            if (!w) return read_error(v.line, "value " + quoted(v.text) + " is not a number");
            widths.push_back(*w);
            decimals = std::max(decimals, written_decimals(v.text, unit));
        }
        std::size_t rings = widths.size();
        if (d.length) {
            rings = static_cast<std::size_t>(*d.length);
        } else if (d.begin && d.end) {
            rings = static_cast<std::size_t>(*d.end - *d.begin + 1);
        } else {
            while (rings > 0 && widths[rings - 1] == 0.0f) --rings;
        }
        if (auto error = check_length(h, values, widths, rings)) return error;
        widths.resize(rings);
        const long long first_year =
            d.begin ? *d.begin : *d.end - static_cast<long long>(rings) + 1;
        if (first_year < INT_MIN) return read_error(h.line, "years beyond any calendar");
        if (widths.empty()) {
            series_.skip(id, h.data_line, "no rings");
            return std::nullopt;
        }
        const Entry* key = h.find("keycode");
        series_.keep(id, key ? key->line : h.line, static_cast<int>(first_year), std::move(widths),
                     pith_of(h), decimals);
        return std::nullopt;
    }

    struct Dates {
        std::optional<long long> begin, end, length;
    };

    // DateBegin, DateEnd and Length where given, when they agree.
    std::optional<RingFileReading> read_dates(const Header& h, Dates& d) {
        const std::pair<const char*, std::optional<long long>*> keys[] = {
            {"datebegin", &d.begin}, {"dateend", &d.end}, {"length", &d.length}};
        for (const auto& [key, target] : keys) {
            const Entry* e = h.find(key);
            if (!e) continue;
            const auto v = whole_number(e->value);
            if (!v) return read_error(e->line, quoted(e->value) + " is not a whole number");
            *target = *v;
        }
        if (d.length && *d.length < 0)
            return read_error(h.find("length")->line, "a negative Length");
        if (d.begin && d.end && *d.end < *d.begin)
            return read_error(h.line, "DateEnd before DateBegin");
        if (d.begin && d.end && d.length) {
            // A series across year 0 counts it in some files and not in others.
            const long long span = *d.end - *d.begin + 1;
            const bool without_year_0 = *d.begin < 0 && *d.end > 0 && span - 1 == *d.length;
            if (span != *d.length && !without_year_0)
                return read_error(h.line, "DateBegin, DateEnd and Length disagree");
        }
        return std::nullopt;
    }

    // Values past the series' rings must be the zeros that pad a block.
    std::optional<RingFileReading> check_length(const Header& h, const std::vector<Value>& values,
                                                const std::vector<float>& widths,
                                                std::size_t rings) {
        const std::string counts =
            std::to_string(rings) + " rings by the header but " + std::to_string(widths.size());
        if (widths.size() < rings) {
            const Entry* e = h.find("length");
            return read_error(e ? e->line : h.line, counts + " values in the data");
        }
        for (std::size_t k = rings; k < widths.size(); ++k)
            if (widths[k] != 0.0f)
                return read_error(values[k].line, counts + " values, not zero past the last ring");
        return std::nullopt;
    }

    std::string text_;
    std::istringstream stream_{text_};
    LineReader lines_{stream_};
    std::string line_;
    SeriesCollector series_;
};

}  // namespace

bool is_heidelberg_header_line(std::string_view line) {
    return trim(line) == "HEADER:";
}

RingFileReading read_heidelberg(std::string_view content) {
    return HeidelbergReader(content).read();
}

}  // namespace ruvela
