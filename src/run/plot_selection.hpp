// The menu after each file pair's table: plots of the single series or of
// the file's means, the next pair, or an early end of the pairs.
#pragma once

#include "plot/display.hpp"
#include "plot/plotter.hpp"
#include "text/console.hpp"

namespace ruvela {

enum class selection_outcome { next, quit };

// Runs the menu for the current file pair. `data` holds the pair's tables;
// `selected_series` is the series of the latest individual plot, kept
// between rounds and pairs.
selection_outcome plot_selection(const plot_data& data, int& selected_series, plot_session& session, Console& con,
                                 Plotter& plotter);

}  // namespace ruvela
