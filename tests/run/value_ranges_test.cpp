// Ranges on the companion values, from the command line: the bounds the CSV
// table gives are the runs at the ends of the ranges.
#include <gtest/gtest.h>

#include <cstdio>
#include <cmath>
#include <filesystem>
#include <map>
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

std::string table_of(const fs::path& folder, const std::string& companion_name,
                     const std::string& companion, const std::vector<std::string>& extra) {
    fs::create_directories(folder);
    fs::copy_file(gp / "gp.rwl", folder / "gp.rwl");
    write_file(folder / companion_name, companion);
    std::vector<std::string> args = {"--kind", "diameter", "--csv"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), {"gp.rwl", companion_name});
    const ProgramRun run = run_with_files(RUVELA_V12, folder, {}, args);
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return read_file(folder / "gp_BAI") + read_file(folder / "gp_BAI.csv");
}

// gp's diameters as a table with a bark column, and less `cm` as plain values.
std::string diameters(bool bark_column, float less_cm) {
    std::istringstream in(read_file(gp / "gp_dbh.txt"));
    std::string out = bark_column ? "series,dbh,bark\n" : "", line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        float dbh = 0.0f;
        std::string id;
        fields >> dbh >> id;
        char value[32];
        std::snprintf(value, sizeof value, "%.1f", static_cast<double>(dbh - less_cm));
        out += bark_column ? id + "," + value + ",5\n" : std::string(value) + " " + id + "\n";
    }
    return out;
}

// Fault guarded: the bark taken off the radius twice or not at all, or a
// bark as thick as the stem used as if it were wood.
TEST(ValueRanges, TheBarkComesOffTheDiameterOnBothSides) {
    ScratchFolder folder("bark");
    const std::string less = table_of(folder.path / "less", "dbh.txt", diameters(false, 1.0f), {});
    EXPECT_EQ(table_of(folder.path / "column", "dbh.csv", diameters(true, 0.0f), {}), less);
    EXPECT_EQ(table_of(folder.path / "option", "dbh.txt", diameters(false, 0.0f), {"--bark", "5"}),
              less);
    fs::create_directories(folder.path / "thick");
    const ProgramRun thick = run_with_files(
        RUVELA_V12, folder.path / "thick",
        {{"a.rwl", "a1      1901   100   999\n"}, {"a.csv", "series,dbh,bark\na1,2.0,10\n"}},
        {"--kind", "diameter", "a.rwl", "a.csv"});
    EXPECT_EQ(thick.status, 1);
    EXPECT_EQ(thick.out,
              " The run stops: Series 1, \"a1\": the bark 10 mm is as thick as half the diameter "
              "2 cm or thicker (a.csv, line 2); the pair cannot be processed.\n");
}

// Fault guarded: the estimate taken over the outer rings, over more or fewer
// than ten, or cut instead of rounded. The rule is worked out here in double
// precision from the widths the CSV table gives.
TEST(ValueRanges, EstimatedPithOffsetsFollowTheRuleOnGp) {
    ScratchFolder folder("estimate");
    std::istringstream distances(read_file(gp / "gp_d2pith.txt"));
    std::istringstream diameters(read_file(gp / "gp_dbh.txt"));
    std::string table = "series,d2pith,dbh\n", line, other;
    std::map<std::string, double> distance_of;
    while (std::getline(distances, line) && std::getline(diameters, other)) {
        std::istringstream a(line), b(other);
        double d = 0.0, dbh = 0.0;
        std::string id;
        a >> d >> id;
        b >> dbh;
        distance_of[id] = d;
        table += id + "," + std::to_string(d) + "," + std::to_string(dbh) + "\n";
    }
    fs::copy_file(gp / "gp.rwl", folder.path / "gp.rwl");
    const ProgramRun run =
        run_with_files(RUVELA_V12, folder.path, {{"gp.csv", table}},
                       {"--kind", "proportional", "--csv", "--estimate-pith-offset", "gp.rwl", "gp.csv"});
    ASSERT_EQ(run.status, 0) << run.out;
    std::map<std::string, std::vector<double>> inner;
    for (const auto& row : csv_rows(read_file(folder.path / "gp_BAI.csv"))) {
        if (row.size() < 3 || row[0] == "series") continue;
        if (inner[row[0]].size() < 10) inner[row[0]].push_back(std::stod(row[2]));
    }
    int checked = 0;
    for (const auto& row : csv_rows(read_file(folder.path / "gp_BAI_series.csv"))) {
        if (row[0] == "series") continue;
        double sum = 0.0;
        for (const double w : inner[row[0]]) sum += w;
        const double mean = sum / static_cast<double>(inner[row[0]].size());
        EXPECT_EQ(std::stoi(row[5]), std::lround(distance_of[row[0]] / mean)) << row[0];
        EXPECT_EQ(row[6], "estimated from the distance and 10 inner rings");
        ++checked;
    }
    EXPECT_EQ(checked, 58);
}

}  // namespace
}  // namespace ruvela::testing
