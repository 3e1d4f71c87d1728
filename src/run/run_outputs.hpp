// Every file a run writes, named in one place: the writers take their names
// from here, and so do the checks made before the first table is written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "run/options.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

struct RunOutput {
    std::string path;
    std::string role;  // "the table of pair 2", "a summary table"
};

// The names of the per-file tables of every pair, as they will be written:
// with _2, _3 ... where an earlier pair's table takes the name.
std::vector<std::string> planned_table_names(const Job& job);

// The CSV table, the tree means and the series table beside the per-file
// table `table`.
std::string pair_csv_name(std::string_view table);
std::string tree_csv_name(std::string_view table);
std::string series_csv_name(std::string_view table);

// The PNG page of a series, or of the pair's means (series_id empty), of
// the pair whose table is `table`, before any _2 that tells apart two
// pages of one name.
std::string plot_page_stem(std::string_view table, std::string_view series_id);

// Every file the run writes, but the PNG pages: one plot folder holds those.
std::vector<RunOutput> outputs_of(const Job& job, const RunOptions& options);

// The plot folder of --plots DIR/, with its final slash; empty without one.
std::string plot_folder_of(const Job& job, const RunOptions& options);

// An output written over an input would lose the user's data: the run
// stops (status 1) before it writes anything.
void check_inputs_are_not_outputs(const Job& job, const RunOptions& options, Console& con);

// Before anything is written or created: every output can be made where it
// is named, and no two outputs take one name. The first that cannot throws
// FileFailure naming it and why: a folder in its place, a folder to hold it
// that is missing (other than the output folder and the plot folder, which
// the run makes) or cannot be written, a name too long, a name another
// output of the run takes.
void check_outputs_can_be_written(const Job& job, const RunOptions& options);

}  // namespace ruvela
