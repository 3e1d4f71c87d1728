// Coordinate files (.pos): one core per file, the ring boundaries as points
// clicked on a scanned image, in millimetres, with a header of the dated
// year and the pith's position.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "ringio/ring_format.hpp"

namespace ruvela {

// The most points a coordinate file may hold: several for every ring a
// series can have (boundaries, seasonwood and gap points), and far below
// what would keep a run reading for long.
inline constexpr std::size_t max_pos_points = 100000;

// What a coordinate file says of its pith, beside its series.
struct PosPith {
    int dated_year = 0;  // the year of the outermost ring
    // From the innermost point to the pith: the straight distance to the
    // pith coordinates, else the file's own rounded DistanceToPith.
    std::optional<float> distance_mm;
    std::optional<int> years_to_pith;  // rings estimated between the innermost point and the pith
    bool pith_line = false;            // the file gives the pith's coordinates
};

struct PosReading {
    // One series named `stem`, or the error that stops the file.
    RingFileReading reading;
    PosPith pith;  // when the file is read
};

// The first line of a coordinate file starts with this.
bool looks_like_pos(std::string_view content);

// Reads one coordinate file whose name without ".pos" is `stem`, the
// series' ID, kept whole.
//
// Ring widths follow the path of the points: a ring is the sum of the
// straight segments from its outer boundary through its seasonwood and gap
// points to its inner boundary, leaving out the segment between the two
// points of a gap (or from a lone gap point to the boundary after it) and
// the jump between the two pairs of a double point. A "#ZERO<n>" label adds
// n rings of width 0 inside its boundary. The first boundary is the outer
// edge of the dated year. Every distance is taken in single precision: the
// coordinates' differences in float, their squares summed and the square
// root taken in float. The series' width_decimals are the most decimals any
// point's coordinates are written with: the widths' precision is theirs.
//
// The series' pith information holds the distance to the pith and
// YearsToPith as its pith offset. Points that go back against the core and
// a pith off the core's line are findings; a file that is no coordinate
// file, not in millimetres, undated, older than the pith line, without two
// boundaries, or with a point that cannot be read is refused, naming the
// line.
PosReading read_pos(std::string_view content, std::string_view stem);

}  // namespace ruvela
