// What happens after a pair's tables are written: plots on request, then
// the next pair or the end of the loop.
#pragma once

#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

enum class PlotOutcome { next, quit };

// Offers the plots of pair store.file_index.
PlotOutcome plot_selection(Store& store, Console& con);

}  // namespace ruvela
