// Means per tree: the cores of one stem taken together year by year.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "run/pair_bounds.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// The tree a series belongs to: its ID without its final run of letters
// ("01A" and "01B" are tree "01", "ZOF06mea" is "ZOF06"); with tree_chars
// above 0, the ID's first tree_chars characters instead. An ID of letters
// only is a tree of its own.
std::string tree_of(std::string_view id, int tree_chars);

// One year of a tree: how many of its cores have a ring then, and their
// means (areas in cm2; the increment of a core's first year is the area of
// its first ring, as in the CSV tables).
struct TreeYear {
    int year = 0;
    int n_cores = 0;
    float ring_width_mm = 0.0f;
    float basal_area_cm2 = 0.0f;
    float bai_cm2 = 0.0f;
    // With ranges on the values, the means of the cores' bounds.
    float basal_area_low_cm2 = 0.0f, basal_area_high_cm2 = 0.0f;
    float bai_low_cm2 = 0.0f, bai_high_cm2 = 0.0f;
};

struct TreeMeans {
    std::string tree;
    std::vector<TreeYear> years;  // rising, only years with at least one core
};

// The trees of the pair just computed, in the order of their first core;
// with `bounds` (one a series) the means of the bounds too.
std::vector<TreeMeans> tree_means(const PairSeries& pair, const PairTables& tables, int tree_chars,
                                  std::span<const SeriesBounds> bounds = {});

// Two cores of one tree with different stem diameters, where the kind has
// them (diameters, proportional): each core's areas follow its own.
struct TreeDiameterDisagreement {
    std::string tree;
    int first_series = 0;  // from 1: the tree's first core
    int other_series = 0;  // the first core whose diameter differs from it
};

std::vector<TreeDiameterDisagreement> diameter_disagreements(CompanionKind kind,
                                                             const PairSeries& pair,
                                                             int tree_chars);

// One warning per disagreement (ten, then a count), naming companion file
// `file`, the tree, both cores and their diameters.
void warn_tree_disagreements(Console& con, std::string_view file, const PairSeries& pair,
                             std::span<const TreeDiameterDisagreement> disagreements);

// What tells that the trees may not be what the user meant, in words; empty
// when nothing does. With the default rule, every core a tree of its own
// while IDs of equal length differ only in their last character (a hint at
// --tree-chars); with tree_chars, a tree that lumps cores the default rule
// keeps apart, where it is no more than the part of the IDs that names the
// site or where the default rule finds cores of one tree; otherwise every
// tree of exactly one core, in a file of two or more.
std::string tree_grouping_doubt(const PairSeries& pair, int tree_chars);

// One warning line of the doubt, naming ring-width file `file`.
void warn_tree_grouping(Console& con, std::string_view file, const PairSeries& pair,
                        int tree_chars);

}  // namespace ruvela
