// The loop over a job's pairs, then the summary tables and the closing
// lines: what the dialogue and the command line share.
#pragma once

#include <functional>
#include <string>

#include "run/edition.hpp"
#include "run/options.hpp"
#include "run/store.hpp"
#include "text/console.hpp"

namespace ruvela {

enum class PairOutcome { next, quit };

// What follows the tables of each pair (the dialogue's plot selection, a
// batch's plots and report): whether the loop goes on. `job` holds the pairs
// processed so far (the store's pair is its last), `table` is the name of the
// pair's per-file table and `number` the pair's number in the job as given.
using AfterPair = std::function<PairOutcome(const Job& job, const Store& store,
                                            const std::string& table, int number)>;

struct JobEnd {
    int pairs_done = 0;
    int pairs_left_out = 0;  // with keep_going: the pairs the run stopped at
};

// Runs `job`. Before anything is written, stops when an output would
// replace one of the job's inputs. With options.keep_going a pair that
// stops the run is told and left out, and the summary tables hold the
// pairs processed.
JobEnd run_job(const Job& job, Edition edition, Store& store, Console& con,
               const RunOptions& options, const AfterPair& after_pair);

}  // namespace ruvela
