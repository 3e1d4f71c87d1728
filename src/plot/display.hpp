// The two-panel plot of one series or of a file's means, and the plot
// options menu that follows every drawing.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plot/plotter.hpp"
#include "plot/settings.hpp"
#include "text/console.hpp"

namespace ruvela {

// What a plot is drawn from: the store's tables, passed whole. The
// series-by-year tables hold element (s, y), both from 1, at
// (s-1)*year_dim + (y-1); per-year arrays hold year y at [y-1]; per-series
// arrays hold series s at [s-1].
struct plot_data {
    int year_dim = 0;
    int series_dim = 0;
    int series_count = 0;
    std::span<const float> ring_width;
    std::span<const float> basal_area_increment;
    std::span<const float> basal_area;
    std::span<const float> mean_ring_width;
    std::span<const float> mean_basal_area;
    std::span<const float> mean_basal_area_increment;
    int summary_first_year = 0;
    int summary_last_year = 0;
    std::span<const int> series_first_year;
    std::span<const int> series_last_year;
    std::span<const int> series_length;
    std::span<const std::string> series_ids;       // 8 characters each
    std::span<const std::string> series_headings;  // 35 characters each
    std::string_view plot_title;                   // 30 characters
};

// The plot modes of the plot selection menu.
inline constexpr int individual_plot = 1;
inline constexpr int summary_plot = 2;

// What the plotting keeps for the whole run: the settings, the points of the
// latest plot and the latest axis scaling. The caller owns it and passes it
// to every call.
struct plot_session {
    plot_settings settings;
    int background_choice = 0;
    std::vector<float> plot_x, plot_y1, plot_y2, plot_y3;
    int point_total = 0;
    int points_drawn = 0;
    float axis_min = 0.0f, axis_step = 0.0f, axis_max = 0.0f;
    int scale_error = 0;
};

// Draws the plot of `plot_mode` (individual: series `series_index`;
// summary: the file's means) and runs the plot options menu until the user
// continues (plot_mode unchanged) or wants no more plots (plot_mode 0).
void display(const plot_data& data, int& plot_mode, int series_index, plot_session& session,
             Console& con, Plotter& plotter);

}  // namespace ruvela
