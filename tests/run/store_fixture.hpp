// Building a pair in the store directly, without files.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "run/store.hpp"
#include "text/numfmt.hpp"

namespace ruvela::testing {

// One series as the reader would hand it over.
struct TestSeries {
    std::string id;
    int first_year;
    std::vector<float> widths;
    int pith_offset = 0;
    float diameter = 0.0f;
};

// Puts `series` into the store as pair `file_index`, the way the run reads a
// ring-width file and its companion file.
inline void load_pair(Store& store, int file_index, OffsetKind kind,
                      std::initializer_list<TestSeries> series) {
    store.file_index = file_index;
    store.file_count = std::max(store.file_count, file_index);
    store.offset_kind = kind;
    store.file_first_year(file_index) = 9999;
    store.file_last_year(file_index) = -9999;
    store.clear_pair_tables();
    int s = 0;
    for (const TestSeries& one : series) {
        ++s;
        const int last = one.first_year + static_cast<int>(one.widths.size()) - 1;
        store.series_ids(s) = fixed_text(one.id, id_length);
        store.series_first_year(s) = one.first_year;
        store.series_length(s) = static_cast<int>(one.widths.size());
        store.series_last_year(s) = last;
        store.store_series(s, one.first_year, one.widths);
        store.pith_offsets(s) = one.pith_offset;
        store.diameters(s) = one.diameter;
        store.file_first_year(file_index) =
            std::min(store.file_first_year(file_index), one.first_year);
        store.file_last_year(file_index) = std::max(store.file_last_year(file_index), last);
    }
    store.series_count = s;
    store.offset_count = s;
}

}  // namespace ruvela::testing
