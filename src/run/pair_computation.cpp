#include "run/pair_computation.hpp"

#include <algorithm>
#include <cmath>

#include "ringio/units.hpp"
#include "run/value_checks.hpp"

namespace ruvela {

namespace {

int last_year_of(const SeriesInput& s) {
    return s.first_year + static_cast<int>(s.widths.size()) - 1;
}

// Areas from the outside in; the walk goes one ring past the first year to
// the circle inside the first ring. Areas are taken in cm2 and kept in dm2.
SeriesResult walk_inward(const RadiusRule& rule, std::span<const float> widths) {
    const std::size_t n = widths.size();
    SeriesResult result;
    std::vector<float>& area = result.basal_area;
    area.resize(n);
    result.increment.assign(n, 0.0f);
    float r = rule.outer;
    area[n - 1] = pi * (r * r);
    for (std::size_t k = n - 1; k-- > 0;) {
        r = r - rule.scale * mm_to_cm(widths[k + 1]);
        area[k] = pi * (r * r);
        result.increment[k + 1] = area[k + 1] - area[k];
    }
    result.radius = r;
    const float inside = r - rule.scale * mm_to_cm(widths[0]);
    result.first_ring_area = area[0] - pi * (inside * inside);
    bool finite = std::isfinite(result.first_ring_area);
    for (float& a : area) {
        finite = finite && std::isfinite(a);
        a = cm2_to_dm2(a);
    }
    result.finite = finite;
    return result;
}

void add(YearTotals& totals, std::size_t k, float value) {
    if (value < 0.0f) return;
    totals.sum[k] += value;
    totals.count[k] += 1;
}

void size_for(YearTotals& totals, std::size_t years) {
    totals.sum.assign(years, 0.0f);
    totals.count.assign(years, 0);
    totals.mean.assign(years, 0.0f);
}

void add_series(PairResult& pair, const SeriesInput& input, const SeriesResult& result) {
    const auto at = static_cast<std::size_t>(input.first_year - pair.first_year);
    for (std::size_t k = 0; k < input.widths.size(); ++k) {
        pair.ring_width.sum[at + k] += input.widths[k];
        pair.ring_width.count[at + k] += 1;
        add(pair.basal_area, at + k, result.basal_area[k]);
        add(pair.increment, at + k, result.increment[k]);
        add(pair.ring_area, at + k, k == 0 ? result.first_ring_area : result.increment[k]);
    }
}

void average(YearTotals& totals) {
    for (std::size_t k = 0; k < totals.sum.size(); ++k)
        totals.mean[k] = totals.count[k] != 0
                             ? totals.sum[k] / static_cast<float>(totals.count[k])
                             : 0.0f;
}

}  // namespace

SeriesResult compute_series(CompanionKind kind, const SeriesInput& series) {
    if (series.widths.empty()) return {};
    return walk_inward(kind_info(kind).radius_rule(series.companion, series.widths), series.widths);
}

PairResult compute_pair(CompanionKind kind, std::span<const SeriesInput> series) {
    PairResult pair;
    if (!series.empty()) {
        pair.first_year = series.front().first_year;
        pair.last_year = last_year_of(series.front());
    }
    for (const SeriesInput& s : series) {
        pair.first_year = std::min(pair.first_year, s.first_year);
        pair.last_year = std::max(pair.last_year, last_year_of(s));
    }
    const auto years = static_cast<std::size_t>(std::max(0, pair.last_year - pair.first_year + 1));
    for (YearTotals* totals : {&pair.ring_width, &pair.basal_area, &pair.increment, &pair.ring_area})
        size_for(*totals, years);
    pair.series.reserve(series.size());
    for (std::size_t k = 0; k < series.size(); ++k) {
        const SeriesInput& s = series[k];
        if (std::string why = implausible_value(kind, s.companion, s.widths); !why.empty())
            pair.findings.implausible.push_back({static_cast<int>(k) + 1, std::move(why)});
        pair.series.push_back(compute_series(kind, s));
        if (s.widths.empty()) continue;  // no rings, no area
        if (!pair.series.back().finite) pair.findings.areas_out_of_range.push_back(static_cast<int>(k) + 1);
        add_series(pair, s, pair.series.back());
    }
    for (YearTotals* totals : {&pair.ring_width, &pair.basal_area, &pair.increment, &pair.ring_area})
        average(*totals);
    return pair;
}

}  // namespace ruvela
