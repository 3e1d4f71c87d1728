// Free reading of companion files: values found by their text, the way
// people write them by hand or export them from a spreadsheet.
#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ringio/companion.hpp"
#include "ringio/ring_values.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

// How the cells of a column are read: as written, in the unit its header
// names, or counted from 1 at the pith.
struct ColumnRead {
    std::optional<WidthUnit> scale;  // from the column's unit to its field's
    bool counts_pith_ring = false;
};

// The field of each value in the rows, from a header that names them; -1
// where the header names none.
struct Columns {
    int id = -1;
    // A first column without a name of its own, as R and pandas write their
    // row names: an index to pass over when it counts the rows, else the IDs
    // when no other column names them.
    int row_names = -1;
    bool id_may_be_index = false;
    bool rows_seen = false;  // row names are told from the first row
    std::array<int, companion_field_count> values{-1, -1, -1, -1};  // by CompanionField
    // The ends of a value's range ("d2pith_low", "d2pith_high").
    std::array<int, companion_field_count> low{-1, -1, -1, -1}, high{-1, -1, -1, -1};
    int count = 0;
    std::vector<ColumnRead> reads;  // by column

    int& of(CompanionField field) { return values[static_cast<std::size_t>(field)]; }
    int of(CompanionField field) const { return values[static_cast<std::size_t>(field)]; }
    int& end(CompanionField field, bool high_end) {
        return (high_end ? high : low)[static_cast<std::size_t>(field)];
    }
    int end(CompanionField field, bool high_end) const {
        return (high_end ? high : low)[static_cast<std::size_t>(field)];
    }
};

// How a file's rows are split and read, fixed by its first line that is not
// empty or a comment, so that every row is read alike.
struct Layout {
    char separator = ' ';  // ' ' for runs of blanks and tabs
    bool decimal_comma = false;
    bool trailing_separator = false;  // every line ends in one: its last field is empty
    std::optional<Columns> columns;
};

// The texts of a line's fields. Blanks and tabs at the line's ends belong to
// no field, also where tabs separate.
std::vector<std::string> field_texts(std::string_view line, char separator) {
    std::vector<std::string> texts;
    for (Field& field : split_fields(trim(line), separator)) texts.push_back(std::move(field.text));
    return texts;
}

std::vector<std::string> row_fields(std::string_view line, const Layout& layout) {
    std::vector<std::string> fields = field_texts(line, layout.separator);
    if (layout.trailing_separator && fields.size() > 1 && fields.back().empty()) fields.pop_back();
    return fields;
}

// `field` with its one comma as the decimal point, when the file has
// decimal commas; whether it had one.
bool with_decimal_point(std::string& text, bool decimal_comma) {
    const std::size_t comma = text.find(',');
    const bool one_comma = comma != std::string::npos &&
                           text.find(',', comma + 1) == std::string::npos &&
                           text.find('.') == std::string::npos;
    if (decimal_comma && one_comma) text[comma] = '.';
    return decimal_comma && one_comma;
}

// The number a whole field holds, reading its one comma as the decimal
// point when the file has decimal commas.
FreeReal number_in(std::string_view field, bool decimal_comma, bool* comma_read) {
    std::string text(field);
    const bool comma = with_decimal_point(text, decimal_comma);
    if (text.empty() || text.find_first_of(" \t,") != std::string::npos)
        return {0.0f, RealFault::no_number};
    const FreeReal number = read_free_real(text);
    if (number.fault == RealFault::none && comma_read != nullptr && comma) *comma_read = true;
    return number;
}

// A number too small or too large to read is a number all the same: it is
// told as such, not taken for a word.
bool is_number(std::string_view field, bool decimal_comma) {
    return number_in(field, decimal_comma, nullptr).fault != RealFault::no_number;
}

// The separator of a file, from its first line: a semicolon or a tab when
// the line holds one; blanks when a comma sits inside a number ("60,5
// 01A", "60,5"); otherwise the comma, also in a header whose names hold
// blanks ("series,DBH (mm)").
char separator_of(std::string_view line) {
    if (line.find(';') != std::string_view::npos) return ';';
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(',') == std::string_view::npos) return ' ';
    for (const std::string& f : field_texts(line, ' '))
        if (f.find(',') != std::string::npos && is_number(f, true)) return ' ';
    return ',';
}

// NA or nothing: a value the file does not know.
bool is_unknown(std::string_view field) {
    return field.empty() || lower_case(field) == "na";
}

// A header holds words only: no number, and no unknown value of a row. Its
// first cell may be empty (the name of R's row names) and its last (a
// separator that ends every line).
bool is_header(const std::vector<std::string>& fields, const Layout& layout) {
    bool any_word = false;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const std::string& f = fields[k];
        const bool edge = k == 0 || k + 1 == fields.size();
        if (f.empty() && edge) continue;
        if (is_unknown(f) || is_number(f, layout.decimal_comma)) return false;
        any_word = true;
    }
    return any_word;
}

// A header's name of a column taken apart: the name proper, lower case with
// its words joined by "_" ("Pith.Offset" is "pith_offset"), the unit after
// it or in brackets ("dbh_mm", "DBH (mm)", "d2pith [cm]") and whether it
// names an end of the value's range ("d2pith_low", "dbh_cm_max").
struct ColumnName {
    std::string base;
    std::string unit;
    std::optional<bool> high_end;
};

constexpr std::string_view low_end_words[] = {"low", "min"};
constexpr std::string_view high_end_words[] = {"high", "max"};

bool is_one_of(std::string_view word, std::span<const std::string_view> words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

bool is_unit_word(std::string_view word) {
    return column_unit_named(word) != nullptr || is_one_of(word, other_unit_names) ||
           is_one_of(word, ring_count_names);
}

// The words of a name: what lies between blanks, ".", "-" and "_".
std::vector<std::string> words_of(std::string_view text) {
    std::vector<std::string> words(1);
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '.' && c != '-' && c != '_')
            words.back() += c;
        else if (!words.back().empty())
            words.emplace_back();
    }
    if (words.back().empty()) words.pop_back();
    return words;
}

// Takes a range word off the end of `words`.
void take_range_end(std::vector<std::string>& words, ColumnName& name) {
    if (words.size() < 2 || name.high_end) return;
    if (is_one_of(words.back(), low_end_words))
        name.high_end = false;
    else if (is_one_of(words.back(), high_end_words))
        name.high_end = true;
    else
        return;
    words.pop_back();
}

// A unit in brackets, which may stand among other words ("DBH (cm) at 1.3
// m"): the words after it name nothing, but for a range word.
void take_bracketed_unit(std::string& text, ColumnName& name) {
    const std::size_t open = text.find_first_of("([");
    if (open == std::string::npos) return;
    const std::size_t close = text.find_first_of(")]", open);
    if (close == std::string::npos) return;
    std::vector<std::string> inside = words_of(text.substr(open + 1, close - open - 1));
    if (inside.size() == 2 && inside.front() == "in") inside.erase(inside.begin());  // "(in cm)"
    if (inside.size() == 1) name.unit = inside.front();
    const std::vector<std::string> after = words_of(text.substr(close + 1));
    const bool range_word = after.size() == 1 && (is_one_of(after.front(), low_end_words) ||
                                                  is_one_of(after.front(), high_end_words));
    text.resize(open);
    if (range_word) text += " " + after.front();
}

ColumnName column_name(std::string_view header_name) {
    ColumnName name;
    std::string text = lower_case(trim(header_name));
    take_bracketed_unit(text, name);
    std::vector<std::string> words = words_of(text);
    take_range_end(words, name);
    if (name.unit.empty() && words.size() > 1 && is_unit_word(words.back())) {
        name.unit = words.back();
        words.pop_back();
    }
    take_range_end(words, name);
    if (!name.unit.empty() && words.size() > 1 && words.back() == "in") words.pop_back();
    for (const std::string& word : words) {
        if (!name.base.empty()) name.base += '_';
        name.base += word;
    }
    return name;
}

// The names R, pandas and spreadsheets give a column of row names; of them,
// those that name nothing else.
constexpr std::string_view row_name_headers[] = {"", "x", "unnamed: 0", "...1"};
constexpr std::string_view only_row_name_headers[] = {"", "unnamed: 0", "...1"};

void take_column(int& column, int k, bool named) {
    if (named && column < 0) column = k;
}

// The columns a header names, or nothing when it names none.
std::optional<Columns> columns_of(const std::vector<std::string>& header) {
    Columns c;
    c.count = static_cast<int>(header.size());
    c.reads.resize(header.size());
    bool any = false;
    constexpr std::string_view id_names[] = {"series", "id", "series_id"};
    for (int k = 0; k < c.count; ++k) {
        const ColumnName name = column_name(header[static_cast<std::size_t>(k)]);
        const bool id = is_one_of(name.base, id_names);
        take_column(c.id, k, id);
        any = any || id;
        for (const CompanionField field : all_companion_fields) {
            const bool named = is_one_of(name.base, field_info(field).column_names);
            take_column(name.high_end ? c.end(field, *name.high_end) : c.of(field), k, named);
            any = any || named;
        }
    }
    const std::string first = lower_case(trim(header.front()));
    if (is_one_of(first, row_name_headers)) {
        c.row_names = 0;
        any = any || is_one_of(first, only_row_name_headers);
        c.id_may_be_index = c.id < 0;
        if (c.id < 0) c.id = 0;
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
    if (kind.is_table() || value >= 0 || c.id < 0 || !other_unnamed) return;
    std::vector<int> rest;
    for (int k = 0; k < c.count; ++k)
        if (k != c.id && k != c.row_names) rest.push_back(k);
    if (rest.size() == 1) value = rest.front();
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

// A value of a column in another unit than its field's, converted from
// its decimal text in one rounding, as the ring widths of other units are.
std::string convert(std::string_view field, std::string_view what, const Layout& layout,
                    WidthUnit scale, float& value) {
    std::string text(trim(field));
    with_decimal_point(text, layout.decimal_comma);
    if (const std::optional<float> converted = width_in_mm(text, scale)) {
        value = *converted;
        return "";
    }
    std::string why(what);
    why += " \"";
    why += field;
    why += "\" is beyond single precision once converted";
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
    const std::optional<WidthUnit> scale =
        layout.columns ? layout.columns->reads[static_cast<std::size_t>(k)].scale : std::nullopt;
    if (why.empty() && scale) why = convert(text, what, layout, *scale, value);
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

// The column "pith.offset", named so exactly (as R's tree-ring tables write
// it), counts 1 for a core that reaches the pith; this program's offset is
// one less. "Pith.Offset" and "pith_offset" count as this program does.
constexpr std::string_view counted_from_one = "pith.offset";

std::string count_from_the_pith(const Columns& c, CompanionValue& value) {
    const int k = c.of(CompanionField::pith_offset);
    if (k < 0 || !c.reads[static_cast<std::size_t>(k)].counts_pith_ring ||
        value.pith_offset_unknown)
        return "";
    int& offset = value.record.pith_offset;
    if (offset > 0) {
        --offset;
        return "";
    }
    std::string why = value.name.empty() ? "" : "series " + quoted(value.name) + ": ";
    why += "the pith offset " + std::to_string(offset) + " is below 1, though the column " +
           std::string(counted_from_one) + " counts 1 for a core that reaches the pith";
    return why;
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
    if (std::string why = count_from_the_pith(c, value); !why.empty()) return why;
    for (const CompanionField field : kind.optional_fields) {
        if (c.of(field) < 0) continue;
        std::string why = read_field(fields, c.of(field), field, layout, value.record, comma_value);
        if (!why.empty()) return why;
    }
    return read_range_ends(kind, layout, fields, value, comma_value);
}

// A row of one value and perhaps the series ID, in either order: the value
// is the field that is a number, the first when both are; read the other
// way round as well then, for the series' IDs to decide.
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
        CompanionValue::IdFirst other{{}, fields[0]};
        std::string other_comma;
        if (number(0) && number(1) &&
            read_field(fields, 1, kind.value_field(), layout, other.record, other_comma).empty() &&
            unusable_value(kind.kind, other.record).empty())
            value.id_first = std::move(other);
    }
    return read_field(fields, k, kind.value_field(), layout, value.record, comma_value);
}

// Why the unit a column names cannot be read for `field`, or nothing; the
// scale of a unit other than the field's own goes into `read`.
std::string unit_problem(const ColumnName& name, std::string_view header_name,
                         CompanionField field, ColumnRead& read) {
    if (name.unit.empty()) return "";
    const CompanionFieldInfo& info = field_info(field);
    std::string why = "the column " + quoted(header_name) + " gives " + std::string(info.words) +
                      " in \"" + name.unit + "\"";
    if (info.unit.empty()) {
        if (is_one_of(name.unit, ring_count_names)) return "";
        return why + ", but a pith offset is a number of rings, without a unit";
    }
    const ColumnUnit* unit = column_unit_named(name.unit);
    if (unit == nullptr)
        return why + ", a unit this program does not read (mm, cm, m or in)";
    const WidthUnit own = column_unit_named(info.unit)->unit;
    if (unit->unit != own) read.scale = scale_between(unit->unit, own);
    return "";
}

// How each column the kind reads is read: the units its header names, and
// the count from 1 at the pith. Gives why a unit cannot be read, or nothing.
std::string take_column_units(const CompanionKindInfo& kind, const std::vector<std::string>& header,
                              long n, Columns& c, CompanionReading& reading) {
    for (const CompanionField field : all_companion_fields) {
        if (!kind.takes(field)) continue;
        for (const int k : {c.of(field), c.end(field, false), c.end(field, true)}) {
            if (k < 0) continue;
            const std::string& header_name = header[static_cast<std::size_t>(k)];
            ColumnRead& read = c.reads[static_cast<std::size_t>(k)];
            if (std::string why = unit_problem(column_name(header_name), header_name, field, read);
                !why.empty())
                return why;
            if (read.scale)
                reading.converted_columns.push_back(
                    {n, header_name, field, column_unit_named(column_name(header_name).unit)});
        }
    }
    const int po = c.of(CompanionField::pith_offset);
    if (po >= 0 && kind.takes(CompanionField::pith_offset) &&
        trim(header[static_cast<std::size_t>(po)]) == counted_from_one) {
        c.reads[static_cast<std::size_t>(po)].counts_pith_ring = true;
        reading.converted_columns.push_back(
            {n, header[static_cast<std::size_t>(po)], CompanionField::pith_offset, nullptr});
    }
    return "";
}

// Where blanks separate, a unit in brackets after a name ("DBH (cm)") is
// part of that name, not a column of its own.
void join_bracketed_units(std::vector<std::string>& fields) {
    for (std::size_t k = fields.size(); k-- > 1;) {
        const std::string& f = fields[k];
        const bool bracketed = (f.starts_with('(') && f.ends_with(')')) ||
                               (f.starts_with('[') && f.ends_with(']'));
        if (!bracketed) continue;
        fields[k - 1] += ' ' + f;
        fields.erase(fields.begin() + static_cast<std::ptrdiff_t>(k));
    }
}

// The fields of a file's first line and the layout they give its rows.
std::vector<std::string> first_fields(std::string_view line, Layout& layout) {
    layout.separator = separator_of(trim(line));
    layout.decimal_comma = layout.separator != ',';
    std::vector<std::string> fields = field_texts(line, layout.separator);
    layout.trailing_separator = fields.size() > 1 && fields.back().empty() &&
                                (is_header(fields, layout) || fields.size() > 2);
    if (layout.trailing_separator) fields.pop_back();
    if (layout.separator == ' ') join_bracketed_units(fields);
    return fields;
}

// Whether a line is a header that names columns: below a title, the header.
bool names_columns(std::string_view line) {
    Layout layout;
    const std::vector<std::string> fields = first_fields(line, layout);
    return is_header(fields, layout) && columns_of(fields).has_value();
}

// Whether a first line is a title or a header that names no columns.
bool is_nameless_header(std::string_view line) {
    Layout layout;
    const std::vector<std::string> fields = first_fields(line, layout);
    return is_header(fields, layout) && !columns_of(fields).has_value();
}

// Takes the file's first line: its layout, and whether it is a header to
// pass over or read for its column names. Gives why the file cannot be
// read, or nothing.
std::string take_first_line(const CompanionKindInfo& kind, std::string_view line, long n, Layout& layout,
                            bool& header, CompanionReading& reading) {
    const std::vector<std::string> fields = first_fields(line, layout);
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
    if (std::string why = take_column_units(kind, fields, n, *layout.columns, reading);
        !why.empty())
        return why;
    std::string missing = missing_column(kind, *layout.columns, reading.fields_from_files);
    for (const CompanionField field : kind.optional_fields)
        if (layout.columns->of(field) >= 0) reading.optional_fields_named.push_back(field);
    if (!missing.empty()) missing.insert(0, "the header names no ");
    return missing;
}

bool counts_rows(std::string_view cell) {
    return cell == "0" || cell == "1";
}

// R's write.table gives its row names no name in the header: the rows then
// hold one field more than it, the first, which counts the rows or (when
// no column names them) gives the IDs.
void take_unnamed_row_names(Columns& c, const std::vector<std::string>& first_row) {
    if (c.row_names >= 0 || static_cast<int>(first_row.size()) != c.count + 1) return;
    if (c.id >= 0 && !counts_rows(first_row.front())) return;
    const auto shift = [](int& column) {
        if (column >= 0) ++column;
    };
    shift(c.id);
    for (std::array<int, companion_field_count>* columns : {&c.values, &c.low, &c.high})
        for (int& column : *columns) shift(column);
    ++c.count;
    c.reads.insert(c.reads.begin(), ColumnRead{});
    c.row_names = 0;
    c.id_may_be_index = c.id < 0;
    if (c.id < 0) c.id = 0;
}

// A first column of row names counts the rows from 0 or 1 when it is an
// index, which names no series; otherwise it holds the series' IDs.
void decide_row_names(Columns& c, const std::vector<std::string>& first_row) {
    if (c.rows_seen) return;
    c.rows_seen = true;
    take_unnamed_row_names(c, first_row);
    if (!c.id_may_be_index) return;
    const std::string& cell = first_row[static_cast<std::size_t>(c.row_names)];
    if (counts_rows(cell)) c.id = -1;
}

// Takes the first line of words as the header, passed over or read for its
// names; false (with the fault) when the file cannot be read.
bool take_header(const CompanionKindInfo& kind, const std::string& line, long n, Layout& layout,
                 bool& header, CompanionReading& reading) {
    std::string why = take_first_line(kind, line, n, layout, header, reading);
    if (why.empty()) return true;
    reading.fault = CompanionFault{n, line, std::move(why)};
    return false;
}

}  // namespace

namespace {

// The reading of one file, line by line.
struct FreeReading {
    const CompanionKindInfo& kind;
    CompanionReading reading;
    std::optional<Layout> layout;
    // A first line of words that names no column: a title when a header
    // that names columns follows it, else the header.
    std::optional<std::pair<long, std::string>> title;
    LinesPassedOver empty;  // since the last value

    // Takes a line that is neither empty nor a comment; false when the
    // reading stops at it.
    bool take(long n, const std::string& line) {
        if (!layout) {
            layout.emplace();
            bool header = false;
            const bool title_is_header = title && !names_columns(line);
            if (!(title_is_header
                      ? take_header(kind, title->second, title->first, *layout, header, reading)
                      : take_header(kind, line, n, *layout, header, reading)))
                return false;
            if (header && !title_is_header) return true;
        }
        return take_value(n, line);
    }

    bool take_value(long n, const std::string& line) {
        CompanionValue value;
        value.line = n;
        value.text = line;
        const std::vector<std::string> fields = row_fields(line, *layout);
        if (layout->columns) decide_row_names(*layout->columns, fields);
        std::string comma_value;
        std::string why = layout->columns
                              ? read_named_row(kind, *layout, fields, value, comma_value)
                              : read_plain_row(kind, *layout, fields, value, comma_value);
        if (why.empty()) why = unusable_value(kind.kind, value.record);
        if (!why.empty()) {
            reading.fault = CompanionFault{n, line, std::move(why)};
            return false;
        }
        if (!comma_value.empty())
            note_habit(reading, CompanionHabit::decimal_comma, value, comma_value);
        empty = {};
        reading.values.push_back(std::move(value));
        return true;
    }
};

}  // namespace

CompanionReading read_free_companion(CompanionKind kind_read, LineReader& lines,
                                     std::size_t value_limit) {
    FreeReading r{kind_info(kind_read), {}, {}, {}, {}};
    // A first line that holds a number may still be a title ("Site A,
    // 2019"): it is one when a header that names columns follows it.
    std::optional<std::pair<long, std::string>> first_with_numbers;
    std::string line;
    while (r.reading.values.size() <= value_limit && lines.next(line)) {
        const long n = lines.line_number();
        if (is_blank_text(line)) {
            if (r.empty.lines++ == 0) r.empty.first_line = n;
            continue;
        }
        if (trim(line).starts_with('#')) continue;
        if (!r.layout && !r.title && !first_with_numbers) {
            line = std::string(without_byte_order_mark(line));
            if (is_nameless_header(line)) {
                r.title.emplace(n, line);
                continue;
            }
            if (!names_columns(line)) {
                first_with_numbers.emplace(n, line);
                continue;
            }
        }
        if (first_with_numbers) {
            const auto first = *std::exchange(first_with_numbers, std::nullopt);
            if (!names_columns(line) && !r.take(first.first, first.second)) break;
        }
        if (!r.take(n, line)) break;
    }
    if (first_with_numbers && !r.reading.fault) {
        const LinesPassedOver after = r.empty;  // they follow that line
        if (r.take(first_with_numbers->first, first_with_numbers->second)) r.empty = after;
    }
    if (!r.layout && r.title) {
        Layout header_only;
        bool header = false;
        take_header(r.kind, r.title->second, r.title->first, header_only, header, r.reading);
    }
    r.reading.trailing_empty_lines = r.empty;
    return std::move(r.reading);
}

}  // namespace ruvela
