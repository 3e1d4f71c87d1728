#include "plot/scale.hpp"

#include <array>
#include <cmath>

namespace ruvela {

namespace {

constexpr std::array<float, 11> nice_steps{1.0f, 1.2f, 1.6f, 2.0f, 2.5f, 3.0f,
                                           4.0f, 5.0f, 6.0f, 8.0f, 10.0f};
constexpr float single_value_width = 5.0e-6f;
constexpr float tolerance = 1.0e-4f;

// The range of one value is widened to reach 0 (or 1 when the value is 0).
void widen_single_value(float& lo, float& hi) {
    const float a = hi == 0.0f ? 1.0f : std::fabs(hi);
    if ((hi - lo) / a > single_value_width) return;
    if (hi < 0.0f)
        hi = 0.0f;
    else if (hi == 0.0f)
        hi = 1.0f;
    else
        lo = 0.0f;
}

// r scaled by powers of ten into [1, 10); r must be finite and above 0.
float mantissa(float r) {
    float d = r;
    while (d < 1.0f) d *= 10.0f;
    while (d >= 10.0f) d /= 10.0f;
    return d;
}

float nice_step(float r) {
    const float d = mantissa(r);
    float u = nice_steps.back();
    for (float candidate : nice_steps) {
        if (candidate >= d - tolerance) {
            u = candidate;
            break;
        }
    }
    return (u * r) / d;
}

}  // namespace

void scale(float data_min, float data_max, int tick_count, float& axis_min, float& axis_step,
           float& axis_max, int& scale_error) {
    scale_error = 1;
    if (!std::isfinite(data_min) || !std::isfinite(data_max)) return;
    if (data_min > data_max || tick_count <= 1) return;

    float lo = data_min;
    float hi = data_max;
    widen_single_value(lo, hi);
    const float m = static_cast<float>(tick_count - 1);
    const float r = (hi - lo) / m;
    // A range past the binary32 limits or below its smallest step would
    // send the mantissa search round for ever.
    if (!std::isfinite(r) || r <= 0.0f) return;

    const float step = nice_step(r);
    const float s = m * step;
    const float t = ((lo + hi - s) / step + 1.0f) * 0.5f;
    // k is a whole count of steps: a truncation to zero must not leave a
    // sign that would show as an axis starting at "-0".
    float k = std::trunc(t - tolerance) + 0.0f;
    if (t < 0.0f) k -= 1.0f;
    float start = step * k;
    if (lo >= 0.0f && s >= hi) start = 0.0f;
    float end = s + start;
    if (hi <= 0.0f && -lo <= s) {
        end = 0.0f;
        start = -s;
    }
    if (!std::isfinite(step) || !std::isfinite(start) || !std::isfinite(end)) return;

    scale_error = 0;
    axis_min = start;
    axis_step = step;
    axis_max = end;
}

}  // namespace ruvela
