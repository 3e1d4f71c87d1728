#include "run/companion_file.hpp"

#include <algorithm>
#include <fstream>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "ringio/readfmt.hpp"
#include "ringio/units.hpp"
#include "run/stop.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"
#include "text/numfmt.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

// Lines of one kind of warning that are written one by one; the rest are
// counted in one more line.
constexpr int listed_warnings = 10;

// A diameter more than this many times the measured rings' diameter is
// taken for another unit typed as centimetres.
constexpr float diameter_excess_factor = 10.0f;

std::string quoted(std::string_view text) {
    std::string q(1, '"');
    q.append(text);
    q.push_back('"');
    return q;
}

// One value as read: the line it ends on, that line, and the name after it.
struct CompanionLine {
    long line = 0;
    std::string text;
    std::string name;
};

// A field habit seen on some lines: how many, and the first of them.
struct HabitSeen {
    int lines = 0;
    long first_line = 0;
    std::string first_text;
    std::string first_value;

    void note(const CompanionLine& at, std::string value) {
        if (lines++ == 0) {
            first_line = at.line;
            first_text = at.text;
            first_value = std::move(value);
        }
    }
};

struct CompanionRead {
    std::vector<CompanionLine> lines;
    bool lines_named = true;  // false when a value takes more than one line
    HabitSeen cut_token, blanks_between_digits, implied_decimal_point;
};

// Reads the next value with the user's format into slot n, or into a
// scratch variable when n is past the store's slots, and gives it as text.
ReadStatus read_offset_value(const Answers& answers, PairSeries& pair, LineReader& lines, int n,
                             ReadReport& report, std::string& value_text) {
    float scratch_real = 0.0f;
    int scratch_int = 0;
    const bool stored = n <= max_series;
    if (answers.offset_kind == OffsetKind::pith_offsets) {
        int& item = stored ? pair.pith_offsets(n) : scratch_int;
        const ReadStatus status =
            read_formatted(lines, answers.offset_format, std::span<int>(&item, 1), &report);
        value_text = std::to_string(item);
        return status;
    }
    float& item = stored ? pair.diameters(n) : scratch_real;
    const ReadStatus status =
        read_formatted(lines, answers.offset_format, std::span<float>(&item, 1), &report);
    value_text = shortest_text(item);
    return status;
}

void note_value(CompanionRead& read, const ReadReport& report, long line,
                const std::string& value_text) {
    CompanionLine at{line, report.last_line, {}};
    if (report.lines_used > 1) read.lines_named = false;
    if (report.last_column < report.last_line.size())
        at.name = std::string(trim(std::string_view(report.last_line).substr(report.last_column)));
    if (report.field_cuts_token) read.cut_token.note(at, value_text);
    if (report.blanks_between_digits) read.blanks_between_digits.note(at, value_text);
    if (report.implied_decimal_point) read.implied_decimal_point.note(at, value_text);
    read.lines.push_back(std::move(at));
}

void write_series_row(OffsetKind kind, const PairSeries& pair, Console& con, int n) {
    std::string row = "   ";
    put_int(row, n, 5);
    row += "   ";
    put_text(row, pair.series_ids(n), static_cast<int>(id_length));
    put_int(row, pair.series_first_year(n), 5);
    put_int(row, pair.series_last_year(n), 5);
    put_int(row, pair.series_length(n), 5);
    // A diameter is shown with one decimal, the precision it is measured to.
    if (kind == OffsetKind::pith_offsets)
        put_int(row, pair.pith_offsets(n), 5);
    else
        put_fixed(row, pair.diameters(n), 5, 1);
    write_line(con, row);
}

// The listing of the values read so far, under its heading.
void write_series_table(OffsetKind kind, const PairSeries& pair, int values, Console& con) {
    write_line(con);
    write_line(con, kind == OffsetKind::pith_offsets
                        ? " SERIES#      ID    IYR  LYR   AGE   PITH   "
                        : " SERIES#      ID    IYR  LYR   AGE   DIA.   ");
    for (int n = 1; n <= values; ++n) write_series_row(kind, pair, con, n);
}

void warn_habit(Console& con, const std::string& file, const HabitSeen& habit,
                std::string_view what) {
    if (habit.lines == 0) return;
    write_warning(con, "File " + file + ", line " + std::to_string(habit.first_line) + ": " +
                           quoted(habit.first_text) + " is read as " + habit.first_value + ": " +
                           std::string(what) + "; " + std::to_string(habit.lines) +
                           (habit.lines == 1 ? " line is" : " lines are") + " read this way.");
}

void warn_habits(Console& con, const std::string& file, std::string_view format,
                 const CompanionRead& read) {
    const std::string f = quoted(trim(format));
    warn_habit(con, file, read.cut_token, "the format " + f + " ends a field inside a number");
    warn_habit(con, file, read.blanks_between_digits,
               "blanks inside a field of " + f + " are skipped, so its digits run together");
    warn_habit(con, file, read.implied_decimal_point,
               "a value without a decimal point gets the decimals of " + f);
}

// The position of each series ID, when every ID occurs once.
std::optional<std::map<std::string, int, std::less<>>> series_by_id(const PairSeries& pair) {
    std::map<std::string, int, std::less<>> by_id;
    for (int s = 1; s <= pair.series_count; ++s) {
        if (!by_id.emplace(std::string(trim(pair.series_ids(s))), s).second) return std::nullopt;
    }
    return by_id;
}

// For each value, the series its name gives, when the names are the series
// IDs each exactly once.
std::optional<std::vector<int>> pairing_by_name(const CompanionRead& read, const PairSeries& pair) {
    if (!read.lines_named || static_cast<int>(read.lines.size()) != pair.series_count)
        return std::nullopt;
    const auto by_id = series_by_id(pair);
    if (!by_id) return std::nullopt;
    std::vector<int> target;
    std::vector<bool> taken(static_cast<std::size_t>(pair.series_count) + 1, false);
    for (const CompanionLine& line : read.lines) {
        const auto found = by_id->find(line.name);
        if (found == by_id->end() || taken[static_cast<std::size_t>(found->second)])
            return std::nullopt;
        taken[static_cast<std::size_t>(found->second)] = true;
        target.push_back(found->second);
    }
    return target;
}

template <typename T>
void move_values(PerSeries<T>& values, const std::vector<int>& target) {
    std::vector<T> read(values.begin(),
                        values.begin() + static_cast<std::ptrdiff_t>(target.size()));
    for (std::size_t k = 0; k < target.size(); ++k) values(target[k]) = read[k];
}

// Pairs by name where the names ask for it; otherwise keeps the file's order
// and tells each line whose name is another series' ID.
void pair_values(const std::string& file, const std::string& ring_file, const CompanionRead& read,
                 PairSeries& pair, Console& con) {
    int n = 0;
    bool in_order = true;
    for (const CompanionLine& line : read.lines) {
        ++n;
        if (n > pair.series_count || line.name.empty()) continue;
        if (line.name != trim(pair.series_ids(n))) in_order = false;
    }
    if (in_order) return;
    if (const auto target = pairing_by_name(read, pair)) {
        move_values(pair.pith_offsets, *target);
        move_values(pair.diameters, *target);
        write_warning(con, "File " + file + " lists the series in another order than " + ring_file +
                               "; its values were paired with the series by series ID.");
        return;
    }
    int differing = 0;
    n = 0;
    for (const CompanionLine& line : read.lines) {
        ++n;
        if (n > pair.series_count || line.name.empty()) continue;
        const std::string_view id = trim(pair.series_ids(n));
        if (line.name == id) continue;
        if (++differing <= listed_warnings)
            write_warning(con, "File " + file + ", line " + std::to_string(line.line) +
                                   ": the name " + quoted(line.name) + " is not the ID of series " +
                                   std::to_string(n) + ", " + quoted(id) +
                                   "; the value is used for series " + quoted(id) + ".");
    }
    if (differing > listed_warnings)
        write_warning(con, "File " + file + ": " + std::to_string(differing - listed_warnings) +
                               " more lines name another series than the one in their place.");
}

void check_count(const Answers& answers, int file_index, const PairSeries& pair, Console& con) {
    if (pair.offset_count == pair.series_count) return;
    stop_run(
        con,
        {"Something is wrong in the state of Denmark",
         " The number of estimates/dia. values in file " + answers.offset_file_names(file_index),
         " must equal the number of series in file : " + answers.ring_file_names(file_index),
         " But in fact they do not!",
         " #series = " + int_field(pair.series_count, 4) +
             " #pith offsets = " + int_field(pair.offset_count, 4)});
}

// The radius that the series' rings measure, in cm.
float measured_radius(const PairSeries& pair, const PairTables& tables, int s) {
    float sum = 0.0f;
    for (int y = pair.series_first_year(s); y <= pair.series_last_year(s); ++y)
        sum += tables.ring_width(s, y);
    return mm_to_cm(sum);
}

std::string cm(float value) {
    return std::string(trim(fixed_field(value, 12, 2))) + " cm";
}

// What is implausible about series s's value, or nothing.
std::string implausible_value(OffsetKind kind, const PairSeries& pair, const PairTables& tables,
                              int s) {
    if (kind == OffsetKind::pith_offsets) {
        const int offset = pair.pith_offsets(s);
        return offset < 0 ? "the pith offset " + std::to_string(offset) + " is negative" : "";
    }
    const float diameter = pair.diameters(s);
    const float radius = measured_radius(pair, tables, s);
    if (diameter * 0.5f < radius)
        return "the diameter " + cm(diameter) + " is less than twice the measured radius " +
               cm(radius) + ", so the increments turn negative";
    if (diameter > diameter_excess_factor * (2.0f * radius))
        return "the diameter " + cm(diameter) +
               " is more than 10 times twice the measured radius " + cm(radius) +
               ", as if typed in another unit than centimetres";
    return "";
}

}  // namespace

void read_companion_file(const Answers& answers, int file_index, PairSeries& pair, Console& con) {
    const std::string& name = answers.offset_file_names(file_index);
    const std::string file = file_name_of(name);
    write_line(con);
    write_line(con, " READING PITH ESTIMATE FILE :> " + name);
    std::ifstream stream;
    open_input(stream, file);
    LineReader lines(stream);
    CompanionRead read;
    for (int n = 1;; ++n) {
        ReadReport report;
        std::string value_text;
        const ReadStatus status = read_offset_value(answers, pair, lines, n, report, value_text);
        if (status == ReadStatus::end_of_file) break;
        if (status == ReadStatus::conversion_error) {
            write_series_table(answers.offset_kind, pair, n - 1, con);
            write_line(con);
            write_line(con, " Error offset data");
            end_run(stop_status);
        }
        if (n > max_series) {
            write_series_table(answers.offset_kind, pair, max_series, con);
            stop_run(con, {" File " + file + " holds more than " + std::to_string(max_series) +
                               " values;",
                           " value " + std::to_string(n) + " cannot be stored, and file " +
                               file_name_of(answers.ring_file_names(file_index)) + " holds " +
                               std::to_string(pair.series_count) + " series."});
        }
        note_value(read, report, lines.line_number(), value_text);
    }
    pair.offset_count = static_cast<int>(read.lines.size());
    warn_habits(con, file, answers.offset_format, read);
    pair_values(file, file_name_of(answers.ring_file_names(file_index)), read, pair, con);
    write_series_table(answers.offset_kind, pair, pair.offset_count, con);
    check_count(answers, file_index, pair, con);
}

void check_companion_values(const Answers& answers, int file_index, const PairSeries& pair,
                            const PairTables& tables, Console& con) {
    const std::string file = file_name_of(answers.offset_file_names(file_index));
    int implausible = 0;
    for (int s = 1; s <= pair.series_count; ++s) {
        const std::string why = implausible_value(answers.offset_kind, pair, tables, s);
        if (why.empty()) continue;
        if (++implausible <= listed_warnings)
            write_warning(con, "File " + file + ", series " + std::to_string(s) + ", " +
                                   quoted(trim(pair.series_ids(s))) + ": " + why + ".");
    }
    if (implausible > listed_warnings)
        write_warning(con, "File " + file + ": " + std::to_string(implausible - listed_warnings) +
                               " more series with an implausible value.");
}

}  // namespace ruvela
