// Entry points of the programs.
#pragma once

#include <functional>
#include <iosfwd>

#include "run/edition.hpp"
#include "run/options.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Sets PLPLOT_LIB (and, in edition 11, PGPLOT_DIR) to the folder of
// PLplot's font files, replacing any value.
void set_plplot_fonts(Edition edition);

enum class PairOutcome { next, quit };

// What follows the tables of each pair (the dialogue's plot selection):
// whether the loop goes on.
using AfterPair = std::function<PairOutcome(const Job&, const Store&)>;

// The loop over the job's pairs, then the summary tables and the closing
// lines: what the dialogue and the command line share.
void run_job(const Job& job, Edition edition, Store& store, Console& con,
             const RunOptions& options, const AfterPair& after_pair);

// The whole run, from the banner to the normal termination or a stop.
// Returns the process's exit status.
int run_program(Edition edition, Console& con, const RunOptions& options = {});

// The same on a store the caller keeps, new or reset(), for a process that
// runs many jobs one after the other.
int run_program(Edition edition, Console& con, Store& store, const RunOptions& options = {});

// What each program's main does: reads the command line; for a run, the
// start-up setting, then the run on the process's standard streams.
int program_main(Edition edition, int argc, char** argv);

}  // namespace ruvela
