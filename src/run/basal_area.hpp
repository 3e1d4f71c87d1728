// Basal area and basal-area increment of every series, and their per-year means.
#pragma once

#include "run/store.hpp"

namespace ruvela {

inline constexpr float pi = 3.1415927f;

// For pair run.file_index: rebuilds each series' radius year by year
// from the outside in, fills basal_area (dm2) and
// basal_area_increment (cm2), and keeps the pair's per-year means in file_means.
void compute_basal_area(OffsetKind kind, RunResults& run, PairSeries& pair, PairTables& tables);

}  // namespace ruvela
