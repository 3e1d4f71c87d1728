// <table>_series.csv: one row a series, with the values its areas rest on
// and where each came from.
#pragma once

#include <span>
#include <string_view>

#include "ringio/companion_kinds.hpp"
#include "run/pair_bounds.hpp"
#include "run/store.hpp"

namespace ruvela {

// "series,first_year,last_year,rings,mean_width_mm,pith_offset,
// pith_offset_from,d2pith_mm,d2pith_from,dbh_cm,dbh_from,bark_mm,bark_from":
// the values the kind uses, the others empty. With `ranges` (one a series)
// the ends of each value's range follow ("pith_offset_low,pith_offset_high,
// d2pith_low_mm,..."). Written complete or not at all, to `path`.
void write_series_csv_file(std::string_view path, CompanionKind kind, const PairSeries& pair,
                           const PairTables& tables, std::span<const ValueRange> ranges = {});

}  // namespace ruvela
