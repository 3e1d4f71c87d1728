// The companion file of a pair: one pith offset or diameter per series.
#pragma once

#include <span>

#include "run/pair_bounds.hpp"
#include "run/pair_computation.hpp"
#include "run/store.hpp"
#include "run/value_checks.hpp"
#include "text/console.hpp"

namespace ruvela {

// Reads one pith offset or diameter per series from pair file_index's
// companion file and lists them beside the series. When every line names its
// series (the text after the value) and the names are the series' IDs in
// another order, each value goes to the series of its name. Stops the run
// when the number of values differs from the number of series. Pith
// offsets to estimate (with the job's estimate, or left empty beside a
// distance) are estimated from the series' rings in `tables`.
void read_companion_file(const Job& job, int file_index, PairSeries& pair,
                         const PairTables& tables, Console& con);

// The range of each estimated pith offset: the estimates at the ends of its
// distance's range.
void estimate_pith_offset_ranges(const Job& job, const PairSeries& pair, const PairTables& tables,
                                 std::span<ValueRange> ranges);

// Warns of the values that cannot be what the user meant (a diameter smaller
// than the measured rings or far larger than them, a negative pith offset):
// ten, then a count.
void tell_implausible_values(const Job& job, int file_index, const PairSeries& pair,
                             std::span<const ImplausibleValue> implausible, Console& con);

// Warns of what the checks of the values against their cores and their
// file found: one line each, naming where the value stands (the companion
// file's line, or the ring-width file and its key; the ring-width file for
// a finding about the widths), the series, the value and what it
// contradicts; ten, then a count.
void tell_value_findings(const Job& job, int file_index, const PairSeries& pair,
                         std::span<const ValueFinding> findings, Console& con);

// Stops the run at the first series whose value makes an area too large to
// compute, naming the value's line.
void stop_on_areas_out_of_range(const Job& job, int file_index, const PairSeries& pair,
                                std::span<const int> series, Console& con);

// What keeps read format `format` from reading values of `kind`, in words;
// empty when it can read them.
std::string read_format_problem(std::string_view format, CompanionKind kind);

}  // namespace ruvela
