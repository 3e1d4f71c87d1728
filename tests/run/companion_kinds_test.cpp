// The driver's side of the companion file for the kinds read freely or as a
// table: the listing, the warnings that tell what was passed over or read
// in another way, and the stops on rows that cannot be paired.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>

#include "../support/program_runner.hpp"
#include "run/basal_area.hpp"
#include "run/companion_file.hpp"
#include "store_fixture.hpp"
#include "text/stops.hpp"

namespace ruvela {
namespace {

namespace fs = std::filesystem;
using testing::TestSeries;

struct DriverRun {
    std::string out;
    int status = 0;
};

// Reads `text` as the companion file of `series` (ring-width file r.rwl),
// then checks its values, as the run does.
DriverRun read_companion_text(CompanionKind kind, const std::string& format, const std::string& text,
                              std::initializer_list<TestSeries> series) {
    testing::ScratchFolder folder("kinds");
    const fs::path before = fs::current_path();
    fs::current_path(folder.path);
    testing::write_file(folder.path / "c.txt", text);
    testing::TestStore store;
    testing::load_pair(store, 1, kind, series);
    store.job.pairs[0] = {"r.rwl", "c.txt"};
    store.job.companion_format = format;
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    DriverRun run;
    try {
        read_companion_file(store.job, 1, store.pair, store.tables, con);
        const PairResult result =
            compute_pair(store.job.companion_kind, series_inputs(store.pair, store.tables));
        tell_implausible_values(store.job, 1, store.pair, result.findings.implausible, con);
    } catch (const RunEnded& ended) {
        run.status = ended.status;
    }
    fs::current_path(before);
    run.out = out.str();
    return run;
}

const std::string reading_line =
    "\n READING PITH ESTIMATE FILE :> c.txt                         \n";

// Fault guarded: the new kinds listed under the pith offsets' heading and
// with their format; a header, a decimal comma or an empty last line
// passed over or read without a word.
TEST(CompanionKinds, DistancesAreListedAndWhatFreeReadingPassedOverIsTold) {
    const DriverRun run =
        read_companion_text(CompanionKind::d2pith, "*", "dist\n60.0 01A\n80,5 01B\n\n",
                            {{"01A", 1900, {1.0f, 2.0f}}, {"01B", 1901, {1.0f}}});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out,
        reading_line +
            " Warning: File c.txt, line 1: \"dist\" holds no number; it is passed over as a "
            "header.\n"
            " Warning: File c.txt, line 3: \"80,5 01B\" is read as 80.5: its comma is read as "
            "the decimal point; 1 line is read this way.\n"
            " Warning: File c.txt, line 4: the empty line after the last value is passed "
            "over.\n"
            "\n"
            " SERIES#      ID    IYR  LYR   AGE   D2PITH\n"
            "       1   01A      1900 1901    2     60.0\n"
            "       2   01B      1901 1901    1     80.5\n");
}

// Fault guarded: rows of the proportional table kept in file order instead
// of by their series ID, and a pith offset that does not go with the
// distance to the pith not told.
TEST(CompanionKinds, ProportionalRowsPairByIdAndTheirPithOffsetGoesWithTheDistance) {
    const DriverRun run = read_companion_text(
        CompanionKind::proportional, "*", "series;PO;d2pith;diam\nB;0;0;3\nA;3;6,5;6\nC;2;0;2\n",
        {{"A", 1900, {10.0f, 10.0f}}, {"B", 1901, {10.0f}}, {"C", 1901, {10.0f}}});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out,
        reading_line +
            " Warning: File c.txt, line 3: \"A;3;6,5;6\" is read as 6.5: its comma is read as "
            "the decimal point; 1 line is read this way.\n"
            "\n"
            " SERIES#      ID    IYR  LYR   AGE   PITH   D2PITH      DBH\n"
            "       1   A        1900 1901    2      3      6.5      6.0\n"
            "       2   B        1901 1901    1      0      0.0      3.0\n"
            "       3   C        1901 1901    1      2      0.0      2.0\n"
            " Warning: File c.txt, series 3, \"C\": the pith offset 2 and the distance to the "
            "pith 0 mm disagree: one of them is 0 and the other is not.\n");
}

// Fault guarded for each: a row or series that could not be paired, or a
// line without a usable value, passed over or guessed at instead of
// stopping the run with the file and the line or series.
TEST(CompanionKinds, WhatCannotBePairedOrReadStopsTheRun) {
    const std::string header = "series,po,d2pith,dbh\n";
    const auto table = CompanionKind::proportional;
    const struct {
        CompanionKind kind;
        std::string text;
        const char* message;
    } cases[] = {
        {table, header + "A,1,2,3\nX,1,2,3\n",
         " File c.txt, line 3: series \"X\" is not in file r.rwl.\n"},
        {table, header + "A,1,2,3\nA,1,2,3\n",
         " File c.txt, line 3: a second row for series \"A\" (the first is line 2).\n"},
        {table, header + "A,1,2,3\n",
         " File c.txt has no row for series 2, \"B\", of file r.rwl.\n"},
        {CompanionKind::d2pith, "01A NA\n",
         " File c.txt, line 1: \"01A NA\"\n the distance to the pith is NA: the value is "
         "unknown.\n"},
    };
    for (const auto& c : cases) {
        const DriverRun run =
            read_companion_text(c.kind, "*", c.text, {{"A", 1900, {10.0f}}, {"B", 1900, {10.0f}}});
        EXPECT_EQ(run.status, stop_status) << c.text;
        EXPECT_NE(run.out.find(std::string("\n") + c.message + " Sorry, Program Terminating \n"),
                  std::string::npos)
            << run.out;
    }
}

// Fault guarded: an empty line between values read as 0 without a word,
// and empty lines at the end counted as values, stopping the count check.
TEST(CompanionKinds, EmptyLinesWithAFormatAreToldAndTheLastOnesPassedOver) {
    const DriverRun run =
        read_companion_text(CompanionKind::pith, "(i3)", "  5  a\n\n  7  c\n\n\n",
                            {{"a", 1900, {1.0f}}, {"b", 1900, {1.0f}}, {"c", 1900, {1.0f}}});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find(" Warning: File c.txt, line 2: the empty line is read as the value 0 of "
                           "series 2, \"b\", as the format reads blanks.\n"
                           " Warning: File c.txt, line 4: the 2 empty lines from here after the "
                           "last value are passed over.\n"),
              std::string::npos)
        << run.out;
}

}  // namespace
}  // namespace ruvela
