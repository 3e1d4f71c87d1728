#include "run/basal_area.hpp"

#include <algorithm>

#include "ringio/units.hpp"

namespace ruvela {

namespace {

// The missing inner part as `rings` rings of the mean width of the first
// measured ones: rings * (sum / rings). In single precision this is not
// always `sum` itself, and the stored tables depend on the exact floats, so
// the two steps stay.
float inner_part(float sum, int rings) {
    const auto n = static_cast<float>(rings);
    return n * (sum / n);
}

// The sum of the series' widths, in mm.
float measured_width(const PairSeries& pair, const PairTables& tables, int s) {
    float sum = 0.0f;
    for (int y = pair.series_first_year(s); y <= pair.series_last_year(s); ++y)
        sum += tables.ring_width(s, y);
    return sum;
}

// With a pith offset p the missing inner part counts as p rings of the mean
// width of the first p measured rings; widths past the series' end are zero,
// so only its own rings are summed and a huge offset costs nothing.
float radius_from_pith_offset(int p, const PairSeries& pair, const PairTables& tables, int s) {
    const int first = pair.series_first_year(s);
    const int last = pair.series_last_year(s);
    float a = 0.0f;
    if (p > 0) {
        const int inner_years = std::min(p, last - first + 1);
        for (int y = first; y < first + inner_years; ++y) a += tables.ring_width(s, y);
        a = inner_part(a, p);
    }
    for (int y = first; y <= last; ++y) a += tables.ring_width(s, y);
    return mm_to_cm(a);
}

// How a kind turns widths into radii: the radius at the end of the last
// year (cm), and how much radius a width stands for (1 but for the
// proportional method). Multiplying by 1 changes no float, so the other
// kinds walk inward exactly as without a scale.
struct RadiusRule {
    float outer = 0.0f;
    float scale = 1.0f;
};

// The proportional method: the stem's radius keeps to the measured radius,
// the distance to the pith and the widths so far, in proportion, and is half
// the diameter in the last year.
RadiusRule proportional_rule(const CompanionRecord& record, float measured_mm) {
    const float measured = mm_to_cm(record.d2pith_mm + measured_mm);
    if (measured == 0.0f) return {0.0f, 0.0f};  // nothing to share the diameter among
    const float outer = record.diameter_cm * 0.5f;
    return {outer, outer / measured};
}

RadiusRule radius_rule(OffsetKind kind, const PairSeries& pair, const PairTables& tables, int s) {
    const CompanionRecord& record = pair.companion(s);
    switch (kind) {
        case OffsetKind::pith_offsets:
            return {radius_from_pith_offset(record.pith_offset, pair, tables, s)};
        case OffsetKind::diameters:
            return {record.diameter_cm * 0.5f};
        case OffsetKind::d2pith:
            return {mm_to_cm(record.d2pith_mm + measured_width(pair, tables, s))};
        case OffsetKind::proportional:
            break;
    }
    return proportional_rule(record, measured_width(pair, tables, s));
}

// Areas in cm2 from the outside in; the walk goes one ring past the first
// year to the circle inside the first ring.
void walk_inward(const RadiusRule& rule, PairSeries& pair, PairTables& tables, int s) {
    const int first = pair.series_first_year(s);
    const int last = pair.series_last_year(s);
    float r = rule.outer;
    tables.basal_area(s, last) = pi * (r * r);
    for (int y = last - 1; y >= first; --y) {
        r = r - rule.scale * mm_to_cm(tables.ring_width(s, y + 1));
        tables.basal_area(s, y) = pi * (r * r);
        tables.basal_area_increment(s, y + 1) =
            tables.basal_area(s, y + 1) - tables.basal_area(s, y);
    }
    pair.radius(s) = r;
    const float inside = r - rule.scale * mm_to_cm(tables.ring_width(s, first));
    pair.first_ring_area(s) = tables.basal_area(s, first) - pi * (inside * inside);
}

// Adds a series' year to the year's sums; negative areas and increments
// (a diameter too small for the rings) stay out of the means.
void add_to_sums(PairTables& tables, int s, int y, float ring_area) {
    const float area = tables.basal_area(s, y);
    tables.sum_ring_width(y) += tables.ring_width(s, y);
    tables.count_ring_width(y) += 1;
    if (area >= 0.0f) {
        tables.sum_basal_area(y) += area;
        tables.count_basal_area(y) += 1;
    }
    const float increment = tables.basal_area_increment(s, y);
    if (increment >= 0.0f) {
        tables.sum_basal_area_increment(y) += increment;
        tables.count_basal_area_increment(y) += 1;
    }
    if (ring_area >= 0.0f) {
        tables.sum_ring_area(y) += ring_area;
        tables.count_ring_area(y) += 1;
    }
}

void compute_series(OffsetKind kind, PairSeries& pair, PairTables& tables, int s) {
    const int first = pair.series_first_year(s);
    const int last = pair.series_last_year(s);
    if (last < first) return;  // no rings, no area
    walk_inward(radius_rule(kind, pair, tables, s), pair, tables, s);
    for (int y = first; y <= last; ++y) {
        float& area = tables.basal_area(s, y);
        area = cm2_to_dm2(area);
        add_to_sums(tables, s, y,
                    y == first ? pair.first_ring_area(s) : tables.basal_area_increment(s, y));
    }
}

float mean(float sum, int count) {
    return count != 0 ? sum / static_cast<float>(count) : 0.0f;
}

}  // namespace

void compute_basal_area(OffsetKind kind, RunResults& run, PairSeries& pair, PairTables& tables) {
    tables.narrow_results(run.file_first_year(run.file_index), run.file_last_year(run.file_index));
    for (int s = 1; s <= pair.series_count; ++s) compute_series(kind, pair, tables, s);
    const int f = run.file_index;
    if (pair.series_count > 0) {
        run.overall_first_year = std::min(run.overall_first_year, run.file_first_year(f));
        run.overall_last_year = std::max(run.overall_last_year, run.file_last_year(f));
    }
    for (int y = run.file_first_year(f); y <= run.file_last_year(f); ++y) {
        tables.mean_ring_width(y) = mean(tables.sum_ring_width(y), tables.count_ring_width(y));
        tables.mean_basal_area(y) = mean(tables.sum_basal_area(y), tables.count_basal_area(y));
        tables.mean_basal_area_increment(y) =
            mean(tables.sum_basal_area_increment(y), tables.count_basal_area_increment(y));
        tables.mean_ring_area(y) = mean(tables.sum_ring_area(y), tables.count_ring_area(y));
        run.file_means(Measure::basal_area, f, y) = tables.mean_basal_area(y);
        run.file_means(Measure::increment, f, y) = tables.mean_basal_area_increment(y);
        run.file_means(Measure::ring_width, f, y) = tables.mean_ring_width(y);
    }
}

}  // namespace ruvela
