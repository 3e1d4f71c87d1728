#include "run/job.hpp"

#include <vector>

#include "run/basal_area.hpp"
#include "run/companion_file.hpp"
#include "run/csv_tables.hpp"
#include "run/folder_lock.hpp"
#include "run/list_files.hpp"
#include "run/pair_input.hpp"
#include "run/run_outputs.hpp"
#include "run/shown_names.hpp"
#include "run/series_csv.hpp"
#include "run/stop.hpp"
#include "run/summary_files.hpp"
#include "run/tables.hpp"
#include "run/tree_means.hpp"
#include "run/warning_text.hpp"
#include "text/shown_text.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

std::vector<int> estimated_offsets(const PairSeries& pair) {
    std::vector<int> series;
    for (int s = 1; s <= pair.series_count; ++s)
        if (pair.companion_source(s).pith_offset_estimated) series.push_back(s);
    return series;
}

bool any_range_given(const PairSeries& pair) {
    for (int s = 1; s <= pair.series_count; ++s) {
        const ValueBounds& given = pair.companion_source(s).bounds;
        for (std::size_t k = 0; k < companion_field_count; ++k)
            if (given.low[k] || given.high[k]) return true;
    }
    return false;
}

// With errors on the values or ranges in the companion table, each series'
// range and bounds; a lower end clamped at what is possible is told once
// for the file.
PairRanges ranges_of(const Job& job, int f, const PairSeries& pair, const PairTables& tables,
                     const PairResult& result, Console& con) {
    if (!job.errors.any() && !any_range_given(pair)) return {};
    const std::vector<SeriesInput> inputs = series_inputs(pair, tables);
    std::vector<ValueBounds> given;
    for (int s = 1; s <= pair.series_count; ++s) given.push_back(pair.companion_source(s).bounds);
    int clamped = 0;
    PairRanges pair_ranges;
    pair_ranges.ranges = value_ranges(job.companion_kind, job.errors, inputs, given, clamped);
    if (clamped > 0) {
        const std::string file = job.values_from_ring_files(f)
                                     ? file_name_of(job.pair(f).ring_file)
                                     : file_name_of(job.pair(f).companion_file);
        write_warning(con, "File " + file + ": the ranges of " + std::to_string(clamped) +
                               " series reach below what is possible (a pith offset or a "
                               "distance below 0, a diameter below twice the measured rings); "
                               "their lower ends are taken at that limit.");
    }
    estimate_pith_offset_ranges(job, pair, tables, pair_ranges.ranges);
    pair_ranges.bounds = compute_bounds(job.companion_kind, inputs, pair_ranges.ranges);
    pair_ranges.means = mean_bounds(result, inputs, pair_ranges.bounds);
    return pair_ranges;
}

// The pair's ring-width file and its companion's values; a file that
// cannot be opened is told with the list line that names it.
void read_pair(const Job& job, int f, Store& store, const RunOptions& options, Console& con) {
    try {
        if (job.from_command_line && is_coordinate_input(file_name_of(job.pair(f).ring_file)))
            read_coordinate_input(job.ring_file_name(f), store.run, store.pair, store.tables,
                                  options.keep_going, con);
        else
            read_ring_width_file(job.ring_file_name(f), store.run, store.pair, store.tables, con);
        read_companion_file(job, f, store.pair, store.tables, con);
    } catch (const FileFailure& failure) {
        tell_listed_place(job, f, failure, con);
        throw;
    }
}

// Pair f, from reading its files to writing its tables; returns the table's name.
std::string process_pair(const Job& job, int f, Store& store, SummaryCsv& summary_csv,
                         const RunOptions& options, Console& con) {
    RunResults& results = store.run;
    results.file_index = f;
    start_pair(results, store.tables);
    read_pair(job, f, store, options, con);
    const std::vector<SeriesInput> inputs = series_inputs(store.pair, store.tables);
    const PairResult result = compute_pair(job.companion_kind, inputs);
    tell_implausible_values(job, f, store.pair, result.findings.implausible, con);
    stop_on_areas_out_of_range(job, f, store.pair, result.findings.areas_out_of_range, con);
    tell_value_findings(job, f, store.pair,
                        check_values(job.companion_kind, inputs, {estimated_offsets(store.pair)}),
                        con);
    store_pair_result(result, results, store.pair, store.tables);
    store.ranges = ranges_of(job, f, store.pair, store.tables, result, con);
    const PairRanges& ranges = store.ranges;
    const std::string table =
        write_file_table(job, results, store.pair, store.tables, store.work, con);
    if (options.write_csv) {
        write_pair_csv_file(job.output_path(pair_csv_name(table)), store.pair, store.tables,
                            ranges.bounds);
        if (job.from_command_line)
            write_series_csv_file(job.output_path(series_csv_name(table)), job.companion_kind,
                                  store.pair, store.tables, ranges.ranges);
        add_pair_rows(summary_csv, shown_text(file_name_of(job.pair(f).ring_file)),
                      results.file_first_year(f), results.file_last_year(f), store.tables,
                      ranges.bounds.empty() ? nullptr : &ranges.means);
    }
    if (options.trees) {
        const auto disagreements =
            write_tree_csv_file(job.output_path(tree_csv_name(table)), store.pair, store.tables,
                                job.companion_kind, options.tree_chars, ranges.bounds);
        warn_tree_disagreements(con, file_name_of(job.pair(f).companion_file), store.pair,
                                disagreements);
        warn_tree_grouping(con, file_name_of(job.pair(f).ring_file), store.pair,
                           options.tree_chars);
    }
    return table;
}

// The summary tables keep a column for every pair of the job; the columns of
// pairs never processed hold zeros, which must not pass for measurements.
void tell_pairs_left_out(const Job& job, int last_processed, Console& con) {
    std::vector<std::string> left_out;
    for (int f = last_processed + 1; f <= job.file_count(); ++f)
        left_out.push_back(file_name_of(job.pair(f).ring_file));
    if (left_out.empty()) return;
    write_warning(con, "The run was quit after pair " + std::to_string(last_processed) + " of " +
                           std::to_string(job.file_count()) +
                           "; not processed: " + listed_names(left_out) +
                           " (their columns of the summary tables hold zeros).");
}

}  // namespace

JobEnd run_job(const Job& job, Edition edition, Store& store, Console& con,
               const RunOptions& options, const AfterPair& after_pair) {
    check_inputs_are_not_outputs(job, options, con);
    const FolderLock one_run_at_a_time(job.out_dir, con.err);
    tell_names_shown_otherwise(job, con);
    SummaryCsv summary_csv;
    JobEnd end;
    // With keep_going the pairs processed are numbered on their own, so that
    // the summary tables hold them side by side; otherwise every pair of the
    // job has its column.
    Job done = job;
    if (options.keep_going) done.pairs.clear();
    for (int k = 1; k <= job.file_count(); ++k) {
        if (options.keep_going) done.pairs.push_back(job.pair(k));
        const int f = options.keep_going ? done.file_count() : k;
        std::string table;
        try {
            table = process_pair(done, f, store, summary_csv, options, con);
        } catch (const RunEnded& stop) {
            if (!options.keep_going || stop.status != stop_status) throw;
            done.pairs.pop_back();
            ++end.pairs_left_out;
            write_warning(con, "Pair " + std::to_string(k) + " (" +
                                   file_name_of(job.pair(k).ring_file) + ", " +
                                   file_name_of(job.pair(k).companion_file) +
                                   ") is left out: " + stop.reason);
            continue;
        }
        ++end.pairs_done;
        if (after_pair(done, store, table, k) == PairOutcome::quit) {
            tell_pairs_left_out(done, f, con);
            break;
        }
    }
    write_summary_files(done, store.run, store.tables, edition,
                        options.write_csv ? &summary_csv : nullptr);
    if (con.warnings > 0) {
        write_warning(con, std::to_string(con.warnings) + " warnings in this run; see above.");
    }
    write_line(con);
    write_line(con, " Normal Termination of Program");
    return end;
}

}  // namespace ruvela
