#include "run/plot_selection.hpp"

#include <optional>
#include <string>

namespace ruvela {

namespace {

void write_menu(Console& con) {
    write_line(con);
    write_line(con, " Data Plotting Selections.");
    write_line(con, "  [1] plot individual series data");
    write_line(con, "  [2] plot file summery data");
    write_line(con, "  [return] to continue ");
    write_line(con, "  [3] quit program");
}

// The first character as a one-digit field: a digit, or 0 for a blank or
// an empty line; nothing for anything else.
std::optional<int> one_digit(const std::string& line) {
    if (line.empty() || line[0] == ' ' || line[0] == '\t') return 0;
    if (line[0] >= '0' && line[0] <= '9') return line[0] - '0';
    return std::nullopt;
}

// A first character that is no digit would otherwise end the run before
// the summary tables are written, so the answer is asked for again.
int read_plot_choice(Console& con) {
    for (;;) {
        write_prompt(con, " > ");
        if (const auto choice = one_digit(con.read_line())) return *choice;
    }
}

}  // namespace

plot_data plot_data_of(const Store& s) {
    return plot_data{max_years,
                     max_series,
                     s.series_count,
                     s.ring_width,
                     s.basal_area_increment,
                     s.basal_area,
                     s.mean_ring_width,
                     s.mean_basal_area,
                     s.mean_basal_area_increment,
                     s.file_first_year(s.file_index),
                     s.file_last_year(s.file_index),
                     s.series_first_year,
                     s.series_last_year,
                     s.series_length,
                     s.series_ids,
                     s.series_headings,
                     s.ring_file_names(s.file_index)};
}

PlotOutcome plot_selection(const Store& store, int& selected_series, plot_session& session, Console& con,
                           Plotter& plotter) {
    return plot_selection(plot_data_of(store), selected_series, session, con, plotter);
}

PlotOutcome plot_selection(const plot_data& data, int& selected_series, plot_session& session, Console& con,
                                 Plotter& plotter) {
    for (;;) {
        write_menu(con);
        int plot_choice = read_plot_choice(con);
        switch (plot_choice) {
            case individual_plot:
                for (selected_series = 1; selected_series <= data.series_count; ++selected_series) {
                    display(data, plot_choice, selected_series, session, con, plotter);
                    if (plot_choice == 0) break;
                }
                break;
            case summary_plot:
                display(data, plot_choice, selected_series, session, con, plotter);
                break;
            case 3:
                return PlotOutcome::quit;
            default:
                return PlotOutcome::next;
        }
    }
}

}  // namespace ruvela
