// Inputs past the store's limits, run end to end: the run stops with lines
// that name the file, the series and the value, before anything is stored
// out of bounds, and leaves no table behind.
#include <gtest/gtest.h>

#include <string>

#include "../support/program_runner.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {
namespace {

using namespace ruvela::testing;

// One series in the decade measurement layout, widths in hundredths.
std::string decade_series(const std::string& id, int first_year, int count, int width = 100) {
    std::string text;
    int year = first_year;
    int k = 0;
    while (k < count) {
        text += fixed_text(id, 8);
        put_int(text, year, 4);
        const int on_line = k == 0 ? 10 - first_year % 10 : 10;
        for (int j = 0; j < on_line && k < count; ++j, ++k) put_int(text, width, 6);
        year += on_line;
        if (k == count) put_int(text, 999, 6);
        text += '\n';
    }
    return text;
}

std::string repeated(const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
}

struct LimitRun {
    ProgramRun run;
    std::map<std::string, std::string> files;
};

LimitRun run_single_pair(const std::string& rings, const std::string& offsets) {
    ScratchFolder folder("limits");
    write_file(folder.path / "big.rwl", rings);
    write_file(folder.path / "big.pth", offsets);
    write_file(folder.path / "answers", "\nf\nbig.rwl\nbig.pth\n1\n(i2)\n1\n");
    LimitRun result{run_in_folder(RUVELA_V12, folder.path, folder.path / "answers"), {}};
    result.files = files_below(folder.path);
    return result;
}

std::string tail(const std::string& out, std::size_t lines) {
    std::size_t pos = out.size();
    for (std::size_t i = 0; i <= lines && pos > 0; ++i) pos = out.rfind('\n', pos - 1);
    return pos == std::string::npos ? out : out.substr(pos + 1);
}

void expect_stopped_cleanly(const LimitRun& r) {
    EXPECT_EQ(r.run.status, 1) << "a stop is no success";
    EXPECT_EQ(r.run.err, "");
    EXPECT_EQ(r.files.size(), 3u) << "only the inputs remain";
}

TEST(Limits, SeriesNumber1002IsNotStored) {
    std::string rings;
    for (int s = 1; s <= 1002; ++s) {
        std::string id = std::to_string(s);
        rings += decade_series(id.insert(0, 1, 's'), 1901, 1);
    }
    const LimitRun r = run_single_pair(rings, repeated(" 1\n", 1002));
    expect_stopped_cleanly(r);
    EXPECT_EQ(tail(r.run.out, 4),
              "\n"
              " File big.rwl holds more than 1001 series;\n"
              " series 1002, s1002   , cannot be stored.\n"
              " Sorry, Program Terminating \n");
}

TEST(Limits, CompanionFileOfMoreThan1001Values) {
    const LimitRun r = run_single_pair(decade_series("a", 1901, 3), repeated(" 1\n", 1002));
    expect_stopped_cleanly(r);
    // Rows past the series show the empty slots of a fresh store.
    EXPECT_NE(r.run.out.find("    1001" + std::string(11, ' ') + "    0    0    0    1\n"),
              std::string::npos);
    EXPECT_EQ(tail(r.run.out, 4),
              "\n"
              " File big.pth holds more than 1001 values;\n"
              " value 1002 cannot be stored, and file big.rwl holds 1 series.\n"
              " Sorry, Program Terminating \n");
}

// The message names the series' first year too, so the user can find it in
// a file of many series with the same ID.
TEST(Limits, SeriesLongerThanTheYearSlots) {
    const LimitRun r = run_single_pair(decade_series("long", 3, 5010), " 1\n");
    expect_stopped_cleanly(r);
    EXPECT_EQ(tail(r.run.out, 4),
              "\n"
              " Series long     (number 1) of file big.rwl\n"
              " starts in year 3 and holds more than 5001 rings.\n"
              " Sorry, Program Terminating \n");
}

TEST(Limits, SeriesReachingPastYear5001) {
    const LimitRun r =
        run_single_pair(decade_series("ok", 1901, 2) + decade_series("late", 4999, 5), " 1\n 1\n");
    expect_stopped_cleanly(r);
    EXPECT_EQ(tail(r.run.out, 5),
              "\n"
              " Series late     (number 2) of file big.rwl\n"
              " runs from year 4999 to year 5003;\n"
              " only the years 1 to 5001 can be stored.\n"
              " Sorry, Program Terminating \n");
}

TEST(Limits, MoreThan50PairsInTheListFiles) {
    ScratchFolder folder("limits");
    write_file(folder.path / "rings.lst", repeated("a.rwl\n", 51));
    write_file(folder.path / "offsets.lst", repeated("a.pth\n", 50) + "last.pth\n");
    write_file(folder.path / "answers", "\nt\nrings.lst\noffsets.lst\n1\n(i2)\n1\n");
    const ProgramRun run = run_in_folder(RUVELA_V12, folder.path, folder.path / "answers");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(files_below(folder.path).size(), 3u);
    EXPECT_EQ(tail(run.out, 4),
              "\n"
              " The list file offsets.lst names more than 50 file pairs;\n"
              " line 51 names \"last.pth\".\n"
              " Sorry, Program Terminating \n");
}

}  // namespace
}  // namespace ruvela
