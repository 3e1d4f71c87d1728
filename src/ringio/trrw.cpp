#include "ringio/trrw.hpp"

#include <algorithm>
#include <array>
#include <optional>

#include "ringio/readfmt.hpp"
#include "ringio/series.hpp"
#include "ringio/units.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

constexpr std::size_t line_length = 80;

// End markers and filler of the layouts.
constexpr int hundredths_end = 999;
constexpr int thousandths_end = -9999;
constexpr int index_end = 9990;  // the writer's empty slot; anything from it on ends a series

// Largest value that the index layout writes unscaled (9989 thousandths).
constexpr float index_max_value = 9.98949f;

// Number of values on a series' first line: the years up to the end of its
// decade (after -1 comes 0, so -10 to -1 is one full line).
int first_line_count(int first_year) {
    if (first_year >= 0) return 10 - first_year % 10;
    const int rest = -(first_year % 10);
    return rest == 0 ? 10 : rest;
}

// A line of the file, cut or padded to 80 columns. Lines of blanks and tabs
// only are passed over: they belong to no series.
bool next_line(LineReader& data, std::string& line) {
    do {
        if (!data.next(line)) return false;
    } while (is_blank_text(line));
    line.resize(line_length, ' ');  // in place: no new string for every line
    return true;
}

struct DecadeLine {
    std::string id;
    bool id_cut = false;  // the year's sign stood in the ID's last column
    int year = 0;
    std::array<int, 10> values{};
    std::array<int, 10> counts{};
};

// Columns 1-8 ID, 9-12 year, 13-72 ten values of 6. Years before -999 stand
// with their sign in column 8 (the ID then has 7 columns).
std::optional<DecadeLine> decode_measurement_line(std::string_view line) {
    DecadeLine d;
    d.id = std::string(line.substr(0, id_length));
    std::string year(columns(line, 9, 12));
    if (line[7] == '-' && year.find_first_not_of("0123456789") == std::string::npos) {
        d.id[7] = ' ';
        d.id_cut = true;
        year.insert(0, 1, '-');
    }
    const auto y = decode_int_field(year);
    if (!y) return std::nullopt;
    d.year = *y;
    for (int j = 0; j < 10; ++j) {
        const auto v = decode_int_field(columns(line, 13 + 6 * j, 18 + 6 * j));
        if (!v) return std::nullopt;
        d.values[j] = *v;
    }
    return d;
}

// Columns 1-6 ID, 7-10 year, 11-80 ten slots of value (4) and count (3).
std::optional<DecadeLine> decode_index_line(std::string_view line) {
    DecadeLine d;
    const auto y = decode_int_field(columns(line, 7, 10));
    if (!y) return std::nullopt;
    d.year = *y;
    for (int j = 0; j < 10; ++j) {
        const int at = 11 + 7 * j;
        const auto v = decode_int_field(columns(line, at, at + 3));
        const auto c = decode_int_field(columns(line, at + 4, at + 6));
        if (!v || !c) return std::nullopt;
        d.values[j] = *v;
        d.counts[j] = *c;
    }
    d.id = std::string(line.substr(0, 6)) + "  ";
    return d;
}

void echo_text_line(const std::string& line, std::ostream* echo, ConsoleLines& console) {
    if (echo) *echo << "\n Title of data: " << line << "\n\n";
    console.push_back("");
    console.push_back(" Title of data:");
    console.push_back(line);
}

// The series has no end marker yet: more values may follow on the next line.
enum class Take { more, ended, too_long };

Take take_measurement_values(const DecadeLine& d, int n, SeriesArgs& s) {
    for (int j = 0; j < n; ++j) {
        const int v = d.values[j];
        if (v == thousandths_end) {
            for (int k = 0; k < s.value_count; ++k)
                s.values[k] = hundredths_read_as_thousandths(s.values[k]);
            s.width_decimals = 3;
            return Take::ended;
        }
        if (v == hundredths_end) return Take::ended;
        if (static_cast<std::size_t>(s.value_count) == s.values.size()) return Take::too_long;
        s.values[s.value_count++] = hundredths_to_mm(v);
    }
    return Take::more;
}

Take take_index_values(const DecadeLine& d, int n, bool store_counts, SeriesArgs& s) {
    for (int j = 10 - n; j < 10; ++j) {
        if (d.values[j] >= index_end) return Take::ended;
        const auto k = static_cast<std::size_t>(s.value_count);
        if (k == s.values.size() || (store_counts && k == s.counts.size())) return Take::too_long;
        s.values[k] = static_cast<float>(d.values[j]) * 0.001f;
        if (store_counts) s.counts[k] = d.counts[j];
        ++s.value_count;
    }
    return Take::more;
}

// A series read so far, for judging its later lines. One damage shows on
// many lines (a missing end marker on every line of the series swallowed, a
// missing decade line on every line after it), so a series gets at most one
// finding of each kind from its lines: the first tells where to look.
struct SeriesTrack {
    long first_line = 0;
    int next_year = 0;
    bool id_cut = false;
    bool other_id_seen = false;
    bool year_noted = false;
};

// An ID whose last column held a year's sign matches on the columns before.
bool same_series_id(const DecadeLine& d, std::string_view id, bool id_cut) {
    const std::size_t n = id_cut || d.id_cut ? id_length - 1 : id_length;
    return std::string_view(d.id).substr(0, n) == id.substr(0, n);
}

// A line after the series' first: another series' ID means an end marker is
// missing, and its years say nothing of this series' any more; a year other
// than the next decade's start, a line missing or repeated. Only the
// measurement layout dates every line.
void note_continuation(const DecadeLine& d, long line, const std::string& id, bool check_year,
                       SeriesTrack& track, std::vector<Finding>& findings) {
    if (track.other_id_seen) return;
    if (!same_series_id(d, id, track.id_cut)) {
        track.other_id_seen = true;
        findings.push_back(
            {.kind = FindingKind::id_changed, .line = line, .series = id, .other_id = d.id});
        return;
    }
    if (check_year && !track.year_noted && d.year != track.next_year) {
        track.year_noted = true;
        findings.push_back({.kind = FindingKind::year_out_of_sequence,
                            .line = line,
                            .series = id,
                            .year = d.year,
                            .expected_year = track.next_year});
    }
    track.next_year += 10;
}

void signal_end_of_file(SeriesArgs& s) {
    s.value_count = end_of_file_signal;
    s.series_seq = end_of_file_signal;
}

TrrwOutcome read_counted_block(SeriesArgs& s, LineReader& data, std::ostream* echo,
                               ConsoleLines& console) {
    datar(s.title, s.value_count, s.values, s.first_year, data, console);
    s.series_id = s.title.substr(0, id_length);
    if (s.value_count == end_of_file_signal) s.series_seq = end_of_file_signal;
    if (echo) *echo << "\n Title of data:  " << s.title << "\n\n";
    if (s.value_count > static_cast<int>(s.values.size())) {
        s.value_count = static_cast<int>(s.values.size());
        return TrrwOutcome::too_long;
    }
    return TrrwOutcome::ok;
}

// Thousandths as the measurement layout writes them. 999 and -9999 are end
// markers, so a value that would round to one is moved a thousandth away:
// the file must read back whole.
int measurement_field(float value) {
    const float thousandths = value * 1000.0f;
    const int field = nint(thousandths);
    if (field == hundredths_end) return thousandths < 999.0f ? 998 : 1000;
    if (field == thousandths_end) return thousandths > -9999.0f ? -9998 : -10000;
    return field;
}

// Columns 1-12 of a measurement line. A year before -999 goes the archives'
// way, its sign in column 8, so that the reader gets it back.
void put_measurement_start(std::string& line, std::string_view id, int year) {
    if (year < -999 && year >= -9999) {
        put_text(line, id, id_length - 1);
        line += '-';
        put_int(line, -year, 4);
        return;
    }
    put_text(line, id, id_length);
    put_int(line, year, 4);
}

void write_measurement(const SeriesArgs& s, int value_count, std::ostream& data) {
    std::string lines;
    append_measurement_lines(lines, s.series_id, s.first_year,
                             s.values.first(static_cast<std::size_t>(value_count)));
    data << lines;
}

// A power of ten, 1 or below, that brings the series' largest value within
// the four columns of an index slot.
float index_write_factor(std::span<const float> values) {
    const float largest = *std::max_element(values.begin(), values.end());
    float factor = 1.0f;
    while (largest * factor > index_max_value) factor *= 0.1f;
    return factor;
}

void write_index(const SeriesArgs& s, int value_count, std::ostream& data, Console& con) {
    const auto values = s.values.first(static_cast<std::size_t>(value_count));
    const float factor = index_write_factor(values);
    if (factor != 1.0f) {
        std::string message = ">> Sbr TRRW: Series ";
        put_text(message, s.series_id, id_length);
        message += " max value";
        put_fixed(message, *std::max_element(values.begin(), values.end()), 12, 3);
        message += " multiplied by";
        put_fixed(message, factor, 10, 6);
        write_line(con, message);
    }
    const bool own_counts = s.counts.size() >= values.size() && s.counts[0] > 0;
    int year = s.first_year;
    int slot = 11 - first_line_count(year);  // slot of the first year's last digit, 1 to 10
    int k = 0;
    std::string line;
    for (;;) {
        std::array<int, 10> slot_values;
        std::array<int, 10> slot_counts{};
        slot_values.fill(index_end);
        bool finished = false;
        for (int j = slot; j <= 10; ++j) {
            if (k == value_count) {
                finished = true;
                break;
            }
            slot_values[j - 1] = nint(s.values[k] * 1000.0f * factor);
            slot_counts[j - 1] = own_counts ? s.counts[k] : 1;
            ++k;
        }
        line.clear();
        put_text(line, s.series_id, 6);
        put_int(line, year, 4);
        for (int j = 0; j < 10; ++j) {
            put_int(line, slot_values[j], 4);
            put_int(line, slot_counts[j], 3);
        }
        data << line << '\n';
        if (finished) return;
        year = year - slot + 11;
        slot = 1;
    }
}

}  // namespace

bool parse_trrw_mode(std::string_view code, TrrwMode& mode) {
    constexpr std::pair<std::string_view, TrrwMode> modes[] = {
        {"MR", TrrwMode::mr}, {"IR", TrrwMode::ir}, {"MW", TrrwMode::mw}, {"IW", TrrwMode::iw}};
    for (const auto& [name, m] : modes) {
        if (code == name) {
            mode = m;
            return true;
        }
    }
    return false;
}

TrrwOutcome trrw_read(TrrwMode mode, SeriesArgs& s, LineReader& data, std::ostream* echo,
                      ConsoleLines& console, std::vector<Finding>& findings) {
    const bool index = mode == TrrwMode::ir;
    const bool store_counts = !(index && s.series_id.starts_with("******"));
    s.value_count = 0;
    s.width_decimals = index ? std::nullopt : std::optional(2);
    s.series_seq = std::max(s.series_seq, 0) + 1;
    int data_lines = 0;
    int text_lines = 0;
    int n = 0;
    SeriesTrack track;
    for (;;) {
        if (!next_line(data, s.title)) {
            if (data_lines > 0) {
                findings.push_back({.kind = FindingKind::series_unended,
                                    .line = track.first_line,
                                    .series = s.series_id,
                                    .year = s.first_year});
            }
            signal_end_of_file(s);
            return TrrwOutcome::ok;
        }
        if (s.value_count == 0 && s.title[line_length - 1] == '#') {
            data.unread(s.title);
            s.width_decimals.reset();
            return read_counted_block(s, data, echo, console);
        }
        const auto d = index ? decode_index_line(s.title) : decode_measurement_line(s.title);
        if (!d) {
            if (++text_lines > max_text_lines) return TrrwOutcome::too_many_text_lines;
            echo_text_line(s.title, echo, console);
            continue;
        }
        if (++data_lines == 1) {
            s.first_line = data.line_number();
            s.series_id = d->id;
            s.first_year = d->year;
            n = first_line_count(d->year);
            track = {data.line_number(), d->year + n, d->id_cut};
        } else {
            n = 10;
            note_continuation(*d, data.line_number(), s.series_id, !index, track, findings);
        }
        const Take take =
            index ? take_index_values(*d, n, store_counts, s) : take_measurement_values(*d, n, s);
        if (take == Take::ended) return TrrwOutcome::ok;
        if (take == Take::too_long) return TrrwOutcome::too_long;
    }
}

DecadeFile::DecadeFile(LineReader& lines) : lines(lines) {
    std::string line;
    while (lines.next(line)) {
        if (is_blank_text(line)) continue;
        first_line = line;
        lines.unread(std::move(line));
        return;
    }
}

TrrwOutcome read_decade_series(DecadeFile& file, TrrwMode mode, SeriesArgs& s, std::ostream* echo,
                               ConsoleLines& console) {
    const TrrwOutcome outcome = trrw_read(mode, s, file.lines, echo, console, file.findings);
    const bool stopped = outcome == TrrwOutcome::too_many_text_lines;
    if (stopped || (s.series_seq == end_of_file_signal && file.series_read == 0)) {
        // What the lines of a file with no series showed comes of reading
        // another kind of file as decade lines: it would only mislead.
        if (file.series_read == 0) file.findings.clear();
        file.findings.push_back({.kind = FindingKind::not_decade_format,
                                 .line = stopped ? file.lines.line_number() : 0,
                                 .text = file.first_line});
    } else if (s.series_seq != end_of_file_signal) {
        ++file.series_read;
    }
    return outcome;
}

void append_measurement_lines(std::string& out, std::string_view series_id, int first_year,
                              std::span<const float> values) {
    if (values.empty()) return;
    int year = first_year;
    std::size_t n = static_cast<std::size_t>(first_line_count(year));
    std::size_t k = 0;
    for (;;) {
        put_measurement_start(out, series_id, year);
        // The end marker goes on the line of the last value when there is
        // room for it, or else on a line of its own.
        const std::size_t count = std::min(n, values.size() - k);
        const std::size_t marker = count < n ? 1 : 0;
        const std::size_t at = out.size();
        out.resize(at + 6 * (count + marker) + 1);
        char* field = out.data() + at;
        for (std::size_t j = 0; j < count; ++j)
            field = put_int(field, measurement_field(values[k++]), 6);
        if (marker > 0) field = put_int(field, thousandths_end, 6);
        *field = '\n';
        if (marker > 0) return;
        year += static_cast<int>(n);
        n = 10;
    }
}

void trrw_write(TrrwMode mode, const SeriesArgs& s, std::ostream& data, Console& con) {
    const int value_count = std::min(s.value_count, static_cast<int>(s.values.size()));
    if (value_count <= 0) return;
    if (mode == TrrwMode::iw)
        write_index(s, value_count, data, con);
    else
        write_measurement(s, value_count, data);
}

void datar(std::string& title, int& value_count, std::span<float> values, int& first_year,
           LineReader& data, ConsoleLines& console) {
    std::string line;
    for (;;) {
        if (!next_line(data, line)) {
            value_count = end_of_file_signal;
            return;
        }
        if (!line.starts_with("N  ")) title = line;
        const auto count = decode_int_field(columns(line, 3, 10));
        const auto year = decode_int_field(columns(line, 13, 20));
        const std::string_view format = columns(line, 23, 30);
        const bool parenthesised = format.find('(') != std::string_view::npos &&
                                   format.find(')') != std::string_view::npos;
        if (count && year && *count >= 0 && parenthesised) {
            value_count = *count;
            first_year = *year;
            const auto n = std::min(values.size(), static_cast<std::size_t>(*count));
            switch (read_formatted(data, format, values.first(n))) {
                case ReadStatus::done:
                    break;
                case ReadStatus::conversion_error:
                    console.push_back(">> Sbr DATAR:  Error reading data");
                    break;
                case ReadStatus::end_of_file:
                    console.push_back(">> Sbr DATAR:  Unexpected end reading data");
                    break;
            }
            return;
        }
    }
}

}  // namespace ruvela
