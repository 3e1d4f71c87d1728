// Axis scaling: a tidy tick step and an axis range for one plot axis.
#pragma once

namespace ruvela {

// Chooses for data from `data_min` to `data_max` a step of 1, 1.2, 1.6, 2,
// 2.5, 3, 4, 5, 6, 8 or 10 times a power of ten and an axis of
// `tick_count` - 1 steps, centred on the data, starting or ending at 0 when
// the data are all on one side of it. `scale_error` is 1 and the three axis
// values are left as they were when the input is refused: an inverted range,
// fewer than two ticks, or limits (or a range) that are no finite numbers.
void scale(float data_min, float data_max, int tick_count, float& axis_min, float& axis_step,
           float& axis_max, int& scale_error);

}  // namespace ruvela
