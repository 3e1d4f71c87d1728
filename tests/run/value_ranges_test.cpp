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
    std::vector<std::string> args = {"--kind", "pith", "--format", "(i3)", "--csv", "--trees"};
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
    // The means of the bounds, per year and per tree, are those of the runs
    // at the ends.
    const struct {
        const char* name;
        std::size_t area, bai, bounds;  // columns
    } tables[] = {{"summary.csv", 5, 7, 8}, {"gp_BAI_trees.csv", 4, 5, 6}};
    for (const auto& t : tables) {
        const auto means = csv_rows(read_file(folder.path / "bounded" / t.name));
        const auto low = csv_rows(read_file(folder.path / "fewer" / t.name));
        const auto high = csv_rows(read_file(folder.path / "more" / t.name));
        ASSERT_EQ(means.size(), low.size());
        for (std::size_t k = 1; k < means.size(); ++k) {
            ASSERT_EQ(means[k].size(), t.bounds + 4) << t.name << k;
            EXPECT_EQ(means[k][t.bounds], low[k][t.area]) << t.name << k;
            EXPECT_EQ(means[k][t.bounds + 1], high[k][t.area]) << t.name << k;
            EXPECT_EQ(means[k][t.bounds + 2], low[k][t.bai]) << t.name << k;
            EXPECT_EQ(means[k][t.bounds + 3], high[k][t.bai]) << t.name << k;
        }
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

namespace ruvela::testing {
namespace {

// gp's distances as a d2pith table; with `ranges` each row also gives its
// value less and plus 2 mm as the ends of its range, as text.
std::string distances(float moved_mm, bool ranges) {
    std::istringstream in(read_file(gp / "gp_d2pith.txt"));
    std::string out = ranges ? "series,d2pith,d2pith_low,d2pith_high\n" : "series,d2pith\n";
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        float d = 0.0f;
        std::string id;
        fields >> d >> id;
        const auto text = [](float x) { return std::to_string(std::max(x, 0.0f)); };
        for (const std::string& cell : {id, text(d + moved_mm)}) (out += cell) += ',';
        if (ranges) ((out += text(d - 2.0f)) += ',') += text(d + 2.0f);
        else out.pop_back();
        out += '\n';
    }
    return out;
}

std::vector<std::vector<std::string>> d2pith_rows(const fs::path& folder, const std::string& table) {
    fs::create_directories(folder);
    fs::copy_file(gp / "gp.rwl", folder / "gp.rwl");
    const ProgramRun run = run_with_files(RUVELA_V12, folder, {{"gp.csv", table}},
                                          {"--kind", "d2pith", "--csv", "gp.rwl", "gp.csv"});
    EXPECT_EQ(run.status, 0) << run.out;
    return csv_rows(read_file(folder / "gp_BAI.csv"));
}

// Fault guarded: a table's own range columns read as other values, or
// bounds that are not the runs at the ends the columns give.
TEST(ValueRanges, ATableGivesEachSeriesItsOwnRange) {
    ScratchFolder folder("own_ranges");
    const auto bounded = d2pith_rows(folder.path / "bounded", distances(0.0f, true));
    const auto less = d2pith_rows(folder.path / "less", distances(-2.0f, false));
    const auto more = d2pith_rows(folder.path / "more", distances(2.0f, false));
    ASSERT_EQ(bounded.size(), less.size());
    for (std::size_t k = 1; k < bounded.size(); ++k) {
        ASSERT_EQ(bounded[k].size(), 9u) << k;
        EXPECT_EQ(bounded[k][5], less[k][3]) << k;
        EXPECT_EQ(bounded[k][6], more[k][3]) << k;
        EXPECT_EQ(bounded[k][7], less[k][4]) << k;
        EXPECT_EQ(bounded[k][8], more[k][4]) << k;
    }
}

// Fault guarded: a range that contradicts its value, or that the kind
// cannot use, taken silently. Each stops with the file, line and reason.
TEST(ValueRanges, RangeColumnsThatCannotBeTakenStopThePair) {
    const std::string rings = "a1      1901   100   200   999\n";
    const struct {
        const char* kind;
        const char* table;
        const char* said;
    } cases[] = {
        {"d2pith", "series,d2pith,d2pith_low\na1,6,7\n",
         "line 2: \"a1,6,7\" the low end of the distance to the pith, 7, lies above the value 6."},
        {"d2pith", "series,d2pith_mm,d2pith_max_mm\na1,6,x\n",
         "line 2: \"a1,6,x\" the high end of the distance to the pith \"x\" is no number."},
        {"pith", "series,po,dbh_low\na1,6,7\n",
         "line 1: \"series,po,dbh_low\" the column \"dbh_low\" gives a range of the diameter, "
         "which --kind pith does not use."},
    };
    for (const auto& c : cases) {
        ScratchFolder folder("bad_ranges");
        const ProgramRun run = run_with_files(RUVELA_V12, folder.path,
                                              {{"a.rwl", rings}, {"a.csv", c.table}},
                                              {"--kind", c.kind, "--csv", "a.rwl", "a.csv"});
        EXPECT_EQ(run.status, 1) << c.table;
        std::string said = " The run stops: File a.csv, ";
        (said += c.said) += '\n';
        EXPECT_EQ(run.out, said);
        EXPECT_FALSE(fs::exists(folder.path / "a_BAI.csv"));
    }
}

// Fault guarded: an empty pith offset beside a distance read as 0 rings,
// or its estimate's range not following the distance's.
TEST(ValueRanges, AnEmptyPithOffsetBesideADistanceIsEstimated) {
    ScratchFolder folder("empty_offset");
    const ProgramRun run = run_with_files(
        RUVELA_V12, folder.path,
        {{"a.rwl", "a1      1901   100   200   100   200   999\n"},
         {"a.csv", "series,pith_offset,d2pith,d2pith_low,d2pith_high,dbh\na1,,6,3,9,30\n"}},
        {"--kind", "proportional", "--csv", "a.rwl", "a.csv"});
    ASSERT_EQ(run.status, 0) << run.out;
    const auto rows = csv_rows(read_file(folder.path / "a_BAI_series.csv"));
    ASSERT_EQ(rows.size(), 2u);
    // 6 mm over the mean width 1.5 mm of the 4 rings; 3 mm and 9 mm at the ends.
    EXPECT_EQ(rows[1][5], "4");
    EXPECT_EQ(rows[1][6], "estimated from the distance and 10 inner rings");
    // Two origins ("a.csv, line 2") hold a comma each.
    EXPECT_EQ(std::vector<std::string>(rows[1].begin() + 15, rows[1].begin() + 19),
              (std::vector<std::string>{"2", "6", "3", "9"}));
}

}  // namespace
}  // namespace ruvela::testing
