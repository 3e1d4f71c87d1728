#include "run/pair_input.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "ringio/pos.hpp"
#include "ringio/ring_format.hpp"
#include "ringio/ring_values.hpp"
#include "run/reader_warnings.hpp"
#include "run/stop.hpp"
#include "text/fixed_text.hpp"
#include "text/input_file.hpp"
#include "text/numfmt.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

std::string number(int value) {
    return std::to_string(value);
}

// " Series core1a   (number 3) of file site1.rwl"
std::string series_line(const std::string& ring_file_name, int s, const SeriesId& id) {
    return " Series " + id.padded() + " (number " + number(s) + ") of file " +
           file_name_of(ring_file_name);
}

// The store takes the series only when every year has a slot; a series
// without rings needs its first year to have one.
void check_series_fits(const std::string& ring_file_name, Console& con, int s,
                       const SeriesId& id, int first_year, long long value_count,
                       bool too_long) {
    if (s > max_series) {
        stop_run(con, {" File " + file_name_of(ring_file_name) + " holds more than " +
                           number(max_series) + " series;",
                       " series " + number(s) + ", " + id.padded() +
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
void store_series(int s, const RingSeries& series, RunResults& run, PairSeries& pair,
                  PairTables& tables) {
    const SeriesId& id = series.id;
    const int first_year = series.first_year;
    const std::span<const float> widths = series.widths;
    pair.file_pith(s) = series.pith;
    const int value_count = static_cast<int>(widths.size());
    pair.series_ids(s) = id;
    pair.series_first_year(s) = first_year;
    pair.series_length(s) = value_count;
    pair.width_decimals(s) = series.width_decimals;
    pair.series_last_year(s) = first_year + value_count - 1;
    tables.store_series(s, first_year, widths);
    int& file_first = run.file_first_year(run.file_index);
    int& file_last = run.file_last_year(run.file_index);
    if (pair.series_first_year(s) <= file_first) file_first = pair.series_first_year(s);
    if (pair.series_last_year(s) >= file_last) file_last = pair.series_last_year(s);
}

// The decade format's own console lines of the reading of series `series`.
void write_reader_lines(Console& con, const RingFileReading& reading, std::size_t& next,
                        int series) {
    for (; next < reading.lines.size() && reading.lines[next].series <= series; ++next)
        write_line(con, reading.lines[next].text);
}

[[noreturn]] void stop_on_read_error(Console& con, const std::string& file, RingFormat format,
                                     const ReadError& error) {
    const std::string where = error.line > 0 ? ", line " + std::to_string(error.line) : "";
    stop_run(con, {" File " + file + where + ": " + error.text,
                   " (read as a " + std::string(ring_format_name(format)) +
                       " file); the pair cannot be processed."});
}

// Every series into the store, each checked against its limits when its
// reading is over, as the console lines of its reading are written.
int store_reading(const std::string& name, const RingFileReading& reading, RunResults& run,
                  PairSeries& pair, PairTables& tables, Console& con) {
    std::size_t next_line = 0;
    int s = 0;
    for (const RingSeries& series : reading.series) {
        ++s;
        write_reader_lines(con, reading, next_line, s);
        const bool too_long = reading.last_series_too_long && s == std::ssize(reading.series);
        check_series_fits(name, con, s, series.id, series.first_year,
                          static_cast<long long>(series.widths.size()), too_long);
        store_series(s, series, run, pair, tables);
    }
    write_reader_lines(con, reading, next_line, s + 1);
    if (reading.error_line) {
        write_reader_warnings(con, file_name_of(name), reading.findings);
        stop_with_error_line(con, *reading.error_line);
    }
    return s;
}

// Every coordinate file of an input: the file itself, or every .pos file
// below a folder, sorted by name.
std::vector<std::string> coordinate_files(const std::string& input) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(input, error)) return {input};
    std::vector<std::string> files;
    for (auto it = fs::recursive_directory_iterator(input, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        if (it->is_regular_file(error) && ends_with_ignoring_case(path.native(), ".pos"))
            files.push_back(path.string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string stem_of(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

// A file that cannot be read stops the pair, or with keep_going is told and
// left out.
void refuse_coordinate_file(const std::string& path, const ReadError& error, bool keep_going,
                            Console& con) {
    const std::string where = error.line > 0 ? ", line " + std::to_string(error.line) : "";
    if (!keep_going)
        stop_run(con, {" File " + path + where + ": " + error.text,
                       " (read as a coordinate file); the pair cannot be processed."});
    write_warning(con, "File " + path + where + ": " + error.text +
                           " (read as a coordinate file); the file is left out.");
}

// Two IDs that the fixed-width tables cut alike: the CSV tables keep them
// whole and apart.
void tell_ids_cut_alike(const std::vector<std::string>& files, const RingFileReading& reading,
                        Console& con) {
    std::map<std::string, std::size_t> first_of_cut;
    for (std::size_t k = 0; k < reading.series.size(); ++k) {
        const SeriesId& id = reading.series[k].id;
        const auto [at, new_cut] = first_of_cut.emplace(id.cut(), k);
        if (new_cut) continue;
        write_warning(con, "Files " + files[at->second] + " and " + files[k] + ": the IDs " +
                               ruvela::quoted(reading.series[at->second].id.name()) + " and " +
                               ruvela::quoted(id.name()) + " are both " + ruvela::quoted(id.cut()) +
                               " in the fixed-width tables; the CSV tables keep them whole.");
    }
}

}  // namespace

bool is_coordinate_input(const std::string& name) {
    std::error_code error;
    return ends_with_ignoring_case(name, ".pos") || std::filesystem::is_directory(name, error);
}

void read_coordinate_input(const std::string& name, RunResults& run, PairSeries& pair,
                           PairTables& tables, bool keep_going, Console& con) {
    write_line(con);
    write_line(con, " READING INCREMENT FILE :> " + name);
    const std::string input = file_name_of(name);
    RingFileReading all;
    std::vector<std::string> files_read;
    for (const std::string& path : coordinate_files(input)) {
        PosReading file = read_pos(read_whole_file(path), stem_of(path));
        if (file.reading.error) {
            refuse_coordinate_file(path, *file.reading.error, keep_going, con);
            ++run.files_left_out;
            continue;
        }
        write_reader_warnings(con, path, file.reading.findings);
        for (RingSeries& series : file.reading.series) {
            all.series.push_back(std::move(series));
            files_read.push_back(path);
        }
    }
    if (all.series.empty())
        stop_run(con, {" " + input + " holds no coordinate file (.pos) that can be read;",
                       " the pair cannot be processed."});
    tell_ids_cut_alike(files_read, all, con);
    pair.series_count = store_reading(name, all, run, pair, tables, con);
    write_line(con);
    write_line(con, " Total series read = " + int_field(pair.series_count, 4));
}

void start_pair(RunResults& run, PairTables& tables) {
    run.file_first_year(run.file_index) = pair_span_first_unset;
    run.file_last_year(run.file_index) = pair_span_last_unset;
    tables.clear();
}

void read_ring_width_file(const std::string& name, RunResults& run, PairSeries& pair,
                          PairTables& tables, Console& con) {
    write_line(con);
    write_line(con, " READING INCREMENT FILE :> " + name);
    const std::string file = file_name_of(name);
    const std::string content = read_whole_file(file);
    if (looks_like_utf16(content))
        stop_run(con, {" File " + file + " holds UTF-16 text, which cannot be read;",
                       " save it as plain text (UTF-8) and run again."});
    const RingFormat format = detect_ring_format(content);
    RingFileReading reading = read_ring_file(format, content);
    if (reading.error) stop_on_read_error(con, file, format, *reading.error);
    pair.series_count = store_reading(name, reading, run, pair, tables, con);
    write_line(con);
    write_line(con, " Total series read = " + int_field(pair.series_count, 4));
    if (format != RingFormat::decade)
        write_warning(con, "File " + file + " is read as a " +
                               std::string(ring_format_name(format)) +
                               " file: " + number(pair.series_count) + " series.");
    write_reader_warnings(con, file, reading.findings);
}

}  // namespace ruvela
