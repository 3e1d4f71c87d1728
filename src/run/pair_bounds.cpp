#include "run/pair_bounds.hpp"

#include <algorithm>
#include <tuple>

#include "ringio/units.hpp"

namespace ruvela {

namespace {

// The radius at the end of ring k (from 0; k = -1 is the circle inside the
// first ring) in closed form, for a value inside a range: the walk inward
// sums the same widths one at a time.
struct ClosedRadii {
    RadiusRule rule;
    float measured = 0.0f;  // mm

    float at(float inside_mm) const { return rule.outer - rule.scale * mm_to_cm(measured - inside_mm); }
};

float ring_area(const ClosedRadii& radii, float before, float width) {
    const float outer = radii.at(before + width);
    const float inner = radii.at(before);
    return pi * (outer * outer) - pi * (inner * inner);
}

void take_ends(const SeriesResult& a, const SeriesResult& b, SeriesBounds& bounds) {
    const std::size_t n = a.basal_area.size();
    bounds.basal_area_low.resize(n);
    bounds.basal_area_high.resize(n);
    bounds.increment_low.resize(n);
    bounds.increment_high.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::tie(bounds.basal_area_low[k], bounds.basal_area_high[k]) =
            std::minmax(a.basal_area[k], b.basal_area[k]);
        std::tie(bounds.increment_low[k], bounds.increment_high[k]) =
            std::minmax(a.increment[k], b.increment[k]);
    }
    std::tie(bounds.first_ring_area_low, bounds.first_ring_area_high) =
        std::minmax(a.first_ring_area, b.first_ring_area);
}

// A radius grows with every value, so where it is negative at the low end
// and positive at the high one it passes 0 inside: the area's least is 0.
void take_zero_radii(const ClosedRadii& low, const ClosedRadii& high,
                     std::span<const float> widths, SeriesBounds& bounds) {
    float inside = 0.0f;
    for (std::size_t k = 0; k < widths.size(); ++k) {
        inside += widths[k];
        if ((low.at(inside) < 0.0f) != (high.at(inside) < 0.0f)) bounds.basal_area_low[k] = 0.0f;
    }
}

// Ring areas that peak inside the range (the proportional method in the
// distance to the pith).
void take_peaks(const CompanionKindInfo& info, const ValueRange& range,
                std::span<const float> widths, float measured, SeriesBounds& bounds) {
    float before = 0.0f;
    for (std::size_t k = 0; k < widths.size(); ++k) {
        const auto peak = info.ring_area_peak(range.low, range.high, measured, before, widths[k]);
        if (peak) {
            const ClosedRadii radii{info.radius_rule(*peak, widths), measured};
            float& high = k == 0 ? bounds.first_ring_area_high : bounds.increment_high[k];
            high = std::max(high, ring_area(radii, before, widths[k]));
        }
        before += widths[k];
    }
}

SeriesBounds series_bounds(const CompanionKindInfo& info, const SeriesInput& series,
                           const ValueRange& range) {
    SeriesBounds bounds;
    if (series.widths.empty()) return bounds;
    const SeriesResult low = compute_series(info.kind, {series.first_year, series.widths, range.low});
    const SeriesResult high =
        compute_series(info.kind, {series.first_year, series.widths, range.high});
    take_ends(low, high, bounds);
    const float measured = measured_width(series.widths);
    take_zero_radii({info.radius_rule(range.low, series.widths), measured},
                    {info.radius_rule(range.high, series.widths), measured}, series.widths, bounds);
    if (info.ring_area_peak != nullptr) take_peaks(info, range, series.widths, measured, bounds);
    return bounds;
}

}  // namespace

std::optional<float> ValueErrors::of(CompanionField field) const {
    if (field == CompanionField::pith_offset && pith_offset)
        return static_cast<float>(*pith_offset);
    if (field == CompanionField::d2pith) return d2pith_mm;
    if (field == CompanionField::diameter) return diameter_cm;
    return std::nullopt;
}

std::vector<ValueRange> value_ranges(CompanionKind kind, const ValueErrors& errors,
                                     std::span<const SeriesInput> series,
                                     std::span<const ValueBounds> given, int& clamped) {
    std::vector<ValueRange> ranges;
    clamped = 0;
    for (std::size_t k = 0; k < series.size(); ++k) {
        const SeriesInput& s = series[k];
        ValueRange r{s.companion, s.companion};
        bool at_limit = false;
        for (const CompanionField field : kind_info(kind).fields) {
            const float value = value_of(s.companion, field);
            const std::optional<float> error = errors.of(field);
            const ValueBounds own = given.empty() ? ValueBounds{} : given[k];
            if (!error && !own.end(field, false) && !own.end(field, true)) continue;
            float low = own.end(field, false).value_or(error ? value - *error : value);
            const float high = own.end(field, true).value_or(error ? value + *error : value);
            const float least = field == CompanionField::diameter
                                    ? 2.0f * mm_to_cm(measured_width(s.widths))
                                    : 0.0f;
            at_limit = at_limit || low < least;
            low = std::max(low, least);
            set_value(r.low, field, low);
            set_value(r.high, field, high);
        }
        clamped += at_limit ? 1 : 0;
        ranges.push_back(r);
    }
    return ranges;
}

std::vector<SeriesBounds> compute_bounds(CompanionKind kind, std::span<const SeriesInput> series,
                                         std::span<const ValueRange> ranges) {
    const CompanionKindInfo& info = kind_info(kind);
    std::vector<SeriesBounds> bounds;
    bounds.reserve(series.size());
    for (std::size_t k = 0; k < series.size(); ++k)
        bounds.push_back(series_bounds(info, series[k], ranges[k]));
    return bounds;
}

namespace {

// Sums one measure's ends over the series whose value counts, and counts them.
struct EndSums {
    std::vector<float>& low;
    std::vector<float>& high;
    std::vector<int> count;

    void add(std::size_t at, float value, float low_end, float high_end) {
        if (value < 0.0f) return;
        low[at] += low_end;
        high[at] += high_end;
        ++count[at];
    }

    void average() {
        for (std::size_t at = 0; at < count.size(); ++at) {
            if (count[at] == 0) continue;
            low[at] /= static_cast<float>(count[at]);
            high[at] /= static_cast<float>(count[at]);
        }
    }
};

}  // namespace

MeanBounds mean_bounds(const PairResult& result, std::span<const SeriesInput> series,
                       std::span<const SeriesBounds> bounds) {
    const auto years = static_cast<std::size_t>(std::max(0, result.last_year - result.first_year + 1));
    MeanBounds m;
    for (std::vector<float>* v : {&m.basal_area_low, &m.basal_area_high, &m.increment_low,
                                  &m.increment_high, &m.ring_area_low, &m.ring_area_high})
        v->assign(years, 0.0f);
    EndSums area{m.basal_area_low, m.basal_area_high, std::vector<int>(years)};
    EndSums increment{m.increment_low, m.increment_high, std::vector<int>(years)};
    EndSums ring{m.ring_area_low, m.ring_area_high, std::vector<int>(years)};
    for (std::size_t s = 0; s < series.size() && s < bounds.size(); ++s) {
        const SeriesResult& r = result.series[s];
        const SeriesBounds& b = bounds[s];
        const auto at = static_cast<std::size_t>(series[s].first_year - result.first_year);
        for (std::size_t k = 0; k < b.basal_area_low.size(); ++k) {
            area.add(at + k, r.basal_area[k], b.basal_area_low[k], b.basal_area_high[k]);
            increment.add(at + k, r.increment[k], b.increment_low[k], b.increment_high[k]);
            const float ring_area = k > 0 ? r.increment[k] : r.first_ring_area;
            ring.add(at + k, ring_area, b.ring_area_low(k), b.ring_area_high(k));
        }
    }
    for (EndSums* sums : {&area, &increment, &ring}) sums->average();
    return m;
}

}  // namespace ruvela
