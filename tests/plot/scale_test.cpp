#include "plot/scale.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ruvela {
namespace {

// The expected values are decimal; the binary32 arithmetic may land on a
// neighbour of the nearest single-precision number.
bool within_one_ulp(float got, float want) {
    return got == want || got == std::nextafter(want, -INFINITY) ||
           got == std::nextafter(want, INFINITY);
}

TEST(Scale, ChoosesTidyCentredAxes) {
    struct Case {
        float data_min, data_max, axis_min, axis_step, axis_max;
    } cases[] = {
        {0.0f, 7.3f, 0.0f, 1.0f, 9.0f},
        {3.2f, 7.3f, 3.0f, 0.5f, 7.5f},
        {-2.5f, 3.1f, -3.2f, 0.8f, 4.0f},
        {1950.0f, 2010.0f, 1944.0f, 8.0f, 2016.0f},
        {1900.0f, 2000.0f, 1896.0f, 12.0f, 2004.0f},
        {0.012f, 0.087f, 0.0f, 0.01f, 0.09f},
        {0.0f, 0.0f, 0.0f, 0.12f, 1.08f},
        {5.0f, 5.0f, 0.0f, 0.6f, 5.4f},
        {-5.0f, -5.0f, -5.4f, 0.6f, 0.0f},
        {1950.0f, 1950.0f, 0.0f, 250.0f, 2250.0f},
        {0.5f, 7.3f, 0.0f, 0.8f, 7.2f},
        {-7.3f, -0.2f, -7.2f, 0.8f, 0.0f},
        {0.0f, 9.0009f, 0.0f, 1.0f, 9.0f},
    };
    for (const auto& c : cases) {
        float axis_min = 0, axis_step = 0, axis_max = 0;
        int scale_error = -1;
        scale(c.data_min, c.data_max, 10, axis_min, axis_step, axis_max, scale_error);
        EXPECT_EQ(scale_error, 0);
        EXPECT_PRED2(within_one_ulp, axis_min, c.axis_min) << c.data_min << ".." << c.data_max;
        EXPECT_PRED2(within_one_ulp, axis_step, c.axis_step) << c.data_min << ".." << c.data_max;
        EXPECT_PRED2(within_one_ulp, axis_max, c.axis_max) << c.data_min << ".." << c.data_max;
    }
}

TEST(Scale, TwoTicksMayLeaveDataOutside) {
    float axis_min = 0, axis_step = 0, axis_max = 0;
    int scale_error = -1;
    scale(-3.0f, 5.0f, 2, axis_min, axis_step, axis_max, scale_error);
    EXPECT_EQ(scale_error, 0);
    EXPECT_EQ(axis_min, 0.0f);
    EXPECT_EQ(axis_step, 8.0f);
    EXPECT_EQ(axis_max, 8.0f);
}

// A centred start that truncates to zero steps is 0, not -0, which the
// "from:" prompts would show as "-0.0".
TEST(Scale, StartOfZeroStepsHasNoSign) {
    struct Case {
        float data_min, data_max;
        int tick_count;
    } cases[] = {{-0.5f, 8.5f, 10}, {-1.05221f, 1.05256f, 2}};
    for (const auto& c : cases) {
        float axis_min = 7, axis_step = 0, axis_max = 0;
        int scale_error = -1;
        scale(c.data_min, c.data_max, c.tick_count, axis_min, axis_step, axis_max, scale_error);
        EXPECT_EQ(scale_error, 0);
        EXPECT_EQ(axis_min, 0.0f) << c.data_min << ".." << c.data_max;
        EXPECT_FALSE(std::signbit(axis_min)) << c.data_min << ".." << c.data_max;
    }
}

// Refused input leaves the caller's axis as it was, and nothing loops for ever.
TEST(Scale, RefusesUnusableInputWithoutTouchingTheAxis) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float big = std::numeric_limits<float>::max();
    struct Case {
        float data_min, data_max;
        int tick_count;
    } cases[] = {
        {3.0f, 2.0f, 10}, {0.0f, 1.0f, 1},  {0.0f, 1.0f, 0},
        {0.0f, inf, 10},  {-inf, 0.0f, 10}, {nan, 1.0f, 10},
        {0.0f, nan, 10},  {-big, big, 10},  {0.0f, std::numeric_limits<float>::denorm_min(), 10},
    };
    for (const auto& c : cases) {
        float axis_min = 7, axis_step = 8, axis_max = 9;
        int scale_error = 0;
        scale(c.data_min, c.data_max, c.tick_count, axis_min, axis_step, axis_max, scale_error);
        EXPECT_EQ(scale_error, 1) << c.data_min << ".." << c.data_max << " ticks " << c.tick_count;
        EXPECT_EQ(axis_min, 7.0f);
        EXPECT_EQ(axis_step, 8.0f);
        EXPECT_EQ(axis_max, 9.0f);
    }
}

TEST(Scale, ExtremeButFiniteRangesEndWithAFiniteAxis) {
    const float limits[][2] = {
        {0.0f, 3.0e38f}, {-3.0e38f, 0.0f}, {1.0e-38f, 2.0e-38f}, {0.0f, 1.0e-40f}};
    for (const auto& l : limits) {
        float axis_min = 0, axis_step = 0, axis_max = 0;
        int scale_error = -1;
        scale(l[0], l[1], 10, axis_min, axis_step, axis_max, scale_error);
        if (scale_error == 0) {
            EXPECT_TRUE(std::isfinite(axis_min) && std::isfinite(axis_max) && axis_step > 0.0f)
                << l[0] << ".." << l[1];
        }
    }
}

}  // namespace
}  // namespace ruvela
