#include "run/store.hpp"

#include <algorithm>

namespace ruvela {

void PairTables::clear() {
    for (SeriesYearTable* table : {&ring_width, &basal_area, &basal_area_increment})
        table->clear(used_rows_, used_first_, used_last_);
    if (used_first_ <= used_last_) {
        const auto first = static_cast<std::ptrdiff_t>(used_first_ - 1);
        const auto last = static_cast<std::ptrdiff_t>(used_last_);
        for (PerYear<float>* a :
             {&sum_ring_width, &sum_basal_area, &sum_basal_area_increment, &mean_ring_width,
              &mean_basal_area, &mean_basal_area_increment, &sum_ring_area, &mean_ring_area}) {
            std::fill(a->begin() + first, a->begin() + last, 0.0f);
        }
        for (PerYear<int>* a : {&count_ring_width, &count_basal_area, &count_basal_area_increment,
                                &count_ring_area}) {
            std::fill(a->begin() + first, a->begin() + last, 0);
        }
    }
    used_rows_ = 0;
    used_first_ = max_years + 1;
    used_last_ = 0;
    basal_area.narrow(1, max_years);
    basal_area_increment.narrow(1, max_years);
}

void PairTables::narrow_results(int first_year, int last_year) {
    if (!storable_year(first_year) || !storable_year(last_year) || first_year > last_year) return;
    basal_area.narrow(first_year, last_year);
    basal_area_increment.narrow(first_year, last_year);
}

void PairTables::store_series(int s, int first_year, std::span<const float> values) {
    if (values.empty()) return;
    ring_width.put(s, first_year, values);
    const int last_year = first_year + static_cast<int>(values.size()) - 1;
    used_rows_ = std::max(used_rows_, s);
    used_first_ = std::min(used_first_, first_year);
    used_last_ = std::max(used_last_, last_year);
}

void Store::reset() {
    run = RunResults();
    pair = PairSeries();
    tables.clear();
    ranges = PairRanges();
    work = WorkBuffers();
}

}  // namespace ruvela
