#include "run/plot_selection.hpp"

#include "run/dialogue.hpp"

namespace ruvela {

namespace {

void write_menu(Console& con) {
    write_line(con);
    write_line(con, " Data Plotting Selections.");
    write_line(con, "  [1] plot individual series data");
    write_line(con, "  [2] plot file summery data");
    write_line(con, "  [return] to continue ");
    write_line(con, "  [3] quit program");
    write_prompt(con, " > ");
}

CurveBand band_of(int first_year, const SeriesBounds& b) {
    return {first_year, b.increment_low, b.increment_high, b.basal_area_low, b.basal_area_high};
}

}  // namespace

PlotData plot_data_of(const Store& s, std::string_view title) {
    PlotData data{s.pair.series_count,
                  s.tables.ring_width,
                  s.tables.basal_area_increment,
                  s.tables.basal_area,
                  s.tables.mean_ring_width,
                  s.tables.mean_basal_area,
                  s.tables.mean_basal_area_increment,
                  s.run.file_first_year(s.run.file_index),
                  s.run.file_last_year(s.run.file_index),
                  s.pair.series_first_year,
                  s.pair.series_last_year,
                  s.pair.series_length,
                  s.pair.series_ids,
                  title};
    const PairRanges& r = s.ranges;
    if (r.bounds.empty()) return data;
    for (std::size_t k = 0; k < r.bounds.size(); ++k)
        data.series_bands.push_back(band_of(s.pair.series_first_year(static_cast<int>(k) + 1), r.bounds[k]));
    data.mean_band = CurveBand{data.summary_first_year, r.means.increment_low, r.means.increment_high,
                               r.means.basal_area_low, r.means.basal_area_high};
    return data;
}

PlotOutcome plot_selection(const PlotData& data, int& selected_series, PlotSession& session,
                           Console& con, Plotter& plotter) {
    for (;;) {
        // An answer that is no digit or blank is asked again rather than
        // ending the run before the summary tables are written.
        const int answer = read_choice(
            con, [&con] { write_menu(con); }, LeadingSign::asked_again);
        switch (static_cast<PlotChoice>(answer)) {
            case PlotChoice::individual:
                for (selected_series = 1; selected_series <= data.series_count; ++selected_series)
                    if (!display(data, PlotChoice::individual, selected_series, session, con,
                                 plotter))
                        break;
                break;
            case PlotChoice::summary:
                display(data, PlotChoice::summary, selected_series, session, con, plotter);
                break;
            case PlotChoice::quit:
                return PlotOutcome::quit;
            default:
                return PlotOutcome::next;
        }
    }
}

}  // namespace ruvela
