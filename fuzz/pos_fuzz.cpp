// Coordinate files: any input is read without a crash into one series that
// keeps the rules, or refused with a short message; the same file with LF
// line ends instead of CRLF reads the same.
// Input: the file.
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "ring_file_check.hpp"
#include "ringio/pos.hpp"

using namespace ruvela;

namespace {

// A stem longer than the tables' IDs, so that the cut is always on the way.
constexpr std::string_view stem = "fuzzed_core";

bool is_pos_finding(FindingKind kind) {
    return kind == FindingKind::id_cut || kind == FindingKind::point_order_reversed ||
           kind == FindingKind::pith_off_core_line;
}

void check_pos_reading(const PosReading& p) {
    const RingFileReading& r = p.reading;
    if (r.error) {
        fuzz::check_reading(r);
        return;
    }
    FUZZ_CHECK(r.series.size() == 1);
    const RingSeries& s = r.series[0];
    FUZZ_CHECK(s.id == stem);
    FUZZ_CHECK(!s.widths.empty() && s.widths.size() <= max_years);
    for (float w : s.widths) FUZZ_CHECK(std::isfinite(w) && w >= 0.0f);
    FUZZ_CHECK(static_cast<long long>(s.first_year) + static_cast<long long>(s.widths.size()) - 1 ==
               p.pith.dated_year);
    if (p.pith.distance_mm)
        FUZZ_CHECK(std::isfinite(*p.pith.distance_mm) && *p.pith.distance_mm >= 0.0f);
    if (p.pith.years_to_pith) FUZZ_CHECK(*p.pith.years_to_pith >= 0);
    if (s.pith) {
        FUZZ_CHECK(s.pith->distance_mm == p.pith.distance_mm);
        FUZZ_CHECK(s.pith->offset == p.pith.years_to_pith);
    }
    for (const Finding& f : r.findings) {
        FUZZ_CHECK(is_pos_finding(f.kind));
        FUZZ_CHECK(f.text.size() <= fuzz::longest_text);
        if (f.kind == FindingKind::point_order_reversed) FUZZ_CHECK(f.count > 0 && f.line > 0);
        if (f.kind == FindingKind::pith_off_core_line) FUZZ_CHECK(p.pith.pith_line);
    }
}

std::string with_lf(std::string_view text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k)
        if (!(text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n'))
            out.push_back(text[k]);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    looks_like_pos(text);
    const PosReading p = read_pos(text, stem);
    check_pos_reading(p);
    const PosReading again = read_pos(with_lf(text), stem);
    FUZZ_CHECK(again.reading.error.has_value() == p.reading.error.has_value());
    if (p.reading.error) {
        FUZZ_CHECK(again.reading.error->line == p.reading.error->line);
        return 0;
    }
    const RingSeries& a = p.reading.series[0];
    const RingSeries& b = again.reading.series[0];
    FUZZ_CHECK(a.first_year == b.first_year && a.widths.size() == b.widths.size());
    FUZZ_CHECK(std::memcmp(a.widths.data(), b.widths.data(), a.widths.size() * sizeof(float)) == 0);
    FUZZ_CHECK(a.pith == b.pith);
    return 0;
}
