#include "run/basal_area.hpp"

#include <algorithm>

namespace ruvela {

namespace {

// Radius at the end of the last year, in cm. With a pith offset p the
// missing inner part counts as p rings of the mean width of the first p
// measured rings; widths past the series' end are zero, so only its own
// rings are summed and a huge offset costs nothing.
float outer_radius(const Store& store, int s) {
    const int first = store.series_first_year(s);
    const int last = store.series_last_year(s);
    if (store.offset_kind == OffsetKind::diameters) return store.diameters(s) * 0.5f;
    const int p = store.pith_offsets(s);
    float a = 0.0f;
    if (p > 0) {
        const int inner_years = std::min(p, last - first + 1);
        for (int y = first; y < first + inner_years; ++y) a += store.ring_width(s, y);
        const auto rings = static_cast<float>(p);
        a = rings * (a / rings);
    }
    for (int y = first; y <= last; ++y) a += store.ring_width(s, y);
    return a / 10.0f;
}

void compute_series(Store& store, int s) {
    const int first = store.series_first_year(s);
    const int last = store.series_last_year(s);
    if (last < first) return;  // no rings, no area
    float r = outer_radius(store, s);
    store.basal_area(s, last) = pi * (r * r);
    for (int y = last - 1; y >= first; --y) {
        r = r - store.ring_width(s, y + 1) / 10.0f;
        store.basal_area(s, y) = pi * (r * r);
        store.basal_area_increment(s, y + 1) = store.basal_area(s, y + 1) - store.basal_area(s, y);
    }
    store.radius(s) = r;
    for (int y = first; y <= last; ++y) {
        float& area = store.basal_area(s, y);
        area = area / 100.0f;
        store.sum_ring_width(y) += store.ring_width(s, y);
        store.count_ring_width(y) += 1;
        if (area >= 0.0f) {
            store.sum_basal_area(y) += area;
            store.count_basal_area(y) += 1;
        }
        const float increment = store.basal_area_increment(s, y);
        if (increment >= 0.0f) {
            store.sum_basal_area_increment(y) += increment;
            store.count_basal_area_increment(y) += 1;
        }
    }
}

float mean(float sum, int count) {
    return count != 0 ? sum / static_cast<float>(count) : 0.0f;
}

}  // namespace

void compute_basal_area(Store& store) {
    for (int s = 1; s <= store.series_count; ++s) compute_series(store, s);
    const int f = store.file_index;
    if (store.series_count > 0) {
        store.overall_first_year = std::min(store.overall_first_year, store.file_first_year(f));
        store.overall_last_year = std::max(store.overall_last_year, store.file_last_year(f));
    }
    for (int y = store.file_first_year(f); y <= store.file_last_year(f); ++y) {
        store.mean_ring_width(y) = mean(store.sum_ring_width(y), store.count_ring_width(y));
        store.mean_basal_area(y) = mean(store.sum_basal_area(y), store.count_basal_area(y));
        store.mean_basal_area_increment(y) =
            mean(store.sum_basal_area_increment(y), store.count_basal_area_increment(y));
        store.file_means(FileMeans::mean_basal_area, f, y) = store.mean_basal_area(y);
        store.file_means(FileMeans::mean_increment, f, y) = store.mean_basal_area_increment(y);
        store.file_means(FileMeans::mean_ring_width, f, y) = store.mean_ring_width(y);
    }
}

}  // namespace ruvela
