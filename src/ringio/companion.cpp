#include "ringio/companion.hpp"

#include <map>
#include <set>

#include "ringio/readfmt.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

// Reads the next value of `kind` into `record` and gives it as text.
ReadStatus read_value(CompanionKind kind, std::string_view format, LineReader& lines,
                      CompanionRecord& record, ReadReport& report, std::string& value_text) {
    const CompanionField field = kind_info(kind).value_field();
    if (field == CompanionField::pith_offset) {
        const ReadStatus status =
            read_formatted(lines, format, std::span<int>(&record.pith_offset, 1), &report);
        value_text = std::to_string(record.pith_offset);
        return status;
    }
    float& value = field == CompanionField::d2pith ? record.d2pith_mm : record.diameter_cm;
    const ReadStatus status = read_formatted(lines, format, std::span<float>(&value, 1), &report);
    value_text = shortest_text(value);
    return status;
}

void note_habit(HabitSeen& habit, const CompanionValue& at, const std::string& value_text) {
    if (habit.lines++ == 0) {
        habit.first_line = at.line;
        habit.first_text = at.text;
        habit.first_value = value_text;
    }
}

void note_habits(CompanionReading& reading, const ReadReport& report, const CompanionValue& at,
                 const std::string& value_text) {
    auto& habits = reading.habits;
    if (report.field_cuts_token)
        note_habit(habits[static_cast<std::size_t>(CompanionHabit::cut_token)], at, value_text);
    if (report.blanks_between_digits)
        note_habit(habits[static_cast<std::size_t>(CompanionHabit::blanks_between_digits)], at,
                   value_text);
    if (report.implied_decimal_point)
        note_habit(habits[static_cast<std::size_t>(CompanionHabit::implied_decimal_point)], at,
                   value_text);
}

}  // namespace

void note_habit(CompanionReading& reading, CompanionHabit habit, const CompanionValue& at,
                const std::string& value_text) {
    note_habit(reading.habits[static_cast<std::size_t>(habit)], at, value_text);
}

namespace {

// The position of each series ID, when every ID occurs once.
std::optional<std::map<std::string_view, int>> series_by_id(std::span<const std::string_view> ids) {
    std::map<std::string_view, int> by_id;
    int s = 0;
    for (const std::string_view id : ids)
        if (!by_id.emplace(id, ++s).second) return std::nullopt;
    return by_id;
}

// For each value, the series its name gives, when the names are the series
// IDs each exactly once.
std::optional<std::vector<int>> pairing_by_name(std::span<const CompanionValue> values,
                                                std::span<const std::string_view> ids) {
    if (values.size() != ids.size()) return std::nullopt;
    const auto by_id = series_by_id(ids);
    if (!by_id) return std::nullopt;
    std::vector<int> target;
    std::vector<bool> taken(ids.size() + 1, false);
    for (const CompanionValue& value : values) {
        const auto found = by_id->find(value.name);
        if (found == by_id->end() || taken[static_cast<std::size_t>(found->second)])
            return std::nullopt;
        taken[static_cast<std::size_t>(found->second)] = true;
        target.push_back(found->second);
    }
    return target;
}

// The named values, of those with a series in their place, whose name is not
// that series' ID.
std::vector<NameMismatch> mismatches_in_order(std::span<const CompanionValue> values,
                                              std::span<const std::string_view> ids) {
    std::vector<NameMismatch> found;
    for (std::size_t k = 0; k < values.size() && k < ids.size(); ++k) {
        const CompanionValue& value = values[k];
        if (!value.name.empty() && value.name != ids[k])
            found.push_back({value.line, value.name, static_cast<int>(k) + 1});
    }
    return found;
}

// Values that a format read from empty lines, held until a value follows
// (then they are values) or the file ends (then they are passed over).
struct HeldEmptyLines {
    std::vector<CompanionValue> values;  // the first of them, enough to fill the limit
    LinesPassedOver lines;

    void hold(CompanionValue value, std::size_t value_limit) {
        if (lines.lines++ == 0) lines.first_line = value.line;
        if (values.size() <= value_limit) values.push_back(std::move(value));
    }
    // They stand between values: each is a value read as 0.
    void release_into(std::vector<CompanionValue>& into, std::size_t value_limit) {
        for (CompanionValue& value : values)
            if (into.size() <= value_limit) into.push_back(std::move(value));
        *this = {};
    }
};

CompanionReading read_with_format(CompanionKind kind, std::string_view format, LineReader& lines,
                                  std::size_t value_limit) {
    CompanionReading reading;
    HeldEmptyLines held;
    while (reading.values.size() <= value_limit) {
        CompanionValue value;
        ReadReport report;
        std::string value_text;
        const ReadStatus status = read_value(kind, format, lines, value.record, report, value_text);
        if (status == ReadStatus::end_of_file) break;
        value.line = lines.line_number();
        value.text = report.last_line;
        if (status == ReadStatus::done && is_blank_text(value.text) && report.lines_used == 1) {
            value.empty_line = true;
            held.hold(std::move(value), value_limit);
            continue;
        }
        held.release_into(reading.values, value_limit);  // a value or an error follows them
        if (status == ReadStatus::conversion_error) {
            reading.conversion_error = true;
            if (report.lines_used > 0)
                reading.fault =
                    CompanionFault{lines.line_number(), report.last_line, {}, report.bad_field};
            break;
        }
        value.blank_field = report.blank_field;
        if (report.last_column < report.last_line.size())
            value.name =
                std::string(trim(std::string_view(report.last_line).substr(report.last_column)));
        note_habits(reading, report, value, value_text);
        if (std::string why = unusable_value(kind, value.record); !why.empty()) {
            reading.fault = CompanionFault{value.line, value.text, std::move(why)};
            break;
        }
        reading.values.push_back(std::move(value));
    }
    reading.trailing_empty_lines = held.lines;
    return reading;
}

}  // namespace

bool is_free_format(std::string_view format) {
    return trim(format) == free_format;
}

std::string unusable_value(CompanionKind kind, const CompanionRecord& record) {
    const CompanionKindInfo& info = kind_info(kind);
    std::string why;
    if (info.gives(CompanionField::d2pith) && record.d2pith_mm < 0.0f) {
        why = "the distance to the pith ";
        why += shortest_text(record.d2pith_mm);
        why += " mm is negative";
    } else if (info.takes(CompanionField::bark) && record.bark_mm < 0.0f) {
        why = "the bark ";
        why += shortest_text(record.bark_mm);
        why += " mm is negative";
    } else if (info.is_table() && !(record.diameter_cm > 0.0f)) {
        why = "the diameter ";
        why += shortest_text(record.diameter_cm);
        why += " cm is not more than 0";
    }
    return why;
}

CompanionReading read_companion(CompanionKind kind, std::string_view format, LineReader& lines,
                                std::size_t value_limit) {
    if (kind_info(kind).is_table() || is_free_format(format))
        return read_free_companion(kind, lines, value_limit);
    return read_with_format(kind, format, lines, value_limit);
}

bool take_numeric_ids_first(std::span<CompanionValue> values,
                            std::span<const std::string_view> ids) {
    const std::set<std::string_view> id_set(ids.begin(), ids.end());
    int first = 0, second = 0;
    for (const CompanionValue& value : values) {
        if (!value.id_first) continue;
        first += static_cast<int>(id_set.contains(value.id_first->name));
        second += static_cast<int>(id_set.contains(value.name));
    }
    if (first <= second) return false;
    for (CompanionValue& value : values) {
        if (!value.id_first) continue;
        value.record = value.id_first->record;
        value.name = std::move(value.id_first->name);
        value.id_first.reset();
    }
    return true;
}

namespace {

// The values whose name is no series ID; from `from` on.
std::vector<std::size_t> naming_no_series(std::span<const CompanionValue> values,
                                          std::span<const std::string_view> ids,
                                          std::size_t from) {
    const std::set<std::string_view> id_set(ids.begin(), ids.end());
    std::vector<std::size_t> found;
    for (std::size_t k = from; k < values.size(); ++k)
        if (!values[k].name.empty() && !id_set.contains(values[k].name)) found.push_back(k);
    return found;
}

// When every value is named and those naming a series pair with the series
// one to one, the others (another core, a mean) are left out.
std::optional<std::vector<int>> pairing_without(std::span<const CompanionValue> values,
                                                std::span<const std::string_view> ids,
                                                std::span<const std::size_t> left_out) {
    for (const CompanionValue& value : values)
        if (value.name.empty()) return std::nullopt;
    std::vector<CompanionValue> kept;
    std::vector<bool> out(values.size(), false);
    for (const std::size_t k : left_out) out[k] = true;
    for (std::size_t k = 0; k < values.size(); ++k)
        if (!out[k]) kept.push_back(values[k]);
    if (kept.empty()) return std::nullopt;
    std::optional<std::vector<int>> kept_target = pairing_by_name(kept, ids);
    if (!kept_target) return std::nullopt;
    std::vector<int> target;
    std::size_t next = 0;
    for (std::size_t k = 0; k < values.size(); ++k)
        target.push_back(out[k] ? 0 : (*kept_target)[next++]);
    return target;
}

}  // namespace

CompanionPairing pair_by_id(std::span<const CompanionValue> values,
                            std::span<const std::string_view> ids, bool read_freely) {
    if (std::vector<std::size_t> left_out = naming_no_series(values, ids, 0);
        read_freely && !left_out.empty())
        if (auto target = pairing_without(values, ids, left_out))
            return {std::move(*target), {}, std::move(left_out)};
    std::vector<NameMismatch> mismatches = mismatches_in_order(values, ids);
    std::vector<std::size_t> beyond;
    if (read_freely) beyond = naming_no_series(values, ids, ids.size());
    if (mismatches.empty()) return {{}, {}, std::move(beyond)};
    if (auto target = pairing_by_name(values, ids)) return {std::move(*target), {}, {}};
    return {{}, std::move(mismatches), std::move(beyond)};
}

RowPairing pair_rows_by_id(std::span<const CompanionValue> values,
                           std::span<const std::string_view> ids) {
    std::map<std::string_view, int> by_id;
    for (std::size_t k = 0; k < ids.size(); ++k) by_id.emplace(ids[k], static_cast<int>(k) + 1);
    RowPairing pairing;
    std::vector<std::size_t> row_of_series(ids.size() + 1, values.size());
    for (std::size_t k = 0; k < values.size(); ++k) {
        const auto found = by_id.find(values[k].name);
        if (found == by_id.end()) return {{}, RowPairing::Problem::unknown_id, k, 0, 0};
        std::size_t& row = row_of_series[static_cast<std::size_t>(found->second)];
        if (row != values.size()) return {{}, RowPairing::Problem::repeated_id, k, row, 0};
        row = k;
        pairing.series_of_value.push_back(found->second);
    }
    for (std::size_t s = 1; s <= ids.size(); ++s)
        if (row_of_series[s] == values.size())
            return {{}, RowPairing::Problem::series_without_row, 0, 0, static_cast<int>(s)};
    return pairing;
}

}  // namespace ruvela
