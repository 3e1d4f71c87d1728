// Reading the two input files of a file pair into the store.
#pragma once

#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Starts pair store.file_index: clears what the previous pair left.
void start_pair(Store& store);

// Reads every series of the pair's ring-width file into the store and
// reports their number. Stops the run on a series the store cannot hold.
void read_ring_width_file(Store& store, Console& con);

// Reads one pith offset or diameter per series from the pair's companion
// file, lists them beside the series, and stops the run when their number
// differs from the number of series.
void read_companion_file(Store& store, Console& con);

}  // namespace ruvela
