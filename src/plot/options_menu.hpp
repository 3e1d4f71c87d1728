// The plot options menu shown after every drawing.
#pragma once

#include "plot/display.hpp"

namespace ruvela {

enum class MenuOutcome {
    redraw,         // draw again with the current settings
    fresh_start,    // restore the defaults, gather, scale and draw
    save,           // a fresh start into the file named (device and file name already set)
    carry_on,       // back to the run driver, plot mode unchanged
    no_more_plots,  // back to the run driver with plot mode 0
};

// Shows the menu and handles answers that change a setting or are unknown
// until one of them asks for one of the outcomes.
MenuOutcome plot_options_menu(PlotSession& session, Console& con, Plotter& plotter);

}  // namespace ruvela
