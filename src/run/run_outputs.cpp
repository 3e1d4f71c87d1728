#include "run/run_outputs.hpp"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

#include "run/csv_tables.hpp"
#include "run/stop.hpp"
#include "run/tables.hpp"
#include "text/fixed_text.hpp"
#include "text/stops.hpp"

namespace ruvela {

namespace {

// A series ID as part of a file name: no folder separators, no control
// characters, no blanks.
std::string file_name_part(std::string_view id) {
    std::string part(trim(id));
    for (char& c : part) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == ' ' || u < 0x20 || u == 0x7F) c = '_';
    }
    return part.empty() ? "_" : part;
}

std::vector<RunOutput> inputs_of(const Job& job) {
    std::vector<RunOutput> inputs;
    for (int f = 1; f <= job.file_count(); ++f) {
        const std::string pair = " of pair " + std::to_string(f);
        inputs.push_back({file_name_of(job.pair(f).ring_file), "the ring-width file" + pair});
        inputs.push_back({file_name_of(job.pair(f).companion_file), "the companion file" + pair});
    }
    if (!job.ring_list.empty()) inputs.push_back({job.ring_list, "the ring-width list"});
    if (!job.companion_list.empty()) inputs.push_back({job.companion_list, "the companion list"});
    return inputs;
}

// The same file, not the same text: "./gp.rwl" and "gp.rwl", or two links
// to one file.
bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

namespace fs = std::filesystem;

// One spelling for one place, whether it exists yet or not.
std::string place_of(const std::string& path) {
    std::error_code error;
    std::string text = path;
    while (text.size() > 1 && text.ends_with('/')) text.pop_back();
    const fs::path absolute = fs::absolute(text, error);
    const fs::path place = fs::weakly_canonical(absolute, error);
    return (error ? absolute.lexically_normal() : place).string();
}

std::string folder_holding(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string last_part(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool is_folder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Why files cannot be made in `folder`; 0 when they can. A folder the run
// makes (`may_make`) need not exist yet: the nearest folder above it that
// does must then take new entries.
int folder_problem(std::string folder, bool may_make) {
    struct stat info {};
    for (;;) {
        if (::stat(folder.c_str(), &info) == 0) break;
        if (errno != ENOENT || !may_make) return errno;
        if (folder == "." || folder == "/") return ENOENT;
        folder = folder_holding(folder);
    }
    if (!S_ISDIR(info.st_mode)) return may_make ? EEXIST : ENOTDIR;
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return errno;
    return 0;
}

[[noreturn]] void cannot_create(std::string_view what, const std::string& path, int error) {
    throw FileFailure("cannot create " + std::string(what) + " " + path + ": " +
                      std::strerror(error));
}

void check_output(const RunOutput& output, const std::vector<std::string>& made_folders) {
    if (last_part(output.path).size() > NAME_MAX || output.path.size() >= PATH_MAX)
        cannot_create("file", output.path, ENAMETOOLONG);
    if (is_folder(output.path)) cannot_create("file", output.path, EISDIR);
    const std::string folder = folder_holding(output.path);
    bool made = false;
    for (const std::string& f : made_folders) made = made || place_of(f) == place_of(folder);
    if (const int error = folder_problem(folder, made)) cannot_create("file", output.path, error);
}

// A page drawn over a folder of its name could not be renamed into place;
// the pages' names are known only once the series are read, so every
// folder in the way of a page of one of the run's tables counts.
void check_page_places(const std::string& plot_folder, const std::vector<std::string>& tables) {
    DIR* dir = ::opendir(plot_folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!name.ends_with(".png") || !is_folder(plot_folder + name)) continue;
        for (const std::string& table : tables) {
            if (!name.starts_with(table + "_")) continue;
            ::closedir(dir);
            cannot_create("file", plot_folder + name, EISDIR);
        }
    }
    ::closedir(dir);
}

void check_no_two_alike(const std::vector<RunOutput>& outputs) {
    std::map<std::string, const RunOutput*> places;
    for (const RunOutput& output : outputs) {
        const auto [at, fresh] = places.emplace(place_of(output.path), &output);
        if (fresh) continue;
        throw FileFailure("cannot create file " + output.path + ": it would be both " +
                          at->second->role + " and " + output.role);
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

std::string pair_csv_name(std::string_view table) {
    return std::string(table) + ".csv";
}

std::string tree_csv_name(std::string_view table) {
    return std::string(table) + "_trees.csv";
}

std::string series_csv_name(std::string_view table) {
    return std::string(table) + "_series.csv";
}

std::string plot_page_stem(std::string_view table, std::string_view series_id) {
    return std::string(table) + "_" + (series_id.empty() ? "means" : file_name_part(series_id));
}

std::string plot_folder_of(const Job& job, const RunOptions& options) {
    return options.plots.ends_with('/') ? job.output_path(options.plots) : std::string();
}

std::vector<RunOutput> outputs_of(const Job& job, const RunOptions& options) {
    std::vector<RunOutput> outputs;
    const std::vector<std::string> tables = planned_table_names(job);
    for (std::size_t k = 0; k < tables.size(); ++k) {
        const std::string pair = " of pair " + std::to_string(k + 1);
        outputs.push_back({job.output_path(tables[k]), "the table" + pair});
        if (options.write_csv)
            outputs.push_back({job.output_path(pair_csv_name(tables[k])), "the CSV table" + pair});
        if (options.trees)
            outputs.push_back({job.output_path(tree_csv_name(tables[k])), "the tree means" + pair});
        if (options.write_csv && job.from_command_line)
            outputs.push_back(
                {job.output_path(series_csv_name(tables[k])), "the series table" + pair});
    }
    for (const SummaryTable& table : summary_tables)
        outputs.push_back({job.output_path(table.file_name), "a summary table"});
    if (options.write_csv)
        outputs.push_back({job.output_path(summary_csv_name), "the summary CSV table"});
    if (!options.plots.empty() && !options.plots.ends_with('/'))
        outputs.push_back({job.output_path(options.plots), "the plot file"});
    return outputs;
}

void check_inputs_are_not_outputs(const Job& job, const RunOptions& options, Console& con) {
    const std::vector<RunOutput> inputs = inputs_of(job);
    for (const RunOutput& output : outputs_of(job, options)) {
        for (const RunOutput& input : inputs) {
            if (!same_file(output.path, input.path)) continue;
            stop_run(con, {" File " + output.path + ", " + output.role + ", would replace " +
                               input.path + ", " + input.role + ";",
                           " nothing is written: rename the input or write elsewhere."});
        }
    }
}

void check_outputs_can_be_written(const Job& job, const RunOptions& options) {
    const std::string out_folder = job.out_dir.empty() ? "." : job.out_dir;
    if (const int error = folder_problem(out_folder, true))
        throw FileFailure("cannot create folder \"" + out_folder + "\": " + std::strerror(error));
    std::vector<std::string> made_folders{out_folder};
    std::vector<RunOutput> outputs = outputs_of(job, options);
    const std::string plot_folder = plot_folder_of(job, options);
    if (!plot_folder.empty()) {
        if (const int error = folder_problem(plot_folder, true))
            throw FileFailure("cannot create folder \"" + plot_folder +
                              "\": " + std::strerror(error));
        made_folders.push_back(plot_folder);
        outputs.push_back({plot_folder, "the plot folder"});
        check_page_places(plot_folder, planned_table_names(job));
    }
    for (const RunOutput& output : outputs)
        if (output.role != "the plot folder") check_output(output, made_folders);
    check_no_two_alike(outputs);
}

}  // namespace ruvela
