// Decade-format files: every series of a file read in one mode ("MR", "IR",
// and counted blocks wherever a line asks for one), each series that the
// layout can hold written back and read again, the reader noticing no damage
// in it; or, with control bit 3, the writer alone on arbitrary binary32
// values.
// Input: one control byte, then the file (or the values).
//   bit 0: "IR" instead of "MR"      bit 1: "IR" keeps its counts ("******")
//   bit 2: a small store (12 values) bit 3: write raw values ("MW"/"IW" by bit 0)
#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_check.hpp"
#include "fuzz_input.hpp"
#include "ringio/trrw.hpp"
#include "run/reader_warnings.hpp"

using namespace ruvela;

namespace {

constexpr int max_calls = 100000;

struct Series {
    std::string id;
    int first_year = 0;
    std::vector<float> values;
};

// Every finding names a line already read and words as one console line.
void check_findings(std::span<const Finding> findings, long lines_read) {
    for (const Finding& f : findings) {
        FUZZ_CHECK(f.line >= 0 && f.line <= lines_read);
        const std::string text = reader_warning_text(f, "f.rwl");
        FUZZ_CHECK(text.find_first_of("\n\r") == std::string::npos);
    }
}

// Reads series until the end of the file; every call must take at least
// one line, so a file of n lines is read in at most n calls.
std::vector<Series> read_all(TrrwMode mode, bool keep_counts, std::size_t capacity,
                             std::string_view file, std::vector<Finding>* findings = nullptr) {
    std::istringstream in{std::string(file)};
    LineReader lines(in);
    DecadeFile decade(lines);
    ConsoleLines console;
    std::vector<float> values(capacity);
    std::vector<int> counts(capacity);
    SeriesArgs s;
    s.values = values;
    s.counts = counts;
    std::vector<Series> found;
    long before = 0;  // the file's first line is taken before the first call
    std::size_t checked = 0;
    for (int call = 0; call < max_calls; ++call) {
        s.series_id = keep_counts ? "******" : "";
        const TrrwOutcome outcome = read_decade_series(decade, mode, s, nullptr, console);
        check_findings(std::span(decade.findings).subspan(checked), lines.line_number());
        checked = decade.findings.size();
        if (findings != nullptr) *findings = decade.findings;
        if (outcome == TrrwOutcome::too_many_text_lines) return found;
        if (s.series_seq == end_of_file_signal) {
            FUZZ_CHECK(s.value_count == end_of_file_signal);
            return found;
        }
        FUZZ_CHECK(lines.line_number() > before);
        before = lines.line_number();
        FUZZ_CHECK(s.value_count >= 0 && static_cast<std::size_t>(s.value_count) <= capacity);
        for (int k = 0; k < s.value_count; ++k) FUZZ_CHECK(std::isfinite(values[k]));
        found.push_back(
            {s.series_id, s.first_year, {values.begin(), values.begin() + s.value_count}});
        if (outcome == TrrwOutcome::too_long) return found;
    }
    FUZZ_CHECK(false);  // more calls than the file can have lines
    return found;
}

std::string write_one(TrrwMode mode, const Series& series) {
    std::vector<float> values = series.values;
    std::vector<int> counts(values.size(), 1);
    SeriesArgs s;
    s.series_id = series.id;
    s.first_year = series.first_year;
    s.value_count = static_cast<int>(values.size());
    s.values = values;
    s.counts = counts;
    std::ostringstream data, out, err;
    std::istringstream no_answers;
    Console con(no_answers, out, err);
    trrw_write(mode, s, data, con);
    return data.str();
}

// What each layout can hold: four-column years, with the last one too, a
// range of values that fits the fields unscaled, and an ID that cannot
// turn into the sign of a year.
bool writable(TrrwMode mode, const Series& s) {
    if (s.values.empty()) return false;
    const long last_year =
        static_cast<long>(s.first_year) + static_cast<long>(s.values.size()) + 10;
    if (s.first_year < -999 || last_year > 9999) return false;
    const auto [low, high] = std::minmax_element(s.values.begin(), s.values.end());
    if (mode == TrrwMode::mr)
        return *low > -99.0f && *high < 999.0f && s.id.size() >= 8 && s.id[7] != '-';
    return *low > -0.9f && *high < 9.98f;
}

void round_trip(TrrwMode read_mode, const Series& s) {
    const TrrwMode write_mode = read_mode == TrrwMode::mr ? TrrwMode::mw : TrrwMode::iw;
    if (!writable(read_mode, s)) return;
    const std::string file = write_one(write_mode, s);
    std::vector<Finding> findings;
    const std::vector<Series> back =
        read_all(read_mode, false, s.values.size() + 1, file, &findings);
    FUZZ_CHECK(back.size() == 1);
    // What a written series can show read back: codes below zero, and widths
    // whose mean is implausible (a series of tiny or huge values).
    for (const Finding& f : findings)
        FUZZ_CHECK(f.kind == FindingKind::negative_widths ||
                   f.kind == FindingKind::mean_width_implausible);
    FUZZ_CHECK(back[0].first_year == s.first_year);
    FUZZ_CHECK(back[0].values.size() == s.values.size());
    for (std::size_t k = 0; k < s.values.size(); ++k) {
        const float tolerance = 0.0011f + std::fabs(s.values[k]) * 1e-6f;
        FUZZ_CHECK(std::fabs(back[0].values[k] - s.values[k]) <= tolerance);
    }
}

void write_raw(TrrwMode mode, std::string_view bytes) {
    Series s{"RAW00001", 0, {}};
    if (bytes.size() >= 2) {
        s.first_year =
            static_cast<signed char>(bytes[0]) * 100 + static_cast<unsigned char>(bytes[1]);
        bytes.remove_prefix(2);
    }
    for (; bytes.size() >= sizeof(float) && s.values.size() < 200;
         bytes.remove_prefix(sizeof(float))) {
        float v;
        std::memcpy(&v, bytes.data(), sizeof v);
        s.values.push_back(v);
    }
    const std::string file = write_one(mode, s);
    std::istringstream lines_of(file);
    for (std::string line; std::getline(lines_of, line);) FUZZ_CHECK(line.size() <= 80);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::uint8_t control = input.byte();
    const bool index = (control & 1) != 0;
    if (control & 8) {
        write_raw(index ? TrrwMode::iw : TrrwMode::mw, input.rest());
        return 0;
    }
    const TrrwMode mode = index ? TrrwMode::ir : TrrwMode::mr;
    const std::size_t capacity = (control & 4) ? 12 : 5001;
    const std::vector<Series> series =
        read_all(mode, index && (control & 2), capacity, input.rest());
    for (const Series& s : series) round_trip(mode, s);
    return 0;
}
