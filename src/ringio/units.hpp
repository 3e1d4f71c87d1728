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

}  // namespace ruvela
