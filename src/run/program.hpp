// Entry points of the programs.
#pragma once

#include <iosfwd>

#include "run/edition.hpp"
#include "text/console.hpp"

namespace ruvela {

// Sets PLPLOT_LIB (and, in edition 11, PGPLOT_DIR) to the folder of
// PLplot's font files, replacing any value.
void set_plplot_fonts(Edition edition);

// The whole run, from the banner to the normal termination or a stop.
// Returns the process's exit status.
int run_program(Edition edition, Console& con);

// What each program's main does: the start-up setting, then the run on the
// process's standard streams.
int program_main(Edition edition);

}  // namespace ruvela
