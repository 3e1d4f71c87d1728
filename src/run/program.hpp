// Entry points of the programs.
#pragma once

#include <iosfwd>
#include <optional>

#include "run/edition.hpp"
#include "run/job.hpp"
#include "run/options.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Sets PLPLOT_LIB (and, in edition 11, PGPLOT_DIR) to the folder of
// PLplot's font files, replacing any value.
void set_plplot_fonts(Edition edition);

// The whole run, from the banner to the normal termination or a stop.
// Returns the process's exit status.
// With `batch`, the run the command line names instead of the dialogue.
int run_program(Edition edition, Console& con, const RunOptions& options = {},
                const std::optional<BatchInputs>& batch = std::nullopt);

// The same on a store the caller keeps, new or reset(), for a process that
// runs many jobs one after the other.
int run_program(Edition edition, Console& con, Store& store, const RunOptions& options = {},
                const std::optional<BatchInputs>& batch = std::nullopt);

// What each program's main does: reads the command line; for a run, the
// start-up setting, then the run on the process's standard streams.
int program_main(Edition edition, int argc, char** argv);

}  // namespace ruvela
