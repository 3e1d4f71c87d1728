// The tables as comma-separated values, for R, pandas and spreadsheets: one
// header row, fields quoted as RFC 4180 says, every number as the shortest
// text that reads back to the same float, and a missing value as an empty cell.
// The writers take plain views, so they need nothing but the values.
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "run/pair_bounds.hpp"
#include "run/store.hpp"
#include "run/tree_means.hpp"

namespace ruvela {

// One series of a pair: its values from its first year on, one per year.
struct SeriesCsvView {
    std::string_view id;
    int first_year = 0;
    std::span<const float> ring_width_mm;
    std::span<const float> basal_area_dm2;  // as the per-file table holds it
    std::span<const float> increment_cm2;   // the first year's entry is not written:
    float first_ring_area_cm2 = 0.0f;       // this stands in its place
    // The least and greatest areas and increments the range of its value
    // allows, when a range was given.
    const SeriesBounds* bounds = nullptr;
    // The decimals its widths were measured at: ring_width_mm is written at
    // them (put_measured); without them as the shortest text.
    std::optional<int> ring_width_decimals{};
};

// "series,year,ring_width_mm,basal_area_cm2,bai_cm2", then one row per
// series and year, series in the order given, years rising. The
// increment of a series' first year is the area of its first ring. The
// widths are written as measured, the computed columns as the shortest text.
void write_pair_csv(std::ostream& out, std::span<const SeriesCsvView> series);

// Writes the table into `path` (run_outputs.hpp names it), complete or not at all.
void write_pair_csv_file(std::string_view path, std::span<const SeriesCsvView> series);

// The same for the series of the pair just computed; with `bounds` (one a
// series) four more columns give the bounds.
void write_pair_csv_file(std::string_view path, const PairSeries& pair, const PairTables& tables,
                         std::span<const SeriesBounds> bounds = {});

// The per-year sample depths and means of one pair over its own span, one
// entry per year from first_year on. The counts and means are those of the
// fixed-width tables, but for the increments: there a series' first year
// gives its first ring's area, as in the pair's CSV table, not the zero of
// the fixed-width tables.
struct PairMeansCsvView {
    std::string_view file;  // the ring-width file's name
    int first_year = 0;
    std::span<const int> n_ring_width;
    std::span<const float> mean_ring_width_mm;
    std::span<const int> n_basal_area;
    std::span<const float> mean_basal_area_dm2;  // as stored
    std::span<const int> n_bai;
    std::span<const float> mean_bai_cm2;  // the ring areas' means
    // With ranges on the values: the means of the series' bounds, over the
    // series each mean takes, in cm2; empty without.
    std::span<const float> mean_basal_area_low_cm2{}, mean_basal_area_high_cm2{};
    std::span<const float> mean_bai_low_cm2{}, mean_bai_high_cm2{};
};

inline constexpr std::string_view summary_csv_name = "summary.csv";

// The rows of summary.csv, added pair by pair: a pair's counts last only
// until the next pair is read.
struct SummaryCsv {
    std::string rows;
    // From the first pair with ranges on, every row has the means of the
    // bounds; the rows of a pair without them leave those cells empty.
    bool bounded = false;
};

// Adds one row per year of the pair's span; a mean over no series is empty.
void add_pair_rows(SummaryCsv& summary, const PairMeansCsvView& pair);

// The rows of the pair just computed, over its span first_year..last_year;
// with `means` (over the same span) the means of the bounds too.
void add_pair_rows(SummaryCsv& summary, std::string_view ring_file_name, int first_year,
                   int last_year, const PairTables& tables, const MeanBounds* means = nullptr);

// "file,year,n_ring_width,mean_ring_width_mm,n_basal_area,mean_basal_area_cm2,n_bai,mean_bai_cm2"
// (with bounds also "mean_basal_area_low_cm2,mean_basal_area_high_cm2,
// mean_bai_low_cm2,mean_bai_high_cm2") and the rows added so far.
void write_summary_csv(std::ostream& out, const SummaryCsv& summary);

// Writes summary_csv_name, complete or not at all.
void write_summary_csv_file(const SummaryCsv& summary, std::string_view path = summary_csv_name);

// "tree,year,n_cores,ring_width_mm,basal_area_cm2,bai_cm2" (when `bounded`
// also "basal_area_low_cm2,basal_area_high_cm2,bai_low_cm2,bai_high_cm2"),
// then one row per tree and year in which at least one of its cores has a ring.
void write_tree_csv(std::ostream& out, std::span<const TreeMeans> trees, bool bounded = false);

// Writes the tree means of the pair just computed into `path`, complete or
// not at all, trees as
// tree_of(id, tree_chars) finds them. Gives the trees whose cores disagree
// on the diameter, for the run to tell (warn_tree_disagreements).
std::vector<TreeDiameterDisagreement> write_tree_csv_file(std::string_view path,
                                                          const PairSeries& pair,
                                                          const PairTables& tables, CompanionKind kind,
                                                          int tree_chars,
                                                          std::span<const SeriesBounds> bounds = {});

// Appends `text` as one CSV field: quoted, with its quotes doubled, when it
// holds a comma, a quote or a line end, or begins or ends with a blank that
// a reader might otherwise drop.
void put_csv_text(std::string& out, std::string_view text);

}  // namespace ruvela
