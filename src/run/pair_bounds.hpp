// The range of areas and increments that a range of companion values
// allows, series by series: worked out at the ends of the range, and inside
// it where a method is not monotone in its value.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "run/pair_computation.hpp"

namespace ruvela {

// A series' companion value as a range: the record at each end of it. Both
// ends hold every field the kind uses; a field without a range is the same
// at both.
struct ValueRange {
    CompanionRecord low;
    CompanionRecord high;
};

// A plus-or-minus on every series' value of a field.
struct ValueErrors {
    std::optional<int> pith_offset;  // rings
    std::optional<float> d2pith_mm;
    std::optional<float> diameter_cm;

    bool any() const { return pith_offset || d2pith_mm || diameter_cm; }
    std::optional<float> of(CompanionField field) const;
};

// Each series' range of the values of `kind`: the ends its companion table
// gives (given[k] for series[k]; `given` may be empty), else its value less
// and plus the error. A lower end below what is possible (a pith offset or a
// distance below 0, a diameter below twice the measured rings) is taken at
// that limit, and the series so taken are counted in `clamped`.
std::vector<ValueRange> value_ranges(CompanionKind kind, const ValueErrors& errors,
                                     std::span<const SeriesInput> series,
                                     std::span<const ValueBounds> given, int& clamped);

struct SeriesBounds {
    std::vector<float> basal_area_low, basal_area_high;  // dm2, a year each from the first
    std::vector<float> increment_low, increment_high;    // cm2; the first year's are 0
    float first_ring_area_low = 0.0f;                    // cm2
    float first_ring_area_high = 0.0f;

    // The area year k's ring adds (cm2): the increment, and in the first
    // year the first ring's area, as the CSV tables give it.
    float ring_area_low(std::size_t k) const { return k > 0 ? increment_low[k] : first_ring_area_low; }
    float ring_area_high(std::size_t k) const {
        return k > 0 ? increment_high[k] : first_ring_area_high;
    }
};

// For each series (with ranges[k] the range of series[k]'s value) the
// smallest and largest basal area and increment of every year, and of its
// first ring's area. The bounds at the ends of a range are the computation
// run at those ends, float for float.
std::vector<SeriesBounds> compute_bounds(CompanionKind kind, std::span<const SeriesInput> series,
                                         std::span<const ValueRange> ranges);

// The means of the series' bounds, a year each over the pair's span, over
// the series whose own value the year's mean takes (one not below 0).
struct MeanBounds {
    std::vector<float> basal_area_low, basal_area_high;  // dm2
    std::vector<float> increment_low, increment_high;    // cm2; a series' first year gives 0
    std::vector<float> ring_area_low, ring_area_high;    // cm2; its first ring's area instead
};

MeanBounds mean_bounds(const PairResult& result, std::span<const SeriesInput> series,
                       std::span<const SeriesBounds> bounds);

// A pair's ranges and bounds, series by series, and their means; empty
// without ranges.
struct PairRanges {
    std::vector<ValueRange> ranges;
    std::vector<SeriesBounds> bounds;
    MeanBounds means;
};

}  // namespace ruvela
