#include "run/pair_input.hpp"

#include <fstream>
#include <span>
#include <string>

#include "ringio/readfmt.hpp"
#include "ringio/trrw.hpp"
#include "run/reader_warnings.hpp"
#include "run/stop.hpp"
#include "text/input_file.hpp"
#include "text/lines.hpp"
#include "text/numfmt.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

std::string number(int value) {
    return std::to_string(value);
}

// " Series core1a   (number 3) of file site1.rwl"
std::string series_line(const Store& store, int s, const std::string& id) {
    return " Series " + fixed_text(id, id_length) + " (number " + number(s) + ") of file " +
           file_name_of(store.ring_file_names(store.file_index));
}

// The store takes the series only when every year has a slot; a series
// without rings needs its first year to have one.
void check_series_fits(Store& store, Console& con, int s, const SeriesArgs& series,
                       TrrwOutcome outcome) {
    if (s > max_series) {
        stop_run(con, {" File " + file_name_of(store.ring_file_names(store.file_index)) +
                           " holds more than " + number(max_series) + " series;",
                       " series " + number(s) + ", " + fixed_text(series.series_id, id_length) +
                           ", cannot be stored."});
    }
    if (outcome == TrrwOutcome::too_long) {
        stop_run(con, {series_line(store, s, series.series_id),
                       " starts in year " + number(series.first_year) + " and holds more than " +
                           number(max_years) + " rings."});
    }
    const long long last_year = static_cast<long long>(series.first_year) + series.value_count - 1;
    if (!storable_year(series.first_year) || last_year > max_years) {
        stop_run(con, {series_line(store, s, series.series_id),
                       " runs from year " + number(series.first_year) + " to year " +
                           std::to_string(last_year) + ";",
                       " only the years 1 to " + number(max_years) + " can be stored."});
    }
}

}  // namespace

void start_pair(Store& store) {
    store.file_first_year(store.file_index) = 9999;
    store.file_last_year(store.file_index) = -9999;
    store.clear_pair_tables();
}

void read_ring_width_file(Store& store, Console& con) {
    const std::string& name = store.ring_file_names(store.file_index);
    write_line(con);
    write_line(con, " READING INCREMENT FILE :> " + name);
    std::ifstream file;
    open_input(file, file_name_of(name));
    LineReader lines(file);
    DecadeFile decade(lines);

    SeriesArgs series;
    series.values = store.value_buffer;
    series.counts = store.count_buffer;
    series.series_seq = 0;
    int s = 1;
    for (;;) {
        const TrrwOutcome outcome = read_decade_series(decade, TrrwMode::mr, series, nullptr, con);
        if (outcome == TrrwOutcome::too_many_text_lines) {
            write_reader_warnings(con, file_name_of(name), decade.findings);
            stop_with_error_line(con, "Sbr TRRW:  Over " + number(max_text_lines) + " text lines");
        }
        if (series.series_seq == end_of_file_signal) break;
        check_series_fits(store, con, s, series, outcome);
        store.series_ids(s) = fixed_text(series.series_id, id_length);
        store.series_first_year(s) = series.first_year;
        store.series_length(s) = series.value_count;
        store.series_last_year(s) = series.first_year + series.value_count - 1;
        store.store_series(s, series.first_year,
                           std::span<const float>(store.value_buffer)
                               .first(static_cast<std::size_t>(series.value_count)));
        int& file_first = store.file_first_year(store.file_index);
        int& file_last = store.file_last_year(store.file_index);
        if (store.series_first_year(s) <= file_first) file_first = store.series_first_year(s);
        if (store.series_last_year(s) >= file_last) file_last = store.series_last_year(s);
        ++s;
    }
    store.series_count = s - 1;
    write_line(con);
    write_line(con, " Total series read = " + int_field(store.series_count, 4));
    write_reader_warnings(con, file_name_of(name), decade.findings);
}

namespace {

// Reads the next value with the user's format into slot n, or into a
// scratch variable when n is past the store's slots.
ReadStatus read_offset_value(Store& store, LineReader& lines, int n, float& scratch_real,
                             int& scratch_int) {
    const bool stored = n <= max_series;
    if (store.offset_kind == OffsetKind::pith_offsets) {
        int& item = stored ? store.pith_offsets(n) : scratch_int;
        return read_formatted(lines, store.offset_format, std::span<int>(&item, 1));
    }
    float& item = stored ? store.diameters(n) : scratch_real;
    return read_formatted(lines, store.offset_format, std::span<float>(&item, 1));
}

void write_series_row(const Store& store, Console& con, int n) {
    std::string row = "   ";
    put_int(row, n, 5);
    row += "   ";
    put_text(row, store.series_ids(n), static_cast<int>(id_length));
    put_int(row, store.series_first_year(n), 5);
    put_int(row, store.series_last_year(n), 5);
    put_int(row, store.series_length(n), 5);
    // A diameter is shown with one decimal, the precision it is measured to.
    if (store.offset_kind == OffsetKind::pith_offsets)
        put_int(row, store.pith_offsets(n), 5);
    else
        put_fixed(row, store.diameters(n), 5, 1);
    write_line(con, row);
}

void check_count(const Store& store, Console& con) {
    if (store.offset_count == store.series_count) return;
    stop_run(con, {"Something is wrong in the state of Denmark",
                   " The number of estimates/dia. values in file " +
                       store.offset_file_names(store.file_index),
                   " must equal the number of series in file : " +
                       store.ring_file_names(store.file_index),
                   " But in fact they do not!",
                   " #series = " + int_field(store.series_count, 4) +
                       " #pith offsets = " + int_field(store.offset_count, 4)});
}

}  // namespace

void read_companion_file(Store& store, Console& con) {
    const std::string& name = store.offset_file_names(store.file_index);
    write_line(con);
    write_line(con, " READING PITH ESTIMATE FILE :> " + name);
    write_line(con);
    write_line(con, store.offset_kind == OffsetKind::pith_offsets
                        ? " SERIES#      ID    IYR  LYR   AGE   PITH   "
                        : " SERIES#      ID    IYR  LYR   AGE   DIA.   ");
    std::ifstream file;
    open_input(file, file_name_of(name));
    LineReader lines(file);
    float scratch_real = 0.0f;
    int scratch_int = 0;
    int n = 1;
    for (;; ++n) {
        const ReadStatus status = read_offset_value(store, lines, n, scratch_real, scratch_int);
        if (status == ReadStatus::end_of_file) break;
        if (status == ReadStatus::conversion_error) {
            write_line(con);
            write_line(con, " Error offset data");
            end_run(stop_status);
        }
        if (n > max_series) {
            stop_run(con, {" File " + file_name_of(name) + " holds more than " +
                               number(max_series) + " values;",
                           " value " + number(n) + " cannot be stored, and file " +
                               file_name_of(store.ring_file_names(store.file_index)) + " holds " +
                               number(store.series_count) + " series."});
        }
        write_series_row(store, con, n);
    }
    store.offset_count = n - 1;
    check_count(store, con);
}

}  // namespace ruvela
