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

// Fault guarded for each: tree means that group what they should not, or
// nothing, taken without a word; a doubt told where the trees are right.
TEST(TreeMeans, GroupingsThatMissTheTreesAreTold) {
    const struct {
        std::initializer_list<testing::TestSeries> series;
        int tree_chars;
        std::string doubt;
    } cases[] = {
        {{{"712011", 1900, {1.0f}}, {"712012", 1900, {1.0f}}, {"712021", 1900, {1.0f}}},
         0,
         "the default rule (a series ID without its final letters) makes each of the 3 cores a "
         "tree of its own, while IDs such as \"712011\" and \"712012\" differ only in their last "
         "character; --tree-chars 5 would take such cores as one tree"},
        {{{"ZOF01a", 1900, {1.0f}}, {"ZOF01b", 1900, {1.0f}}, {"ZOF02a", 1900, {1.0f}}},
         3,
         "--tree-chars 3 makes \"ZOF\", the part of the IDs that names the site, a tree: it lumps "
         "cores that the default rule takes as different trees, such as \"ZOF01a\" and "
         "\"ZOF02a\"; --tree-chars 5 would give trees such as \"ZOF01\""},
        {{{"ZOF01a", 1900, {1.0f}}, {"ZOF01b", 1900, {1.0f}}, {"ZOF02a", 1900, {1.0f}}},
         4,
         "--tree-chars 4 makes \"ZOF0\" a tree: it lumps cores that the default rule takes as "
         "different trees, such as \"ZOF01a\" and \"ZOF02a\"; --tree-chars 5 would give trees "
         "such as \"ZOF01\""},
        {{{"01A", 1900, {1.0f}}, {"02A", 1900, {1.0f}}, {"03A", 1900, {1.0f}}},
         0,
         "every tree has exactly one core (3 cores), so the tree means are the cores' own "
         "values; --tree-chars N takes the first N characters of an ID as its tree"},
        {{{"ZOF01a", 1900, {1.0f}}, {"ZOF01b", 1900, {1.0f}}},
         6,
         "every tree has exactly one core (2 cores), so the tree means are the cores' own "
         "values; --tree-chars N takes the first N characters of an ID as its tree"},
        // Trees as they should be, and a file of one core.
        {{{"01A", 1900, {1.0f}}, {"01B", 1900, {1.0f}}, {"02A", 1900, {1.0f}}}, 0, ""},
        {{{"ZOF01a", 1900, {1.0f}}, {"ZOF01b", 1900, {1.0f}}, {"ZOF02a", 1900, {1.0f}}}, 5, ""},
        {{{"712011", 1900, {1.0f}}, {"712012", 1900, {1.0f}}, {"712021", 1900, {1.0f}}}, 5, ""},
        {{{"01A", 1900, {1.0f}}}, 0, ""},
    };
    for (const auto& c : cases) {
        testing::TestStore store;
        load_pair(store, 1, CompanionKind::pith, c.series);
        EXPECT_EQ(tree_grouping_doubt(store.pair, c.tree_chars), c.doubt)
            << c.series.begin()->id << " " << c.tree_chars;
    }
    testing::TestStore store;
    load_pair(store, 1, CompanionKind::pith, {{"a1", 1900, {1.0f}}, {"a2", 1900, {1.0f}}});
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    warn_tree_grouping(con, "a.rwl", store.pair, 0);
    warn_tree_grouping(con, "a.rwl", store.pair, 1);
    EXPECT_EQ(out.str(),
              " Warning: File a.rwl: the default rule (a series ID without its final letters) "
              "makes each of the 2 cores a tree of its own, while IDs such as \"a1\" and \"a2\" "
              "differ only in their last character; --tree-chars 1 would take such cores as one "
              "tree.\n");
}

}  // namespace
}  // namespace ruvela
