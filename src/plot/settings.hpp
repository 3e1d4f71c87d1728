// The plot settings record, its reset and the prompts that change one field.
#pragma once

#include <span>
#include <string>

#include "text/console.hpp"

namespace ruvela {

// The device name that stands for the screen; the drawing maps it to the
// screen device of this machine.
inline constexpr std::string_view screen_device = "Mac1";
// The device of a saved plot: colour PostScript.
inline constexpr std::string_view save_device = "psc";

// The axis defaults. Each range starts inverted, so that the first point
// gathered sets both of its ends.
namespace axis_default {
inline constexpr float major_ticks = 0.0f;  // the library's choice
inline constexpr int x_minor_ticks = 10;
inline constexpr int y_minor_ticks = 5;
inline constexpr float range_min = 1000000.0f;
inline constexpr float range_max = -1000000.0f;
// The cumulative basal area's range starts narrower, and only a fresh start
// restores it.
inline constexpr float y3_min = 9999.0f;
inline constexpr float y3_max = -9999.0f;
}  // namespace axis_default

struct PlotSettings {
    std::string device_name{screen_device};
    int bg_red = 254, bg_green = 254, bg_blue = 254;
    int frame_color = 15;
    int text_color = 15;
    int line_color = 15;
    int curve_color = 1;
    int line_style = 1;
    int curve_width = 2;
    float x_major = axis_default::major_ticks;
    int x_minor = axis_default::x_minor_ticks;
    float y1_major = axis_default::major_ticks;
    int y1_minor = axis_default::y_minor_ticks;
    float y2_major = axis_default::major_ticks;
    int y2_minor = axis_default::y_minor_ticks;
    float x_max = axis_default::range_max;
    float x_min = axis_default::range_min;
    float y1_max = axis_default::range_max;
    float y1_min = axis_default::range_min;
    float y2_max = axis_default::range_max;
    float y2_min = axis_default::range_min;
    float y3_major = axis_default::major_ticks;
    int y3_minor = axis_default::y_minor_ticks;
    float y3_max = axis_default::y3_max;
    float y3_min = axis_default::y3_min;
};

// The reset option of the plot options menu.
inline constexpr int reset_option = 99;

// With `option_number` 99 the reset (nothing is written or read); with 1 to
// 19 the prompt of that option of the plot options menu, storing the answer;
// with any other number nothing. `background_choice` is the answer of
// option 1, kept from one call to the next.
void pltstyle(int option_number, PlotSettings& settings, int& background_choice, Console& con);

// The pieces of the prompts, shared with the options that the plot options
// menu handles itself.
namespace prompt {

// 13 blanks, the indent of every prompt.
inline constexpr std::string_view indent = "             ";

// A real shown after "from: ": three blanks, then up to six significant
// digits, in fixed notation with at least one decimal ("1944.0", "0.8",
// "-3.2") or, below 1e-4 and from 1e6 on, in exponent form ("1e+06").
std::string free_form(float value);

// "<indent><text>" and a line end, with the current value after it.
void from_line(Console& con, std::string_view text, float value);
void from_line(Console& con, std::string_view text, int value);

// Free reading of a whole number or of a real, and "(i4)" reading: until the
// answer is a number of that kind, `prompt_text` is written again.
int free_int(Console& con, std::string_view prompt_text);
float free_real(Console& con, std::string_view prompt_text);
int i4(Console& con, std::string_view prompt_text);

// A tick or limit option: the current value in a "from:" line, the new one
// after "to > ". Reals are read freely, integers freely or by "(i4)".
struct ValuePrompt {
    int option;
    bool empty_line_first;
    std::string_view text;
    float PlotSettings::*real_field;
    int PlotSettings::*int_field;
    bool read_as_i4;
};

// Asks the option of `prompts` numbered `option_number`; false when there is none.
bool ask_value(std::span<const ValuePrompt> prompts, int option_number, PlotSettings& settings,
               Console& con);

}  // namespace prompt

}  // namespace ruvela
