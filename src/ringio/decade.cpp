#include "ringio/decade.hpp"

#include <vector>

#include "ringio/trrw.hpp"
#include "text/view_stream.hpp"

namespace ruvela {

namespace {

void keep_lines(RingFileReading& reading, ConsoleLines& console, int series) {
    for (std::string& text : console) reading.lines.push_back({series, std::move(text)});
    console.clear();
}

}  // namespace

RingFileReading read_decade(std::string_view content, std::size_t max_rings) {
    ViewStream in(content);
    LineReader lines(in);
    DecadeFile file(lines);
    std::vector<float> values(max_rings);
    std::vector<int> counts(max_rings);
    SeriesArgs args;
    args.values = values;
    args.counts = counts;
    RingFileReading reading;
    ConsoleLines console;
    for (;;) {
        const TrrwOutcome outcome = read_decade_series(file, TrrwMode::mr, args, nullptr, console);
        keep_lines(reading, console, static_cast<int>(reading.series.size()) + 1);
        if (outcome == TrrwOutcome::too_many_text_lines) {
            reading.error_line = "Sbr TRRW:  Over " + std::to_string(max_text_lines) + " text lines";
            break;
        }
        if (args.series_seq == end_of_file_signal) break;
        const auto rings = values.begin() + args.value_count;
        reading.series.push_back({args.series_id, args.first_year, {values.begin(), rings}});
        if (outcome == TrrwOutcome::too_long) {
            reading.last_series_too_long = true;
            break;
        }
    }
    reading.findings = std::move(file.findings);
    return reading;
}

}  // namespace ruvela
