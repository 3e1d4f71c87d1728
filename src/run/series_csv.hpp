// <table>_series.csv: one row a series, with the values its areas rest on
// and where each came from.
#pragma once

#include <string_view>

#include "ringio/companion_kinds.hpp"
#include "run/store.hpp"

namespace ruvela {

// "series,first_year,last_year,rings,mean_width_mm,pith_offset,
// pith_offset_from,d2pith_mm,d2pith_from,dbh_cm,dbh_from": the values the
// kind uses, the others empty. Written complete or not at all, to `path`.
void write_series_csv_file(std::string_view path, CompanionKind kind,
                           const PairSeries& pair, const PairTables& tables);

}  // namespace ruvela
