#include "run/pair_input.hpp"

#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "ringio/readfmt.hpp"
#include "ringio/ring_format.hpp"
#include "ringio/series_checks.hpp"
#include "ringio/trrw.hpp"
#include "run/reader_warnings.hpp"
#include "run/stop.hpp"
#include "text/fixed_text.hpp"
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
                       const std::string& id, int first_year, long long value_count,
                       bool too_long) {
    if (s > max_series) {
        stop_run(con, {" File " + file_name_of(ring_file_name) + " holds more than " +
                           number(max_series) + " series;",
                       " series " + number(s) + ", " + fixed_text(id, id_length) +
                           ", cannot be stored."});
    }
    if (too_long || value_count > max_years) {
        stop_run(con, {series_line(ring_file_name, s, id), " starts in year " + number(first_year) +
                                                               " and holds more than " +
                                                               number(max_years) + " rings."});
    }
    const long long last_year = static_cast<long long>(first_year) + value_count - 1;
    if (!storable_year(first_year) || last_year > max_years) {
        stop_run(con, {series_line(ring_file_name, s, id),
                       " runs from year " + number(first_year) + " to year " +
                           std::to_string(last_year) + ";",
                       " only the years 1 to " + number(max_years) + " can be stored."});
    }
}

// Series s of the pair, and the pair's span widened to its years.
void store_series(int s, const std::string& id, int first_year, std::span<const float> widths,
                  RunResults& run, PairSeries& pair, PairTables& tables) {
    const int value_count = static_cast<int>(widths.size());
    pair.series_ids(s) = fixed_text(id, id_length);
    pair.series_first_year(s) = first_year;
    pair.series_length(s) = value_count;
    pair.series_last_year(s) = first_year + value_count - 1;
    tables.store_series(s, first_year, widths);
    int& file_first = run.file_first_year(run.file_index);
    int& file_last = run.file_last_year(run.file_index);
    if (pair.series_first_year(s) <= file_first) file_first = pair.series_first_year(s);
    if (pair.series_last_year(s) >= file_last) file_last = pair.series_last_year(s);
}

// Enough of a file to tell its format.
constexpr std::size_t format_probe_size = 64 * 1024;

std::string read_start(std::ifstream& file) {
    std::string start(format_probe_size, '\0');
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    return start;
}

std::string read_rest(std::ifstream& file, std::string content) {
    content.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return content;
}

// The decade format, one series per call of the reader.
int read_decade_file(const std::string& name, std::istream& file, RunResults& run, PairSeries& pair,
                     PairTables& tables, WorkBuffers& work, Console& con,
                     std::vector<Finding>& findings) {
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
        check_series_fits(name, con, s, series.series_id, series.first_year, series.value_count,
                          outcome == TrrwOutcome::too_long);
        store_series(s, series.series_id, series.first_year,
                     std::span<const float>(work.value_buffer)
                         .first(static_cast<std::size_t>(series.value_count)),
                     run, pair, tables);
        ++s;
    }
    findings = std::move(decade.findings);
    return s - 1;
}

// Heidelberg, delimited text or TRiDaS: the whole file at once, then the
// same checks and store as the decade format's series.
int read_other_format(const std::string& name, RingFormat format, const std::string& content,
                      RunResults& run, PairSeries& pair, PairTables& tables, Console& con,
                      std::vector<Finding>& findings) {
    const std::string file = file_name_of(name);
    RingFileReading reading = read_ring_file(format, content);
    if (reading.error) {
        const std::string where =
            reading.error->line > 0 ? ", line " + std::to_string(reading.error->line) : "";
        stop_run(con, {" File " + file + where + ": " + reading.error->text,
                       " (read as a " + std::string(ring_format_name(format)) +
                           " file); the pair cannot be processed."});
    }
    int s = 0;
    for (const RingSeries& series : reading.series) {
        ++s;
        check_series_fits(name, con, s, series.id, series.first_year,
                          static_cast<long long>(series.widths.size()), false);
        store_series(s, series.id, series.first_year, series.widths, run, pair, tables);
        check_ring_widths(series.id, series.first_year, series.widths, reading.findings);
    }
    findings = std::move(reading.findings);
    return s;
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
    std::string start = read_start(file);
    const RingFormat format = detect_ring_format(start);
    std::vector<Finding> findings;
    if (format == RingFormat::decade) {
        // Read from the start again: the decade reader takes the file as it is.
        file.clear();
        file.seekg(0);
        pair.series_count = read_decade_file(name, file, run, pair, tables, work, con, findings);
    } else {
        pair.series_count = read_other_format(name, format, read_rest(file, std::move(start)), run,
                                              pair, tables, con, findings);
    }
    write_line(con);
    write_line(con, " Total series read = " + int_field(pair.series_count, 4));
    if (format != RingFormat::decade)
        write_warning(con, "File " + file_name_of(name) + " is read as a " +
                               std::string(ring_format_name(format)) +
                               " file: " + number(pair.series_count) + " series.");
    write_reader_warnings(con, file_name_of(name), findings);
}

}  // namespace ruvela
