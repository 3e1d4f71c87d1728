#include "ringio/delimited.hpp"

#include <gtest/gtest.h>

#include "formats_support.hpp"

namespace ruvela {
namespace {

using testing::described;
using testing::error_of;
using testing::expect_refused;
using testing::nearest;
using testing::read_fixture;
using testing::RefusedFile;
using Strings = std::vector<std::string>;
using Widths = std::vector<float>;

// Quoted header with a trailing separator (a quoted empty cell would name a
// series), NA and empty cells, a gap inside
// a series read as zero, and rows of empty cells at the end.
TEST(Delimited, CommasWithQuotesMissingValuesAndAGap) {
    const auto r = read_fixture("delimited/quoted.csv", RingFormat::delimited);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "OAK01A");
    EXPECT_EQ(r.series[0].first_year, 1850);
    EXPECT_EQ(r.series[0].widths, (Widths{1.25f, nearest("1.30"), 0.0f, 0.5f, 0.75f}));
    EXPECT_EQ(r.series[1].id, "OAK01B");
    EXPECT_EQ(r.series[1].first_year, 1851);
    EXPECT_EQ(r.series[1].widths, (Widths{nearest("0.98"), nearest("1.02")}));
    EXPECT_EQ(described(r), Strings{"OAK01A: 1 missing from 1852 to 1852"});
}

// The gaps of a series make one finding, not one each: a series with a gap
// every other year once gave thousands, and as many warning lines.
TEST(Delimited, GapsOfOneSeriesAreOneFinding) {
    const auto r = read_delimited("Year,A\n1850,1\n1852,1\n1855,1\n");
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].count, 3);
    EXPECT_EQ(r.findings[0].year, 1851);
    EXPECT_EQ(r.findings[0].expected_year, 1854);
}

// Semicolons with a separator ending every row, an exponent, an ID cut.
TEST(Delimited, SemicolonsWithATrailingSeparator) {
    const auto r = read_fixture("delimited/semicolon.csv", RingFormat::delimited);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id.cut(), "SITE-TRE");
    EXPECT_EQ(r.series[0].widths, (Widths{0.5f, nearest("0.61"), nearest("0.7")}));
    EXPECT_EQ(r.series[1].id, "B2");
    EXPECT_EQ(r.series[1].first_year, 1991);
    EXPECT_EQ(r.series[1].widths, (Widths{nearest("0.1"), 0.25f}));
    EXPECT_EQ(described(r), Strings{"line 1: ID SITE-TREE-07 cut to SITE-TRE"});
}

// Tabs, an empty year-column name, CRLF and rows out of year order.
TEST(Delimited, TabsWithRowsOutOfOrder) {
    const auto r = read_fixture("delimited/tab.tsv", RingFormat::delimited);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].first_year, 2000);
    EXPECT_EQ(r.series[0].widths, (Widths{nearest("0.1"), nearest("0.3")}));
    EXPECT_EQ(r.series[1].first_year, 2001);
    EXPECT_EQ(r.series[1].widths, (Widths{nearest("0.4"), 0.5f}));
    EXPECT_TRUE(r.findings.empty());
}

// Tabs around cells are blanks unless they separate.
TEST(Delimited, TabBeforeAValueIsABlank) {
    const auto r = read_delimited("Year;A\n1850;\t1.5\n");
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].widths, Widths{1.5f});
}

// Years written as numbers with a point, as spreadsheets write them.
TEST(Delimited, YearsWithAPointAndZeros) {
    const std::string text = "Year,A\n1850.0,1\n1851.00,2\n1852.,3\n";
    EXPECT_EQ(detect_ring_format(text), RingFormat::delimited);
    const auto r = read_delimited(text);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].first_year, 1850);
    EXPECT_EQ(r.series[0].widths, (Widths{1.0f, 2.0f, 3.0f}));
}

// The limit on rings made of gaps is exact: at it the file reads.
TEST(Delimited, GapFillingStopsJustPastTheLimit) {
    const auto r = read_delimited("Year,A\n1,1\n10000000,1\n");
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].widths.size(), 10000000u);
    EXPECT_EQ(error_of(read_delimited("Year,A\n0,1\n10000000,1\n")),
              "line 3: series \"A\" runs from year 0 to year 10000000: more rings than a file's "
              "series can have");
}

// A column without values is skipped; a quoted empty cell at the end of the
// header names a series, unlike a trailing separator.
TEST(Delimited, ColumnsWithoutValuesRepeatedAndEmptyIds) {
    const auto r = read_delimited("Year,A,B,B,\"x,y\",\"\"\n1,NaN,1,2,3,7\n2,NA,,,4,\n");
    ASSERT_EQ(error_of(r), "no error");
    EXPECT_EQ(described(r), (Strings{"line 1: A skipped, no values", "line 1: ID B again"}));
    ASSERT_EQ(r.series.size(), 4u);
    EXPECT_EQ(r.series[2].id, "x,y");
    EXPECT_EQ(r.series[2].widths, (Widths{3.0f, 4.0f}));
    EXPECT_EQ(r.series[3].id, "");
    EXPECT_EQ(r.series[3].widths, Widths{7.0f});
}

TEST(Delimited, BadInputStopsThePairNamingTheLine) {
    const std::string long_cell =
        "line 2: value \"" + std::string(60, '5') + "...\" is not a number";
    const RefusedFile cases[] = {
        {"Year,A\n1850,1\n1851,1,2\n", "line 3: a row with more cells than the header"},
        {"Year;A\n1850;1,25\n", "line 2: value \"1,25\" is not a number"},
        {"Year,A\n1850,1\n185l,1\n", "line 3: year \"185l\" is not a whole number"},
        {"Year,A\n1850.5,1\n", "line 2: year \"1850.5\" is not a whole number"},
        {"Year;A\n1850;" + std::string(100000, '5') + ",5\n", long_cell.c_str()},
        {"Year,A\n1850,1\n1851,1\n1850,2\n", "line 4: year 1850 again (first on line 2)"},
        {"Year,A\n1850,\"1\n", "line 2: a quote not closed, or text after a closing quote"},
        {"Year,A\n1850,\"1\"2\n", "line 2: a quote not closed, or text after a closing quote"},
        {"Series,A\n1850,1\n", "line 1: no header row of delimited text"},
        // The missing years of a series are read as zeros: a few rows must
        // not make billions of them.
        {"Year,A\n1,1\n2000000000,1\n",
         "line 3: series \"A\" runs from year 1 to year 2000000000: more rings than a file's "
         "series can have"},
    };
    expect_refused(read_delimited, cases);
}

}  // namespace
}  // namespace ruvela
