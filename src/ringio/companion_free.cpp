// Free reading of companion files: values found by their text, the way
// people write them by hand or export them from a spreadsheet.
#include <array>
#include <cmath>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ringio/companion.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

// The field of each value in the rows, from a header that names them; -1
// where the header names none.
struct Columns {
    int id = -1;
    std::array<int, companion_field_count> values{-1, -1, -1, -1};  // by CompanionField
    // The ends of a value's range ("d2pith_low", "d2pith_high").
    std::array<int, companion_field_count> low{-1, -1, -1, -1}, high{-1, -1, -1, -1};
    int count = 0;

    int& of(CompanionField field) { return values[static_cast<std::size_t>(field)]; }
    int of(CompanionField field) const { return values[static_cast<std::size_t>(field)]; }
    int& end(CompanionField field, bool high_end) {
        return (high_end ? high : low)[static_cast<std::size_t>(field)];
    }
    int end(CompanionField field, bool high_end) const {
        return (high_end ? high : low)[static_cast<std::size_t>(field)];
    }
};

// The words after a value's column name that make it an end of the value's
// range, low ends first.
constexpr std::string_view range_end_words[] = {"_low", "_min", "_high", "_max"};

bool is_high_end(std::string_view word) { return word == "_high" || word == "_max"; }

// How a file's rows are split and read, fixed by its first line that is not
// empty or a comment, so that every row is read alike.
struct Layout {
    char separator = ' ';  // ' ' for runs of blanks and tabs
    bool decimal_comma = false;
    std::optional<Columns> columns;
};

// The texts of a line's fields. Blanks and tabs at the line's ends belong to
// no field, also where tabs separate.
std::vector<std::string> field_texts(std::string_view line, char separator) {
    std::vector<std::string> texts;
    for (Field& field : split_fields(trim(line), separator)) texts.push_back(std::move(field.text));
    return texts;
}

// The number a whole field holds, reading its one comma as the decimal
// point when the file has decimal commas.
FreeReal number_in(std::string_view field, bool decimal_comma, bool* comma_read) {
    std::string text(field);
    const std::size_t comma = text.find(',');
    const bool one_comma = comma != std::string::npos &&
                           text.find(',', comma + 1) == std::string::npos &&
                           text.find('.') == std::string::npos;
    if (decimal_comma && one_comma) text[comma] = '.';
    if (text.empty() || text.find_first_of(" \t,") != std::string::npos)
        return {0.0f, RealFault::no_number};
    const FreeReal number = read_free_real(text);
    if (number.fault == RealFault::none && comma_read != nullptr && decimal_comma && one_comma)
        *comma_read = true;
    return number;
}

// A number too small or too large to read is a number all the same: it is
// told as such, not taken for a word.
bool is_number(std::string_view field, bool decimal_comma) {
    return number_in(field, decimal_comma, nullptr).fault != RealFault::no_number;
}

// The separator of a file, from its first line: a semicolon or a tab when
// the line holds one; blanks when its comma sits inside a field ("60,5
// 01A") or makes one number ("60,5"); otherwise the comma.
char separator_of(std::string_view line) {
    if (line.find(';') != std::string_view::npos) return ';';
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(',') == std::string_view::npos) return ' ';
    const std::vector<std::string> fields = field_texts(line, ' ');
    const auto comma_at_edge = [](const std::string& f) {
        return f.starts_with(',') || f.ends_with(',');
    };
    bool edge = false;
    for (const std::string& f : fields) edge = edge || comma_at_edge(f);
    if (fields.size() >= 2 && !edge) return ' ';
    if (fields.size() == 1 && is_number(fields[0], true)) return ' ';
    return ',';
}

// NA or nothing: a value the file does not know.
bool is_unknown(std::string_view field) {
    return field.empty() || lower_case(field) == "na";
}

// A header holds words only: no number, and no unknown value of a row.
bool is_header(const std::vector<std::string>& fields, const Layout& layout) {
    for (const std::string& f : fields)
        if (is_unknown(f) || is_number(f, layout.decimal_comma)) return false;
    return true;
}

// A column name as matched: lower case, with "." "-" and blanks as "_"
// ("Pith.Offset" is "pith_offset").
std::string normalised(std::string_view name) {
    std::string n = lower_case(name);
    for (char& c : n)
        if (c == '.' || c == '-' || c == ' ') c = '_';
    return n;
}

// True when `header_name` is one of `names`, or one of them with "_" and
// the value's unit after it ("dbh_cm").
bool names_column(std::string_view header_name, std::span<const std::string_view> names,
                  std::string_view unit = {}) {
    std::string n = normalised(header_name);
    if (!unit.empty() && n.ends_with(unit) && n.size() > unit.size() + 1 &&
        n[n.size() - unit.size() - 1] == '_')
        n.resize(n.size() - unit.size() - 1);
    for (std::string_view name : names)
        if (n == name) return true;
    return false;
}

// The field and end of a range a header name gives ("d2pith_low",
// "dbh_cm_max", "d2pith_low_mm"), if it names one.
std::optional<std::pair<CompanionField, bool>> range_end_named(std::string_view header_name) {
    const std::string n = normalised(header_name);
    for (const std::string_view word : range_end_words) {
        std::string base = n;
        const std::size_t at = base.rfind(word);
        const std::size_t after = at + word.size();
        if (at == std::string::npos || (after != base.size() && base[after] != '_')) continue;
        base.erase(at, word.size());  // also before a unit: "d2pith_low_mm"
        for (const CompanionField field : all_companion_fields) {
            const CompanionFieldInfo& info = field_info(field);
            if (names_column(base, info.column_names, info.unit))
                return std::pair{field, is_high_end(word)};
        }
    }
    return std::nullopt;
}

void take_column(int& column, int k, bool named) {
    if (named && column < 0) column = k;
}

// The columns a header names, or nothing when it names none.
std::optional<Columns> columns_of(const std::vector<std::string>& header) {
    Columns c;
    c.count = static_cast<int>(header.size());
    bool any = false;
    constexpr std::string_view id_names[] = {"series", "id", "series_id"};
    for (int k = 0; k < c.count; ++k) {
        const std::string& name = header[static_cast<std::size_t>(k)];
        const bool id = names_column(name, id_names);
        take_column(c.id, k, id);
        any = any || id;
        for (const CompanionField field : all_companion_fields) {
            const CompanionFieldInfo& info = field_info(field);
            const bool named = names_column(name, info.column_names, info.unit);
            take_column(c.of(field), k, named);
            any = any || named;
        }
        if (const auto end = range_end_named(name)) {
            take_column(c.end(end->first, end->second), k, true);
            any = true;
        }
    }
    if (!any) return std::nullopt;
    return c;
}

// Of two columns, one the series ID and the other of an unknown name, the
// other holds the values.
void take_unnamed_value_column(const CompanionKindInfo& kind, Columns& c) {
    int& value = c.of(kind.value_field());
    bool other_unnamed = true;
    for (const int column : c.values) other_unnamed = other_unnamed && column < 0;
    if (!kind.is_table() && value < 0 && c.count == 2 && c.id >= 0 && other_unnamed)
        value = 1 - c.id;
}

// The first column the kind needs that the header does not name, in words;
// a column the ring-width files may give instead goes into `from_files`.
std::string missing_column(const CompanionKindInfo& kind, const Columns& c,
                           std::vector<CompanionField>& from_files) {
    if (kind.is_table() && c.id < 0) return "series ID column (series or id)";
    for (const CompanionField field : kind.fields) {
        if (c.of(field) >= 0) continue;
        if (!kind.may_come_from_files(field)) return std::string(field_info(field).missing_column);
        from_files.push_back(field);
    }
    return "";
}


// Reads one field as a real; gives why it cannot, or nothing. The value of
// the first field read with a decimal comma goes into `comma_value`.
std::string read_real(std::string_view field, std::string_view what, const Layout& layout,
                      float& value, std::string& comma_value) {
    std::string why(what);
    if (is_unknown(field)) {
        why += field.empty() ? " is empty" : " is NA";
        why += ": the value is unknown";
        return why;
    }
    bool comma_read = false;
    const FreeReal number = number_in(field, layout.decimal_comma, &comma_read);
    if (number.fault == RealFault::none) {
        value = number.value;
        if (comma_read && comma_value.empty()) comma_value = shortest_text(value);
        return "";
    }
    why += " \"";
    why += field;
    why += "\" ";
    why += real_fault_words(number.fault);
    return why;
}

// Reads one field as a whole number of rings ("12", also "12.0").
std::string read_whole(std::string_view field, std::string_view what, const Layout& layout,
                       int& value, std::string& comma_value) {
    if (const std::optional<int> exact = decode_free_int(field); exact && !field.empty()) {
        value = *exact;
        return "";
    }
    float real = 0.0f;
    std::string why = read_real(field, what, layout, real, comma_value);
    if (!why.empty()) return why;
    if (std::trunc(real) == real && std::fabs(real) < 2147483648.0f) {
        value = static_cast<int>(real);
        return "";
    }
    why = what;
    why += " \"";
    why += field;
    why += "\" is no whole number";
    return why;
}

// Reads field `k` of a row as the record's `field`, the value named `what`
// in messages.
std::string read_field(const std::vector<std::string>& fields, int k, CompanionField field,
                       std::string_view what, const Layout& layout, CompanionRecord& record,
                       std::string& comma_value) {
    const std::string& text = fields[static_cast<std::size_t>(k)];
    if (field == CompanionField::pith_offset)
        return read_whole(text, what, layout, record.pith_offset, comma_value);
    float value = 0.0f;
    std::string why = read_real(text, what, layout, value, comma_value);
    set_value(record, field, value);
    return why;
}

std::string read_field(const std::vector<std::string>& fields, int k, CompanionField field,
                       const Layout& layout, CompanionRecord& record, std::string& comma_value) {
    return read_field(fields, k, field, field_info(field).words, layout, record, comma_value);
}

// The ends of the ranges a row gives its values, each on its side of the
// value; an empty or NA end is no end.
std::string read_range_ends(const CompanionKindInfo& kind, const Layout& layout,
                            const std::vector<std::string>& fields, CompanionValue& value,
                            std::string& comma_value) {
    const Columns& c = *layout.columns;
    for (const CompanionField field : kind.fields) {
        for (const bool high : {false, true}) {
            const int k = c.end(field, high);
            if (k < 0 || is_unknown(fields[static_cast<std::size_t>(k)])) continue;
            const std::string what = std::string(high ? "the high end of " : "the low end of ") +
                                     std::string(field_info(field).words);
            CompanionRecord end = value.record;
            std::string why = read_field(fields, k, field, what, layout, end, comma_value);
            if (!why.empty()) return why;
            const float at = value_of(end, field);
            const float of_value = value_of(value.record, field);
            if (high ? at < of_value : at > of_value)
                return what + ", " + shortest_text(at) + (high ? ", lies below" : ", lies above") +
                       " the value " + shortest_text(of_value);
            value.bounds.end(field, high) = at;
        }
    }
    return "";
}

// A header column for the end of a range that the kind cannot take, in
// words; nothing when every such column has its value.
std::string unusable_range_column(const CompanionKindInfo& kind, const Columns& c,
                                  const std::vector<std::string>& header) {
    for (const CompanionField field : all_companion_fields) {
        for (const bool high : {false, true}) {
            const int k = c.end(field, high);
            if (k < 0) continue;
            const std::string column = "the column " + quoted(header[static_cast<std::size_t>(k)]) +
                                       " gives a range of " + std::string(field_info(field).words);
            if (!kind.gives(field))
                return column + ", which --kind " + std::string(kind.name) + " does not use";
            if (c.of(field) < 0) return column + ", but no column gives the value itself";
        }
    }
    return "";
}

// A table that gives the distance to the pith may leave the pith offset
// empty: the offset is then estimated from the distance.
bool is_estimated_pith_offset(const CompanionKindInfo& kind, CompanionField field,
                              std::string_view cell) {
    return field == CompanionField::pith_offset && kind.gives(CompanionField::d2pith) &&
           is_unknown(cell);
}

// A row under a header that names its columns.
std::string read_named_row(const CompanionKindInfo& kind, const Layout& layout,
                           const std::vector<std::string>& fields, CompanionValue& value,
                           std::string& comma_value) {
    const Columns& c = *layout.columns;
    if (static_cast<int>(fields.size()) != c.count) {
        std::string why = "the row holds ";
        why += std::to_string(fields.size());
        why += " fields where the header names ";
        why += std::to_string(c.count);
        return why;
    }
    if (c.id >= 0) value.name = fields[static_cast<std::size_t>(c.id)];
    for (const CompanionField field : kind.fields) {
        if (c.of(field) < 0) continue;  // from the ring-width files
        if (is_estimated_pith_offset(kind, field, fields[static_cast<std::size_t>(c.of(field))])) {
            value.pith_offset_unknown = true;
            continue;
        }
        std::string why = read_field(fields, c.of(field), field, layout, value.record, comma_value);
        if (!why.empty()) return why;
    }
    for (const CompanionField field : kind.optional_fields) {
        if (c.of(field) < 0) continue;
        std::string why = read_field(fields, c.of(field), field, layout, value.record, comma_value);
        if (!why.empty()) return why;
    }
    return read_range_ends(kind, layout, fields, value, comma_value);
}

// A row of one value and perhaps the series ID, in either order: the value
// is the field that is a number, the first when both are.
std::string read_plain_row(const CompanionKindInfo& kind, const Layout& layout,
                           const std::vector<std::string>& fields, CompanionValue& value,
                           std::string& comma_value) {
    if (fields.size() > 2) return "the line holds more than a value and a series ID";
    int k = 0;
    if (fields.size() == 2) {
        const auto number = [&](int i) {
            return is_number(fields[static_cast<std::size_t>(i)], layout.decimal_comma);
        };
        const bool second_is_value =
            !number(0) && (number(1) || (!is_unknown(fields[0]) && is_unknown(fields[1])));
        k = second_is_value ? 1 : 0;
        value.name = fields[static_cast<std::size_t>(1 - k)];
    }
    return read_field(fields, k, kind.value_field(), layout, value.record, comma_value);
}

// Takes the file's first line: its layout, and whether it is a header to
// pass over or read for its column names. Gives why the file cannot be
// read, or nothing.
std::string take_first_line(const CompanionKindInfo& kind, std::string_view line, long n, Layout& layout,
                            bool& header, CompanionReading& reading) {
    layout.separator = separator_of(trim(line));
    layout.decimal_comma = layout.separator != ',';
    const std::vector<std::string> fields = field_texts(line, layout.separator);
    header = is_header(fields, layout);
    const bool table = kind.is_table();
    if (!header)
        return table ? "the table has no header row naming its columns (series, pith_offset, "
                       "d2pith_mm and dbh_cm)"
                     : "";
    layout.columns = columns_of(fields);
    if (!layout.columns) {
        if (table)
            return "the header names none of the columns series, pith_offset, d2pith_mm, dbh_cm";
        reading.header = {1, n, std::string(line)};
        return "";
    }
    take_unnamed_value_column(kind, *layout.columns);
    if (std::string why = unusable_range_column(kind, *layout.columns, fields); !why.empty())
        return why;
    std::string missing = missing_column(kind, *layout.columns, reading.fields_from_files);
    for (const CompanionField field : kind.optional_fields)
        if (layout.columns->of(field) >= 0) reading.optional_fields_named.push_back(field);
    if (!missing.empty()) missing.insert(0, "the header names no ");
    return missing;
}

}  // namespace

CompanionReading read_free_companion(CompanionKind kind_read, LineReader& lines,
                                     std::size_t value_limit) {
    const CompanionKindInfo& kind = kind_info(kind_read);
    CompanionReading reading;
    std::optional<Layout> layout;
    LinesPassedOver empty;  // since the last value
    std::string line;
    while (reading.values.size() <= value_limit && lines.next(line)) {
        const long n = lines.line_number();
        if (is_blank_text(line)) {
            if (empty.lines++ == 0) empty.first_line = n;
            continue;
        }
        if (trim(line).starts_with('#')) continue;
        if (!layout) {
            layout.emplace();
            bool header = false;
            std::string why = take_first_line(kind, line, n, *layout, header, reading);
            if (!why.empty()) {
                reading.fault = CompanionFault{n, line, std::move(why)};
                break;
            }
            if (header) continue;
        }
        CompanionValue value;
        value.line = n;
        value.text = line;
        const std::vector<std::string> fields = field_texts(line, layout->separator);
        std::string comma_value;
        std::string why = layout->columns
                              ? read_named_row(kind, *layout, fields, value, comma_value)
                              : read_plain_row(kind, *layout, fields, value, comma_value);
        if (why.empty()) why = unusable_value(kind.kind, value.record);
        if (!why.empty()) {
            reading.fault = CompanionFault{n, line, std::move(why)};
            break;
        }
        if (!comma_value.empty())
            note_habit(reading, CompanionHabit::decimal_comma, value, comma_value);
        empty = {};
        reading.values.push_back(std::move(value));
    }
    reading.trailing_empty_lines = empty;
    return reading;
}

}  // namespace ruvela
