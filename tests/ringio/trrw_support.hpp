// Reading whole ring-width texts series by series, for the tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "ringio/trrw.hpp"

namespace ruvela {

// A finding in a test's failure message.
inline void PrintTo(const Finding& f, std::ostream* out) {
    *out << "{kind " << static_cast<int>(f.kind) << ", line " << f.line << ", series '" << f.series
         << "', other '" << f.other_id << "', year " << f.year << ", expected " << f.expected_year
         << ", count " << f.count << ", value " << f.value << ", text '" << f.text << "'}";
}

}  // namespace ruvela

namespace ruvela::testing {

struct Series {
    std::string id;
    int first_year = 0;
    std::vector<float> values;
    std::vector<int> counts;
    TrrwOutcome outcome = TrrwOutcome::ok;
};

struct Reading {
    std::vector<Series> series;  // up to the end of the text
    std::string out, echo;       // the console lines, each with its line end
    bool stopped_at_text_lines = false;
    std::vector<Finding> findings;
};

// Reads a file as the run does, call by call until the end, checking the
// call protocol; keeps every finding.
inline Reading read_all(const std::string& text, TrrwMode mode, std::size_t capacity = 5001,
                        const std::string& id_on_entry = "") {
    std::istringstream data(text);
    std::ostringstream echo;
    ConsoleLines console;
    LineReader lines(data);
    DecadeFile file(lines);
    std::vector<float> values(capacity, -1.0f);
    std::vector<int> counts(capacity, -1);
    SeriesArgs args{id_on_entry, 0, 0, values, counts, 0, {}};
    Reading r;
    for (;;) {
        const TrrwOutcome outcome = read_decade_series(file, mode, args, &echo, console);
        if (outcome == TrrwOutcome::too_many_text_lines) {
            r.stopped_at_text_lines = true;
            break;
        }
        if (args.series_seq == end_of_file_signal) {
            EXPECT_EQ(args.value_count, end_of_file_signal);
            break;
        }
        EXPECT_EQ(args.series_seq, static_cast<int>(r.series.size()) + 1);
        const auto n = static_cast<std::size_t>(args.value_count);
        r.series.push_back({args.series_id,
                            args.first_year,
                            {values.begin(), values.begin() + static_cast<long>(n)},
                            {counts.begin(), counts.begin() + static_cast<long>(n)},
                            outcome});
        args.series_id = id_on_entry;
        if (outcome == TrrwOutcome::too_long) break;
    }
    r.findings = file.findings;
    for (const std::string& line : console) r.out += line + "\n";
    r.echo = echo.str();
    return r;
}

}  // namespace ruvela::testing
