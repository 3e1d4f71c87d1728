#include "run/tables.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "run/basal_area.hpp"
#include "store_fixture.hpp"
#include "text/fixed_text.hpp"

namespace ruvela {
namespace {

using testing::compute;
using testing::load_pair;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(OutputFileName, StemBeforeTheFirstDotOrBlankThenBAI) {
    const struct {
        const char* ring_file;
        const char* output;
    } cases[] = {
        {"site1.rwl", "site1_BAI"},
        {"site1", "site1_BAI"},
        {"a.b.rwl", "a_BAI"},
        {".rwl", "_BAI"},
        {"my site.rwl", "my_BAI"},
        {"data/site1.rwl", "site1_BAI"},
        {"../gp.rwl", "gp_BAI"},
        // Names of 27 to 30 characters were once cut to a table name of 30.
        {"abcdefghijklmnopqrstuvwxyz12.r", "abcdefghijklmnopqrstuvwxyz12_BAI"},
        {"abcdefghijklmnopqrstuvwxyz0123", "abcdefghijklmnopqrstuvwxyz0123_BAI"},
    };
    for (const auto& c : cases) {
        // All 30 characters: the console line shows the name with its trailing blanks.
        EXPECT_EQ(output_file_name(c.ring_file), padded_name(c.output)) << c.ring_file;
        EXPECT_NE(trim_right(output_file_name(c.ring_file)), c.ring_file);
    }
}

TEST(OutputFileName, LongerNamesAreTakenWhole) {
    const std::string path = "field-campaign-2026/site-north/north_site.rwl";
    EXPECT_EQ(output_file_name(path), padded_name("north_site_BAI"));
    const std::string long_stem(40, 'x');
    EXPECT_EQ(output_file_name(long_stem), long_stem + "_BAI");
}

TEST(SeriesHeading, IdOverEachUnderscoreRun) {
    EXPECT_EQ(series_heading("core1a"), "core1a  rrw core1a  ba core1a  bai ");
    EXPECT_EQ(series_heading("12345678"), "12345678rrw 12345678ba 12345678bai ");
}

struct TableTest : ::testing::Test {
    std::istringstream in;
    std::ostringstream out, err;
    Console con{in, out, err};
    testing::TestStore store;

    std::vector<std::string> file_table(OutputLayout layout) {
        store.job.output_layout = layout;
        store.job.pairs[store.run.file_index - 1].ring_file = "site1.rwl";
        std::ostringstream table;
        write_file_table_to(store.job, store.run, store.pair, store.tables, store.work, table, con);
        return lines_of(table.str());
    }
};

TEST_F(TableTest, ColumnRowsOfTwoSeriesAre71Characters) {
    load_pair(store, 1, CompanionKind::pith,
              {{"core1a", 1850, {1.0f, 2.0f, 3.0f}, 2}, {"core1b", 1851, {1.5f, 2.5f, 3.5f}, 4}});
    compute(store);
    const auto lines = file_table(OutputLayout::column);
    ASSERT_EQ(lines.size(), 2u + 4u);  // name, headings, 1850..1853
    EXPECT_EQ(lines[0], " site1.rwl                     ");
    EXPECT_EQ(lines[1].size(), 75u);
    for (std::size_t i = 2; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 71u) << lines[i];
    // Years outside a series and its first-year increment read zero.
    EXPECT_EQ(lines[2].substr(0, 38), " 1850   1.000000   0.005027   0.000000");
    EXPECT_EQ(lines[2].substr(38), "   0.000000   0.000000   0.000000");
    EXPECT_EQ(lines[5].substr(38), "   3.500000   0.070686   2.913827");
}

TEST_F(TableTest, ValuesTooWideForTheirFieldAreAsterisks) {
    load_pair(store, 1, CompanionKind::diameter, {{"big", 2000, {10000.0f, -1000.0f}, 0, 2000.0f}});
    compute(store);
    const auto lines = file_table(OutputLayout::column);
    // 10000 mm and an area of 38013 (cm^2 / 100) need 12 columns, -1000 mm too.
    EXPECT_EQ(lines[2], " 2000" + std::string(22, '*') + "   0.000000");
    EXPECT_EQ(lines[3].substr(5, 11), std::string(11, '*'));
}

TEST_F(TableTest, DecadeLayoutSkipsOneRingSeries) {
    load_pair(store, 1, CompanionKind::pith,
              {{"solo", 1900, {1.0f}, 0}, {"pair", 1908, {1.0f, 1.0f, 1.0f}, 0}});
    compute(store);
    const auto lines = file_table(OutputLayout::decade);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], " site1.rwl                     ");
    EXPECT_EQ(lines[1], "pair    1909    94");
    EXPECT_EQ(lines[2], "pair    1910   157 -9999");
}

TEST_F(TableTest, SummaryTablesOfBothEditions) {
    load_pair(store, 1, CompanionKind::pith, {{"a", 1901, {1.0f, 1.0f}, 0}});
    store.job.pairs[0].ring_file = "first_site_long.rwl";
    compute(store);
    load_pair(store, 2, CompanionKind::pith,
              {{"b", 1902, {2.0f, 2.0f}, 0}, {"c", 1902, {2.0f}, 0}});
    store.job.pairs[1].ring_file = "b.rwl";
    compute(store);
    store.job.pairs.resize(3);  // the third pair was never processed
    store.job.pairs[2].ring_file = "c.rwl";

    const auto table = [&](Edition edition, int which) {
        std::ostringstream text;
        write_summary_table_to(store.job, store.run, store.tables, edition, summary_tables[which],
                               text);
        return lines_of(text.str());
    };
    const auto v11 = table(Edition::v11, 2);
    ASSERT_EQ(v11.size(), 4u);
    EXPECT_EQ(v11[0], " Year first_site_l b.rwl        c.rwl       ");
    EXPECT_EQ(v11[1], "  1901    1.000000    0.000000    0.000000");
    EXPECT_EQ(v11[2], "  1902    1.000000    2.000000    0.000000");
    EXPECT_EQ(v11[3], "  1903    0.000000    2.000000    0.000000");
    // Edition 12: the sample depth of the last pair; the basal-area table
    // has one blank more after it.
    const auto ring_width_v12 = table(Edition::v12, 2);
    EXPECT_EQ(ring_width_v12[0], " Year   SD     first_site_l b.rwl        c.rwl       ");
    EXPECT_EQ(ring_width_v12[1], "  1901    0    1.000000    0.000000    0.000000");
    EXPECT_EQ(ring_width_v12[2], "  1902    2    1.000000    2.000000    0.000000");
    const auto area_v12 = table(Edition::v12, 0);
    EXPECT_EQ(area_v12[3].substr(0, 12), "  1903    1 ");
    EXPECT_EQ(area_v12[3].size(), 12u + 3 * 12u);
}

TEST_F(TableTest, SummaryCellsTooWideAreAsterisks) {
    store.job.pairs.resize(1);
    store.run.overall_first_year = store.run.overall_last_year = 1900;
    store.run.file_means(Measure::basal_area, 1, 1900) = 100000.0f;
    std::ostringstream text;
    write_summary_table_to(store.job, store.run, store.tables, Edition::v11, summary_tables[0],
                           text);
    EXPECT_EQ(lines_of(text.str())[1], "  1900" + std::string(12, '*'));
}

}  // namespace
}  // namespace ruvela
