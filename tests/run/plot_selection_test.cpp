#include "run/plot_selection.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../plot/example_store.hpp"
#include "plot/recorder.hpp"

namespace ruvela {
namespace {

using namespace plot_examples;

const std::string menu =
    "\n Data Plotting Selections.\n  [1] plot individual series data\n  [2] plot file summery "
    "data\n"
    "  [return] to continue \n  [3] quit program\n > ";

// The titles of the drawings made, in order.
std::vector<std::string> titles(const PlotRecorder& rec) {
    std::vector<std::string> out;
    for (const auto& lab : calls_of<call::Lab>(rec.calls))
        if (lab.ylabel == "RWW(mm.)") out.push_back(lab.title);
    return out;
}

TEST(PlotSelection, PlotsWhatIsAskedAndLeavesAsAsked) {
    struct Case {
        const char* input;
        PlotOutcome outcome;
        std::vector<std::string> titles;
        int selected_series, menus;
    } cases[] = {
        {"1\nc\ny\n\n\n", PlotOutcome::next, {"A1", "B2"}, 4, 2},
        {"1\nn\n3\n", PlotOutcome::quit, {"A1"}, 1, 2},
        {"1\nc\nn\n1\nc\nc\nc\n7\n", PlotOutcome::next, {"A1", "B2", "A1", "B2"}, 4, 3},
        {"2\nn\n2\nc\n\n", PlotOutcome::next, {"site.rwl", "site.rwl"}, 9, 3},
        {"12\nc\nn\n3 and more\n", PlotOutcome::quit, {"A1", "B2"}, 2, 2},
        {" 2\n", PlotOutcome::next, {}, 9, 1},
        {"\t1\n", PlotOutcome::next, {}, 9, 1},
        {"7\n", PlotOutcome::next, {}, 9, 1},
        {"0\n", PlotOutcome::next, {}, 9, 1},
        {"-1\n\n", PlotOutcome::next, {}, 9, 2},  // a sign is asked again
    };
    for (const auto& c : cases) {
        example_store store;
        store.last(2) = 2000;
        store.length(2) = 11;
        PlotSession session;
        PlotRecorder rec;
        std::istringstream in(c.input);
        std::ostringstream out, err;
        Console con(in, out, err);
        int selected_series = 9;
        EXPECT_EQ(plot_selection(store.data(), selected_series, session, con, rec), c.outcome)
            << c.input;
        EXPECT_EQ(titles(rec), c.titles) << c.input;
        EXPECT_EQ(selected_series, c.selected_series) << c.input;
        const std::string shown = out.str();
        int menus = 0;
        for (auto at = shown.find(menu); at != std::string::npos; at = shown.find(menu, at + 1))
            ++menus;
        EXPECT_EQ(menus, c.menus) << c.input << shown;
        EXPECT_EQ(shown.rfind(menu, 0), 0u);
    }
}

TEST(PlotSelection, AnswerThatIsNoDigitIsAskedAgain) {
    example_store store;
    PlotSession session;
    PlotRecorder rec;
    std::istringstream in("x\n-\n3\n");
    std::ostringstream out, err;
    Console con(in, out, err);
    int selected_series = 1;
    EXPECT_EQ(plot_selection(store.data(), selected_series, session, con, rec), PlotOutcome::quit);
    const std::string again = " That answer is not a digit; please answer again.\n";
    EXPECT_EQ(out.str(), menu + again + menu + again + menu);
}

}  // namespace
}  // namespace ruvela
