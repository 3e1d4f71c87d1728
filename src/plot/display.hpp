// The two-panel plot of one series or of a file's means, and the plot
// options menu that follows every drawing.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plot/plotter.hpp"
#include "ringio/series_id.hpp"
#include "plot/settings.hpp"
#include "text/console.hpp"
#include "text/slots.hpp"

namespace ruvela {

// The least and greatest increment (cm2) and basal area (dm2) that a range
// of companion values allows a curve, a value per year from first_year.
struct CurveBand {
    int first_year = 0;
    std::span<const float> increment_low, increment_high;
    std::span<const float> basal_area_low, basal_area_high;
};

// What a plot is drawn from: the store's tables, passed whole. Series and
// years outside any of them give no points.
struct PlotData {
    int series_count = 0;
    const SeriesYearTable& ring_width;
    const SeriesYearTable& basal_area_increment;
    const SeriesYearTable& basal_area;
    // The pair's means, one slot per year.
    SlotView<float> mean_ring_width;
    SlotView<float> mean_basal_area;
    SlotView<float> mean_basal_area_increment;
    int summary_first_year = 0;
    int summary_last_year = 0;
    // One slot per series from here on.
    SlotView<int> series_first_year;
    SlotView<int> series_last_year;
    SlotView<int> series_length;
    SlotView<SeriesId> series_ids;
    std::string_view plot_title;       // 30 characters
    // With ranges on the values: each series' band (from series 1 at
    // index 0) and that of the means; drawn around the curves.
    std::vector<CurveBand> series_bands{};
    std::optional<CurveBand> mean_band{};
};

// The answers of the plot selection menu; every other answer goes on to the
// next pair.
enum class PlotChoice { individual = 1, summary = 2, quit = 3 };

// What the plotting keeps for the whole run: the settings, the points of the
// latest plot and the latest axis scaling. The caller owns it and passes it
// to every call.
struct PlotSession {
    PlotSettings settings;
    int background_choice = 0;
    std::vector<float> plot_x, plot_y1, plot_y2, plot_y3;
    // The band around the increment (y2) and the basal area (y3), a value
    // per point; empty without one.
    std::vector<float> band_y2_low, band_y2_high, band_y3_low, band_y3_high;
    int point_total = 0;
    int points_drawn = 0;
    float axis_min = 0.0f, axis_step = 0.0f, axis_max = 0.0f;
    int scale_error = 0;
};

// The plots drawn without the menu, for whole batches: pages into one file
// whose name's ending chooses the format, as a save's does (a file of its
// own for each page where the format holds one page).
struct PlotPage {
    PlotChoice mode = PlotChoice::individual;  // a series, or the means (summary)
    int series = 0;                            // for a series' page
};

// Opens file `file_name` for the pages drawn until end_plot_file.
void begin_plot_file(std::string_view file_name, PlotSession& session, Console& con,
                     Plotter& plotter);

// Draws `page` with the default settings, as the menu draws it first; false
// (and nothing drawn) when the selection holds no years.
bool draw_plot_page(const PlotData& data, const PlotPage& page, PlotSession& session, Console& con,
                    Plotter& plotter);

// Closes the file; the drawing is made now.
void end_plot_file(Plotter& plotter);

// Draws the plot of `plot_mode` (individual: series `series_index`;
// summary: the file's means; other choices draw nothing) and runs the plot
// options menu until the user continues (true) or wants no more plots (false).
bool display(const PlotData& data, PlotChoice plot_mode, int series_index, PlotSession& session,
             Console& con, Plotter& plotter);

}  // namespace ruvela
