#include "run/job.hpp"

#include <sys/stat.h>

#include <vector>

#include "run/basal_area.hpp"
#include "run/companion_file.hpp"
#include "run/csv_tables.hpp"
#include "run/pair_input.hpp"
#include "run/series_csv.hpp"
#include "run/stop.hpp"
#include "run/tables.hpp"
#include "run/tree_means.hpp"
#include "run/warning_text.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

// Pair f, from reading its files to writing its tables; returns the table's name.
std::string process_pair(const Job& job, int f, Store& store, SummaryCsv& summary_csv,
                         const RunOptions& options, Console& con) {
    RunResults& results = store.run;
    results.file_index = f;
    start_pair(results, store.tables);
    if (job.from_command_line && is_coordinate_input(file_name_of(job.pair(f).ring_file)))
        read_coordinate_input(job.ring_file_name(f), results, store.pair, store.tables,
                              options.keep_going, con);
    else
        read_ring_width_file(job.ring_file_name(f), results, store.pair, store.tables, con);
    read_companion_file(job, f, store.pair, con);
    const PairResult result =
        compute_pair(job.companion_kind, series_inputs(store.pair, store.tables));
    tell_implausible_values(job, f, store.pair, result.findings.implausible, con);
    stop_on_areas_out_of_range(job, f, store.pair, result.findings.areas_out_of_range, con);
    store_pair_result(result, results, store.pair, store.tables);
    const std::string table =
        write_file_table(job, results, store.pair, store.tables, store.work, con);
    if (options.write_csv) {
        write_pair_csv_file(job.output_path(table), store.pair, store.tables);
        if (job.from_command_line)
            write_series_csv_file(job.output_path(table), job.companion_kind, store.pair,
                                  store.tables);
        add_pair_rows(summary_csv, file_name_of(job.pair(f).ring_file), results.file_first_year(f),
                      results.file_last_year(f), store.tables);
    }
    if (options.trees) {
        const auto disagreements = write_tree_csv_file(
            job.output_path(table), store.pair, store.tables, job.companion_kind, options.tree_chars);
        warn_tree_disagreements(con, file_name_of(job.pair(f).companion_file), store.pair,
                                disagreements);
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

struct NamedFile {
    std::string path;
    std::string role;  // "the ring-width file of pair 2", "a summary table"
};

std::vector<NamedFile> inputs_of(const Job& job) {
    std::vector<NamedFile> inputs;
    for (int f = 1; f <= job.file_count(); ++f) {
        const std::string pair = " of pair " + std::to_string(f);
        inputs.push_back({file_name_of(job.pair(f).ring_file), "the ring-width file" + pair});
        inputs.push_back({file_name_of(job.pair(f).companion_file), "the companion file" + pair});
    }
    if (!job.ring_list.empty()) inputs.push_back({job.ring_list, "the ring-width list"});
    if (!job.companion_list.empty()) inputs.push_back({job.companion_list, "the companion list"});
    return inputs;
}

std::vector<NamedFile> outputs_of(const Job& job, const RunOptions& options) {
    std::vector<NamedFile> outputs;
    const std::vector<std::string> tables = planned_table_names(job);
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const std::string pair = " of pair " + std::to_string(k + 1);
        outputs.push_back({job.output_path(tables[k]), "the table" + pair});
        if (options.write_csv)
            outputs.push_back({job.output_path(tables[k] + ".csv"), "the CSV table" + pair});
        if (options.trees)
            outputs.push_back({job.output_path(tables[k] + "_trees.csv"), "the tree means" + pair});
        if (options.write_csv && job.from_command_line)
            outputs.push_back({job.output_path(tables[k] + std::string(series_csv_suffix)),
                               "the series' values" + pair});
    }
    for (const SummaryTable& table : summary_tables)
        outputs.push_back({job.output_path(table.file_name), "a summary table"});
    if (options.write_csv)
        outputs.push_back({job.output_path(summary_csv_name), "the summary CSV table"});
    if (!options.plots.empty() && !options.plots.ends_with('/'))
        outputs.push_back({job.output_path(options.plots), "the plot file"});
    return outputs;
}

// The same file, not the same text: "./gp.rwl" and "gp.rwl", or two links
// to one file.
bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// An output written over an input would lose the user's data; the run
// stops before it writes anything.
void check_inputs_are_not_outputs(const Job& job, const RunOptions& options, Console& con) {
    const std::vector<NamedFile> inputs = inputs_of(job);
    for (const NamedFile& output : outputs_of(job, options)) {
        for (const NamedFile& input : inputs) {
            if (!same_file(output.path, input.path)) continue;
            stop_run(con, {" File " + output.path + ", " + output.role + ", would replace " +
                               input.path + ", " + input.role + ";",
                           " nothing is written: rename the input or write elsewhere."});
        }
    }
}

}  // namespace

std::vector<std::string> planned_table_names(const Job& job) {
    std::vector<std::string> names;
    for (int f = 1; f <= job.file_count(); ++f)
        names.push_back(
            file_name_of(unused_table_name(output_file_name(job.ring_file_name(f)), names)));
    return names;
}

JobEnd run_job(const Job& job, Edition edition, Store& store, Console& con,
               const RunOptions& options, const AfterPair& after_pair) {
    check_inputs_are_not_outputs(job, options, con);
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
    write_summary_tables(done, store.run, store.tables, edition);
    if (options.write_csv) write_summary_csv_file(summary_csv, job.output_path(summary_csv_name));
    if (con.warnings > 0) {
        write_warning(con, std::to_string(con.warnings) + " warnings in this run; see above.");
    }
    write_line(con);
    write_line(con, " Normal Termination of Program");
    return end;
}

}  // namespace ruvela
