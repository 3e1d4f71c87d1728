#include "run/basal_area.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "store_fixture.hpp"

namespace ruvela {
namespace {

using testing::compute;
using testing::load_pair;
using testing::TestSeries;

// Unscaled area pi*r*r in cm^2 as the program's single-precision steps give it.
float area(float r) {
    return pi * (r * r);
}

TEST(BasalArea, PithOffsetAddsTheMeanWidthOfTheFirstRingsPerMissingRing) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith, {{"core1a", 1901, {1.0f, 1.0f, 1.0f}, 2}});
    compute(store);
    // a = 2 + 3 = 5 mm, so the outer radius is 0.5 cm and the walk inward
    // gives 0.4 and 0.3 cm.
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1903), area(0.5f) / 100.0f);
    EXPECT_NEAR(store.tables.basal_area(1, 1902), pi * 0.16f / 100.0f, 1e-8f);
    EXPECT_NEAR(store.tables.basal_area(1, 1901), pi * 0.09f / 100.0f, 1e-8f);
    EXPECT_NEAR(store.tables.basal_area_increment(1, 1903), pi * 0.09f, 1e-6f);
    EXPECT_NEAR(store.tables.basal_area_increment(1, 1902), pi * 0.07f, 1e-6f);
    EXPECT_EQ(store.tables.basal_area_increment(1, 1901), 0.0f);
    EXPECT_NEAR(store.pair.radius(1), 0.3f, 1e-6f);
    // One ring further in: 2 mm inside the first ring.
    EXPECT_NEAR(store.pair.first_ring_area(1), pi * 0.05f, 1e-6f);
}

TEST(BasalArea, DiameterOf20cmGivesPiInTheLastYear) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::diameter, {{"tree", 1950, {2.0f, 3.0f}, 0, 20.0f}});
    compute(store);
    EXPECT_EQ(store.tables.basal_area(1, 1951), 3.1415927f);
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1950), area(10.0f - 0.3f) / 100.0f);
    EXPECT_NEAR(store.pair.first_ring_area(1), area(9.7f) - area(9.5f), 1e-4f);
}

// Fault guarded: the distance to the pith left out of the radius, or the
// first ring's area taken from a circle of radius 0.
TEST(BasalArea, DistanceToThePithStartsTheRadiusAndTheFirstRing) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::d2pith, {{"d", 1950, {1.0f, 2.0f}, 0, 0.0f, 10.0f}});
    compute(store);
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1951), area(1.3f) / 100.0f);
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1950), area(1.1f) / 100.0f);
    EXPECT_NEAR(store.tables.basal_area_increment(1, 1951), pi * (1.69f - 1.21f), 1e-5f);
    EXPECT_NEAR(store.pair.first_ring_area(1), pi * (1.21f - 1.0f), 1e-5f);
}

// Fault guarded: the proportional method walked inward by the unscaled
// widths from the measured diameter, as for diameters. Here 10 mm to the
// pith and 10 mm of rings stand for a radius of 4 cm: every mm is 2 mm.
// A row with neither a distance nor widths has nothing to share out: 0.
TEST(BasalArea, ProportionalRadiiScaleTheMeasuredOnesToTheDiameter) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::proportional,
              {{"p", 1950, {5.0f, 5.0f}, 3, 8.0f, 10.0f}, {"z", 1950, {0.0f}, 0, 8.0f, 0.0f}});
    compute(store);
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1951), area(4.0f) / 100.0f);
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1950), area(3.0f) / 100.0f);
    EXPECT_FLOAT_EQ(store.tables.basal_area_increment(1, 1951), area(4.0f) - area(3.0f));
    EXPECT_FLOAT_EQ(store.pair.first_ring_area(1), area(3.0f) - area(2.0f));
    EXPECT_EQ(store.tables.basal_area(2, 1950), 0.0f);
    EXPECT_EQ(store.pair.first_ring_area(2), 0.0f);
}

TEST(BasalArea, OneRingSeriesHasAreaNoIncrementAndCountsOnce) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith, {{"solo", 1800, {4.0f}, 0}});
    compute(store);
    EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1800), area(0.4f) / 100.0f);
    EXPECT_EQ(store.tables.basal_area_increment(1, 1800), 0.0f);
    EXPECT_EQ(store.tables.count_ring_width(1800), 1);
    EXPECT_EQ(store.tables.count_basal_area(1800), 1);
    EXPECT_EQ(store.tables.count_basal_area_increment(1800), 1);
    EXPECT_EQ(store.run.file_means(Measure::ring_width, 1, 1800), 4.0f);
    // The CSV's mean takes the ring's area, the whole circle here.
    EXPECT_FLOAT_EQ(store.tables.mean_ring_area(1800), area(0.4f));
    EXPECT_EQ(store.tables.count_ring_area(1800), 1);
}

TEST(BasalArea, PithOffsetsPastTheSeriesOrTheLastStorableYearCountOnlyItsRings) {
    // Whatever the offset beyond the series' length, the inner estimate is
    // the sum of its widths; the last case would overflow a year index.
    for (const int offset : {4, 50, 1000000, std::numeric_limits<int>::max()}) {
        testing::TestStore store;
        load_pair(store, 1, CompanionKind::pith, {{"late", 4999, {1.0f, 2.0f, 3.0f}, offset}});
        compute(store);
        EXPECT_FLOAT_EQ(store.tables.basal_area(1, 5001), area(1.2f) / 100.0f)
            << "offset " << offset;
    }
}

TEST(BasalArea, OffsetOfZeroOrLessAddsNothing) {
    for (const int offset : {0, -3}) {
        testing::TestStore store;
        load_pair(store, 1, CompanionKind::pith, {{"c", 1900, {1.0f, 1.0f}, offset}});
        compute(store);
        EXPECT_FLOAT_EQ(store.tables.basal_area(1, 1901), area(0.2f) / 100.0f);
    }
}

TEST(BasalArea, NegativeDiameterGivesOnlyNegativeIncrementsWhichStayOutOfTheMean) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::diameter, {{"bad", 1900, {1.0f, 1.0f, 1.0f}, 0, -5.0f}});
    compute(store);
    EXPECT_LT(store.tables.basal_area_increment(1, 1901), 0.0f);
    EXPECT_LT(store.tables.basal_area_increment(1, 1902), 0.0f);
    EXPECT_GT(store.tables.basal_area(1, 1900),
              store.tables.basal_area(1, 1902));                  // the area grows towards the pith
    EXPECT_EQ(store.tables.count_basal_area_increment(1900), 1);  // the first year's zero
    EXPECT_EQ(store.tables.count_basal_area_increment(1901), 0);
    EXPECT_EQ(store.run.file_means(Measure::increment, 1, 1902), 0.0f);
    EXPECT_LT(store.pair.first_ring_area(1), 0.0f);
    EXPECT_EQ(store.tables.count_ring_area(1900), 0);  // nor does a negative first ring
    EXPECT_EQ(store.tables.count_basal_area(1902), 1);
}

TEST(BasalArea, MeansOverSeriesOfDifferentYears) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith,
              {{"a", 1900, {1.0f, 2.0f, 3.0f}, 0}, {"b", 1902, {5.0f, 7.0f}, 0}});
    compute(store);
    // 1901 has one series, 1902 both (b's first-year zero increment counts).
    EXPECT_EQ(store.tables.mean_ring_width(1901), 2.0f);
    EXPECT_EQ(store.tables.count_ring_width(1901), 1);
    EXPECT_EQ(store.tables.mean_ring_width(1902), 4.0f);
    EXPECT_EQ(store.tables.count_basal_area_increment(1902), 2);
    EXPECT_EQ(store.tables.mean_basal_area_increment(1902),
              store.tables.basal_area_increment(1, 1902) / 2.0f);
    EXPECT_EQ(store.tables.mean_ring_width(1903), 7.0f);
    EXPECT_EQ(store.run.file_means(Measure::basal_area, 1, 1903), store.tables.basal_area(2, 1903));
    EXPECT_EQ(store.run.overall_first_year, 1900);
    EXPECT_EQ(store.run.overall_last_year, 1903);
}

TEST(BasalArea, PairWithoutSeriesLeavesTheOverallSpan) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith, {{"a", 1900, {1.0f}, 0}});
    compute(store);
    load_pair(store, 2, CompanionKind::pith, {});
    compute(store);
    EXPECT_EQ(store.run.overall_first_year, 1900);
    EXPECT_EQ(store.run.overall_last_year, 1900);
}

TEST(SeriesStore, ClearingThePreviousPairLeavesEveryCellZero) {
    testing::TestStore store;
    load_pair(
        store, 1, CompanionKind::pith,
        {{"a", 1, {1.0f, 2.0f}, 3},
         {"b", 4990, {1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 1.0f, 2.0f, 3.0f}, 0},
         {"c", 2000, {1.0f}, 0}});
    compute(store);
    store.tables.clear();
    const auto zero = [](const auto& cells) {
        return std::all_of(cells.begin(), cells.end(), [](auto v) { return v == 0; });
    };
    const auto zero_table = [](const SeriesYearTable& table) {
        for (int s = 1; s <= table.series(); ++s)
            for (int y = 1; y <= table.years(); ++y)
                if (table(s, y) != 0) return false;
        return true;
    };
    for (const auto* table :
         {&store.tables.ring_width, &store.tables.basal_area, &store.tables.basal_area_increment}) {
        EXPECT_TRUE(zero_table(*table));
    }
    for (const auto* a : {&store.tables.sum_ring_width, &store.tables.sum_basal_area,
                          &store.tables.sum_basal_area_increment, &store.tables.mean_ring_width,
                          &store.tables.mean_basal_area, &store.tables.mean_basal_area_increment,
                          &store.tables.sum_ring_area, &store.tables.mean_ring_area}) {
        EXPECT_TRUE(zero(*a));
    }
    for (const auto* a :
         {&store.tables.count_ring_width, &store.tables.count_basal_area,
          &store.tables.count_basal_area_increment, &store.tables.count_ring_area}) {
        EXPECT_TRUE(zero(*a));
    }
    // What the run keeps is not cleared.
    EXPECT_NE(store.run.file_means(Measure::ring_width, 1, 2000), 0.0f);
}

TEST(SeriesStore, YearsOfTheRowsPreviousSeriesReadZeroInTheNextPair) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith, {{"a", 1901, {1.0f, 1.0f, 1.0f}, 0}});
    compute(store);
    load_pair(store, 2, CompanionKind::pith, {{"b", 1921, {1.0f}, 0}});
    compute(store);
    const PairTables& tables = store.tables;
    EXPECT_EQ(tables.ring_width(1, 1902), 0.0f);
    EXPECT_EQ(tables.basal_area(1, 1902), 0.0f);
    EXPECT_EQ(tables.basal_area_increment(1, 1902), 0.0f);
    EXPECT_EQ(store.tables.count_ring_width(1902), 0);
}

}  // namespace
}  // namespace ruvela
