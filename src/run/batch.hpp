// A run named on the command line: the dialogue's loop without its
// questions, for scripts and pipelines.
#pragma once

#include "run/edition.hpp"
#include "run/options.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

// Reads nothing from standard input: writes one line per pair, every
// warning, and a progress count on a terminal's standard error. Returns the
// exit status; stops and failures leave as exceptions, as the dialogue's do.
int run_batch(Edition edition, Console& con, Store& store, const RunOptions& options,
              const BatchInputs& inputs);

}  // namespace ruvela
