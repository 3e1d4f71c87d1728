// Ranges on the companion values, from the command line: the bounds the CSV
// table gives are the runs at the ends of the ranges.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path gp = fs::path(RUVELA_TEST_DATA) / "gp";

std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ',')) fields.push_back(cell);
        rows.push_back(fields);
    }
    return rows;
}

// gp's pith offsets moved by `by` rings, none below 0, in the columns (i3) reads.
std::string moved_offsets(int by) {
    std::istringstream in(read_file(gp / "gp_pith.txt"));
    std::string moved, line;
    while (std::getline(in, line)) {
        const int offset = std::max(0, std::stoi(line.substr(0, 3)) + by);
        char field[16];
        std::snprintf(field, sizeof field, "%3d", offset);
        moved += field + line.substr(3) + "\n";
    }
    return moved;
}

std::string pair_csv(const fs::path& folder, const std::vector<std::string>& extra,
                     const std::string& offsets) {
    fs::create_directories(folder);
    fs::copy_file(gp / "gp.rwl", folder / "gp.rwl");
    write_file(folder / "pith.txt", offsets);
    std::vector<std::string> args = {"--kind", "pith", "--format", "(i3)", "--csv"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"gp.rwl", "pith.txt"});
    const ProgramRun run = run_with_files(RUVELA_V12, folder, {}, args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return read_file(folder / "gp_BAI.csv");
}

// Fault guarded: bounds that are not the computation run at the ends of
// the range (pith offsets 3 rings fewer, none below 0, and 3 more), or a
// range that moves the table's own columns.
TEST(ValueRanges, PithErrorGivesTheRunsAtBothEndsOfTheRange) {
    ScratchFolder folder("ranges");
    const auto bounded =
        csv_rows(pair_csv(folder.path / "bounded", {"--pith-error", "3"}, moved_offsets(0)));
    const auto plain = csv_rows(pair_csv(folder.path / "plain", {}, moved_offsets(0)));
    const auto fewer = csv_rows(pair_csv(folder.path / "fewer", {}, moved_offsets(-3)));
    const auto more = csv_rows(pair_csv(folder.path / "more", {}, moved_offsets(3)));
    ASSERT_EQ(bounded.size(), plain.size());
    ASSERT_EQ(bounded.front(),
              (std::vector<std::string>{"series", "year", "ring_width_mm", "basal_area_cm2",
                                        "bai_cm2", "basal_area_low_cm2", "basal_area_high_cm2",
                                        "bai_low_cm2", "bai_high_cm2"}));
    for (std::size_t k = 1; k < bounded.size(); ++k) {
        const auto& b = bounded[k];
        ASSERT_EQ(b.size(), 9u) << k;
        EXPECT_EQ(std::vector<std::string>(b.begin(), b.begin() + 5), plain[k]) << k;
        EXPECT_EQ(b[5], fewer[k][3]) << k;
        EXPECT_EQ(b[6], more[k][3]) << k;
        EXPECT_EQ(b[7], fewer[k][4]) << k;
        EXPECT_EQ(b[8], more[k][4]) << k;
    }
}

}  // namespace
}  // namespace ruvela::testing
