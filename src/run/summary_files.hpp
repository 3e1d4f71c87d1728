// The run's summary files, written last.
#pragma once

#include "run/csv_tables.hpp"
#include "run/edition.hpp"
#include "run/store.hpp"

namespace ruvela {

// The three summary tables and, when `csv` is given, summary.csv: none
// replaces its earlier version until all are complete, so a run that fails
// here leaves the set of the previous run whole.
void write_summary_files(const Job& job, const RunResults& run, const PairTables& tables,
                         Edition edition, const SummaryCsv* csv);

}  // namespace ruvela
