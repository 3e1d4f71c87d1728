// The pair's computation, from the store and back into it.
#pragma once

#include "run/pair_computation.hpp"
#include "run/store.hpp"

namespace ruvela {

// The store's series of the pair as the computation takes them.
std::vector<SeriesInput> series_inputs(const PairSeries& pair, const PairTables& tables);

// Fills the pair's tables (basal_area in dm2, basal_area_increment in cm2,
// the per-year sums, counts and means), each series' radius and first
// ring's area, and pair run.file_index's means in file_means.
void store_pair_result(const PairResult& result, RunResults& run, PairSeries& pair,
                       PairTables& tables);

// For pair run.file_index: computes it and stores the result; gives what
// the computation found.
PairFindings compute_basal_area(CompanionKind kind, RunResults& run, PairSeries& pair,
                                PairTables& tables);

}  // namespace ruvela
