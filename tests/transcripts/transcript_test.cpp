// End-to-end runs of the programs, compared with what a reviewed run gave.
// Each folder here with a `stdin` file is one case; see README.md.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"
#include "plot/plplot_plotter.hpp"
#include "run/options.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path cases_folder = fs::path(RUVELA_SOURCE_DIR) / "tests" / "transcripts";

std::vector<std::string> case_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(cases_folder)) {
        if (fs::exists(entry.path() / "stdin")) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path program_of(const fs::path& case_folder) {
    const fs::path edition_file = case_folder / "edition";
    const std::string edition = fs::exists(edition_file) ? read_file(edition_file) : "12";
    return edition.starts_with("11") ? fs::path(RUVELA_V11) : fs::path(RUVELA_V12);
}

// The arguments in the case's `args` file, one a line; none without it.
std::vector<std::string> arguments_of(const fs::path& case_folder) {
    std::vector<std::string> args;
    const fs::path args_file = case_folder / "args";
    if (!fs::exists(args_file)) return args;
    std::istringstream lines(read_file(args_file));
    for (std::string line; std::getline(lines, line);) args.push_back(line);
    return args;
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

// The version lines name the project's and PLplot's versions as placeholders,
// so that neither a new release nor another PLplot changes the expected output.
std::string with_version_placeholders(std::string text) {
    replace_all(text, "(Ruvela) " + std::string(project_version()), "(Ruvela) @VERSION@");
    replace_all(text, "PLplot " + std::string(plplot_version()), "PLplot @PLPLOT_VERSION@");
    return text;
}

bool regenerating() {
    const char* flag = std::getenv("RUVELA_REGENERATE");
    return flag != nullptr && std::string_view(flag) == "1";
}

class Transcript : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcript, MatchesExpectedOutputAndFiles) {
    const fs::path case_folder = cases_folder / GetParam();
    ScratchFolder work(GetParam());
    const auto inputs = files_below(case_folder / "files");
    for (const auto& [name, text] : inputs) write_file(work.path / name, text);

    const ProgramRun run = run_in_folder(program_of(case_folder), work.path, case_folder / "stdin",
                                         arguments_of(case_folder));

    // What the run produced: its streams, its status, and every file it
    // created or changed.
    std::map<std::string, std::string> produced = {{"stdout", with_version_placeholders(run.out)},
                                                   {"status", std::to_string(run.status) + "\n"}};
    if (!run.err.empty()) produced["stderr"] = run.err;
    for (const auto& [name, text] : files_below(work.path)) {
        const auto input = inputs.find(name);
        if (input == inputs.end() || input->second != text) produced["files/" + name] = text;
    }

    const fs::path expected_folder = case_folder / "expected";
    if (regenerating()) {
        fs::remove_all(expected_folder);
        for (const auto& [name, text] : produced) write_file(expected_folder / name, text);
        GTEST_SKIP() << "expected files written to " << expected_folder;
    }
    const auto expected = files_below(expected_folder);
    std::set<std::string> names;
    for (const auto& entry : produced) names.insert(entry.first);
    for (const auto& entry : expected) names.insert(entry.first);
    for (const auto& name : names) {
        const auto p = produced.find(name);
        const auto e = expected.find(name);
        if (p == produced.end()) {
            ADD_FAILURE() << name << " expected but not produced";
        } else if (e == expected.end()) {
            ADD_FAILURE() << name << " produced but not expected:\n" << p->second;
        } else {
            EXPECT_EQ(p->second, e->second) << "in " << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Case, Transcript, ::testing::ValuesIn(case_names()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace ruvela::testing
