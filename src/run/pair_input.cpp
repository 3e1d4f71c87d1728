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
std::string series_line(const std::string& ring_file_name, int s, const std::string& id) {
    return " Series " + fixed_text(id, id_length) + " (number " + number(s) + ") of file " +
           file_name_of(ring_file_name);
}

// The store takes the series only when every year has a slot; a series
// without rings needs its first year to have one.
void check_series_fits(const std::string& ring_file_name, Console& con, int s,
                       const SeriesArgs& series, TrrwOutcome outcome) {
    if (s > max_series) {
        stop_run(con, {" File " + file_name_of(ring_file_name) + " holds more than " +
                           number(max_series) + " series;",
                       " series " + number(s) + ", " + fixed_text(series.series_id, id_length) +
                           ", cannot be stored."});
    }
    if (outcome == TrrwOutcome::too_long) {
        stop_run(con, {series_line(ring_file_name, s, series.series_id),
                       " starts in year " + number(series.first_year) + " and holds more than " +
                           number(max_years) + " rings."});
    }
    const long long last_year = static_cast<long long>(series.first_year) + series.value_count - 1;
    if (!storable_year(series.first_year) || last_year > max_years) {
        stop_run(con, {series_line(ring_file_name, s, series.series_id),
                       " runs from year " + number(series.first_year) + " to year " +
                           std::to_string(last_year) + ";",
                       " only the years 1 to " + number(max_years) + " can be stored."});
    }
}

}  // namespace

void start_pair(RunResults& run, PairTables& tables) {
    run.file_first_year(run.file_index) = pair_span_first_unset;
    run.file_last_year(run.file_index) = pair_span_last_unset;
    tables.clear();
}

void read_ring_width_file(const std::string& name, RunResults& run, PairSeries& pair,
                          PairTables& tables, WorkBuffers& work, Console& con) {
    write_line(con);
    write_line(con, " READING INCREMENT FILE :> " + name);
    std::ifstream file;
    open_input(file, file_name_of(name));
    LineReader lines(file);
    DecadeFile decade(lines);

    SeriesArgs series;
    series.values = work.value_buffer;
    series.counts = work.count_buffer;
    series.series_seq = 0;
    int s = 1;
    for (;;) {
        const TrrwOutcome outcome = read_decade_series(decade, TrrwMode::mr, series, nullptr, con);
        if (outcome == TrrwOutcome::too_many_text_lines) {
            write_reader_warnings(con, file_name_of(name), decade.findings);
            stop_with_error_line(con, "Sbr TRRW:  Over " + number(max_text_lines) + " text lines");
        }
        if (series.series_seq == end_of_file_signal) break;
        check_series_fits(name, con, s, series, outcome);
        pair.series_ids(s) = fixed_text(series.series_id, id_length);
        pair.series_first_year(s) = series.first_year;
        pair.series_length(s) = series.value_count;
        pair.series_last_year(s) = series.first_year + series.value_count - 1;
        tables.store_series(s, series.first_year,
                            std::span<const float>(work.value_buffer)
                                .first(static_cast<std::size_t>(series.value_count)));
        int& file_first = run.file_first_year(run.file_index);
        int& file_last = run.file_last_year(run.file_index);
        if (pair.series_first_year(s) <= file_first) file_first = pair.series_first_year(s);
        if (pair.series_last_year(s) >= file_last) file_last = pair.series_last_year(s);
        ++s;
    }
    pair.series_count = s - 1;
    write_line(con);
    write_line(con, " Total series read = " + int_field(pair.series_count, 4));
    write_reader_warnings(con, file_name_of(name), decade.findings);
}

}  // namespace ruvela
