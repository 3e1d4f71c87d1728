// TEMPORARY stand-ins until the ring-width I/O lands; deleted at the merge.
#include <cmath>
#include <cstdlib>
#include <string>

#include "ringio/trrw.hpp"
#include "text/fields.hpp"
#include "text/numfmt.hpp"
#include "text/stops.hpp"

namespace ruvela {

bool parse_trrw_mode(std::string_view, TrrwMode&) { return false; }

TrrwOutcome trrw_read(TrrwMode, SeriesArgs& series, LineReader& data, std::ostream*, Console&) {
    series.value_count = 0;
    series.series_seq = (series.series_seq < 0 ? 0 : series.series_seq) + 1;
    bool first = true;
    int n = 0;
    std::string line;
    for (;;) {
        if (!data.next(line)) {
            series.value_count = end_of_file_signal;
            series.series_seq = end_of_file_signal;
            return TrrwOutcome::ok;
        }
        line.resize(80, ' ');
        auto year = decode_int_field(columns(line, 9, 12));
        if (!year) continue;
        if (first) {
            series.series_id = line.substr(0, 8);
            series.first_year = *year;
            n = *year >= 0 ? 10 - *year % 10 : (*year % 10 == 0 ? 10 : -(*year % 10));
            first = false;
        } else {
            n = 10;
        }
        for (int j = 0; j < n; ++j) {
            auto v = decode_int_field(columns(line, 13 + 6 * j, 18 + 6 * j));
            if (!v) v = 0;
            if (*v == -9999) {
                for (int k = 0; k < series.value_count; ++k) series.values[k] *= 0.1f;
                return TrrwOutcome::ok;
            }
            if (*v == 999) return TrrwOutcome::ok;
            if (static_cast<std::size_t>(series.value_count) == series.values.size()) return TrrwOutcome::too_long;
            series.values[static_cast<std::size_t>(series.value_count++)] = static_cast<float>(*v) * 0.01f;
        }
    }
}

void trrw_write(TrrwMode, const SeriesArgs& series, std::ostream& data, Console&) {
    if (series.value_count <= 0) return;
    int year = series.first_year;
    int n = year >= 0 ? 10 - year % 10 : (year % 10 == 0 ? 10 : -(year % 10));
    int k = 0;
    for (;;) {
        std::string line;
        put_text(line, series.series_id, 8);
        put_int(line, year, 4);
        bool done = false;
        for (int j = 0; j < n; ++j) {
            ++k;
            if (k > series.value_count) { put_int(line, -9999, 6); done = true; break; }
            put_int(line, nint(series.values[static_cast<std::size_t>(k - 1)] * 1000.0f), 6);
        }
        data << line << '\n';
        if (done) return;
        year += n;
        n = 10;
    }
}

void datar(std::string&, int& value_count, std::span<float>, int&, LineReader&, Console&) {
    value_count = end_of_file_signal;
}

}  // namespace ruvela
