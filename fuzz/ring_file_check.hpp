// What every reading of a Heidelberg, delimited or TRiDaS file must be, and
// the series of two readings compared: the targets write what they read
// back in the same format, each width as its shortest decimal in
// millimetres, and read it again.
#pragma once

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "fuzz_check.hpp"
#include "ringio/ring_format.hpp"
#include "text/utf8.hpp"

namespace ruvela::fuzz {

// Round trips are left out for readings this large: writing them back costs
// more than the fuzzer gains, and a round trip of 90,000 years (a year typed
// with a digit too many) ran past the fuzzer's time limit on a busy machine.
constexpr std::size_t round_trip_rings = 20000;

// Longest message text a reading gives: text quoted from the file is cut,
// whatever the file holds.
constexpr std::size_t longest_text = 400;

inline bool is_utf8(std::string text) {
    return !repair_utf8(text);
}

inline void check_reading(const RingFileReading& r) {
    if (r.error) {
        FUZZ_CHECK(r.series.empty() && r.findings.empty());
        FUZZ_CHECK(r.error->line >= 0 && !r.error->text.empty());
        FUZZ_CHECK(r.error->text.size() <= longest_text);
        return;
    }
    for (const RingSeries& s : r.series) {
        FUZZ_CHECK(s.id.cut().size() <= id_length);
        FUZZ_CHECK(is_utf8(s.id.whole()));
        FUZZ_CHECK(!s.widths.empty());
        for (float w : s.widths) FUZZ_CHECK(std::isfinite(w));
    }
    for (const Finding& f : r.findings) {
        FUZZ_CHECK(f.kind == FindingKind::id_cut || f.kind == FindingKind::duplicate_id ||
                   f.kind == FindingKind::series_skipped ||
                   f.kind == FindingKind::gap_read_as_zero || f.kind == FindingKind::id_not_utf8);
        FUZZ_CHECK(f.text.size() <= longest_text && f.other_id.size() <= longest_text);
        // A series' gaps make one finding: its missing rings lie between the
        // first gap's start and the last gap's end.
        if (f.kind == FindingKind::gap_read_as_zero)
            FUZZ_CHECK(f.count > 0 && f.count <= f.expected_year - f.year + 1);
        if (f.kind == FindingKind::id_cut) FUZZ_CHECK(f.other_id.size() > id_length);
    }
}

inline std::size_t ring_count(const RingFileReading& r) {
    std::size_t n = 0;
    for (const RingSeries& s : r.series) n += s.widths.size();
    return n;
}

inline void check_same_series(const RingFileReading& first, const RingFileReading& again) {
    FUZZ_CHECK(!again.error);
    FUZZ_CHECK(again.series.size() == first.series.size());
    for (std::size_t i = 0; i < first.series.size(); ++i) {
        const RingSeries& a = first.series[i];
        const RingSeries& b = again.series[i];
        FUZZ_CHECK(a.id == b.id);
        FUZZ_CHECK(a.first_year == b.first_year);
        FUZZ_CHECK(a.widths.size() == b.widths.size());
        FUZZ_CHECK(std::memcmp(a.widths.data(), b.widths.data(), a.widths.size() * sizeof(float)) ==
                   0);
    }
    // Nothing else is written back: IDs are written whole, so a long one is
    // cut for the tables again.
    for (const Finding& f : again.findings)
        FUZZ_CHECK(f.kind == FindingKind::duplicate_id || f.kind == FindingKind::id_cut);
}

inline std::string shortest(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

}  // namespace ruvela::fuzz
