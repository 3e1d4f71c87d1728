// The per-file table of every pair and the three summary tables of the run.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "run/edition.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// The per-file table's name: the ring-width file's base name (after the last
// "/") up to its first "." or blank, then "_BAI", padded with blanks to 30
// characters (the console shows all 30). The stem is never cut, so the table
// is never the input itself.
std::string output_file_name(std::string_view ring_file_name);

// `name`, or when an earlier pair's table of this run took it, the first of
// name_2, name_3, ... that none did.
std::string unused_table_name(const std::string& name, const std::vector<std::string>& used);

// "________rrw ________ba ________bai " with the ID over each underscore run.
std::string series_heading(std::string_view series_id);

// Writes the per-file table of pair run.file_index in the layout answered
// and reports its name on the console; returns the name. Also rebuilds the
// series headings.
std::string write_file_table(const Job& job, RunResults& run, PairSeries& pair,
                             const PairTables& tables, WorkBuffers& work, Console& con);

// The table itself, written to `out`.
void write_file_table_to(const Job& job, const RunResults& run, PairSeries& pair,
                         const PairTables& tables, WorkBuffers& work, std::ostream& out,
                         Console& con);

// The three summary tables, one per measure of FileMeans.
struct SummaryTable {
    const char* file_name;
    Measure measure;
};
inline constexpr SummaryTable summary_tables[] = {
    {"BAm2.out", Measure::basal_area},
    {"BAIcm2.out", Measure::increment},
    {"RRWmm.out", Measure::ring_width},
};

// Creates "BAm2.out", "BAIcm2.out" and "RRWmm.out" from the means of every
// pair, one column per pair of the run.
// Edition 12's sample depth is that of the last pair processed (`tables`).
void write_summary_tables(const Job& job, const RunResults& run, const PairTables& tables,
                          Edition edition);

void write_summary_table_to(const Job& job, const RunResults& run, const PairTables& tables,
                            Edition edition, const SummaryTable& table, std::ostream& out);

}  // namespace ruvela
