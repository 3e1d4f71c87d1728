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
    t.bai_low_cm2 += k > 0 ? b.increment_low[k] : b.first_ring_area_low;
    t.bai_high_cm2 += k > 0 ? b.increment_high[k] : b.first_ring_area_high;
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

}  // namespace

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
