#include "run/batch.hpp"

#include <unistd.h>

#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "plot/plplot_file_stream.hpp"
#include "run/job.hpp"
#include "run/list_files.hpp"
#include "run/plot_selection.hpp"
#include "run/run_outputs.hpp"
#include "run/stop.hpp"
#include "run/tables.hpp"
#include "text/fixed_text.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

Job job_of(const BatchInputs& inputs, const RunOptions& options, Console& con) {
    Job job;
    job.companion_kind = inputs.kind;
    job.companion_format = inputs.format;
    job.output_layout = inputs.layout;
    job.out_dir = options.out_dir;
    job.from_command_line = true;
    job.errors = inputs.errors;
    job.bark_mm = inputs.bark_mm;
    job.estimate_inner_rings = inputs.estimate_inner_rings;
    job.inner_rings = inputs.inner_rings;
    job.pairs = inputs.pairs;
    job.ring_list = inputs.ring_list;
    job.companion_list = inputs.companion_list;
    if (!job.ring_list.empty()) take_listed_pairs(job, con);
    if (job.file_count() > max_files)
        stop_run(con, {" The command line names " + std::to_string(job.file_count()) +
                       " file pairs; a run takes at most " + std::to_string(max_files) + "."});
    return job;
}

void make_folder(const std::string& folder) {
    if (folder.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw FileFailure("cannot create folder \"" + folder + "\": " + error.message());
}

// The output folder the run made, with any folders above it that it made,
// taken away again when the run ends before it has written anything there.
class MadeFolder {
  public:
    explicit MadeFolder(const std::string& folder) {
        std::string innermost = folder;
        while (innermost.size() > 1 && innermost.ends_with('/')) innermost.pop_back();
        for (std::filesystem::path p = innermost; !p.empty() && !std::filesystem::exists(p);
             p = p.parent_path())
            made_.push_back(p.string());
        make_folder(folder);
    }
    ~MadeFolder() {
        for (const std::string& folder : made_)
            if (::rmdir(folder.c_str()) != 0) break;  // not empty: kept
    }
    MadeFolder(const MadeFolder&) = delete;
    MadeFolder& operator=(const MadeFolder&) = delete;
    void keep() { made_.clear(); }

  private:
    std::vector<std::string> made_;  // the innermost first
};

// Every series' page of each pair, then its means page: into one file, or
// one PNG file a page in a folder.
class BatchPlots {
  public:
    BatchPlots(const RunOptions& options, const Job& job, Console& con)
        : target_(options.plots.empty() ? std::string() : job.output_path(options.plots)),
          con_(con) {
        if (!target_.empty()) plotter_.start();
    }

    void draw_pair(const Store& store, const std::string& title, const std::string& table) {
        if (target_.empty()) return;
        const PlotData data = plot_data_of(store, title);
        for (int s = 1; s <= store.pair.series_count; ++s)
            draw({PlotChoice::individual, s}, data,
                 plot_page_stem(table, store.pair.series_ids(s).padded()));
        draw({PlotChoice::summary, 0}, data, plot_page_stem(table, ""));
    }

    void finish() {
        if (file_open_) end_plot_file(plotter_);
        file_open_ = false;
    }

  private:
    bool one_file_a_page() const { return target_.ends_with('/'); }

    void draw(const PlotPage& page, const PlotData& data, const std::string& page_name) {
        if (one_file_a_page()) {
            // Made with the first page: a run that stops before leaves no
            // empty folder.
            if (page_names_.empty()) make_folder(target_);
            std::string name = page_name;
            for (int k = 2; !page_names_.insert(name).second; ++k)
                name = page_name + "_" + std::to_string(k);
            begin_plot_file(target_ + name + ".png", session_, con_, plotter_);
            draw_plot_page(data, page, session_, con_, plotter_);
            end_plot_file(plotter_);
            return;
        }
        if (!file_open_) begin_plot_file(target_, session_, con_, plotter_);
        file_open_ = true;
        draw_plot_page(data, page, session_, con_, plotter_);
    }

    std::string target_;
    Console& con_;
    PlplotFileStream plotter_;
    PlotSession session_;
    bool file_open_ = false;
    std::set<std::string> page_names_;
};

std::string years_of(const Store& store) {
    const int f = store.run.file_index;
    if (store.pair.series_count == 0) return "no years";
    return "years " + std::to_string(store.run.file_first_year(f)) + " to " +
           std::to_string(store.run.file_last_year(f));
}

// " Pair 1 of 2: gp.rwl with gp_pith.txt: 58 series, years 1570 to 1990, table gp_BAI"
void report_pair(const Job& job, const Store& store, const std::string& table, int number,
                 int pairs, Console& con) {
    const int f = store.run.file_index;
    write_report(con, " Pair " + std::to_string(number) + " of " + std::to_string(pairs) + ": " +
                          file_name_of(job.pair(f).ring_file) + " with " +
                          (job.values_from_ring_files(f)
                               ? std::string("the values in its files")
                               : file_name_of(job.pair(f).companion_file)) +
                          ": " +
                          std::to_string(store.pair.series_count) + " series, " + years_of(store) +
                          ", table " + job.output_path(table));
}

// On a terminal, how far a long batch has come; nothing is left on the line.
class Progress {
  public:
    Progress(Console& con, int pairs) : con_(con), shown_(pairs > 1 && ::isatty(STDERR_FILENO)) {}
    void pair_done(int done, int pairs) {
        if (shown_) con_.err << "\r pair " << done << " of " << pairs << std::flush;
    }
    ~Progress() {
        if (shown_) con_.err << "\r" << std::string(40, ' ') << "\r" << std::flush;
    }

  private:
    Console& con_;
    bool shown_;
};

}  // namespace

int run_batch(Edition edition, Console& con, Store& store, const RunOptions& options,
              const BatchInputs& inputs) {
    con.quiet = true;
    try {
        const Job job = job_of(inputs, options, con);
        // Nothing is written or created unless every output can be.
        check_inputs_are_not_outputs(job, options, con);
        check_outputs_can_be_written(job, options);
        MadeFolder out_folder(job.out_dir);
        BatchPlots plots(options, job, con);
        Progress progress(con, job.file_count());
        int seen = 0;
        const JobEnd end =
            run_job(job, edition, store, con, options,
                    [&](const Job& done, const Store& s, const std::string& table, int number) {
                        report_pair(done, s, table, number, job.file_count(), con);
                        plots.draw_pair(s, done.ring_file_name(s.run.file_index), table);
                        progress.pair_done(++seen, job.file_count());
                        return PairOutcome::next;
                    });
        plots.finish();
        out_folder.keep();
        std::string tables;
        for (const SummaryTable& table : summary_tables)
            tables += (tables.empty() ? "" : ", ") + job.output_path(table.file_name);
        write_report(con, " Summary tables: " + tables + " (" + std::to_string(end.pairs_done) +
                              (end.pairs_done == 1 ? " pair)" : " pairs)"));
        const bool left_out = end.pairs_left_out > 0 || store.run.files_left_out > 0;
        if (left_out || (options.strict && con.warnings > 0)) return stop_status;
        return normal_status;
    } catch (const RunEnded& stop) {
        if (!stop.reason.empty()) write_report(con, " The run stops: " + stop.reason);
        throw;
    }
}

}  // namespace ruvela
