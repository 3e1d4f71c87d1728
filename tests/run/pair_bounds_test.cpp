// The bounds that a range of companion values allows, on real cores.
#include "run/pair_bounds.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "ringio/companion.hpp"
#include "ringio/ring_format.hpp"

namespace ruvela {
namespace {

std::string read_text(const std::string& name) {
    std::ifstream in(std::string(RUVELA_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// zof's cores and their rows of pith offset, distance and diameter.
struct Zof {
    RingFileReading rings;
    std::vector<CompanionRecord> rows;  // in the cores' order
};

Zof read_zof() {
    Zof zof;
    const std::string content = read_text("zof/zof.rwl");
    zof.rings = read_ring_file(detect_ring_format(content), content);
    const std::string table = read_text("zof/zof_ancillary.csv");
    LineReader lines{std::string_view(table)};
    const CompanionReading reading =
        read_companion(CompanionKind::proportional, free_format, lines, 1001);
    std::vector<std::string_view> ids;
    for (const RingSeries& s : zof.rings.series) ids.push_back(s.id.shown());
    const RowPairing pairing = pair_rows_by_id(reading.values, ids);
    zof.rows.resize(ids.size());
    for (std::size_t k = 0; k < reading.values.size(); ++k)
        zof.rows[static_cast<std::size_t>(pairing.series_of_value[k] - 1)] =
            reading.values[k].record;
    return zof;
}

std::vector<SeriesInput> inputs_of(const Zof& zof) {
    std::vector<SeriesInput> inputs;
    for (std::size_t k = 0; k < zof.rows.size(); ++k)
        inputs.push_back({zof.rings.series[k].first_year, zof.rings.series[k].widths, zof.rows[k]});
    return inputs;
}

// Fault guarded: the bounds of a monotone value not being the computation
// run at its two ends, float for float.
TEST(PairBounds, AMonotoneRangeGivesTheComputationAtItsEnds) {
    const Zof zof = read_zof();
    ASSERT_FALSE(zof.rows.empty());
    const std::vector<SeriesInput> inputs = inputs_of(zof);
    std::vector<ValueRange> ranges;
    for (const SeriesInput& s : inputs) {
        ValueRange r{s.companion, s.companion};
        r.low.diameter_cm -= 1.0f;
        r.high.diameter_cm += 1.0f;
        ranges.push_back(r);
    }
    const std::vector<SeriesBounds> bounds =
        compute_bounds(CompanionKind::proportional, inputs, ranges);
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const SeriesResult low = compute_series(CompanionKind::proportional,
                                                {inputs[k].first_year, inputs[k].widths, ranges[k].low});
        const SeriesResult high = compute_series(
            CompanionKind::proportional, {inputs[k].first_year, inputs[k].widths, ranges[k].high});
        EXPECT_EQ(bounds[k].basal_area_low, low.basal_area);
        EXPECT_EQ(bounds[k].basal_area_high, high.basal_area);
        EXPECT_EQ(bounds[k].increment_low, low.increment);
        EXPECT_EQ(bounds[k].increment_high, high.increment);
        EXPECT_EQ(bounds[k].first_ring_area_high, high.first_ring_area);
    }
}

// The proportional method's ring area in double precision, at distance d (mm)
// and diameter D (cm): ring k of the core, before mm of rings inside it.
double ring_area(double d, double diameter, double measured, double before, double width) {
    const double scale = diameter / 2.0 / ((d + measured) / 10.0);
    const double outer = scale * (d + before + width) / 10.0;
    const double inner = scale * (d + before) / 10.0;
    return M_PI * (outer * outer - inner * inner);
}

// Fault guarded: the increments of the proportional method taken as
// monotone in the distance to the pith, so that the bounds miss the peak
// of the inner rings. Every sampled distance must lie inside the bounds, and
// the largest sample must reach the upper bound.
TEST(PairBounds, TheProportionalIncrementPeaksInsideTheDistancesRange) {
    const Zof zof = read_zof();
    const std::vector<SeriesInput> inputs = inputs_of(zof);
    std::vector<ValueRange> ranges;
    for (const SeriesInput& s : inputs) {
        ValueRange r{s.companion, s.companion};
        r.low.d2pith_mm = std::max(0.0f, s.companion.d2pith_mm - 20.0f);
        r.high.d2pith_mm = s.companion.d2pith_mm + 20.0f;
        ranges.push_back(r);
    }
    const std::vector<SeriesBounds> bounds =
        compute_bounds(CompanionKind::proportional, inputs, ranges);
    int peaks_inside = 0;
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const auto widths = inputs[k].widths;
        double measured = 0.0;
        for (const float w : widths) measured += w;
        const double diameter = ranges[k].high.diameter_cm;
        const double outer_area = M_PI * diameter * diameter / 4.0;
        const double tolerance = 8.0 * outer_area * std::numeric_limits<float>::epsilon();
        double before = 0.0;
        for (std::size_t y = 0; y < widths.size(); ++y) {
            double most = -1e30;
            const double lo = ranges[k].low.d2pith_mm, hi = ranges[k].high.d2pith_mm;
            for (int j = 0; j <= 400; ++j) {
                const double d = lo + (hi - lo) * j / 400.0;
                most = std::max(most, ring_area(d, diameter, measured, before, widths[y]));
            }
            const double high =
                y == 0 ? bounds[k].first_ring_area_high : bounds[k].increment_high[y];
            EXPECT_GE(high, most - tolerance) << k << " " << y;
            EXPECT_LE(high, most + tolerance) << k << " " << y;
            const double at_ends = std::max(ring_area(lo, diameter, measured, before, widths[y]),
                                            ring_area(hi, diameter, measured, before, widths[y]));
            peaks_inside += most > at_ends + tolerance ? 1 : 0;
            before += widths[y];
        }
    }
    EXPECT_GT(peaks_inside, 0) << "the range holds no ring's peak: the test shows nothing";
}

// Fault guarded: an area's least taken at an end of the range when the
// radius passes 0 inside it (a diameter range below the measured rings).
TEST(PairBounds, ARadiusPassingZeroGivesAnAreaOfZero) {
    const std::vector<float> widths = {10.0f, 10.0f};
    const SeriesInput series{1900, widths, {.diameter_cm = 3.0f}};
    const ValueRange range{{.diameter_cm = 1.0f}, {.diameter_cm = 6.0f}};
    const std::vector<SeriesBounds> bounds =
        compute_bounds(CompanionKind::diameter, {&series, 1}, {&range, 1});
    // The radius at the end of 1900 runs from -0.5 to 2 cm.
    EXPECT_EQ(bounds[0].basal_area_low[0], 0.0f);
    EXPECT_GT(bounds[0].basal_area_low[1], 0.0f);
}

}  // namespace
}  // namespace ruvela
