#include "run/store.hpp"

#include <algorithm>

namespace ruvela {

void Store::clear_pair_tables() {
    for (SeriesYearTable* table : {&ring_width, &basal_area, &basal_area_increment})
        table->clear(used_rows_, used_first_, used_last_);
    if (used_first_ <= used_last_) {
        const auto first = static_cast<std::ptrdiff_t>(used_first_ - 1);
        const auto last = static_cast<std::ptrdiff_t>(used_last_);
        for (PerYear<float>* a : {&sum_ring_width, &sum_basal_area, &sum_basal_area_increment,
                                  &mean_ring_width, &mean_basal_area, &mean_basal_area_increment}) {
            std::fill(a->begin() + first, a->begin() + last, 0.0f);
        }
        for (PerYear<int>* a :
             {&count_ring_width, &count_basal_area, &count_basal_area_increment}) {
            std::fill(a->begin() + first, a->begin() + last, 0);
        }
    }
    used_rows_ = 0;
    used_first_ = max_years + 1;
    used_last_ = 0;
}

void Store::store_series(int s, int first_year, std::span<const float> values) {
    if (values.empty()) return;
    ring_width.put(s, first_year, values);
    const int last_year = first_year + static_cast<int>(values.size()) - 1;
    used_rows_ = std::max(used_rows_, s);
    used_first_ = std::min(used_first_, first_year);
    used_last_ = std::max(used_last_, last_year);
}

namespace {

template <typename T>
void renew(T& value) {
    value = T();
}

}  // namespace

void Store::reset() {
    clear_pair_tables();
    file_means.clear();
    renew(use_list_file), renew(ring_list_name), renew(offset_list_name);
    renew(ring_file_names), renew(offset_file_names), renew(file_count);
    renew(offset_kind), renew(offset_format), renew(output_layout);
    renew(file_first_year), renew(file_last_year), renew(file_index);
    overall_first_year = Store::initial_first_year;
    overall_last_year = Store::initial_last_year;
    renew(series_count), renew(series_ids), renew(series_headings);
    renew(series_first_year), renew(series_last_year), renew(series_length);
    renew(pith_offsets), renew(diameters), renew(offset_count), renew(radius);
    renew(value_buffer), renew(count_buffer);
}

}  // namespace ruvela
