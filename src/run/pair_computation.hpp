// The basal areas and increments of a pair's series and their per-year
// means, computed from plain values: no console, no store. The run driver
// fills its tables from the result; tests and bounds call it directly.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ringio/companion_kinds.hpp"

namespace ruvela {

inline constexpr float pi = 3.1415927f;

// One series as the computation needs it.
struct SeriesInput {
    int first_year = 0;
    std::span<const float> widths;  // mm, one a year from first_year
    CompanionRecord companion;
};

struct SeriesResult {
    std::vector<float> basal_area;  // dm2, one a year from the series' first year
    std::vector<float> increment;   // cm2, likewise; the first year has none and holds 0
    float radius = 0.0f;            // cm, at the end of the first year
    // cm2: the area the first ring adds to the circle inside it, which the
    // per-file table leaves at 0 (it has no earlier year to take it from).
    float first_ring_area = 0.0f;
    bool finite = true;  // every area and increment a number
};

// One measure's per-year sum, count and mean over the pair's span, year
// first_year at index 0. Negative areas and increments (a diameter too
// small for the rings) stay out.
struct YearTotals {
    std::vector<float> sum;
    std::vector<int> count;
    std::vector<float> mean;
};

// A series value that cannot be what the user meant.
struct ImplausibleValue {
    int series = 0;  // from 1
    std::string why;
};

// What the computation finds that the user must hear of.
struct PairFindings {
    std::vector<ImplausibleValue> implausible;
    // Series (from 1) whose value makes an area too large for single
    // precision: their tables would hold infinities or NaNs.
    std::vector<int> areas_out_of_range;
};

struct PairResult {
    // The span of every series' years; first_year > last_year when there are
    // no series.
    int first_year = 0;
    int last_year = -1;
    std::vector<SeriesResult> series;  // as the input, in order
    YearTotals ring_width, basal_area, increment;
    // The area each year's ring adds: the increment, and in a series' first
    // year its first ring's area.
    YearTotals ring_area;
    PairFindings findings;
};

// One series by the kind's radius rule; a series without rings has no areas.
SeriesResult compute_series(CompanionKind kind, const SeriesInput& series);

// Rebuilds each series' radius year by year from the outside in, by the
// kind's radius rule, and sums, counts and averages the pair per year, all
// in single precision in the order the stored tables were made with.
PairResult compute_pair(CompanionKind kind, std::span<const SeriesInput> series);

}  // namespace ruvela
