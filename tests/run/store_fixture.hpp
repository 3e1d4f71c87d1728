// Building a pair in the store directly, without files.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "run/basal_area.hpp"
#include "run/store.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela::testing {

// One series as the reader would hand it over.
struct TestSeries {
    std::string id;
    int first_year;
    std::vector<float> widths;
    int pith_offset = 0;
    float diameter = 0.0f;
    float d2pith_mm = 0.0f;
};

// The store with the job it is filled for.
struct TestStore : Store {
    Job job;
};

// Puts `series` into the store as pair `file_index`, the way the run reads a
// ring-width file and its companion file.
inline void load_pair(TestStore& store, int file_index, CompanionKind kind,
                      std::initializer_list<TestSeries> series) {
    store.run.file_index = file_index;
    if (store.job.file_count() < file_index)
        store.job.pairs.resize(static_cast<std::size_t>(file_index));
    store.job.companion_kind = kind;
    store.run.file_first_year(file_index) = pair_span_first_unset;
    store.run.file_last_year(file_index) = pair_span_last_unset;
    store.tables.clear();
    int s = 0;
    for (const TestSeries& one : series) {
        ++s;
        const int last = one.first_year + static_cast<int>(one.widths.size()) - 1;
        store.pair.series_ids(s) = fixed_text(one.id, id_length);
        store.pair.series_first_year(s) = one.first_year;
        store.pair.series_length(s) = static_cast<int>(one.widths.size());
        store.pair.series_last_year(s) = last;
        store.tables.store_series(s, one.first_year, one.widths);
        store.pair.companion(s) = {one.pith_offset, one.diameter, one.d2pith_mm};
        store.run.file_first_year(file_index) =
            std::min(store.run.file_first_year(file_index), one.first_year);
        store.run.file_last_year(file_index) = std::max(store.run.file_last_year(file_index), last);
    }
    store.pair.series_count = s;
    store.pair.offset_count = s;
}

// The computation of the pair loaded last.
inline void compute(TestStore& store) {
    compute_basal_area(store.job.companion_kind, store.run, store.pair, store.tables);
}

}  // namespace ruvela::testing
