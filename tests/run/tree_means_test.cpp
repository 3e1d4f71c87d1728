#include "run/tree_means.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "run/csv_tables.hpp"
#include "store_fixture.hpp"

namespace ruvela {
namespace {

using testing::compute;
using testing::load_pair;

// Fault guarded: a core letter left in the tree, or the tree's number cut
// where an ID holds letters before its digits.
TEST(TreeMeans, TheTreeIsTheIdWithoutItsFinalLettersOrItsFirstCharacters) {
    EXPECT_EQ(tree_of("01A", 0), "01");
    EXPECT_EQ(tree_of("ZOF06mea", 0), "ZOF06");
    EXPECT_EQ(tree_of("ZOF28", 0), "ZOF28");
    EXPECT_EQ(tree_of("core", 0), "core");
    EXPECT_EQ(tree_of("ABC12x3b", 4), "ABC1");
    EXPECT_EQ(tree_of("AB", 4), "AB");
}

// Fault guarded: a tree's year averaged over all its cores instead of those
// with a ring that year, or a core's first year without its ring's area.
TEST(TreeMeans, EachYearAveragesTheCoresWithARingThen) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith,
              {{"01A", 1900, {10.0f, 10.0f}}, {"X9", 1950, {10.0f}}, {"01B", 1901, {20.0f}}});
    compute(store);
    const std::vector<TreeMeans> trees = tree_means(store.pair, store.tables, 0);
    ASSERT_EQ(trees.size(), 2u);
    EXPECT_EQ(trees[0].tree, "01");
    ASSERT_EQ(trees[0].years.size(), 2u);
    const TreeYear& alone = trees[0].years[0];
    EXPECT_EQ(alone.year, 1900);
    EXPECT_EQ(alone.n_cores, 1);
    EXPECT_FLOAT_EQ(alone.basal_area_cm2, pi);
    EXPECT_FLOAT_EQ(alone.bai_cm2, pi);
    const TreeYear& both = trees[0].years[1];
    EXPECT_EQ(both.n_cores, 2);
    EXPECT_FLOAT_EQ(both.ring_width_mm, 15.0f);
    EXPECT_FLOAT_EQ(both.basal_area_cm2, 4.0f * pi);
    EXPECT_FLOAT_EQ(both.bai_cm2, 3.5f * pi);  // 01A's 3 pi and 01B's first ring of 4 pi
    EXPECT_EQ(trees[1].tree, "X9");
}

TEST(TreeMeans, CsvRowsPerTreeAndYear) {
    const TreeMeans trees[] = {{"01", {{1900, 1, 1.5f, 3.25f, 0.5f}, {1901, 2, 2.0f, 4.0f, 1.0f}}},
                               {"a,b", {{2000, 1, 0.1f, 0.2f, 0.3f}}}};
    std::ostringstream out;
    write_tree_csv(out, trees);
    EXPECT_EQ(out.str(),
              "tree,year,n_cores,ring_width_mm,basal_area_cm2,bai_cm2\n"
              "01,1900,1,1.5,3.25,0.5\n"
              "01,1901,2,2,4,1\n"
              "\"a,b\",2000,1,0.1,0.2,0.3\n");
}

// Fault guarded: cores of one tree with different diameters averaged
// without a word.
TEST(TreeMeans, CoresOfOneTreeWithDifferentDiametersAreTold) {
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::diameter,
              {{"01A", 1900, {1.0f}, 0, 60.0f},
               {"01B", 1900, {1.0f}, 0, 61.5f},
               {"02A", 1900, {1.0f}, 0, 40.0f},
               {"02B", 1900, {1.0f}, 0, 40.0f}});
    const auto found = diameter_disagreements(CompanionKind::diameter, store.pair, 0);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].tree, "01");
    EXPECT_TRUE(diameter_disagreements(CompanionKind::pith, store.pair, 0).empty());
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    warn_tree_disagreements(con, "gp_dbh.txt", store.pair, found);
    EXPECT_EQ(out.str(),
              " Warning: File gp_dbh.txt, tree \"01\": its cores give different diameters, \"01A\" "
              "60 cm and \"01B\" 61.5 cm; each core's areas follow its own.\n");
}

}  // namespace
}  // namespace ruvela
