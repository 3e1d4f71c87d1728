#include "plot/options_menu.hpp"

#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

constexpr std::size_t plot_file_name_length = 40;

constexpr std::string_view menu_indent = "               ";

void write_menu(Console& con) {
    static constexpr std::string_view lines[] = {
        "|************** plot options menu **************|",
        "| replot             [0] max. x            [14] |",
        "| background color   [1] min. x            [15] |",
        "| frame color        [2] max. y1           [16] |",
        "| text color         [3] min. y1           [17] |",
        "| major ticks x      [8] max. y2           [18] |",
        "| minor ticks x      [9] min. y2           [19] |",
        "| major ticks y1    [10] major ticks y3    [20] |",
        "| minor ticks y1    [11] minor ticks y3    [21] |",
        "| major ticks y2    [12] max. y3           [22] |",
        "| minor ticks y2    [13] min. y3           [23] |",
        "|                                               |",
        "|              reset options  [99]              |",
        "|-----------------------------------------------|",
        "|     [s]ave  [c]ontinue>  [n]o more plots      |",
        "|_______________________________________________|",
    };
    write_line(con);
    write_line(con);
    for (auto line : lines) write_line(con, std::string(menu_indent) + std::string(line));
    write_line(con);
    write_prompt(con, std::string(menu_indent) + " enter option number > ");
}

void unknown_command(Console& con) {
    write_line(con);
    write_line(con, std::string(menu_indent) + "Unknown command - try again");
    pause(con, std::string(menu_indent) + "Hit return to continue");
}

using ps = PlotSettings;

// The options of the cumulative basal area scale, which the menu asks itself.
constexpr prompt::ValuePrompt y3_prompts[] = {
    {20, true, "change y3 axis major tics from: ", &ps::y3_major, nullptr, false},
    {21, true, "change y3 axis minor tics from: ", nullptr, &ps::y3_minor, true},
    {22, true, "change y3 axis max value from: ", &ps::y3_max, nullptr, false},
    {23, true, "change y3 axis min value from: ", &ps::y3_min, nullptr, false},
};

// A save writes PostScript unless the name asks for one of the image
// formats the plots are drawn in; these endings ask for one that is not.
bool names_unwritten_image_format(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string ending = lower_case(name.substr(dot + 1));
    for (std::string_view image : {"jpg", "jpeg", "gif", "tif", "tiff", "bmp"})
        if (ending == image) return true;
    return false;
}

// An empty name would leave the library to invent one, so it is asked again.
std::string read_plot_file_name(Console& con) {
    write_line(con);
    for (;;) {
        write_prompt(con, std::string(menu_indent) + "Enter plot_data file name : ");
        const std::string name(trim_right(read_text(con, plot_file_name_length)));
        if (name.empty()) continue;
        if (names_unwritten_image_format(name))
            write_warning(con, "File " + name +
                                   " holds PostScript, not the image format its name suggests;"
                                   " names ending in .png, .svg or .pdf give those formats.");
        return name;
    }
}

}  // namespace

MenuOutcome plot_options_menu(PlotSession& session, Console& con, Plotter& plotter) {
    for (;;) {
        write_menu(con);
        const std::string menu_answer = fixed_text(con.read_line(), 2);
        if (menu_answer == "S " || menu_answer == "s ") {
            session.settings.device_name = save_device;
            plotter.sfnam(read_plot_file_name(con));
            return MenuOutcome::save;
        }
        if (menu_answer == "C " || menu_answer == "c " || menu_answer == "  " ||
            menu_answer == "Y " || menu_answer == "y ")
            return MenuOutcome::carry_on;
        if (menu_answer == "N " || menu_answer == "n ") return MenuOutcome::no_more_plots;

        const std::optional<int> option_number = decode_int_field(menu_answer);
        if (!option_number) {
            unknown_command(con);
        } else if (*option_number == reset_option) {
            return MenuOutcome::fresh_start;
        } else if (*option_number == 0) {
            return MenuOutcome::redraw;
        } else if (*option_number >= 1 && *option_number <= 19) {
            pltstyle(*option_number, session.settings, session.background_choice, con);
        } else if (!prompt::ask_value(y3_prompts, *option_number, session.settings, con)) {
            unknown_command(con);
        }
    }
}

}  // namespace ruvela
