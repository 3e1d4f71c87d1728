// Every companion value set against the series it belongs to: what the
// core's rings, the other values of its record and the other series of its
// file say the value cannot be. Pure: the findings come back as data, and
// the run driver tells them (companion_file.hpp).
//
// Two kinds of finding. The standing facts of a kind (a negative pith
// offset, a diameter smaller than the core or ten times larger, a row whose
// offset and distance disagree) are what the computation reports as
// implausible values, in the words the run has always used
// (implausible_value). The checks against the core and the file
// (check_values) come after them; every limit of both is in the one table
// value_limits(), which docs/bad-input.md repeats.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ringio/companion_kinds.hpp"
#include "run/pair_computation.hpp"

namespace ruvela {

// The numbers the checks go by.
enum class ValueLimit {
    diameter_excess,         // a diameter over this many times twice the measured radius
    reach_beyond_stem,       // distance + rings over this many times half the diameter
    distance_beyond_core,    // a distance over this many times the core's length
    offset_beyond_core,      // offset x inner mean width over this many times the core's length
    offset_beyond_distance,  // an offset over this many times the rings the distance makes
    offset_slack_rings,      // ... plus this many rings
    inner_rings,             // the innermost rings whose mean width an offset is taken at
    width_off_median,        // a series' mean width this many times the file's median or less
    median_series,           // the fewest series a file's median is taken of
};

struct ValueLimitRow {
    ValueLimit limit;
    float value;
    std::string_view rule;  // the check in words, as docs/bad-input.md gives it
};

// The table of every limit, in the order docs/bad-input.md lists them.
std::span<const ValueLimitRow> value_limits();
float limit_of(ValueLimit limit);

// What a check found out about one series.
enum class ValueCheck {
    distance_beyond_stem,    // proportional: distance and rings reach past the stem's radius
    distance_beyond_core,    // a distance of many times the core's length
    offset_beyond_core,      // an offset whose rings would reach many times the core's length
    offset_beyond_distance,  // an offset far more rings than the distance makes
    width_off_median,        // a mean width far from the file's median
};

struct ValueFinding {
    int series = 0;  // from 1
    ValueCheck check = ValueCheck::distance_beyond_core;
    // The value the finding quotes first; none when it is about the ring
    // widths, which the ring-width file gives.
    std::optional<CompanionField> field;
    // The other value it is set against, where that is one; told with its
    // own origin when that is not the first one's.
    std::optional<CompanionField> against;
    std::string why;  // in plain words, without the file and the series
};

struct ValueCheckOptions {
    // The series (from 1) whose pith offsets the program estimated from
    // their distances: not given, so not checked against them.
    std::vector<int> offsets_estimated;
};

// The kind's standing fact that makes `record` implausible beside the
// series' `widths`, in words; empty when none holds. The first of them that
// holds: a negative pith offset; a proportional row whose offset and
// distance disagree, or whose distance and widths are all 0; a diameter
// below twice the measured radius; a diameter more than diameter_excess
// times twice it.
std::string implausible_value(CompanionKind kind, const CompanionRecord& record,
                              std::span<const float> widths);

// The checks against each series' core and against its file's other
// series, for the pair's series in order; the standing facts are not
// repeated here.
std::vector<ValueFinding> check_values(CompanionKind kind, std::span<const SeriesInput> series,
                                       const ValueCheckOptions& options = {});

}  // namespace ruvela
