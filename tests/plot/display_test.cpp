#include "plot/display.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "example_store.hpp"
#include "plot/recorder.hpp"

namespace ruvela {
namespace {

using namespace plot_examples;

// The recorded calls cut into drawings, each ending with "end".
std::vector<std::vector<std::string>> drawings(const PlotRecorder& rec) {
    std::vector<std::vector<std::string>> out(1);
    for (const auto& call : rec.described()) {
        out.back().push_back(call);
        if (call == "end") out.emplace_back();
    }
    out.pop_back();
    return out;
}

const std::vector<std::string> individual_page = {
    "sdev 'Mac1'",
    "scol0 15 0 0 0",
    "scolbg 254 254 254",
    "init",
    "fontld 1",
    "font 1",
    "ssub 1 2",
    "adv 0",
    "vpor 0.12 0.9 0.2 0.85",
    "wind 1944 2016 3 7.5",
    "col0 15",
    "axes 1944 3 'abinst' 8 10 'abinstv' 0.5 5",
    "col0 15",
    "lab 'YEAR' 'RWW(mm.)' 'A1'",
    "lsty 1",
    "width 2",
    "col0 15",
    "line 61",
    "wind 1944 2016 0 9",
    "col0 1",
    "width 1",
    "lsty 1",
    "axes 1944 0 ' ' 8 10 'cmstv' 1 5",
    "mtex 'r' 5.2 0.24 0 'BAI(cm2)'",
    "line 61",
    "width 1",
    "adv 0",
    "vpor 0.12 0.9 0.2 0.85",
    "wind 1944 2016 0 9",
    "col0 15",
    "axes 1944 0 'abinst' 8 10 'abinstv' 1 5",
    "col0 15",
    "lab 'YEAR' 'dm2' 'Cumulative Basal Area'",
    "lsty 1",
    "width 2",
    "col0 15",
    "line 61",
    "end",
};

// `page` with the calls of each kind given replaced, in order, by the calls given.
std::vector<std::string> with_calls(std::vector<std::string> page,
                                    std::initializer_list<std::vector<std::string>> kinds) {
    for (const auto& calls : kinds) {
        const std::string kind = calls.front().substr(0, calls.front().find(' ') + 1);
        std::size_t k = 0;
        for (auto& call : page)
            if (call.rfind(kind, 0) == 0) call = k < calls.size() ? calls[k++] : "too many";
        EXPECT_EQ(k, calls.size()) << kind;
    }
    return page;
}

struct plot_run {
    example_store store;
    PlotSession session;
    PlotRecorder rec;

    // One call of display; true when the user wants more plots.
    bool show(PlotChoice plot_mode, int series_index, const std::string& input,
              std::string* output = nullptr) {
        scripted_console sc(input);
        const bool more = display(store.data(), plot_mode, series_index, session, sc.con, rec);
        if (output) *output = sc.out.str();
        return more;
    }
};

TEST(Display, DrawsAnIndividualPlotWithTheExactCalls) {
    plot_run run;
    EXPECT_TRUE(run.show(PlotChoice::individual, 1, "c\n"));
    ASSERT_EQ(drawings(run.rec).size(), 1u);
    EXPECT_EQ(drawings(run.rec)[0], individual_page);

    // Every curve gets the series' years and its three values, in year order.
    const auto lines = calls_of<call::Line>(run.rec.calls);
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(lines[0].x.size(), 61u);
    EXPECT_EQ(lines[0].x.front(), 1950.0f);
    EXPECT_EQ(lines[0].x.back(), 2010.0f);
    EXPECT_EQ(lines[0].y.front(), 3.2f);
    EXPECT_EQ(lines[1].y[1], 7.3f);
    EXPECT_EQ(lines[2].y.back(), 9.0009f);
}

TEST(Display, DrawsASummaryPlotOfTheFileMeans) {
    plot_run run;
    EXPECT_FALSE(run.show(PlotChoice::summary, 3, "n\n"));
    const auto want = with_calls(
        individual_page,
        {{"wind 1896 2004 0 9", "wind 1896 2004 3 7.5", "wind 1896 2004 0 9"},
         {"axes 1896 0 'abinst' 12 10 'abinstv' 1 5", "axes 1896 3 ' ' 12 10 'cmstv' 0.5 5",
          "axes 1896 0 'abinst' 12 10 'abinstv' 1 5"},
         {"lab 'YEAR' 'RWW(mm.)' 'site.rwl'", "lab 'YEAR' 'BA(dm2)' 'Cumulative Basal Area'"},
         {"line 101", "line 101", "line 101"}});
    ASSERT_EQ(drawings(run.rec).size(), 1u);
    EXPECT_EQ(drawings(run.rec)[0], want);
    const auto lines = calls_of<call::Line>(run.rec.calls);
    EXPECT_EQ(lines[0].y.front(), 0.0f);
    EXPECT_EQ(lines[1].y.front(), 3.2f);
}

TEST(Display, RedrawShowsChangedSettingsWithoutRescaling) {
    plot_run run;
    // x max 2000, frame colour 4, line style from an empty "(i4)" answer, redraw.
    run.show(PlotChoice::individual, 1, "14\n2000\n2\n4\n6\n\n0\ny\n");
    const auto pages = drawings(run.rec);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(
        pages[1],
        with_calls(individual_page,
                   {{"wind 1944 2000 3 7.5", "wind 1944 2000 0 9", "wind 1944 2000 0 9"},
                    {"col0 4", "col0 15", "col0 15", "col0 1", "col0 4", "col0 15", "col0 15"},
                    {"lsty 0", "lsty 0", "lsty 0"}}));
}

TEST(Display, ResetRestoresTheScaledDefaults) {
    plot_run run;
    run.show(PlotChoice::individual, 1, "14\n2000\n1\n0\n99\n\n");
    const auto pages = drawings(run.rec);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1], individual_page);
}

TEST(Display, SaveDrawsTheDefaultsIntoTheNamedFile) {
    plot_run run;
    std::string out;
    run.show(PlotChoice::individual, 1, "3\n9\ns\n\n   \nplots/a1 plot.ps   \n0\nc\n", &out);
    const auto pages = drawings(run.rec);
    ASSERT_EQ(pages.size(), 3u);
    std::vector<std::string> saved = with_calls(individual_page, {{"sdev 'psc'"}});
    saved.insert(saved.begin(), "sfnam 'plots/a1 plot.ps'");
    EXPECT_EQ(pages[1], saved);
    // After the save the screen comes back, with the defaults.
    EXPECT_EQ(pages[2], individual_page);
    EXPECT_NE(out.find("\n               Enter plot_data file name :                "
                       "Enter plot_data file name :                Enter plot_data file name : "),
              std::string::npos);
}

// A batch draws each page as the menu first draws it, all into one file:
// one device, one initialisation and one end for every page.
TEST(Display, PagesWithoutTheMenuGoIntoOneFile) {
    plot_run run;
    scripted_console sc("");
    run.session.settings.line_color = 4;  // a change from an earlier menu must not carry over
    begin_plot_file("site.pdf", run.session, sc.con, run.rec);
    EXPECT_TRUE(draw_plot_page(run.store.data(), {PlotChoice::individual, 1}, run.session, sc.con,
                               run.rec));
    EXPECT_FALSE(draw_plot_page(run.store.data(), {PlotChoice::individual, 2}, run.session, sc.con,
                                run.rec));  // no years
    EXPECT_TRUE(draw_plot_page(run.store.data(), {PlotChoice::individual, 1}, run.session, sc.con,
                               run.rec));
    end_plot_file(run.rec);
    std::vector<std::string> page(individual_page.begin() + 7, individual_page.end() - 1);
    std::vector<std::string> want = {"sfnam 'site.pdf'", "sdev 'psc'"};
    want.insert(want.end(), individual_page.begin() + 1, individual_page.begin() + 7);
    for (int k = 0; k < 2; ++k) want.insert(want.end(), page.begin(), page.end());
    want.push_back("end");
    EXPECT_EQ(run.rec.described(), want);
    EXPECT_EQ(sc.out.str(), "");
}

// Fault guarded: a band drawn over the curves (hiding them), outside the
// axes' range, or in a colour the menu's 16 already use.
TEST(Display, ARangeIsAShadedBandUnderTheCurvesWithinTheAxes) {
    plot_run run;
    scripted_console sc("");
    const std::vector<float> low(61, 0.5f), high(61, 20.0f);
    PlotData data = run.store.data();
    data.series_bands.push_back({1950, low, high, low, high});
    begin_plot_file("site.pdf", run.session, sc.con, run.rec);
    EXPECT_TRUE(draw_plot_page(data, {PlotChoice::individual, 1}, run.session, sc.con, run.rec));
    const std::vector<std::string> calls = run.rec.described();
    const auto at = [&](const std::string& call, std::size_t from) {
        return std::find(calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end(), call) -
               calls.begin();
    };
    const auto fill = static_cast<std::size_t>(at("fill 122", 0));
    ASSERT_LT(fill, calls.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin() + static_cast<std::ptrdiff_t>(fill) - 4,
                                       calls.begin() + static_cast<std::ptrdiff_t>(fill) + 4),
              (std::vector<std::string>{"wind 1944 2016 0 22.5", "scmap0n 17", "scol0 16 217 217 217",
                                        "col0 16", "fill 122", "col0 15", "wind 1944 2016 3 7.5",
                                        "lsty 1"}));
    EXPECT_LT(fill, static_cast<std::size_t>(at("line 61", 0)));  // under the ring widths
    const auto second = static_cast<std::size_t>(at("fill 122", fill + 1));
    ASSERT_LT(second, calls.size());
    EXPECT_EQ(calls[second + 1], "col0 15");
    EXPECT_EQ(calls[second + 2], "line 61");  // the basal area over its band
}

TEST(Display, ChangesDoNotSurviveIntoTheNextPlot) {
    plot_run run;
    run.show(PlotChoice::individual, 1, "2\n4\n0\nc\n");
    run.show(PlotChoice::individual, 1, "c\n");
    const auto pages = drawings(run.rec);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[1], individual_page);
    EXPECT_EQ(pages[2], individual_page);
}

TEST(Display, EmptySelectionsDrawNothingAndShowTheMenu) {
    struct Case {
        PlotChoice plot_mode;
        int series_index;
        bool told;
    } cases[] = {{PlotChoice::individual, 2, true},
                 {PlotChoice::individual, 0, true},
                 {PlotChoice::individual, 4, true},
                 {PlotChoice::quit, 1, false}};
    for (const auto& c : cases) {
        plot_run run;
        std::string out;
        EXPECT_TRUE(run.show(c.plot_mode, c.series_index, "0\n99\nc\n", &out));
        EXPECT_TRUE(run.rec.calls.empty());
        const auto told = out.find(" Nothing to plot: the selection holds no years.\n");
        EXPECT_EQ(told != std::string::npos, c.told) << out;
        EXPECT_NE(out.find("enter option number >"), std::string::npos);
    }
    plot_run run;
    run.store.last(1) = 1950;  // a one-year series is widened down to year 0
    run.store.length(1) = 1;
    run.show(PlotChoice::individual, 1, "c\n");
    ASSERT_EQ(drawings(run.rec).size(), 1u);
    const auto wind = calls_of<call::Wind>(run.rec.calls).front();
    EXPECT_EQ(wind.xmin, 0.0f);
    EXPECT_EQ(wind.xmax, 2250.0f);
    EXPECT_EQ(calls_of<call::Line>(run.rec.calls).front().n, 1);
}

TEST(Display, BlankTitlesReachTheLibraryAsOneBlank) {
    plot_run run;
    run.store.ids(1) = "        ";
    run.show(PlotChoice::individual, 1, "c\n");
    run.show(PlotChoice::summary, 1, "c\n");
    const auto labs = calls_of<call::Lab>(run.rec.calls);
    ASSERT_EQ(labs.size(), 4u);
    EXPECT_EQ(describe(labs[0]), "lab 'YEAR' 'RWW(mm.)' ' '");
    EXPECT_EQ(describe(labs[2]), "lab 'YEAR' 'RWW(mm.)' 'site.rwl'");
}

}  // namespace
}  // namespace ruvela
