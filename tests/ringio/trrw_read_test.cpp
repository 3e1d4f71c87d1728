#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "ringio/ring_format.hpp"
#include "ringio/trrw.hpp"
#include "ringio/units.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "trrw_support.hpp"

namespace ruvela {
namespace {

using testing::read_all;

// A measurement-layout line: ID, year, fields of 6.
std::string mline(std::string_view id, int year, std::initializer_list<int> fields) {
    std::string line;
    if (year < -999) {  // the archives' five-digit years
        put_text(line, id, 7);
        put_int(line, year, 5);
    } else {
        put_text(line, id, 8);
        put_int(line, year, 4);
    }
    for (const int f : fields) put_int(line, f, 6);
    return line + "\n";
}

// An index-layout line: ID, year, ten slots of value and count.
std::string iline(std::string_view id, int year, std::initializer_list<std::pair<int, int>> slots) {
    std::string line;
    put_text(line, id, 6);
    put_int(line, year, 4);
    for (const auto& [v, c] : slots) {
        put_int(line, v, 4);
        put_int(line, c, 3);
    }
    return line + "\n";
}

const std::string echo_of_header = "\n Title of data:\n" + fixed_text("Site header", 80) + "\n";

TEST(TrrwRead, TextLinesAreEchoedAndSeriesComeOnePerCall) {
    const std::string header = "Site header\n";
    const std::string text = header + header + header + mline("AB01", 1953, {100, 200, 999}) +
                             header + header + header + mline("AB02", 1950, {5, -9999});
    const auto r = read_all(text, TrrwMode::mr);
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "AB01    ");
    EXPECT_EQ(r.series[0].first_year, 1953);
    EXPECT_EQ(r.series[0].values, (std::vector<float>{100 * 0.01f, 200 * 0.01f}));
    EXPECT_EQ(r.series[1].values, (std::vector<float>{5 * 0.01f * 0.1f}));
    std::string six;
    for (int i = 0; i < 6; ++i) six += echo_of_header;
    EXPECT_EQ(r.out, six);
    EXPECT_EQ(r.echo.substr(0, 99), "\n Title of data: " + fixed_text("Site header", 80) + "\n\n");
}

TEST(TrrwRead, MoreThan25TextLinesInOneCallAreAnOutcomeNotAStop) {
    std::string text;
    for (int i = 0; i < 25; ++i) text += "Site header\n";
    const std::string series = mline("AB01", 1990, {1, 999});
    EXPECT_EQ(read_all(text + series + text + series, TrrwMode::mr).series.size(), 2u);
    const auto stopped = read_all(series + text + "Site header\n" + series, TrrwMode::mr);
    EXPECT_TRUE(stopped.stopped_at_text_lines);
    EXPECT_EQ(stopped.series.size(), 1u);
    std::istringstream data(text + "one too many\n" + series);
    ConsoleLines console;
    LineReader lines(data);
    SeriesArgs args;
    std::vector<Finding> findings;
    EXPECT_EQ(trrw_read(TrrwMode::mr, args, lines, nullptr, console, findings),
              TrrwOutcome::too_many_text_lines);
    EXPECT_EQ(lines.line_number(), 26);
    EXPECT_EQ(std::find(console.begin(), console.end(), fixed_text("one too many", 80)),
              console.end());
}

TEST(TrrwRead, FirstLineHoldsTheYearsToTheEndOfItsDecade) {
    const struct {
        int year;
        std::size_t first_line;
    } cases[] = {{1953, 7}, {1950, 10}, {1959, 1}, {0, 10},   {-1, 1},
                 {-5, 5},   {-10, 10},  {-15, 5},  {-2649, 9}};
    for (const auto& c : cases) {
        const auto r = read_all(
            mline("X", c.year, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + mline("X", 0, {11, 12, -9999}),
            TrrwMode::mr);
        ASSERT_EQ(r.series.size(), 1u) << c.year;
        EXPECT_EQ(r.series[0].first_year, c.year);
        ASSERT_EQ(r.series[0].values.size(), c.first_line + 2) << c.year;
        EXPECT_EQ(r.series[0].values[c.first_line], 11 * 0.01f * 0.1f) << c.year;
    }
}

TEST(TrrwRead, EndMarkerDecidesTheUnit) {
    // 0.01 per field, then 0.1 over the series: not the same as 0.001 once.
    std::vector<int> fields;
    for (int v = 1; v < 2000; ++v)
        if (static_cast<float>(v) * 0.01f * 0.1f != static_cast<float>(v) * 0.001f)
            fields.push_back(v);
    ASSERT_FALSE(fields.empty());
    const int v = fields[0];
    EXPECT_EQ(read_all(mline("A", 1990, {v, 999}), TrrwMode::mr).series[0].values[0], v * 0.01f);
    EXPECT_EQ(read_all(mline("A", 1990, {v, -9999}), TrrwMode::mr).series[0].values[0],
              v * 0.01f * 0.1f);
    // 0 and negative values are data; the marker ends the line.
    EXPECT_EQ(read_all(mline("A", 1990, {0, -5, 999, 7}), TrrwMode::mr).series[0].values,
              (std::vector<float>{0.0f, -5 * 0.01f}));
    // A thousandths series holding 999 ends there; what follows is read anew.
    const auto r = read_all(mline("A", 1990, {1500, 999, 1200, -9999}) + mline("B", 1990, {1, 999}),
                            TrrwMode::mr);
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].values, (std::vector<float>{1500 * 0.01f}));
    EXPECT_EQ(r.series[1].id, "B       ");
}

TEST(TrrwRead, LineQuirksOfArchiveFiles) {
    const std::string a = "AB01    1953   100   200   999";
    const struct {
        const char* what;
        std::string text;
        std::size_t series;
    } cases[] = {
        {"CRLF", a + "\r\n" + a + "\r\n", 2},
        {"lone CR", a + "\r" + a + "\r", 2},
        {"CR CR LF", a + "\r\r\n" + a + "\r\r\n", 2},
        {"no final line end", a + "\n" + a, 2},
        {"blank lines", "\n   \t\n" + a + "\n  \n\n" + a + "\n \n", 2},
        {"blank line inside a series", "AB01    1959   100\n    \nAB01    1960   200   999\n", 1},
    };
    for (const auto& c : cases) {
        const auto r = read_all(c.text, TrrwMode::mr);
        ASSERT_EQ(r.series.size(), c.series) << c.what;
        EXPECT_EQ(r.series[0].values.size(), 2u) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
    }
}

TEST(TrrwRead, DecodingDecidesDataOrText) {
    const std::string end = mline("Z", 1990, {1, 999});
    const struct {
        const char* what;
        std::string line;
        bool data;
    } cases[] = {
        {"letters in the year", "AB01    19x3   100   999\n", false},
        {"decimal point", "AB01    1953   1.0   999\n", false},
        {"sign after a digit", "AB01    1953   10-   999\n", false},
        {"unused field must decode", "AB01    1959   100   999     x\n", false},
        {"blanks and tabs inside fields", "AB01    1953  1 0\t   999\n", true},
        {"columns after 72 not read",
         "AB01    1953   100   999" + std::string(48, ' ') + "anything\n", true},
        {"five-digit year", "AB0001 -1953   100   999\n", true},
    };
    for (const auto& c : cases) {
        const auto r = read_all(c.line + end, TrrwMode::mr);
        EXPECT_EQ(r.series.size(), c.data ? 2u : 1u) << c.what;
        EXPECT_EQ(r.out.empty(), c.data) << c.what;
    }
    const auto five = read_all("AB0001 -2649   100   999\n", TrrwMode::mr);
    EXPECT_EQ(five.series[0].id, "AB0001  ");
    EXPECT_EQ(five.series[0].first_year, -2649);
}

TEST(TrrwRead, SeriesWithoutEndMarkerIsDropped) {
    const auto r = read_all(mline("A", 1990, {1, 999}) + mline("B", 1990, {1, 2, 3}), TrrwMode::mr);
    EXPECT_EQ(r.series.size(), 1u);
}

TEST(TrrwRead, HashInColumn80AfterValuesIsAnOrdinaryLine) {
    std::string later = mline("A", 2000, {4, 999});
    later.insert(later.size() - 1, std::string(80 - later.size(), ' ') + "#");
    const auto r =
        read_all(mline("A", 1990, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) + later, TrrwMode::mr);
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].values.size(), 11u);
}

TEST(TrrwRead, TooLongSeriesStopsAtCapacity) {
    const auto r = read_all(mline("A", 1990, {1, 2, 3, 4, 5, 6, 7, 999}), TrrwMode::mr, 5);
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].outcome, TrrwOutcome::too_long);
    EXPECT_EQ(r.series[0].id, "A       ");
    EXPECT_EQ(r.series[0].first_year, 1990);
    EXPECT_EQ(r.series[0].values.size(), 5u);
    const auto fits = read_all(mline("A", 1990, {1, 2, 3, 4, 5, 999}), TrrwMode::mr, 5);
    EXPECT_EQ(fits.series[0].outcome, TrrwOutcome::ok);
    const auto index =
        read_all(iline("A", 1990, {{1, 1}, {2, 1}, {3, 1}, {9990, 0}}), TrrwMode::ir, 2);
    EXPECT_EQ(index.series[0].outcome, TrrwOutcome::too_long);
}

TEST(TrrwRead, IndexLayoutTakesSlotsFromTheYearsLastDigit) {
    const std::string text =
        iline("SITE01", 1953,
              {{7, 7},
               {8, 8},
               {9, 9},
               {1000, 3},
               {1001, 4},
               {1002, 5},
               {1003, 6},
               {1004, 7},
               {1005, 8},
               {1006, 9}}) +
        iline(
            "SITE01", 1960,
            {{2000, 1}, {9990, 0}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}, {5, 5}});
    const auto r = read_all(text, TrrwMode::ir);
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].id, "SITE01  ");
    EXPECT_EQ(r.series[0].first_year, 1953);
    EXPECT_EQ(r.series[0].values,
              (std::vector<float>{1000 * 0.001f, 1001 * 0.001f, 1002 * 0.001f, 1003 * 0.001f,
                                  1004 * 0.001f, 1005 * 0.001f, 1006 * 0.001f, 2000 * 0.001f}));
    EXPECT_EQ(r.series[0].counts, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 1}));
    // "******" on entry leaves the counts untouched.
    const auto kept = read_all(text, TrrwMode::ir, 5001, "******");
    EXPECT_EQ(kept.series[0].id, "SITE01  ");
    EXPECT_EQ(kept.series[0].counts, std::vector<int>(8, -1));
}

// A counted-block header: count in columns 3-10, first year 13-20, format 23-30.
std::string header(int count, int year, std::string_view format) {
    return "N " + int_field(count, 8) + "  " + int_field(year, 8) + "  " + std::string(format);
}

// A counted block: title with "#" in column 80, header, values in its format.
std::string block(std::string_view title, std::string_view head, std::string_view values) {
    return fixed_text(title, 79) + "#\n" + std::string(head) + "\n" + std::string(values);
}

TEST(TrrwRead, CountedBlocks) {
    const std::string ten =
        "   1.000   2.000   3.000   4.000   5.000   6.000   7.000   8.000   9.000  10.000\n";
    const std::string text =
        block("BLOCK001 tree 1", header(25, 1800, "(10f8.3)"), ten + ten + ten) +
        mline("AFTER", 1990, {1, 999});
    const auto r = read_all(text, TrrwMode::mr);
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "BLOCK001");
    EXPECT_EQ(r.series[0].first_year, 1800);
    ASSERT_EQ(r.series[0].values.size(), 25u);
    EXPECT_EQ(r.series[0].values[24], 5.0f);
    EXPECT_EQ(r.series[1].id, "AFTER   ");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.echo, "\n Title of data:  " + fixed_text("BLOCK001 tree 1", 79) + "#\n\n");
}

TEST(TrrwRead, CountedBlockHeaderSearchAndFailures) {
    const struct {
        const char* what;
        std::string text;
        std::string id;
        std::vector<float> values;
        std::string out;
        bool end_of_file;
    } cases[] = {
        {"header without parentheses skipped",
         block("T1", header(2, 1800, "f4.1"), "") + "NEWTITLE  x\n" + header(2, 1800, "(f4.1)") +
             "\n 1.5\n 2.5\n",
         "NEWTITLE",
         {1.5f, 2.5f},
         "",
         false},
        {"negative count skipped",
         block("T1", header(-2, 1800, "(f4.1)"), header(1, 1800, "(f4.1)") + "\n 1.5\n"),
         "T1      ",
         {1.5f},
         "",
         false},
        {"conversion error",
         block("T1", header(3, 1800, "(f4.1)"), " 1.5\n  x\n 3.5\n"),
         "T1      ",
         {1.5f, 0.0f, 0.0f},
         ">> Sbr DATAR:  Error reading data\n",
         false},
        {"end inside the values",
         block("T1", header(3, 1800, "(f4.1)"), " 1.5\n"),
         "T1      ",
         {1.5f, 0.0f, 0.0f},
         ">> Sbr DATAR:  Unexpected end reading data\n",
         false},
        {"format that cannot be read",
         block("T1", header(1, 1800, "(i4)"), " 1.5\n"),
         "T1      ",
         {0.0f},
         ">> Sbr DATAR:  Error reading data\n",
         false},
        {"end before a header", block("T1", "no header here", ""), "", {}, "", true},
    };
    for (const auto& c : cases) {
        const auto r = read_all(c.text, TrrwMode::mr);
        EXPECT_EQ(r.out, c.out) << c.what;
        if (c.end_of_file) {
            EXPECT_TRUE(r.series.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(r.series.size(), 1u) << c.what;
        EXPECT_EQ(r.series[0].id, c.id) << c.what;
        EXPECT_EQ(r.series[0].values, c.values) << c.what;
    }
    const auto big =
        read_all(block("T1", header(10, 1800, "(f4.1)"), " 1.5\n 2.5\n 3.5\n"), TrrwMode::mr, 2);
    ASSERT_EQ(big.series.size(), 1u);
    EXPECT_EQ(big.series[0].outcome, TrrwOutcome::too_long);
    EXPECT_EQ(big.series[0].values, (std::vector<float>{1.5f, 2.5f}));
}

// The findings of a file read as the run reads it: each damage once, on the
// line where it first shows, and nothing on a sound file.
TEST(DecadeFindings, EachDamageIsFoundOnceWhereItFirstShows) {
    using K = FindingKind;
    const std::initializer_list<int> ten = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110};
    std::string csv = "Year,T01A,T01B\n";
    for (int i = 0; i < 25; ++i) csv += std::to_string(1950 + i) + ",1.25,0.75\n";
    const struct {
        const char* what;
        std::string text;
        std::vector<Finding> findings;
    } cases[] = {
        {"sound file, years across 0",
         "Site header\n" + mline("A", -15, {101, 102, 103, 104, 105}) + mline("A", -10, ten) +
             mline("A", 0, {100, 999}) +
             mline("B", 1953, {1001, 1002, 1003, 1004, 1005, 1006, 1007}) +
             mline("B", 1960, {1000, -9999}),
         {}},
        {"decade line missing",
         mline("A", 1990, ten) + mline("A", 2010, ten) + mline("A", 2020, ten) +
             mline("A", 2040, {100, 999}),
         {{.kind = K::year_out_of_sequence,
           .line = 2,
           .series = "A       ",
           .year = 2010,
           .expected_year = 2000}}},
        {"decade line repeated",
         mline("A", 1995, {101, 102, 103, 104, 105}) + mline("A", 2000, ten) +
             mline("A", 2000, ten) + mline("A", 2010, {100, 999}),
         {{.kind = K::year_out_of_sequence,
           .line = 3,
           .series = "A       ",
           .year = 2000,
           .expected_year = 2010}}},
        {"end marker missing",
         mline("A", 1990, ten) + mline("B", 1985, {101, 102, 103, 104, 105}) +
             mline("B", 1990, ten) + mline("C", 2000, {100, 999}),
         {{.kind = K::id_changed, .line = 2, .series = "A       ", .other_id = "B       "}}},
        {"negative widths",
         mline("A", 1990, {50, -999, 70, -3, 999}) + mline("B", 1990, {-5, -9999}),
         {{.kind = K::negative_widths,
           .series = "A       ",
           .year = 1991,
           .count = 2,
           .value = -999 * 0.01f},
          {.kind = K::negative_widths,
           .series = "B       ",
           .year = 1990,
           .count = 1,
           .value = -5 * 0.01f * 0.1f}}},
        {"series without rings",
         mline("A", 1990, {999}) + mline("B", 1990, {100, 999}),
         {{.kind = K::empty_series, .series = "A       ", .year = 1990}}},
        {"no series, a header read as a data line",
         "\n  \nHEADER:\nKeyCode=T01A\n",
         {{.kind = K::not_decade_format, .text = "HEADER:"}}},
        {"text-line limit",
         csv + mline("A", 1990, {100, 999}),
         {{.kind = K::not_decade_format, .line = 26, .text = "Year,T01A,T01B"}}},
        {"text-line limit after a series",
         mline("A", 1990, {-1, 999}) + csv,
         {{.kind = K::negative_widths,
           .series = "A       ",
           .year = 1990,
           .count = 1,
           .value = -0.01f},
          {.kind = K::not_decade_format, .line = 27, .text = "A       1990    -1   999"}}},
        {"widths typed in another unit",
         mline("A", 1990, {1, 2, 999}),
         {{.kind = K::mean_width_implausible,
           .series = "A       ",
           .value = (hundredths_to_mm(1) + hundredths_to_mm(2)) / 2.0f}}},
        {"last end marker missing",
         mline("A", 1990, {100, 999}) + mline("B", 1990, ten),
         {{.kind = K::series_unended, .line = 2, .series = "B       ", .year = 1990}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_ring_file(RingFormat::decade, c.text).findings, c.findings) << c.what;
}

// The writer puts a year before -999 with its sign in the ID's last column;
// the ID's change there is no sign of a missing end marker.
TEST(DecadeFindings, WritersOwnFileAcrossYearMinus1000IsSound) {
    std::vector<float> values(25, 1.0f);
    std::vector<int> counts(25, 1);
    const SeriesArgs series{"ABCDEFGH", -1012, 25, values, counts, 0, {}};
    std::ostringstream data, out, err;
    std::istringstream in;
    Console con(in, out, err);
    trrw_write(TrrwMode::mw, series, data, con);
    ASSERT_NE(data.str().find("ABCDEFGH-990"), std::string::npos) << data.str();
    const auto r = read_all(data.str(), TrrwMode::mr);
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.findings, std::vector<Finding>{});
}

TEST(TrrwMode, TwoLetterCodes) {
    TrrwMode m = TrrwMode::mr;
    EXPECT_TRUE(parse_trrw_mode("IW", m));
    EXPECT_EQ(m, TrrwMode::iw);
    EXPECT_FALSE(parse_trrw_mode("mr", m));
    EXPECT_FALSE(parse_trrw_mode("MRX", m));
}

}  // namespace
}  // namespace ruvela
