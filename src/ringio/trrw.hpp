// Decade-format ring-width files: one series per call, read or written.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ringio/series.hpp"
#include "text/console.hpp"
#include "text/lines.hpp"

namespace ruvela {

// The four modes: "MR"/"IR" read one series in the measurement/index layout
// (or a counted block), "MW"/"IW" write one.
enum class TrrwMode { mr, ir, mw, iw };

// The mode of a two-letter code ("MR", "IR", "MW", "IW"); false for others.
bool parse_trrw_mode(std::string_view code, TrrwMode& mode);

// Lines for the console that the reading routines produce, in order, each
// without its line end; the run driver writes them.
using ConsoleLines = std::vector<std::string>;

// Signals of the reader: value_count and series_seq are both -999 at the
// end of a file.
inline constexpr int end_of_file_signal = -999;

// The arguments that a read call fills and a write call takes; the caller
// owns the arrays, whose size is the capacity (`max_values`).
struct SeriesArgs {
    std::string
        series_id;  // 8 characters in "MR"/"MW"; in "IR" "******" on entry keeps counts untouched
    int first_year = 0;
    int value_count = 0;
    std::span<float> values;
    std::span<int> counts;
    int series_seq = 0;
    std::string title;    // 80 characters: the last line read
    long first_line = 0;  // read calls: the line of the series' first data line
    // Read calls in the measurement layout: the decimals of a millimetre the
    // values were written at, 2 (hundredths) or 3 (thousandths, by the
    // -9999 end marker); none for a counted block, whose precision is unknown.
    std::optional<int> width_decimals{};
};

// Text lines a read call takes before it gives up on the file.
inline constexpr int max_text_lines = 25;

// What a read call found beyond the signals of the arguments.
enum class TrrwOutcome {
    ok,                   // a series was read, or the end of the file was signalled
    too_long,             // the series holds more values than `values` can take: the
                          // first values.size() are stored, value_count is values.size(),
                          // series_id and first_year are set; the caller must stop
    too_many_text_lines,  // this call met more than max_text_lines text lines;
                          // the last one is not echoed, no series is returned
                          // and the caller must stop
};

// One read call ("MR", "IR"; any other mode reads the measurement layout) on
// `data`, echoing text lines to `echo` when it is not null and to
// `console`. Lines of blanks and tabs only belong to no series and are passed
// over. Adds to `findings` what the lines show of a damaged file: id_changed,
// year_out_of_sequence (measurement layout) and series_unended.
TrrwOutcome trrw_read(TrrwMode mode, SeriesArgs& series, LineReader& data, std::ostream* echo,
                      ConsoleLines& console, std::vector<Finding>& findings);

// A decade-format file read series by series with everything noticed on the
// way: each call's findings, and whether the file looked like a
// decade-format file at all.
struct DecadeFile {
    // Takes the first line that holds more than blanks, to be quoted should
    // the file turn out to be something else.
    explicit DecadeFile(LineReader& lines);

    LineReader& lines;
    std::string first_line;
    int series_read = 0;
    std::vector<Finding> findings;
};

// One trrw_read call on `file`. Adds not_decade_format when the text-line
// limit stops the reading, or when the file ends before any series; when no
// series was read, it is the file's only finding.
TrrwOutcome read_decade_series(DecadeFile& file, TrrwMode mode, SeriesArgs& series,
                               std::ostream* echo, ConsoleLines& console);

// One write call ("IW", any other mode writes "MW") of values 1..value_count
// to `data`; the index layout's rescaling message goes to the console. A
// measurement value is never written as an end marker (999 becomes 998 or
// 1000, -9999 becomes -9998 or -10000), so the series reads back whole.
void trrw_write(TrrwMode mode, const SeriesArgs& series, std::ostream& data, Console& con);

// The lines that trrw_write writes in the measurement layout for a series
// of these values, the first of them in `first_year`, appended to `out`;
// nothing for no values. For writers that fill a buffer of their own.
void append_measurement_lines(std::string& out, std::string_view series_id, int first_year,
                              std::span<const float> values);

// The counted-block reader: title line, header line, values in the header's
// format (a negative count makes no valid header). value_count is -999 when
// the input ended before a valid header; a header asking for more than
// values.size() fills `values` and keeps its count. Values not read after an
// error or the end of the input are 0; the error is told in `console`.
void datar(std::string& title, int& value_count, std::span<float> values, int& first_year,
           LineReader& data, ConsoleLines& console);

}  // namespace ruvela
