// Reading the two input files of a file pair into the store.
#pragma once

#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Starts pair run.file_index: clears what the previous pair left.
void start_pair(RunResults& run, PairTables& tables);

// Reads every series of ring-width file `name` into the pair and
// reports their number. Stops the run on a series the store cannot hold.
void read_ring_width_file(const std::string& name, RunResults& run, PairSeries& pair,
                          PairTables& tables, Console& con);

}  // namespace ruvela
