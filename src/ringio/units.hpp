// The decade format's two precisions as widths in millimetres. Every reader
// converts integer hundredths and thousandths through these, so that the same
// rings give the same floats whatever file they come from.
#pragma once

namespace ruvela {

inline float hundredths_to_mm(int value) {
    return static_cast<float>(value) * 0.01f;
}

// A decade-format series' values are read as hundredths; when its end marker
// shows thousandths they are scaled once more. Two single-precision steps,
// kept as they are because the tables of stored files depend on these exact
// floats.
inline float hundredths_read_as_thousandths(float width) {
    return width * 0.1f;
}

inline float thousandths_to_mm(int value) {
    return hundredths_read_as_thousandths(hundredths_to_mm(value));
}

// Ring widths are in mm, radii and diameters in cm.
inline float mm_to_cm(float width) {
    return width / 10.0f;
}

// The tables keep basal areas in dm2 (cm2 / 100), as the per-file and
// summary tables print them, and increments in cm2. A stored area and its
// value in cm2 are one single-precision step apart, the same step wherever it
// is taken.
inline float cm2_to_dm2(float area_cm2) {
    return area_cm2 / 100.0f;
}
inline float dm2_to_cm2(float area_dm2) {
    return area_dm2 * 100.0f;
}

}  // namespace ruvela
