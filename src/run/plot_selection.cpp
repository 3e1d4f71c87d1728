#include "run/plot_selection.hpp"

namespace ruvela {

// Until the plots come, every pair goes on as if the menu were answered
// with return.
PlotOutcome plot_selection(Store&, Console&) { return PlotOutcome::next; }

}  // namespace ruvela
