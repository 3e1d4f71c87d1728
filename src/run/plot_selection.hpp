// What happens after a pair's tables are written: plots on request, then
// the next pair or the end of the loop.
#pragma once

#include "plot/display.hpp"
#include "plot/plotter.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

enum class PlotOutcome { next, quit };

// The store's tables of the current pair as the plots take them, under
// `title` (the pair's ring-width file name, which must outlive the data).
PlotData plot_data_of(const Store& store, std::string_view title);

// Runs the menu for one file pair. `data` holds the pair's tables;
// `selected_series` is the series of the latest individual plot, kept
// between rounds and pairs.
PlotOutcome plot_selection(const PlotData& data, int& selected_series, PlotSession& session,
                           Console& con, Plotter& plotter);

}  // namespace ruvela
