// What happens after a pair's tables are written: plots on request, then
// the next pair or the end of the loop.
#pragma once

#include "plot/display.hpp"
#include "plot/plotter.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

enum class PlotOutcome { next, quit };

// The store's tables of the current pair as the plots take them.
PlotData plot_data_of(const Store& store);

// Runs the menu for one file pair. `data` holds the pair's tables;
// `selected_series` is the series of the latest individual plot, kept
// between rounds and pairs.
PlotOutcome plot_selection(const PlotData& data, int& selected_series, PlotSession& session,
                           Console& con, Plotter& plotter);

// Offers the plots of pair store.file_index.
PlotOutcome plot_selection(const Store& store, int& selected_series, PlotSession& session,
                           Console& con, Plotter& plotter);

}  // namespace ruvela
