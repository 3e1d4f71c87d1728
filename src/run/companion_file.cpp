#include "run/companion_file.hpp"

#include <algorithm>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "ringio/companion.hpp"
#include "ringio/readfmt.hpp"
#include "ringio/ring_format.hpp"
#include "ringio/units.hpp"
#include "run/stop.hpp"
#include "run/warning_text.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"
#include "text/numfmt.hpp"
#include "text/shown_text.hpp"
#include "text/stops.hpp"
#include "text/utf8.hpp"

namespace ruvela {

namespace {

void write_series_row(CompanionKind kind, const PairSeries& pair, Console& con, int n) {
    std::string row = "   ";
    put_int(row, n, 5);
    row += "   ";
    put_text(row, pair.series_ids(n).cut(), static_cast<int>(id_length));
    put_int(row, pair.series_first_year(n), 5);
    put_int(row, pair.series_last_year(n), 5);
    put_int(row, pair.series_length(n), 5);
    kind_info(kind).put_listing(pair.companion(n), row);
    if (pair.companion_source(n).pith_offset_estimated) row += "  pith offset estimated";
    write_line(con, row);
}

// The listing of the values read so far, under its heading.
void write_series_table(CompanionKind kind, const PairSeries& pair, int values, Console& con) {
    write_line(con);
    write_line(con, kind_info(kind).listing_heading);
    for (int n = 1; n <= values; ++n) write_series_row(kind, pair, con, n);
}

void warn_habit(Console& con, const std::string& file, const HabitSeen& habit,
                std::string_view what) {
    if (habit.lines == 0) return;
    write_warning(con, at_line(file, habit.first_line) + quoted(habit.first_text) + " is read as " +
                           habit.first_value + ": " + std::string(what) + "; " +
                           std::to_string(habit.lines) +
                           (habit.lines == 1 ? " line is" : " lines are") + " read this way.");
}

void warn_habits(Console& con, const std::string& file, std::string_view format,
                 const CompanionReading& reading) {
    const std::string f = quoted(trim(format));
    const auto habit = [&](CompanionHabit h) -> const HabitSeen& {
        return reading.habits[static_cast<std::size_t>(h)];
    };
    warn_habit(con, file, habit(CompanionHabit::cut_token),
               "the format " + f + " ends a field inside a number");
    warn_habit(con, file, habit(CompanionHabit::blanks_between_digits),
               "blanks inside a field of " + f + " are skipped, so its digits run together");
    warn_habit(con, file, habit(CompanionHabit::implied_decimal_point),
               "a value without a decimal point gets the decimals of " + f);
    warn_habit(con, file, habit(CompanionHabit::decimal_comma),
               "its comma is read as the decimal point");
}

// A first line without a number, which the user may have meant as a value.
void warn_header_passed_over(Console& con, const std::string& file,
                             const CompanionReading& reading) {
    const LinesPassedOver& header = reading.header;
    if (header.lines > 0)
        write_warning(con, at_line(file, header.first_line) + quoted(header.first_text) +
                               " holds no number; it is passed over as a header.");
}

// "times 25.4", "divided by 10": what a unit's scale does to a value.
std::string scale_words(WidthUnit scale) {
    if (scale.factor == 1 && scale.exponent < 0)
        return "divided by 1" + std::string(static_cast<std::size_t>(-scale.exponent), '0');
    std::string digits = std::to_string(scale.factor);
    if (scale.exponent >= 0)
        return "times " + digits + std::string(static_cast<std::size_t>(scale.exponent), '0');
    const auto places = static_cast<std::size_t>(-scale.exponent);
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    digits.insert(digits.size() - places, ".");
    return "times " + digits;
}

// The columns read in another unit than their field's, or counted from 1 at
// the pith: one line for the file, since the listing's columns keep their
// units.
void warn_converted_columns(Console& con, const std::string& file,
                            const CompanionReading& reading) {
    if (reading.converted_columns.empty()) return;
    std::string text = at_line(file, reading.converted_columns.front().line);
    for (const ConvertedColumn& column : reading.converted_columns) {
        if (&column != &reading.converted_columns.front()) text += "; ";
        text += "the column " + quoted(column.name);
        if (column.unit == nullptr) {
            text += " counts 1 for a core that reaches the pith, so each pith offset is read one "
                    "less";
            continue;
        }
        const ColumnUnit& own = *column_unit_named(field_info(column.field).unit);
        text += " is read in " + std::string(column.unit->words) + " and converted to " +
                std::string(own.words) + " (" +
                scale_words(scale_between(column.unit->unit, own.unit)) + ")";
    }
    write_warning(con, text + ".");
}

void warn_trailing_empty_lines(Console& con, const std::string& file,
                               const CompanionReading& reading) {
    const LinesPassedOver& empty = reading.trailing_empty_lines;
    if (empty.lines == 1)
        write_warning(con, at_line(file, empty.first_line) +
                               "the empty line after the last value is passed over.");
    if (empty.lines > 1)
        write_warning(con, at_line(file, empty.first_line) + "the " + std::to_string(empty.lines) +
                               " empty lines from here after the last value are passed over.");
}

// Empty lines between the values, which a format reads as 0.
void warn_empty_values(Console& con, const std::string& file, const CompanionReading& reading,
                       const PairSeries& pair) {
    ListedWarnings listed;
    for (std::size_t k = 0; k < reading.values.size(); ++k) {
        const CompanionValue& value = reading.values[k];
        if (!(value.empty_line || value.blank_field) || !listed.take()) continue;
        const int s = static_cast<int>(k) + 1;
        std::string series = "series " + std::to_string(s);
        if (s <= pair.series_count) series += ", " + quoted(pair.series_ids(s).shown());
        write_warning(con, at_line(file, value.line) +
                               (value.empty_line ? std::string("the empty line")
                                                 : quoted(value.text) + ", a blank field,") +
                               " is read as the value 0 of " + series +
                               ", as the format reads blanks.");
    }
    if (listed.untold() > 0)
        write_warning(con, "File " + file + ": " + std::to_string(listed.untold()) +
                               " more empty lines or blank fields are read as the value 0.");
}

// The reading stopped at a line it cannot take.
[[noreturn]] void stop_at_fault(Console& con, const std::string& file,
                                const CompanionFault& fault) {
    stop_run(con, {" " + at_line(file, fault.line) + quoted(fault.text), " " + fault.reason + "."});
}

void keep_value(PairSeries& pair, int s, const CompanionValue& value, const std::string& file) {
    pair.companion(s) = value.record;
    const std::string origin = file + ", line " + std::to_string(value.line);
    pair.companion_source(s) = {value.line, value.text, {}, value.bounds,
                                value.pith_offset_unknown};
    pair.companion_source(s).origins.fill(origin);
}

// The series' IDs as their files write them, byte for byte: a companion
// file in the same single-byte encoding names them so.
std::vector<std::string_view> written_ids(const PairSeries& pair) {
    std::vector<std::string_view> ids;
    for (int s = 1; s <= pair.series_count; ++s) ids.push_back(pair.series_ids(s).written());
    return ids;
}

// The series' IDs as the tables show them: a companion file written from
// them names an ID that is not UTF-8 with '?' where its files have bytes.
std::vector<std::string_view> shown_ids(const PairSeries& pair) {
    std::vector<std::string_view> ids;
    for (int s = 1; s <= pair.series_count; ++s) ids.push_back(pair.series_ids(s).name());
    return ids;
}

// IDs that are not UTF-8 and that the companion file names byte for byte
// are in one single-byte encoding, most often Latin-1:
// read so, they are written as UTF-8 instead of with '?'.
void take_single_byte_ids(const std::string& file, const std::string& ring_file,
                          const CompanionReading& reading, std::span<const int> series_of_value,
                          PairSeries& pair, Console& con) {
    int count = 0;
    std::string first;
    long first_line = 0;
    for (std::size_t k = 0; k < reading.values.size() && k < series_of_value.size(); ++k) {
        const int s = series_of_value[k];
        if (s < 1 || s > pair.series_count) continue;
        const SeriesId& id = pair.series_ids(s);
        if (!id.repaired() || reading.values[k].name != id.written()) continue;
        const std::string before(id.name());
        pair.series_ids(s) = SeriesId(latin1_to_utf8(id.written()));
        if (count++ > 0) continue;
        first = quoted(pair.series_ids(s).name()) + " (not " + quoted(before) + ")";
        first_line = reading.values[k].line;
    }
    if (count == 0) return;
    const bool one = count == 1;
    write_warning(con, at_line(file, first_line) + std::to_string(count) +
                           (one ? " series ID that is not UTF-8 matches that of "
                                : " series IDs that are not UTF-8 match those of ") +
                           ring_file + " byte for byte; read as Latin-1, " +
                           (one ? "it is written as UTF-8: "
                                : "they are written as UTF-8, the first ") +
                           first + ".");
}

// For each value in file order, its series: by name, or in its place.
std::vector<int> series_in_place(const CompanionPairing& pairing, std::size_t values) {
    if (!pairing.series_of_value.empty()) return pairing.series_of_value;
    std::vector<int> series(values);
    for (std::size_t k = 0; k < values; ++k) series[k] = static_cast<int>(k) + 1;
    return series;
}

bool in_file_order(std::span<const int> series_of_value) {
    int last = 0;
    for (const int s : series_of_value) {
        if (s == 0) continue;
        if (s != last + 1) return false;
        last = s;
    }
    return true;
}

// Lines that name no series: another core, a mean or total row.
void tell_lines_naming_no_series(const std::string& file, const std::string& ring_file,
                                 const CompanionReading& reading,
                                 const CompanionPairing& pairing, Console& con) {
    const bool left_out = !pairing.series_of_value.empty();
    ListedWarnings listed;
    for (const std::size_t k : pairing.naming_no_series) {
        if (!listed.take()) continue;
        const CompanionValue& value = reading.values[k];
        write_warning(con, at_line(file, value.line) + quoted(shown_text(value.text)) +
                               " names no series of " + ring_file +
                               (left_out ? "; the line is left out." : "."));
    }
    if (listed.untold() > 0)
        write_warning(con, "File " + file + ": " + std::to_string(listed.untold()) +
                               " more lines name no series of " + ring_file +
                               (left_out ? "; they are left out." : "."));
}

// The values in the series' places: by name where the names ask for it
// (lines naming no series then left out); otherwise in the file's order,
// telling each line whose name is another series' ID.
void pair_values(const std::string& file, const std::string& ring_file, bool read_freely,
                 CompanionReading& reading, PairSeries& pair, Console& con) {
    const std::vector<std::string_view> ids = written_ids(pair);
    take_numeric_ids_first(reading.values, ids);
    CompanionPairing pairing = pair_by_id(reading.values, ids, read_freely);
    if (!pairing.mismatches.empty() && shown_ids(pair) != ids) {
        CompanionPairing as_shown = pair_by_id(reading.values, shown_ids(pair), read_freely);
        if (as_shown.mismatches.empty()) pairing = std::move(as_shown);
    }
    const std::vector<int> series = series_in_place(pairing, reading.values.size());
    pair.offset_count = 0;
    for (std::size_t k = 0; k < reading.values.size(); ++k) {
        if (series[k] == 0) continue;
        keep_value(pair, series[k], reading.values[k], file);
        ++pair.offset_count;
    }
    tell_lines_naming_no_series(file, ring_file, reading, pairing, con);
    take_single_byte_ids(file, ring_file, reading, series, pair, con);
    if (!pairing.series_of_value.empty()) {
        if (!in_file_order(pairing.series_of_value))
            write_warning(con, "File " + file + " lists the series in another order than " +
                                   ring_file +
                                   "; its values were paired with the series by series ID.");
        return;
    }
    ListedWarnings listed;
    for (const NameMismatch& m : pairing.mismatches) {
        if (!listed.take()) continue;
        const std::string id(pair.series_ids(m.series).name());
        write_warning(con, at_line(file, m.line) + "the name " + quoted(m.name) +
                               " is not the ID of series " + std::to_string(m.series) + ", " +
                               quoted(id) + "; the value is used for series " + quoted(id) + ".");
    }
    if (listed.untold() > 0)
        write_warning(con, "File " + file + ": " + std::to_string(listed.untold()) +
                               " more lines name another series than the one in their place.");
}

// The proportional method's rows, each in the place of the series it names;
// a row naming no series, a second row of a series and a series without a
// row stop the run, since no value could stand in for them.
void pair_rows(const std::string& file, const std::string& ring_file,
               const CompanionReading& reading, PairSeries& pair, Console& con) {
    const std::vector<std::string_view> ids = written_ids(pair);
    RowPairing pairing = pair_rows_by_id(reading.values, ids);
    if (pairing.problem != RowPairing::Problem::none && shown_ids(pair) != ids) {
        RowPairing as_shown = pair_rows_by_id(reading.values, shown_ids(pair));
        if (as_shown.problem == RowPairing::Problem::none) pairing = std::move(as_shown);
    }
    const auto row = [&](std::size_t k) -> const CompanionValue& { return reading.values[k]; };
    switch (pairing.problem) {
        case RowPairing::Problem::none:
            break;
        case RowPairing::Problem::unknown_id:
            stop_run(con, {" " + at_line(file, row(pairing.value).line) + "series " +
                           quoted(row(pairing.value).name) + " is not in file " + ring_file + "."});
        case RowPairing::Problem::repeated_id:
            stop_run(con,
                     {" " + at_line(file, row(pairing.value).line) + "a second row for series " +
                      quoted(row(pairing.value).name) + " (the first is line " +
                      std::to_string(row(pairing.first_row).line) + ")."});
        case RowPairing::Problem::series_without_row:
            stop_run(con,
                     {" File " + file + " has no row for series " + std::to_string(pairing.series) +
                      ", " + quoted(ids[static_cast<std::size_t>(pairing.series - 1)]) +
                      ", of file " + ring_file + "."});
    }
    for (std::size_t k = 0; k < reading.values.size(); ++k)
        keep_value(pair, pairing.series_of_value[k], reading.values[k], file);
    take_single_byte_ids(file, ring_file, reading, pairing.series_of_value, pair, con);
}

void check_count(const Job& job, int f, const PairSeries& pair, Console& con) {
    if (pair.offset_count == pair.series_count) return;
    write_warning(con, "File " + file_name_of(job.pair(f).companion_file) + " holds " +
                           std::to_string(pair.offset_count) +
                           (pair.offset_count == 1 ? " value" : " values") + " for the " +
                           std::to_string(pair.series_count) + " series of " +
                           file_name_of(job.pair(f).ring_file) + "; it needs one value a series.");
    stop_run(con, {"Something is wrong in the state of Denmark",
                   " The number of estimates/dia. values in file " + job.companion_file_name(f),
                   " must equal the number of series in file : " + job.ring_file_name(f),
                   " But in fact they do not!",
                   " #series = " + int_field(pair.series_count, 4) +
                       " #pith offsets = " + int_field(pair.offset_count, 4)});
}

// Why the format could not read the line, in plain words.
std::string fault_reason(const CompanionFault& fault) {
    if (!fault.field) return "the format cannot read a value from it";
    const BadField& field = *fault.field;
    const std::string shown = quoted(field.field);
    switch (field.fault) {
        case FieldFault::letter_in_number: {
            const std::string_view text = trim(field.field);
            if (text == "NA" || text == "na" || text == "NaN")
                return "NA is no number; every series needs a value (0 rings when none are "
                       "missing)";
            const bool digits = fault.text.find_first_of("0123456789") != std::string::npos;
            return "a letter where the format expects a number, in the field " + shown +
                   (digits ? " (the series ID before the value?)" : " (a header line?)");
        }
        case FieldFault::decimal_comma:
            return "a decimal comma in the field " + shown + "; write the value with a point";
        case FieldFault::tab_in_field:
            return "a tab inside the field " + shown +
                   "; the format counts columns, and a tab is one column";
        case FieldFault::byte_order_mark:
            return "a byte-order mark before the first value (a file saved as UTF-8 with BOM); "
                   "save it without";
        case FieldFault::stray_character:
        case FieldFault::malformed_number:
            break;
    }
    // A number beyond single precision is a number all the same.
    return "the field " + shown + " " +
           std::string(real_fault_words(read_free_real(trim(field.field)).fault));
}

// The values in file order, for a listing before they could be paired.
// The pith offsets to estimate (every one with the job's estimate, else
// those a table leaves empty) from each series' distance and inner rings.
int inner_rings_of(const Job& job) {
    return job.estimate_inner_rings.value_or(job.inner_rings);
}

std::span<const float> widths_of(const PairSeries& pair, const PairTables& tables, int s) {
    const auto rings = static_cast<std::size_t>(std::max(pair.series_length(s), 0));
    return tables.ring_width.cells(s, pair.series_first_year(s), rings);
}

void estimate_pith_offsets(const Job& job, PairSeries& pair, const PairTables& tables) {
    const int inner_rings = inner_rings_of(job);
    for (int s = 1; s <= pair.series_count; ++s) {
        CompanionSource& source = pair.companion_source(s);
        if (!job.estimate_inner_rings && !source.pith_offset_estimated) continue;
        CompanionRecord& record = pair.companion(s);
        record.pith_offset =
            estimated_pith_offset(record.d2pith_mm, widths_of(pair, tables, s), inner_rings);
        source.pith_offset_estimated = true;
        source.origin(CompanionField::pith_offset) =
            "estimated from the distance and " + std::to_string(inner_rings) + " inner rings";
    }
}

// A ring-width file where its companion file belongs stops the pair as
// such: its lines would otherwise be told as values that cannot be read.
void stop_if_ring_width_file(const Job& job, int f, Console& con) {
    const std::string file = file_name_of(job.pair(f).companion_file);
    const std::optional<RingFileSeen> seen = ring_width_content(read_whole_file(file));
    if (!seen) return;
    stop_run(con, {" File " + file + ", given as the companion file of " +
                       file_name_of(job.pair(f).ring_file) + ", looks like a ring-width file (" +
                       std::string(ring_format_name(seen->format)) + " format, " +
                       std::to_string(seen->series) + " series);",
                   " the order of the two names is probably swapped: the ring-width file comes "
                   "first, then its companion file."});
}

void keep_in_file_order(const CompanionReading& reading, std::size_t count, PairSeries& pair) {
    for (std::size_t k = 0; k < count; ++k)
        keep_value(pair, static_cast<int>(k) + 1, reading.values[k], "");
}

}  // namespace

namespace {

// The value of `field` that a series' ring-width file gives, and the key
// that gives it; nothing when the file gives none.
struct FileValue {
    CompanionRecord record;
    std::string source;
};

std::optional<FileValue> file_value(CompanionField field, const std::optional<PithInfo>& pith) {
    if (!pith) return std::nullopt;
    FileValue value;
    switch (field) {
        case CompanionField::pith_offset:
            if (!pith->offset) return std::nullopt;
            value.record.pith_offset = *pith->offset;
            value.source = pith->offset_source;
            return value;
        case CompanionField::d2pith:
            if (!pith->distance_mm) return std::nullopt;
            value.record.d2pith_mm = *pith->distance_mm;
            value.source = pith->distance_source;
            return value;
        case CompanionField::bark:  // no ring-width file gives it
            return std::nullopt;
        case CompanionField::diameter:
            break;
    }
    if (!pith->diameter_cm) return std::nullopt;
    value.record.diameter_cm = *pith->diameter_cm;
    value.source = pith->diameter_source;
    return value;
}

// The bark of a table's own column, else --bark's for every series, else none.
void take_bark(const Job& job, const CompanionReading& reading, PairSeries& pair) {
    if (!kind_info(job.companion_kind).takes(CompanionField::bark)) return;
    const auto& named = reading.optional_fields_named;
    if (std::find(named.begin(), named.end(), CompanionField::bark) != named.end()) return;
    for (int s = 1; s <= pair.series_count; ++s) {
        pair.companion(s).bark_mm = job.bark_mm.value_or(0.0f);
        pair.companion_source(s).origin(CompanionField::bark) = job.bark_mm ? "--bark" : "";
    }
}

// A bark as thick as half the diameter leaves no wood to share the rings
// among: no reading of the value can be right.
void check_bark(const Job& job, const PairSeries& pair, Console& con) {
    if (!kind_info(job.companion_kind).takes(CompanionField::bark)) return;
    for (int s = 1; s <= pair.series_count; ++s) {
        const CompanionRecord& record = pair.companion(s);
        if (record.bark_mm <= 0.0f || mm_to_cm(record.bark_mm) < record.diameter_cm * 0.5f) continue;
        stop_run(con, {" Series " + std::to_string(s) + ", " + quoted(pair.series_ids(s).name()) +
                           ": the bark " + shortest_text(record.bark_mm) +
                           " mm is as thick as half the diameter " +
                           shortest_text(record.diameter_cm) + " cm or thicker (" +
                           pair.companion_source(s).origin(CompanionField::bark) + ");",
                       " the pair cannot be processed."});
    }
}

// Without a companion file each series takes its value from its own
// ring-width file; a series whose file gives none stops the pair.
void take_values_from_ring_files(const Job& job, int f, PairSeries& pair,
                                 const PairTables& tables, Console& con) {
    const CompanionKindInfo& kind = kind_info(job.companion_kind);
    const CompanionField field = kind.value_field();
    for (int s = 1; s <= pair.series_count; ++s) {
        const std::optional<FileValue> value = file_value(field, pair.file_pith(s));
        if (!value)
            stop_run(con, {" Series " + std::to_string(s) + ", " +
                               quoted(pair.series_ids(s).name()) + ", of " +
                               file_name_of(job.pair(f).ring_file) + ": its file gives no " +
                               std::string(field_info(field).words.substr(4)) +
                               " and no companion file is given;",
                           " the pair cannot be processed."});
        pair.companion(s) = value->record;
        pair.companion_source(s) = {};
        pair.companion_source(s).origin(field) =
            file_name_of(job.pair(f).ring_file) + " (" + value->source + ")";
    }
    pair.offset_count = pair.series_count;
    take_bark(job, CompanionReading{}, pair);
    check_bark(job, pair, con);
    estimate_pith_offsets(job, pair, tables);
    write_series_table(job.companion_kind, pair, pair.offset_count, con);
}

// A companion file's value wins over the ring-width file's; where they
// differ, the user hears of it.
void tell_values_that_differ_from_the_files(const Job& job, int f, const PairSeries& pair,
                                            Console& con) {
    const std::string file = file_name_of(job.pair(f).companion_file);
    const CompanionField field = kind_info(job.companion_kind).value_field();
    ListedWarnings listed;
    for (int s = 1; s <= pair.series_count; ++s) {
        const std::optional<FileValue> in_file = file_value(field, pair.file_pith(s));
        if (!in_file) continue;
        CompanionRecord shown = pair.companion(s);
        std::string ours, theirs;
        kind_info(job.companion_kind).put_listing(shown, ours);
        CompanionRecord from_file = shown;
        copy_field(from_file, in_file->record, field);
        kind_info(job.companion_kind).put_listing(from_file, theirs);
        if (ours == theirs || !listed.take()) continue;
        write_warning(con, at_line(file, pair.companion_source(s).line) + "series " +
                               quoted(pair.series_ids(s).shown()) + ": " +
                               std::string(field_info(field).words) + " " +
                               std::string(trim(ours)) + " differs from " +
                               std::string(trim(theirs)) + " in its ring-width file (" +
                               in_file->source + "); the companion file's is used.");
    }
    if (listed.untold() > 0)
        write_warning(con, "File " + file + ": " + std::to_string(listed.untold()) +
                               " more values differ from their ring-width files'.");
}

// The fields a table left out, from each series' ring-width file.
void take_fields_from_ring_files(const Job& job, int f, std::span<const CompanionField> fields,
                                 PairSeries& pair, Console& con) {
    for (int s = 1; s <= pair.series_count; ++s) {
        for (const CompanionField field : fields) {
            // An estimate will stand in for a pith offset the files do not give.
            const bool estimated = field == CompanionField::pith_offset && job.estimate_inner_rings;
            const std::optional<FileValue> value = file_value(field, pair.file_pith(s));
            if (!value && estimated) {
                pair.companion_source(s).pith_offset_estimated = true;
                continue;
            }
            if (!value)
                stop_run(con, {" Series " + std::to_string(s) + ", " +
                                   quoted(pair.series_ids(s).name()) + ", of " +
                                   file_name_of(job.pair(f).ring_file) + ": neither " +
                                   file_name_of(job.pair(f).companion_file) +
                                   " nor its ring-width file gives " +
                                   std::string(field_info(field).words) + ";",
                               " the pair cannot be processed."});
            copy_field(pair.companion(s), value->record, field);
            pair.companion_source(s).origin(field) =
                file_name_of(job.pair(f).ring_file) + " (" + value->source + ")";
        }
    }
}

}  // namespace

void read_companion_file(const Job& job, int f, PairSeries& pair, const PairTables& tables,
                         Console& con) {
    if (job.values_from_ring_files(f))
        return take_values_from_ring_files(job, f, pair, tables, con);
    const std::string file = file_name_of(job.pair(f).companion_file);
    const std::string ring_file = file_name_of(job.pair(f).ring_file);
    write_line(con);
    write_line(con, " READING PITH ESTIMATE FILE :> " + job.companion_file_name(f));
    std::ifstream stream;
    open_input(stream, file);
    LineReader lines(stream);
    CompanionReading reading = read_companion(job.companion_kind, job.companion_format, lines,
                                                    static_cast<std::size_t>(max_series));
    const auto values = static_cast<int>(reading.values.size());
    if (reading.fault || reading.conversion_error || values != pair.series_count)
        stop_if_ring_width_file(job, f, con);
    if (values > max_series) {
        keep_in_file_order(reading, max_series, pair);
        write_series_table(job.companion_kind, pair, max_series, con);
        stop_run(con,
                 {" File " + file + " holds more than " + std::to_string(max_series) + " values;",
                  " value " + std::to_string(values) + " cannot be stored, and file " + ring_file +
                      " holds " + std::to_string(pair.series_count) + " series."});
    }
    if (reading.conversion_error) {
        keep_in_file_order(reading, reading.values.size(), pair);
        write_series_table(job.companion_kind, pair, values, con);
        if (reading.fault)
            write_warning(con, at_line(file, reading.fault->line) + quoted(reading.fault->text) +
                                   ": " + fault_reason(*reading.fault) + ".");
        stop_with_lines(con, {" Error offset data"});
    }
    if (reading.fault) stop_at_fault(con, file, *reading.fault);
    pair.offset_count = values;
    warn_header_passed_over(con, file, reading);
    warn_converted_columns(con, file, reading);
    warn_habits(con, file, job.companion_format, reading);
    warn_empty_values(con, file, reading, pair);
    warn_trailing_empty_lines(con, file, reading);
    if (kind_info(job.companion_kind).is_table()) {
        pair_rows(file, ring_file, reading, pair, con);
        take_fields_from_ring_files(job, f, reading.fields_from_files, pair, con);
    }
    else
        pair_values(file, ring_file, is_free_format(job.companion_format), reading, pair, con);
    take_bark(job, reading, pair);
    check_bark(job, pair, con);
    estimate_pith_offsets(job, pair, tables);
    write_series_table(job.companion_kind, pair, pair.offset_count, con);
    check_count(job, f, pair, con);
    tell_values_that_differ_from_the_files(job, f, pair, con);
}

void estimate_pith_offset_ranges(const Job& job, const PairSeries& pair, const PairTables& tables,
                                 std::span<ValueRange> ranges) {
    for (int s = 1; s <= pair.series_count; ++s) {
        if (!pair.companion_source(s).pith_offset_estimated) continue;
        ValueRange& range = ranges[static_cast<std::size_t>(s - 1)];
        for (CompanionRecord* end : {&range.low, &range.high})
            end->pith_offset =
                estimated_pith_offset(end->d2pith_mm, widths_of(pair, tables, s), inner_rings_of(job));
    }
}

void tell_implausible_values(const Job& job, int f, const PairSeries& pair,
                             std::span<const ImplausibleValue> implausible, Console& con) {
    const std::string file = file_name_of(
        job.values_from_ring_files(f) ? job.pair(f).ring_file : job.pair(f).companion_file);
    ListedWarnings listed;
    for (const ImplausibleValue& value : implausible)
        if (listed.take())
            write_warning(con, "File " + file + ", series " + std::to_string(value.series) + ", " +
                                   quoted(pair.series_ids(value.series).shown()) + ": " + value.why +
                                   ".");
    if (listed.untold() > 0)
        write_warning(con, "File " + file + ": " + std::to_string(listed.untold()) +
                               " more series with an implausible value.");
}

void tell_value_findings(const Job& job, int f, const PairSeries& pair,
                         std::span<const ValueFinding> findings, Console& con) {
    const std::string ring_file = file_name_of(job.pair(f).ring_file);
    const std::string companion_file = file_name_of(job.pair(f).companion_file);
    const auto origin = [&](int s, std::optional<CompanionField> field) {
        if (!field) return ring_file;
        const std::string& where = pair.companion_source(s).origin(*field);
        if (!where.empty()) return where;
        return companion_file.empty() ? ring_file : companion_file;
    };
    ListedWarnings listed;
    for (const ValueFinding& finding : findings) {
        if (!listed.take()) continue;
        const std::string where = origin(finding.series, finding.field);
        std::string text = "File " + where + ": series " +
                           quoted(pair.series_ids(finding.series).shown()) + ": " + finding.why;
        if (finding.against && origin(finding.series, finding.against) != where)
            text += " (" + std::string(field_info(*finding.against).words) + " from " +
                    origin(finding.series, finding.against) + ")";
        write_warning(con, text + ".");
    }
    if (listed.untold() > 0)
        write_warning(con, "File " + ring_file + ": " + std::to_string(listed.untold()) +
                               " more values or widths that contradict their cores.");
}

void stop_on_areas_out_of_range(const Job& job, int f, const PairSeries& pair,
                                std::span<const int> series, Console& con) {
    if (series.empty()) return;
    const int s = series.front();
    const CompanionSource& source = pair.companion_source(s);
    stop_run(con, {" " + at_line(file_name_of(job.pair(f).companion_file), source.line) +
                       quoted(source.text),
                   " the value makes the areas of series " + std::to_string(s) + ", " +
                       quoted(pair.series_ids(s).shown()) +
                       ", too large to compute; the pair cannot be processed."});
}

std::string read_format_problem(std::string_view format, CompanionKind kind) {
    if (is_free_format(format)) return {};
    const std::string_view text = trim(format);
    if (!text.starts_with('(') || !text.ends_with(')'))
        return "it needs parentheses around its elements, as in (i3) or (f6.1)";
    const auto parsed = parse_read_format(text);
    if (!parsed)
        return "it is not a read format this program can interpret (I, F, E, D, G and X "
               "elements, repeat counts and groups, as in (5x,i3) or (f6.1))";
    const CompanionKindInfo& info = kind_info(kind);
    const bool wrong_element =
        (info.format_element == ValueElement::whole && parsed->has_real_field) ||
        (info.format_element == ValueElement::real && parsed->has_int_field);
    if (wrong_element) return std::string(info.format_advice);
    return {};
}

}  // namespace ruvela
