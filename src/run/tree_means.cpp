#include "run/tree_means.hpp"

#include <algorithm>
#include <map>

#include "run/warning_text.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string series_id(const PairSeries& pair, int s) {
    return std::string(pair.series_ids(s).shown());
}

// The pair's series grouped by tree, trees in the order of their first core.
std::vector<std::pair<std::string, std::vector<int>>> cores_by_tree(const PairSeries& pair,
                                                                    int tree_chars) {
    std::vector<std::pair<std::string, std::vector<int>>> trees;
    std::map<std::string, std::size_t> index;
    for (int s = 1; s <= pair.series_count; ++s) {
        const std::string tree = tree_of(series_id(pair, s), tree_chars);
        const auto [at, added] = index.emplace(tree, trees.size());
        if (added) trees.push_back({tree, {}});
        trees[at->second].second.push_back(s);
    }
    return trees;
}

// The area series s's ring of year y adds, in cm2.
float ring_area(const PairSeries& pair, const PairTables& tables, int s, int y) {
    return y == pair.series_first_year(s) ? pair.first_ring_area(s)
                                          : tables.basal_area_increment(s, y);
}

void add_bounds(const SeriesBounds& b, std::size_t k, TreeYear& t) {
    t.basal_area_low_cm2 += dm2_to_cm2(b.basal_area_low[k]);
    t.basal_area_high_cm2 += dm2_to_cm2(b.basal_area_high[k]);
    t.bai_low_cm2 += b.ring_area_low(k);
    t.bai_high_cm2 += b.ring_area_high(k);
}

TreeYear year_of_cores(const PairSeries& pair, const PairTables& tables,
                       const std::vector<int>& cores, int y, std::span<const SeriesBounds> bounds) {
    TreeYear t;
    t.year = y;
    for (const int s : cores) {
        if (y < pair.series_first_year(s) || y > pair.series_last_year(s)) continue;
        ++t.n_cores;
        t.ring_width_mm += tables.ring_width(s, y);
        t.basal_area_cm2 += dm2_to_cm2(tables.basal_area(s, y));
        t.bai_cm2 += ring_area(pair, tables, s, y);
        if (!bounds.empty())
            add_bounds(bounds[static_cast<std::size_t>(s - 1)],
                       static_cast<std::size_t>(y - pair.series_first_year(s)), t);
    }
    if (t.n_cores > 0) {
        const auto n = static_cast<float>(t.n_cores);
        for (float* mean : {&t.ring_width_mm, &t.basal_area_cm2, &t.bai_cm2, &t.basal_area_low_cm2,
                            &t.basal_area_high_cm2, &t.bai_low_cm2, &t.bai_high_cm2})
            *mean /= n;
    }
    return t;
}

TreeMeans means_of(const std::string& tree, const std::vector<int>& cores, const PairSeries& pair,
                   const PairTables& tables, std::span<const SeriesBounds> bounds) {
    int first = max_years + 1;
    int last = 0;
    for (const int s : cores) {
        if (pair.series_length(s) <= 0) continue;
        first = std::min(first, pair.series_first_year(s));
        last = std::max(last, pair.series_last_year(s));
    }
    TreeMeans means{tree, {}};
    for (int y = first; y <= last; ++y) {
        const TreeYear t = year_of_cores(pair, tables, cores, y, bounds);
        if (t.n_cores > 0) means.years.push_back(t);
    }
    return means;
}

// ---- Doubts about the grouping ----

std::size_t common_prefix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
    return n;
}

// How much of `id` names the site: the letters it begins with where a
// number follows them ("ZOF" of "ZOF01a"), or else what every ID of the
// file shares ("712" of "712011", ..., "712231").
std::size_t site_length(std::string_view id, std::size_t shared) {
    std::size_t letters = 0;
    while (letters < id.size() && is_letter(id[letters])) ++letters;
    const bool number_follows =
        letters > 0 && letters < id.size() && id[letters] >= '0' && id[letters] <= '9';
    return number_follows ? letters : shared;
}

// Two IDs that could be cores of one tree: the same but for their last
// character.
bool differ_in_last_character_only(std::string_view a, std::string_view b) {
    return a.size() == b.size() && !a.empty() &&
           a.substr(0, a.size() - 1) == b.substr(0, b.size() - 1);
}

std::string count_of(std::size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// The default rule's trees all of one core, while two IDs of equal length
// differ only in their last character.
std::string stems_shared(const std::vector<std::string>& ids) {
    std::map<std::pair<std::size_t, std::string>, std::size_t> first_of_stem;
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const std::string& id = ids[k];
        if (id.size() < 2) continue;
        const auto [at, added] =
            first_of_stem.emplace(std::pair{id.size(), id.substr(0, id.size() - 1)}, k);
        if (added) continue;
        return "the default rule (a series ID without its final letters) makes each of the " +
               count_of(ids.size(), "core", "cores") + " a tree of its own, while IDs such as " +
               quoted(ids[at->second]) + " and " + quoted(id) +
               " differ only in their last character; --tree-chars " +
               std::to_string(id.size() - 1) + " would take such cores as one tree";
    }
    return "";
}

// A tree of --tree-chars that lumps cores the default rule takes as
// different trees and whose IDs differ in more than their last character,
// where its name is no more than the part of the IDs that names the site,
// or where the default rule itself finds cores of one tree.
std::string lumped_trees(const std::vector<std::string>& ids, int tree_chars) {
    std::size_t shared = ids.front().size();
    std::map<std::string, std::size_t> cores_of_default_tree;
    bool default_groups = false;
    for (const std::string& id : ids) {
        shared = std::min(shared, common_prefix(ids.front(), id));
        default_groups = ++cores_of_default_tree[tree_of(id, 0)] > 1 || default_groups;
    }
    std::map<std::string, std::size_t> first_of_tree;
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const std::string tree = tree_of(ids[k], tree_chars);
        const auto [at, added] = first_of_tree.emplace(tree, k);
        const std::string& first = ids[at->second];
        if (added || tree_of(first, 0) == tree_of(ids[k], 0) ||
            differ_in_last_character_only(first, ids[k]))
            continue;
        const bool site_only = tree.size() <= site_length(first, shared);
        if (!site_only && !default_groups) continue;
        std::string text = "--tree-chars " + std::to_string(tree_chars) + " makes " + quoted(tree) +
                           (site_only ? ", the part of the IDs that names the site," : "") +
                           " a tree: it lumps cores that the default rule takes as different "
                           "trees, such as " +
                           quoted(first) + " and " + quoted(ids[k]);
        const std::string better = tree_of(first, 0);
        if (better.size() > tree.size() && better.size() < first.size())
            text += "; --tree-chars " + std::to_string(better.size()) +
                    " would give trees such as " + quoted(better);
        return text;
    }
    return "";
}

}  // namespace

std::string tree_grouping_doubt(const PairSeries& pair, int tree_chars) {
    std::vector<std::string> ids;
    for (int s = 1; s <= pair.series_count; ++s) ids.push_back(series_id(pair, s));
    if (ids.size() < 2) return "";
    const std::size_t trees = cores_by_tree(pair, tree_chars).size();
    if (tree_chars == 0 && trees == ids.size())
        if (std::string why = stems_shared(ids); !why.empty()) return why;
    if (tree_chars > 0)
        if (std::string why = lumped_trees(ids, tree_chars); !why.empty()) return why;
    if (trees < ids.size()) return "";
    return "every tree has exactly one core (" + count_of(ids.size(), "core", "cores") +
           "), so the tree means are the cores' own values; --tree-chars N takes the first N "
           "characters of an ID as its tree";
}

void warn_tree_grouping(Console& con, std::string_view file, const PairSeries& pair,
                        int tree_chars) {
    const std::string why = tree_grouping_doubt(pair, tree_chars);
    if (!why.empty()) write_warning(con, "File " + std::string(file) + ": " + why + ".");
}

std::string tree_of(std::string_view id, int tree_chars) {
    if (tree_chars > 0) return std::string(id.substr(0, static_cast<std::size_t>(tree_chars)));
    std::size_t end = id.size();
    while (end > 0 && is_letter(id[end - 1])) --end;
    return std::string(end == 0 ? id : id.substr(0, end));
}

std::vector<TreeMeans> tree_means(const PairSeries& pair, const PairTables& tables,
                                  int tree_chars, std::span<const SeriesBounds> bounds) {
    std::vector<TreeMeans> trees;
    for (const auto& [tree, cores] : cores_by_tree(pair, tree_chars))
        trees.push_back(means_of(tree, cores, pair, tables, bounds));
    return trees;
}

std::vector<TreeDiameterDisagreement> diameter_disagreements(CompanionKind kind,
                                                             const PairSeries& pair,
                                                             int tree_chars) {
    std::vector<TreeDiameterDisagreement> found;
    if (!kind_info(kind).gives(CompanionField::diameter)) return found;
    for (const auto& [tree, cores] : cores_by_tree(pair, tree_chars)) {
        const float diameter = pair.companion(cores.front()).diameter_cm;
        const auto other = std::find_if(cores.begin(), cores.end(), [&](int s) {
            return pair.companion(s).diameter_cm != diameter;
        });
        if (other != cores.end()) found.push_back({tree, cores.front(), *other});
    }
    return found;
}

void warn_tree_disagreements(Console& con, std::string_view file, const PairSeries& pair,
                             std::span<const TreeDiameterDisagreement> disagreements) {
    const auto core = [&](int s) {
        return quoted(series_id(pair, s)) + " " + shortest_text(pair.companion(s).diameter_cm) +
               " cm";
    };
    ListedWarnings listed;
    for (const TreeDiameterDisagreement& d : disagreements) {
        if (!listed.take()) continue;
        write_warning(con, "File " + std::string(file) + ", tree " + quoted(d.tree) +
                               ": its cores give different diameters, " + core(d.first_series) +
                               " and " + core(d.other_series) +
                               "; each core's areas follow its own.");
    }
    if (listed.untold() > 0)
        write_warning(con, "File " + std::string(file) + ": " + std::to_string(listed.untold()) +
                               " more trees whose cores give different diameters.");
}

}  // namespace ruvela
