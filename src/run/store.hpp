// The series store: every series of the file pair being processed, the
// per-year results, and what the whole run keeps. Sized once by the three
// limits for the largest job, owned by the run driver and passed by reference.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ringio/companion.hpp"
#include "run/pair_bounds.hpp"
#include "ringio/series.hpp"
#include "ringio/units.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "text/slots.hpp"

namespace ruvela {

// The program's fixed limits, reported at start-up.
inline constexpr int max_series = 1001;  // series per ring-width file
inline constexpr int max_files = 50;     // file pairs per run
// and max_years (ringio/series.hpp), the highest storable calendar year

inline constexpr std::size_t name_length = 30;        // the field of file names and the read format
inline constexpr std::size_t max_name_length = 4096;  // a file name as typed or listed
inline constexpr std::size_t heading_length = 35;     // column headings of the per-file table

// A file name as the program keeps it: whole (up to max_name_length
// characters), padded with blanks to the 30-character field it is shown in.
inline std::string padded_name(std::string_view name) {
    std::string kept(name.substr(0, max_name_length));
    if (kept.size() < name_length) kept.resize(name_length, ' ');
    return kept;
}

// A kept name as the file system knows it: without trailing blanks.
inline std::string file_name_of(const std::string& padded) {
    return std::string(trim_right(padded));
}

inline bool storable_year(int year) {
    return year >= 1 && year <= max_years;
}

template <typename T>
using PerYear = Slots<T, max_years>;
template <typename T>
using PerSeries = Slots<T, max_series>;
template <typename T>
using PerFile = Slots<T, max_files>;

// The three per-year means kept of every pair, one summary table each.
enum class Measure { basal_area = 1, increment = 2, ring_width = 3 };

// The per-year means of every processed pair: measure m of pair f is row
// (m-1)*max_files + f of a series-by-year table.
class FileMeans {
  public:
    float& operator()(Measure m, int f, int y) { return means_(row(m, f), y); }
    float operator()(Measure m, int f, int y) const { return means_(row(m, f), y); }
    void clear() { means_.clear(3 * max_files, 1, max_years); }

  private:
    static int row(Measure m, int f) {
        check_index(f, max_files);
        return (static_cast<int>(m) - 1) * max_files + f;
    }
    SeriesYearTable means_{3 * max_files, max_years};
};

// The two layouts of the per-file table, numbered as the dialogue offers them.
enum class OutputLayout { column = 1, decade = 2 };

// A pair's span before its first series widens it, and the run's before its
// first pair: any real year lies inside both.
inline constexpr int pair_span_first_unset = 9999;
inline constexpr int pair_span_last_unset = -9999;
inline constexpr int run_span_first_unset = 99999;
inline constexpr int run_span_last_unset = -99999;

// A ring-width file and its companion file, named as typed or listed (up
// to max_name_length characters).
struct FilePair {
    std::string ring_file;
    std::string companion_file;
    // Where a list file names them ("rings.lst, line 2"), in a run named on
    // the command line; empty otherwise.
    std::string ring_listed_at{};
    std::string companion_listed_at{};
};

// What a run does, fixed before its first pair: from the dialogue or from
// the command line.
struct Job {
    std::vector<FilePair> pairs;
    std::string ring_list, companion_list;  // the list files named, in list mode
    CompanionKind companion_kind = CompanionKind::pith;
    std::string companion_format;  // as typed
    OutputLayout output_layout = OutputLayout::column;
    std::string out_dir;  // where tables and plots go; empty: the working folder
    // Named on the command line: a folder or a .pos file is read as
    // coordinate files, and --csv also writes each pair's series table. The
    // dialogue reads every name as a ring-width file, as it always has.
    bool from_command_line = false;
    ValueErrors errors;
    std::optional<float> bark_mm;  // every series' bark where its file names none
    // The pith offsets estimated from the distances, over this many of the
    // innermost rings' mean width.
    std::optional<int> estimate_inner_rings;
    int inner_rings = default_inner_rings;  // also for the offsets a table leaves empty

    // Where the output file `name` is written.
    std::string output_path(std::string_view name) const {
        if (out_dir.empty() || name.starts_with('/')) return std::string(name);
        std::string path = out_dir;
        if (!path.ends_with('/')) path += '/';
        path += name;
        return path;
    }

    int file_count() const { return static_cast<int>(pairs.size()); }
    // Pair f has no companion file: its series take their values from
    // their ring-width files.
    bool values_from_ring_files(int f) const { return trim(pair(f).companion_file).empty(); }
    // Pair f's names as the console and the tables show them (padded_name).
    std::string ring_file_name(int f) const { return padded_name(pair(f).ring_file); }
    std::string companion_file_name(int f) const { return padded_name(pair(f).companion_file); }
    const FilePair& pair(int f) const {
        check_index(f, file_count());
        return pairs[static_cast<std::size_t>(f - 1)];
    }
};

// What the run keeps over all pairs: each pair's span and means, and the
// span of them all.
struct RunResults {
    int file_index = 0;  // the pair being processed, from 1
    PerFile<int> file_first_year, file_last_year;
    int overall_first_year = run_span_first_unset;
    int overall_last_year = run_span_last_unset;
    FileMeans file_means;
    std::vector<std::string> table_names;  // per-file tables written so far
    int files_left_out = 0;                // coordinate files left out with keep_going
};

// Where a series' companion value stands in its file.
struct CompanionSource {
    long line = 0;  // 0: not from a companion file
    std::string text;
    // Where each field (by CompanionField) came from: "site.pth, line 3", or
    // the ring-width file and its key.
    std::array<std::string, companion_field_count> origins;
    ValueBounds bounds;  // the ends of ranges its line gives the values
    bool pith_offset_estimated = false;  // from the distance and the inner rings

    std::string& origin(CompanionField field) { return origins[static_cast<std::size_t>(field)]; }
    const std::string& origin(CompanionField field) const {
        return origins[static_cast<std::size_t>(field)];
    }
};

// The series of the pair being processed and what the companion file gives
// each of them.
struct PairSeries {
    int series_count = 0;
    PerSeries<SeriesId> series_ids;
    PerSeries<std::string> series_headings;  // 35 characters each
    PerSeries<int> series_first_year, series_last_year, series_length;
    // The decimals its widths were measured at (RingSeries::width_decimals).
    PerSeries<std::optional<int>> width_decimals;
    PerSeries<CompanionRecord> companion;
    // What a series' ring-width file says of its pith and stem, if anything.
    PerSeries<std::optional<PithInfo>> file_pith;
    PerSeries<CompanionSource> companion_source;  // the line each value was read from
    int offset_count = 0;
    PerSeries<float> radius;  // cm, at the end of the series' first year
    // cm2: the area the first ring adds to the circle inside it, which the
    // per-file table leaves at 0 (it has no earlier year to take it from).
    PerSeries<float> first_ring_area;
};

// The pair's series-by-year tables and per-year sums, sample depths and
// means. Cleared by clear(), which touches only what the pair wrote.
struct PairTables {
    SeriesYearTable ring_width{max_series, max_years}, basal_area{max_series, max_years},
        basal_area_increment{max_series, max_years};
    PerYear<float> sum_ring_width, sum_basal_area, sum_basal_area_increment;
    PerYear<int> count_ring_width, count_basal_area, count_basal_area_increment;
    PerYear<float> mean_ring_width, mean_basal_area, mean_basal_area_increment;
    // The area each year's ring adds (cm2): the increment, and in a series'
    // first year its first ring's area. Summed and counted as the increments
    // are, for the CSV tables.
    PerYear<float> sum_ring_area, mean_ring_area;
    PerYear<int> count_ring_area;

    // Zeroes the three series tables and the per-year arrays as if every cell
    // were set to 0, touching only the rows and years the previous pair wrote.
    void clear();

    // Copies `values` into row s from `first_year` on (all years storable)
    // and records the cells now in use.
    void store_series(int s, int first_year, std::span<const float> values);

    // Narrows the basal-area and increment tables to the pair's span once
    // every series is stored, before anything is written to them: for a
    // large pair that halves the memory they take. clear() widens them again.
    void narrow_results(int first_year, int last_year);

  private:
    // Rows 1..used_rows over years used_first..used_last hold everything the
    // current pair wrote; nothing outside them is non-zero.
    int used_rows_ = 0;
    int used_first_ = max_years + 1;
    int used_last_ = 0;
};

// Exchange buffers of the decade-format reader and writer.
struct WorkBuffers {
    PerYear<float> value_buffer;
    PerYear<int> count_buffer;
};

struct Store {
    RunResults run;
    PairSeries pair;
    PairTables tables;
    PairRanges ranges;  // of the pair's values, when a range is given
    WorkBuffers work;

    // Puts everything back as at program start. The big tables are cleared
    // where the last run used them rather than allocated anew, so that a
    // process running many jobs (the fuzzer) does not pay for them each time.
    void reset();
};

}  // namespace ruvela
