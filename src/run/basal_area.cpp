#include "run/basal_area.hpp"

#include <algorithm>

namespace ruvela {

namespace {

// Year y's slot of a measure's totals, or nothing outside the pair's span.
void store_totals(const YearTotals& totals, int first_year, PerYear<float>& sum,
                  PerYear<int>& count, PerYear<float>& mean) {
    for (std::size_t k = 0; k < totals.sum.size(); ++k) {
        const int y = first_year + static_cast<int>(k);
        sum(y) = totals.sum[k];
        count(y) = totals.count[k];
        mean(y) = totals.mean[k];
    }
}

}  // namespace

std::vector<SeriesInput> series_inputs(const PairSeries& pair, const PairTables& tables) {
    std::vector<SeriesInput> inputs;
    inputs.reserve(static_cast<std::size_t>(pair.series_count));
    for (int s = 1; s <= pair.series_count; ++s) {
        const int first = pair.series_first_year(s);
        const int length = std::max(0, pair.series_last_year(s) - first + 1);
        inputs.push_back({first, tables.ring_width.cells(s, first, static_cast<std::size_t>(length)),
                          pair.companion(s)});
    }
    return inputs;
}

void store_pair_result(const PairResult& result, RunResults& run, PairSeries& pair,
                       PairTables& tables) {
    const int f = run.file_index;
    tables.narrow_results(run.file_first_year(f), run.file_last_year(f));
    for (int s = 1; s <= pair.series_count; ++s) {
        const SeriesResult& series = result.series[static_cast<std::size_t>(s - 1)];
        if (series.basal_area.empty()) continue;  // no rings, no area
        tables.basal_area.put(s, pair.series_first_year(s), series.basal_area);
        tables.basal_area_increment.put(s, pair.series_first_year(s), series.increment);
        pair.radius(s) = series.radius;
        pair.first_ring_area(s) = series.first_ring_area;
    }
    if (pair.series_count > 0) {
        run.overall_first_year = std::min(run.overall_first_year, run.file_first_year(f));
        run.overall_last_year = std::max(run.overall_last_year, run.file_last_year(f));
    }
    const int first = result.first_year;
    store_totals(result.ring_width, first, tables.sum_ring_width, tables.count_ring_width,
                 tables.mean_ring_width);
    store_totals(result.basal_area, first, tables.sum_basal_area, tables.count_basal_area,
                 tables.mean_basal_area);
    store_totals(result.increment, first, tables.sum_basal_area_increment,
                 tables.count_basal_area_increment, tables.mean_basal_area_increment);
    store_totals(result.ring_area, first, tables.sum_ring_area, tables.count_ring_area,
                 tables.mean_ring_area);
    for (int y = run.file_first_year(f); y <= run.file_last_year(f); ++y) {
        run.file_means(Measure::basal_area, f, y) = tables.mean_basal_area(y);
        run.file_means(Measure::increment, f, y) = tables.mean_basal_area_increment(y);
        run.file_means(Measure::ring_width, f, y) = tables.mean_ring_width(y);
    }
}

PairFindings compute_basal_area(CompanionKind kind, RunResults& run, PairSeries& pair,
                                PairTables& tables) {
    PairResult result = compute_pair(kind, series_inputs(pair, tables));
    store_pair_result(result, run, pair, tables);
    return std::move(result.findings);
}

}  // namespace ruvela
