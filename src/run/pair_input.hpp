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

// Whether ring-width input `name` (trimmed) is read as coordinate files: a
// .pos file, or a folder of them.
bool is_coordinate_input(const std::string& name);

// Reads a .pos file, or every .pos file below a folder (sorted by name), one
// series each, named by the file's stem. A file that cannot be read stops
// the run, or with keep_going is told and left out.
void read_coordinate_input(const std::string& name, RunResults& run, PairSeries& pair,
                           PairTables& tables, bool keep_going, Console& con);

}  // namespace ruvela
