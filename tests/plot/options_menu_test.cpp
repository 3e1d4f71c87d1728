#include "plot/options_menu.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "plot/recorder.hpp"

namespace ruvela {
namespace {

const std::string in13 = "             ";
const std::string in15 = "               ";

struct menu_run {
    PlotSession session;
    PlotRecorder rec;
    std::string output;

    menu_run() {
        PlotSettings& s = session.settings;
        s.x_major = 8.0f;
        s.y1_major = 0.5f;
        s.y2_major = 1.0f;
        s.y3_major = 0.01f;
        s.x_min = 1944.0f;
        s.x_max = 2016.0f;
        s.y1_min = 3.0f;
        s.y1_max = 7.5f;
        s.y2_min = -3.2f;
        s.y2_max = 9.0f;
        s.y3_min = -1000000.0f;
        s.y3_max = 1.0e-5f;
        s.y3_minor = 123456789;
    }

    MenuOutcome answer(const std::string& input) {
        std::istringstream in(input);
        std::ostringstream out, err;
        Console con(in, out, err);
        const MenuOutcome outcome = plot_options_menu(session, con, rec);
        output = out.str() + con.held_warnings;  // as the next line end writes it
        return outcome;
    }
};

std::string menu_text() {
    menu_run run;
    run.answer("c\n");
    return run.output;
}

TEST(PlotOptionsMenu, DispatchesOnTheFirstTwoCharacters) {
    struct Case {
        const char* input;
        MenuOutcome outcome;
        int unknown_commands;
    } cases[] = {
        {"c\n", MenuOutcome::carry_on, 0},
        {"C\n", MenuOutcome::carry_on, 0},
        {"\n", MenuOutcome::carry_on, 0},
        {"  \n", MenuOutcome::carry_on, 0},
        {"y\n", MenuOutcome::carry_on, 0},
        {"Y\n", MenuOutcome::carry_on, 0},
        {"c please\n", MenuOutcome::carry_on, 0},
        {"n\n", MenuOutcome::no_more_plots, 0},
        {"N\n", MenuOutcome::no_more_plots, 0},
        {"0\n", MenuOutcome::redraw, 0},
        {" 0\n", MenuOutcome::redraw, 0},
        {"00\n", MenuOutcome::redraw, 0},
        {"99\n", MenuOutcome::fresh_start, 0},
        {"993\n", MenuOutcome::fresh_start, 0},
        {"s\nx.ps\n", MenuOutcome::save, 0},
        {"S\nx.ps\n", MenuOutcome::save, 0},
        {"-1\n\nc\n", MenuOutcome::carry_on, 1},
        {"24\n\nc\n", MenuOutcome::carry_on, 1},
        {"98\n\nc\n", MenuOutcome::carry_on, 1},
        {"x\n\nc\n", MenuOutcome::carry_on, 1},
        {"s1\n\nc\n", MenuOutcome::carry_on, 1},
        {"sa\n\nn\n", MenuOutcome::no_more_plots, 1},
        {"cc\nwhatever\n0\n", MenuOutcome::redraw, 1},
    };
    const std::string unknown =
        "\n" + in15 + "Unknown command - try again\n" + in15 + "Hit return to continue\n";
    for (const auto& c : cases) {
        menu_run run;
        EXPECT_EQ(run.answer(c.input), c.outcome) << c.input;
        EXPECT_EQ(run.output, c.unknown_commands ? menu_text() + unknown + menu_text()
                              : c.outcome == MenuOutcome::save
                                  ? menu_text() + "\n" + in15 + "Enter plot_data file name : "
                                  : menu_text())
            << c.input;
    }
}

TEST(PlotOptionsMenu, SaveSetsTheFileDeviceAndName) {
    menu_run run;
    EXPECT_EQ(run.answer("s\n\n12345678901234567890123456789012345678901234567890\n"),
              MenuOutcome::save);
    EXPECT_EQ(run.session.settings.device_name, "psc");
    ASSERT_EQ(run.rec.described(),
              std::vector<std::string>{"sfnam '1234567890123456789012345678901234567890'"});
    EXPECT_EQ(run.output.find(" Warning: "), std::string::npos);
}

// A name ending in an image format that is not written must not pass for one.
TEST(PlotOptionsMenu, SaveUnderAnImageNameThatHoldsPostScriptIsTold) {
    menu_run run;
    EXPECT_EQ(run.answer("s\nfigure 3.JPEG\n"), MenuOutcome::save);
    EXPECT_NE(run.output.find(" Warning: File figure 3.JPEG holds PostScript"), std::string::npos);
}

std::string colours() {
    return "\n" + in13 + "color table ______________________________________________\n" + in13 +
           "white(0) red(1)  yellow(2)  green(3)  aquamarine(4) pink(5) \n" + in13 +
           "wheat(6)  grey(7)  browm(8)  blue(9)  blueviolet(10)\n" + in13 +
           "cyan(11)  turquoise(12)  magenta(13)  salmon(14)  black(15)\n" + in13 +
           "___________________________________________________________\n\n";
}

std::string background() {
    return "\n" + in13 + "color table (background only) ____________________________\n" + in13 +
           "black(0) white(1)  user defined (2)\n" + in13 +
           "___________________________________________________________\n\n";
}

using field_of = float (*)(const PlotSettings&);

// Each option with answers, the lines between two menus, and the field it sets.
TEST(PlotOptionsMenu, EveryOptionPromptsAndStores) {
    const std::string to = in13 + "to > ";
    struct Case {
        const char* input;
        std::string shown;
        field_of field;
        float value;
    } cases[] = {
        {"1\n0\n", background() + "\n" + in13 + "select new background color [0/1/2] : ",
         [](const PlotSettings& s) { return float(s.bg_red + s.bg_green + s.bg_blue); }, 0.0f},
        {" 1\n\n1\n", background() + "\n" + in13 + "select new background color [0/1/2] : ",
         [](const PlotSettings& s) { return float(s.bg_blue); }, 254.0f},
        {"01\n2\n10\nx\n20\n30\n",
         background() + "\n" + in13 + "select new background color [0/1/2] : " + in13 +
             "enter red value [0-255] > " + in13 + "enter green value [0-255] > " + in13 +
             "enter green value [0-255] > " + in13 + "enter blue value [0-255] > ",
         [](const PlotSettings& s) {
             return float(s.bg_red * 10000 + s.bg_green * 100 + s.bg_blue);
         },
         102030.0f},
        {"1\n7\n", background() + "\n" + in13 + "select new background color [0/1/2] : ",
         [](const PlotSettings& s) { return float(s.bg_red); }, 254.0f},
        {"2\n4\n", colours() + in13 + "select new frame color [0-15] : ",
         [](const PlotSettings& s) { return float(s.frame_color); }, 4.0f},
        {"3\n\n2.5\n-7\n",
         colours() + "\n" + in13 + "select new text color: [0-15] : " + in13 +
             "select new text color: [0-15] : ",
         [](const PlotSettings& s) { return float(s.text_color); }, -7.0f},
        {"4\n  12\n", colours() + in13 + "select new line color: [0-15] : ",
         [](const PlotSettings& s) { return float(s.line_color); }, 12.0f},
        {"5\nab\n 99 7\n",
         colours() + in13 + "select new curve color: [0-15] : " + in13 +
             "select new curve color: [0-15] : ",
         [](const PlotSettings& s) { return float(s.curve_color); }, 99.0f},
        {"6\n\n", "\n" + in13 + "select new line style: [0-8] : ",
         [](const PlotSettings& s) { return float(s.line_style); }, 0.0f},
        {"7\n3\n", "\n" + in13 + "select new curve width: [0-8]  : ",
         [](const PlotSettings& s) { return float(s.curve_width); }, 3.0f},
        {"8\n\n2.5\n", "\n" + in13 + "change x axis major tics from:    8.0\n" + to,
         [](const PlotSettings& s) { return s.x_major; }, 2.5f},
        {"9\n2.5\n4\n", "\n" + in13 + "change x axis minor tics from:       10\n" + to + to,
         [](const PlotSettings& s) { return float(s.x_minor); }, 4.0f},
        {"10\n0\n", in13 + "change y axis major tics from:    0.5\n" + to,
         [](const PlotSettings& s) { return s.y1_major; }, 0.0f},
        {"100\n1e2\n", in13 + "change y axis major tics from:    0.5\n" + to,
         [](const PlotSettings& s) { return s.y1_major; }, 100.0f},
        {"11\n\n", "\n" + in13 + "change y axis minor tics from:        5\n" + to,
         [](const PlotSettings& s) { return float(s.y1_minor); }, 0.0f},
        {"12\n.25\n", in13 + "change y2 axis major tics from:    1.0\n" + to,
         [](const PlotSettings& s) { return s.y2_major; }, 0.25f},
        {"13\n 3\n", "\n" + in13 + "change y2 axis minor tics from:        5\n" + to,
         [](const PlotSettings& s) { return float(s.y2_minor); }, 3.0f},
        {"14\n2000\n", in13 + "change x axis max value from:    2016.0\n" + to,
         [](const PlotSettings& s) { return s.x_max; }, 2000.0f},
        {"15\n1950,\n", in13 + "change x axis min value from:    1944.0\n" + to,
         [](const PlotSettings& s) { return s.x_min; }, 1950.0f},
        {"16\n8\n", in13 + "change y axis max value from:    7.5\n" + to,
         [](const PlotSettings& s) { return s.y1_max; }, 8.0f},
        {"17\n-1\n", in13 + "change y axis min value from:    3.0\n" + to,
         [](const PlotSettings& s) { return s.y1_min; }, -1.0f},
        {"18\n10\n", in13 + "change y2 axis max value from:    9.0\n" + to,
         [](const PlotSettings& s) { return s.y2_max; }, 10.0f},
        {"19\n-4\n", in13 + "change y2 axis min value from:    -3.2\n" + to,
         [](const PlotSettings& s) { return s.y2_min; }, -4.0f},
        {"20\n0.02\n", "\n" + in13 + "change y3 axis major tics from:    0.01\n" + to,
         [](const PlotSettings& s) { return s.y3_major; }, 0.02f},
        {"21\n1.5\n2\n", "\n" + in13 + "change y3 axis minor tics from: ********\n" + to + to,
         [](const PlotSettings& s) { return float(s.y3_minor); }, 2.0f},
        {"22\n5\n", "\n" + in13 + "change y3 axis max value from:    1e-05\n" + to,
         [](const PlotSettings& s) { return s.y3_max; }, 5.0f},
        {"23\n-5\n", "\n" + in13 + "change y3 axis min value from:    -1e+06\n" + to,
         [](const PlotSettings& s) { return s.y3_min; }, -5.0f},
    };
    for (const auto& c : cases) {
        menu_run run;
        EXPECT_EQ(run.answer(std::string(c.input) + "c\n"), MenuOutcome::carry_on) << c.input;
        EXPECT_EQ(run.output, menu_text() + c.shown + menu_text()) << c.input;
        EXPECT_EQ(c.field(run.session.settings), c.value) << c.input;
        EXPECT_TRUE(run.rec.calls.empty());
    }
}

TEST(PlotSettings, ResetRestoresTheDefaultsButNotTheTicks) {
    PlotSettings s;
    s.device_name = "psc";
    s.bg_red = s.frame_color = s.text_color = s.line_color = s.curve_color = s.line_style =
        s.curve_width = 0;
    s.x_min = s.x_max = s.y1_min = s.y1_max = s.y2_min = s.y2_max = 3.0f;
    s.x_major = 2.0f;
    s.y3_min = 1.0f;
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    int background_choice = 5;
    pltstyle(reset_option, s, background_choice, con);
    EXPECT_EQ(s.device_name, "Mac1");
    EXPECT_EQ(s.bg_red, 254);
    EXPECT_EQ(s.frame_color + s.text_color + s.line_color, 45);
    EXPECT_EQ(s.curve_color, 1);
    EXPECT_EQ(s.line_style, 1);
    EXPECT_EQ(s.curve_width, 2);
    EXPECT_EQ(s.x_min, 1000000.0f);
    EXPECT_EQ(s.y2_max, -1000000.0f);
    EXPECT_EQ(s.x_major, 2.0f);
    EXPECT_EQ(s.y3_min, 1.0f);
    EXPECT_EQ(background_choice, 5);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace ruvela
