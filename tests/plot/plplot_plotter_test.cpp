#include "plot/plplot_plotter.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "example_store.hpp"
#include "run/program.hpp"

namespace ruvela {
namespace {

using namespace plot_examples;
namespace fs = std::filesystem;

TEST(PlotDevices, ScreenDeviceFollowsTheEnvironment) {
    const std::vector<std::string> both{"xwin", "xcairo", "null"}, x11_only{"xwin", "null"};
    EXPECT_EQ(choose_screen_device("null", ":0", both), "null");
    EXPECT_EQ(choose_screen_device("qtwidget", nullptr, both), "qtwidget");
    EXPECT_EQ(choose_screen_device(nullptr, ":0", both), "xcairo");
    EXPECT_EQ(choose_screen_device("", ":0", x11_only), "xwin");
    EXPECT_EQ(choose_screen_device(nullptr, nullptr, both), "");
    EXPECT_EQ(choose_screen_device(nullptr, "", both), "");
}

TEST(PlotDevices, SavedFormatFollowsTheFileName) {
    const std::vector<std::string> devices{"svg", "psc"};
    const std::pair<const char*, const char*> cases[] = {
        {"plot.png", "pngcairo"}, {"PLOT.PNG", "pngcairo"}, {"a.Svg", "svg"},
        {"a.pdf", "pdfcairo"},    {"a.ps", "psc"},          {"png", "psc"},
        {"a.png.txt", "psc"},     {"a.jpeg", "psc"},
    };
    for (const auto& [name, device] : cases)
        EXPECT_EQ(file_device_for(name, devices), device) << name;
    EXPECT_EQ(file_device_for("a.svg", {"svgcairo"}), "svgcairo");
}

TEST(PlotDevices, ThisPlplotOffersTheDevicesUsed) {
    const auto devices = plplot_devices();
    for (const char* name : {"psc", "null", "pngcairo", "xwin"})
        EXPECT_NE(std::find(devices.begin(), devices.end(), name), devices.end()) << name;
}

class PlplotDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        set_plplot_fonts(Edition::v12);
        dir = fs::temp_directory_path() / ("ruvela_plot_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // One individual plot of series 1 on `screen`; returns the console output.
    std::string show(const std::string& screen, const std::string& input,
                     PlotChoice plot_mode = PlotChoice::individual) {
        std::istringstream in(input);
        std::ostringstream out, err;
        Console con(in, out, err);
        PlplotPlotter plotter(out, screen);
        display(store.data(), plot_mode, 1, session, con, plotter);
        return out.str();
    }

    static std::string contents(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir;
    example_store store;
    PlotSession session;
};

TEST_F(PlplotDrawing, SavesColourPostScriptWithItsTexts) {
    const fs::path file = dir / "a1.ps";
    const std::string out = show("null", "s\n" + file.string() + "\nc\n", PlotChoice::summary);
    EXPECT_EQ(out.find("could not"), std::string::npos) << out;
    const std::string ps = contents(file);
    EXPECT_EQ(ps.rfind("%!PS", 0), 0u);
    // PostScript strings escape their parentheses.
    for (const char* text : {"site.rwl", "YEAR", "RWW\\(mm.\\)", "BAI\\(cm2\\)",
                             "Cumulative Basal Area", "BA\\(dm2\\)"})
        EXPECT_NE(ps.find(text), std::string::npos) << text;
}

std::uint32_t big_endian(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 4; ++k) v = (v << 8) | static_cast<unsigned char>(s[at + k]);
    return v;
}

TEST_F(PlplotDrawing, SavesAPngWhenTheNameSaysSo) {
    const fs::path file = dir / "A1.PNG";
    const std::string out = show("null", "s\n" + file.string() + "\nc\n");
    EXPECT_EQ(out.find("could not"), std::string::npos) << out;
    const std::string png = contents(file);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(big_endian(png, 16), 720u);
    EXPECT_EQ(big_endian(png, 20), 540u);
}

// Each problem gives one line, and the menu follows as usual.
TEST_F(PlplotDrawing, ProblemsAreReportedAndTheMenuFollows) {
    const char* display_before = std::getenv("DISPLAY");
    const std::string kept = display_before ? display_before : "";
    ::unsetenv("DISPLAY");
    struct Case {
        std::string screen, input, line;
    } cases[] = {
        {"", "0\nc\n",
         " No display is available for plots on the screen; [s]ave writes the plot to a file.\n"},
        {"nosuch", "c\n", " The plot device nosuch is not available.\n"},
        {"xwin", "c\n", " The plot device xwin needs a display, and none is available.\n"},
        {"null", "s\n" + (dir / "missing" / "a.ps").string() + "\nc\n",
         " Can not create plot file " + (dir / "missing" / "a.ps").string() +
             ": No such file or directory\n"},
    };
    for (const auto& c : cases) {
        const std::string out = show(c.screen, c.input);
        const auto first = out.find(c.line);
        EXPECT_NE(first, std::string::npos) << out;
        EXPECT_EQ(out.find(c.line, first + 1), std::string::npos) << "told twice: " << out;
        EXPECT_NE(out.find("enter option number >", first), std::string::npos);
    }
    if (display_before) ::setenv("DISPLAY", kept.c_str(), 1);
}

// Values the menu stores unchecked reach a library that must neither end the
// run nor hang it.
TEST_F(PlplotDrawing, UncheckedSettingsNeverEndTheRun) {
    const std::string settings =
        "2\n99\n3\n-4\n5\n16\n6\n42\n7\n1000\n8\n0\n9\n-3\n10\n1e-"
        "30\n11\n9999\n14\n1944\n16\n3e38\n17\n-3e38\n";
    const fs::path file = dir / "odd.ps";
    const std::string out =
        show("null", settings + "0\ns\n" + file.string() + "\n" + settings + "0\nn\n");
    EXPECT_EQ(out.find("could not"), std::string::npos) << out;
    EXPECT_EQ(contents(file).rfind("%!PS", 0), 0u);
}

}  // namespace
}  // namespace ruvela
