#include "run/csv_tables.hpp"

#include <algorithm>

#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "text/output_file.hpp"

namespace ruvela {

namespace {

void put_number(std::string& row, float value) {
    row += ',';
    put_shortest(row, value);
}

// A ring width as it was measured, at the decimals it was read at.
void put_ring_width(std::string& row, float width, std::optional<int> decimals) {
    row += ',';
    if (decimals)
        put_measured(row, width, *decimals);
    else
        put_shortest(row, width);
}

void put_count(std::string& row, int count) {
    row += ',';
    row += std::to_string(count);
}

// A mean over no series is no value.
void put_mean(std::string& row, int count, float mean) {
    row += ',';
    if (count > 0) put_shortest(row, mean);
}

// A year's bounds, k years from the series' first: areas in cm2, and in the
// first year its first ring's area.
void put_bounds(std::string& row, const SeriesBounds& b, std::size_t k) {
    if (k >= b.basal_area_low.size()) {
        row += ",,,,";
        return;
    }
    put_number(row, dm2_to_cm2(b.basal_area_low[k]));
    put_number(row, dm2_to_cm2(b.basal_area_high[k]));
    put_number(row, b.ring_area_low(k));
    put_number(row, b.ring_area_high(k));
}

// The rows so far gain empty bound cells: the rows of pairs without ranges,
// before the first pair with them.
void widen_to_bounds(SummaryCsv& summary) {
    if (summary.bounded) return;
    summary.bounded = true;
    std::string widened;
    for (const char c : summary.rows) {
        if (c == '\n') widened += ",,,,";
        widened += c;
    }
    summary.rows = std::move(widened);
}

}  // namespace

void put_csv_text(std::string& out, std::string_view text) {
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        text.starts_with(' ') || text.ends_with(' ');
    if (!quoted) {
        out.append(text);
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void write_pair_csv(std::ostream& out, std::span<const SeriesCsvView> series) {
    const bool bounded = !series.empty() && series.front().bounds != nullptr;
    std::string buffer = bounded ? "series,year,ring_width_mm,basal_area_cm2,bai_cm2,"
                                   "basal_area_low_cm2,basal_area_high_cm2,bai_low_cm2,"
                                   "bai_high_cm2\n"
                                 : "series,year,ring_width_mm,basal_area_cm2,bai_cm2\n";
    for (const SeriesCsvView& s : series) {
        const std::size_t years =
            std::min({s.ring_width_mm.size(), s.basal_area_dm2.size(), s.increment_cm2.size()});
        for (std::size_t k = 0; k < years; ++k) {
            put_csv_text(buffer, s.id);
            buffer += ',';
            buffer += std::to_string(s.first_year + static_cast<int>(k));
            put_ring_width(buffer, s.ring_width_mm[k], s.ring_width_decimals);
            put_number(buffer, dm2_to_cm2(s.basal_area_dm2[k]));
            put_number(buffer, k > 0 ? s.increment_cm2[k] : s.first_ring_area_cm2);
            if (bounded) put_bounds(buffer, *s.bounds, k);
            buffer += '\n';
            write_whole_blocks(buffer, out);
        }
    }
    write_all(buffer, out);
}

void write_pair_csv_file(std::string_view path, std::span<const SeriesCsvView> series) {
    OutputFile file{std::string(path)};
    write_pair_csv(file.stream(), series);
    file.commit();
}

void write_pair_csv_file(std::string_view path, const PairSeries& pair, const PairTables& tables,
                         std::span<const SeriesBounds> bounds) {
    std::vector<SeriesCsvView> views;
    for (int s = 1; s <= pair.series_count; ++s) {
        const int first = pair.series_first_year(s);
        const auto years = static_cast<std::size_t>(std::max(pair.series_length(s), 0));
        const auto row = [&](const SeriesYearTable& table) { return table.cells(s, first, years); };
        views.push_back({trim_right(pair.series_ids(s).whole()), first, row(tables.ring_width),
                         row(tables.basal_area), row(tables.basal_area_increment),
                         pair.first_ring_area(s),
                         bounds.empty() ? nullptr : &bounds[static_cast<std::size_t>(s - 1)],
                         pair.width_decimals(s)});
    }
    write_pair_csv_file(path, views);
}

void add_pair_rows(SummaryCsv& summary, std::string_view ring_file_name, int first_year,
                   int last_year, const PairTables& tables, const MeanBounds* means) {
    if (last_year < first_year) return;
    const auto offset = static_cast<std::size_t>(first_year - 1);
    const auto years = static_cast<std::size_t>(last_year - first_year + 1);
    const auto span_of = [&]<typename T>(const PerYear<T>& per_year) {
        return std::span<const T>(per_year).subspan(offset, years);
    };
    PairMeansCsvView view{ring_file_name, first_year, span_of(tables.count_ring_width),
                          span_of(tables.mean_ring_width), span_of(tables.count_basal_area),
                          span_of(tables.mean_basal_area), span_of(tables.count_ring_area),
                          span_of(tables.mean_ring_area)};
    std::vector<float> area_low, area_high;  // cm2
    if (means != nullptr) {
        for (const float dm2 : means->basal_area_low) area_low.push_back(dm2_to_cm2(dm2));
        for (const float dm2 : means->basal_area_high) area_high.push_back(dm2_to_cm2(dm2));
        view.mean_basal_area_low_cm2 = area_low;
        view.mean_basal_area_high_cm2 = area_high;
        view.mean_bai_low_cm2 = means->ring_area_low;
        view.mean_bai_high_cm2 = means->ring_area_high;
    }
    add_pair_rows(summary, view);
}

void add_pair_rows(SummaryCsv& summary, const PairMeansCsvView& pair) {
    const std::size_t years = std::min({pair.n_ring_width.size(), pair.mean_ring_width_mm.size(),
                                        pair.n_basal_area.size(), pair.mean_basal_area_dm2.size(),
                                        pair.n_bai.size(), pair.mean_bai_cm2.size()});
    const bool bounded = pair.mean_basal_area_low_cm2.size() >= years &&
                         pair.mean_basal_area_high_cm2.size() >= years &&
                         pair.mean_bai_low_cm2.size() >= years &&
                         pair.mean_bai_high_cm2.size() >= years && years > 0;
    if (bounded) widen_to_bounds(summary);
    std::string& rows = summary.rows;
    for (std::size_t k = 0; k < years; ++k) {
        put_csv_text(rows, pair.file);
        rows += ',';
        rows += std::to_string(pair.first_year + static_cast<int>(k));
        put_count(rows, pair.n_ring_width[k]);
        put_mean(rows, pair.n_ring_width[k], pair.mean_ring_width_mm[k]);
        put_count(rows, pair.n_basal_area[k]);
        put_mean(rows, pair.n_basal_area[k], dm2_to_cm2(pair.mean_basal_area_dm2[k]));
        put_count(rows, pair.n_bai[k]);
        put_mean(rows, pair.n_bai[k], pair.mean_bai_cm2[k]);
        if (bounded) {
            put_mean(rows, pair.n_basal_area[k], pair.mean_basal_area_low_cm2[k]);
            put_mean(rows, pair.n_basal_area[k], pair.mean_basal_area_high_cm2[k]);
            put_mean(rows, pair.n_bai[k], pair.mean_bai_low_cm2[k]);
            put_mean(rows, pair.n_bai[k], pair.mean_bai_high_cm2[k]);
        }
        else if (summary.bounded) {
            rows += ",,,,";
        }
        rows += '\n';
    }
}

void write_summary_csv(std::ostream& out, const SummaryCsv& summary) {
    out << "file,year,n_ring_width,mean_ring_width_mm,n_basal_area,mean_basal_area_cm2,n_bai,"
           "mean_bai_cm2"
        << (summary.bounded ? ",mean_basal_area_low_cm2,mean_basal_area_high_cm2,mean_bai_low_cm2,"
                              "mean_bai_high_cm2\n"
                            : "\n")
        << summary.rows;
}

void write_tree_csv(std::ostream& out, std::span<const TreeMeans> trees, bool bounded) {
    std::string buffer = bounded ? "tree,year,n_cores,ring_width_mm,basal_area_cm2,bai_cm2,"
                                   "basal_area_low_cm2,basal_area_high_cm2,bai_low_cm2,bai_high_cm2\n"
                                 : "tree,year,n_cores,ring_width_mm,basal_area_cm2,bai_cm2\n";
    for (const TreeMeans& tree : trees) {
        for (const TreeYear& t : tree.years) {
            put_csv_text(buffer, tree.tree);
            buffer += ',';
            buffer += std::to_string(t.year);
            put_count(buffer, t.n_cores);
            put_number(buffer, t.ring_width_mm);
            put_number(buffer, t.basal_area_cm2);
            put_number(buffer, t.bai_cm2);
            if (bounded)
                for (const float mean : {t.basal_area_low_cm2, t.basal_area_high_cm2, t.bai_low_cm2,
                                         t.bai_high_cm2})
                    put_number(buffer, mean);
            buffer += '\n';
            write_whole_blocks(buffer, out);
        }
    }
    write_all(buffer, out);
}

std::vector<TreeDiameterDisagreement> write_tree_csv_file(std::string_view path,
                                                          const PairSeries& pair,
                                                          const PairTables& tables, CompanionKind kind,
                                                          int tree_chars,
                                                          std::span<const SeriesBounds> bounds) {
    OutputFile file{std::string(path)};
    write_tree_csv(file.stream(), tree_means(pair, tables, tree_chars, bounds), !bounds.empty());
    file.commit();
    return diameter_disagreements(kind, pair, tree_chars);
}

void write_summary_csv_file(const SummaryCsv& summary, std::string_view path) {
    OutputFile file{std::string(path)};
    write_summary_csv(file.stream(), summary);
    file.commit();
}

}  // namespace ruvela
