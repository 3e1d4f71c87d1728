// Entry points of the programs.
#pragma once

#include <iosfwd>

#include "run/edition.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Sets PLPLOT_LIB (and, in edition 11, PGPLOT_DIR) to the folder of
// PLplot's font files, replacing any value.
void set_plplot_fonts(Edition edition);

// The whole run, from the banner to the normal termination or a stop.
// Returns the process's exit status.
int run_program(Edition edition, Console& con);

// The same on a store the caller keeps, new or reset(), for a process that
// runs many jobs one after the other.
int run_program(Edition edition, Console& con, Store& store);

// What each program's main does: the start-up setting, then the run on the
// process's standard streams.
int program_main(Edition edition);

}  // namespace ruvela
