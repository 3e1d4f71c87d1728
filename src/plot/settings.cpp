#include "plot/settings.hpp"

#include <array>
#include <charconv>
#include <string_view>

#include "text/numfmt.hpp"

namespace ruvela {

namespace prompt {

std::string free_form(float value) {
    std::array<char, 32> buf{};
    const auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 6);
    std::string digits(buf.data(), res.ptr);
    if (digits.find_first_of(".ein") == std::string::npos) digits += ".0";
    return "   " + digits;
}

void from_line(Console& con, std::string_view text, float value) {
    write_line(con, std::string(indent) + std::string(text) + free_form(value));
}

void from_line(Console& con, std::string_view text, int value) {
    write_line(con, std::string(indent) + std::string(text) + int_field(value, 8));
}

int free_int(Console& con, std::string_view prompt_text) {
    for (;;) {
        write_prompt(con, prompt_text);
        if (const auto value = read_free_int(con)) return *value;
    }
}

float free_real(Console& con, std::string_view prompt_text) {
    for (;;) {
        write_prompt(con, prompt_text);
        if (const auto value = read_free_real(con)) return *value;
    }
}

int i4(Console& con, std::string_view prompt_text) {
    for (;;) {
        write_prompt(con, prompt_text);
        if (const auto value = read_int_field(con, 4)) return *value;
    }
}

bool ask_value(std::span<const ValuePrompt> prompts, int option_number, PlotSettings& settings,
               Console& con) {
    for (const ValuePrompt& p : prompts) {
        if (p.option != option_number) continue;
        if (p.empty_line_first) write_line(con);
        const std::string to_prompt = std::string(indent) + "to > ";
        if (p.real_field) {
            from_line(con, p.text, settings.*p.real_field);
            settings.*p.real_field = free_real(con, to_prompt);
        } else {
            from_line(con, p.text, settings.*p.int_field);
            settings.*p.int_field = p.read_as_i4 ? i4(con, to_prompt) : free_int(con, to_prompt);
        }
        return true;
    }
    return false;
}

}  // namespace prompt

namespace {

using prompt::indent;

void write_indented(Console& con, std::string_view text) {
    write_line(con, std::string(indent) + std::string(text));
}

std::string indented(std::string_view text) {
    return std::string(indent) + std::string(text);
}

void write_color_table(Console& con) {
    write_line(con);
    write_indented(con, "color table ______________________________________________");
    write_indented(con, "white(0) red(1)  yellow(2)  green(3)  aquamarine(4) pink(5) ");
    write_indented(con, "wheat(6)  grey(7)  browm(8)  blue(9)  blueviolet(10)");
    write_indented(con, "cyan(11)  turquoise(12)  magenta(13)  salmon(14)  black(15)");
    write_indented(con, "___________________________________________________________");
    write_line(con);
}

void write_background_table(Console& con) {
    write_line(con);
    write_indented(con, "color table (background only) ____________________________");
    write_indented(con, "black(0) white(1)  user defined (2)");
    write_indented(con, "___________________________________________________________");
    write_line(con);
}

void change_background(PlotSettings& s, int& background_choice, Console& con) {
    write_background_table(con);
    write_line(con);
    background_choice = prompt::free_int(con, indented("select new background color [0/1/2] : "));
    switch (background_choice) {
        case 0:
            s.bg_red = s.bg_green = s.bg_blue = 0;
            break;
        case 1:
            s.bg_red = s.bg_green = s.bg_blue = 254;
            break;
        case 2:
            s.bg_red = prompt::free_int(con, indented("enter red value [0-255] > "));
            s.bg_green = prompt::free_int(con, indented("enter green value [0-255] > "));
            s.bg_blue = prompt::free_int(con, indented("enter blue value [0-255] > "));
            break;
        default:
            break;
    }
}

void reset(PlotSettings& s) {
    s.bg_red = s.bg_green = s.bg_blue = 254;
    s.text_color = 15;
    s.frame_color = 15;
    s.line_style = 1;
    s.curve_width = 2;
    s.line_color = 15;
    s.curve_color = 1;
    s.device_name = screen_device;
    s.x_min = s.y1_min = s.y2_min = axis_default::range_min;
    s.x_max = s.y1_max = s.y2_max = axis_default::range_max;
}

using ps = PlotSettings;

constexpr prompt::ValuePrompt tick_and_limit_prompts[] = {
    {8, true, "change x axis major tics from: ", &ps::x_major, nullptr, false},
    {9, true, "change x axis minor tics from: ", nullptr, &ps::x_minor, false},
    {10, false, "change y axis major tics from: ", &ps::y1_major, nullptr, false},
    {11, true, "change y axis minor tics from: ", nullptr, &ps::y1_minor, true},
    {12, false, "change y2 axis major tics from: ", &ps::y2_major, nullptr, false},
    {13, true, "change y2 axis minor tics from: ", nullptr, &ps::y2_minor, true},
    {14, false, "change x axis max value from: ", &ps::x_max, nullptr, false},
    {15, false, "change x axis min value from: ", &ps::x_min, nullptr, false},
    {16, false, "change y axis max value from: ", &ps::y1_max, nullptr, false},
    {17, false, "change y axis min value from: ", &ps::y1_min, nullptr, false},
    {18, false, "change y2 axis max value from: ", &ps::y2_max, nullptr, false},
    {19, false, "change y2 axis min value from: ", &ps::y2_min, nullptr, false},
};

}  // namespace

void pltstyle(int option_number, PlotSettings& s, int& background_choice, Console& con) {
    if (prompt::ask_value(tick_and_limit_prompts, option_number, s, con)) return;
    switch (option_number) {
        case reset_option:
            reset(s);
            break;
        case 1:
            change_background(s, background_choice, con);
            break;
        case 2:
            write_color_table(con);
            s.frame_color = prompt::free_int(con, indented("select new frame color [0-15] : "));
            break;
        case 3:
            write_color_table(con);
            write_line(con);
            s.text_color = prompt::free_int(con, indented("select new text color: [0-15] : "));
            break;
        case 4:
            write_color_table(con);
            s.line_color = prompt::i4(con, indented("select new line color: [0-15] : "));
            break;
        case 5:
            write_color_table(con);
            s.curve_color = prompt::i4(con, indented("select new curve color: [0-15] : "));
            break;
        case 6:
            write_line(con);
            s.line_style = prompt::i4(con, indented("select new line style: [0-8] : "));
            break;
        case 7:
            write_line(con);
            s.curve_width = prompt::i4(con, indented("select new curve width: [0-8]  : "));
            break;
        default:
            break;
    }
}

}  // namespace ruvela
