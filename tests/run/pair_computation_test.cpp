// The pair's computation on plain values, without store or console.
#include "run/pair_computation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace ruvela {
namespace {

float disc(float r_cm) {
    return pi * (r_cm * r_cm);
}

// Fault guarded: the distance to the pith left out of the radius, or the
// increment taken between the wrong years.
TEST(PairComputation, DistanceToThePithGivesTheIncrementOfARingAroundIt) {
    const std::vector<float> widths = {2.0f, 3.0f, 5.0f};
    const SeriesInput series{1900, widths, {.d2pith_mm = 10.0f}};
    const PairResult pair = compute_pair(CompanionKind::d2pith, {&series, 1});
    const SeriesResult& s = pair.series[0];
    ASSERT_EQ(s.basal_area.size(), 3u);
    // Radii 1.2, 1.5 and 2.0 cm at the ends of 1900, 1901 and 1902.
    EXPECT_NEAR(s.basal_area[2], disc(2.0f) / 100.0f, 1e-6f);
    EXPECT_EQ(s.increment[0], 0.0f);
    EXPECT_NEAR(s.increment[1], disc(1.5f) - disc(1.2f), 1e-5f);
    EXPECT_NEAR(s.increment[2], disc(2.0f) - disc(1.5f), 1e-5f);
    EXPECT_NEAR(s.first_ring_area, disc(1.2f) - disc(1.0f), 1e-5f);
    EXPECT_TRUE(pair.findings.implausible.empty());
}

// Fault guarded: the means taken over series that do not reach a year, or a
// negative area (a diameter too small for the rings) counted in them.
TEST(PairComputation, MeansCountOnlyTheSeriesOfAYearAndLeaveNegativeAreasOut) {
    const std::vector<float> long_widths = {10.0f, 10.0f, 10.0f};
    const std::vector<float> short_widths = {10.0f};
    const SeriesInput series[] = {{1900, long_widths, {.diameter_cm = 6.0f}},
                                  {1902, short_widths, {.diameter_cm = 0.6f}}};
    const PairResult pair = compute_pair(CompanionKind::diameter, series);
    EXPECT_EQ(pair.first_year, 1900);
    EXPECT_EQ(pair.last_year, 1902);
    EXPECT_EQ(pair.ring_width.count, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(pair.ring_width.mean[2], 10.0f);
    // The second series' outer area is a circle all the same.
    EXPECT_EQ(pair.basal_area.count, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(pair.basal_area.mean[0], pair.series[0].basal_area[0]);
    // 0.6 cm of diameter for 1 cm of rings: the ring's area is negative.
    ASSERT_EQ(pair.findings.implausible.size(), 1u);
    EXPECT_EQ(pair.findings.implausible[0].series, 2);
    EXPECT_LT(pair.series[1].first_ring_area, 0.0f);
    EXPECT_EQ(pair.ring_area.count[2], 1);
}

// Fault guarded: a value like 1e30 mm written into the tables as infinities
// instead of being told.
TEST(PairComputation, AreasBeyondSinglePrecisionAreFound) {
    const std::vector<float> widths = {1.0f, 1.0f};
    const SeriesInput series[] = {{1900, widths, {.d2pith_mm = 5.0f}},
                                  {1900, widths, {.d2pith_mm = 1e30f}}};
    const PairResult pair = compute_pair(CompanionKind::d2pith, series);
    EXPECT_EQ(pair.findings.areas_out_of_range, (std::vector<int>{2}));
    EXPECT_TRUE(pair.series[0].finite);
}

}  // namespace
}  // namespace ruvela
