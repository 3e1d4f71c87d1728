#include "ringio/pos.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>

#include "formats_support.hpp"
#include "text/lines.hpp"

namespace ruvela {
namespace {

using testing::error_of;
using testing::file_text;

PosReading read_data(const std::string& path, const std::string& stem) {
    return read_pos(file_text(std::string(RUVELA_TEST_DATA) + "/" + path), stem);
}

PosReading read_quirk(const std::string& name) {
    return read_data("formats/pos/" + name + ".pos", name);
}

// ---------------------------------------------------------------------------
// The public sample files against their independent reading.

// The independent reading is to 1e-10 mm. Coordinates of 100 to 140 mm held
// in binary32 are off by up to 7.6e-6 mm each, and a ring sums up to four
// differences of them: 1e-4 mm holds with room, far inside the thousandths
// any ring-width file gives.
constexpr double tolerance_mm = 1e-4;

std::vector<std::string> csv_fields(std::string_view line) {
    std::vector<std::string> out;
    for (;;) {
        const auto comma = line.find(',');
        out.emplace_back(line.substr(0, comma));
        if (comma == std::string_view::npos) return out;
        line.remove_prefix(comma + 1);
    }
}

double real_of(const std::string& text) {
    double v = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

// The rows of a reference table after its heading.
std::vector<std::vector<std::string>> csv_rows(const std::string& name) {
    const std::string text = file_text(std::string(RUVELA_TEST_DATA) + "/pos/" + name);
    LineReader lines{std::string_view(text)};
    std::vector<std::vector<std::string>> rows;
    std::string line;
    lines.next(line);
    while (lines.next(line))
        if (!line.empty()) rows.push_back(csv_fields(line));
    return rows;
}

void expect_independent_reading(const std::string& stem, int first_year, std::size_t rings) {
    const PosReading r = read_data("pos/" + stem + ".pos", stem);
    ASSERT_EQ(error_of(r.reading), "no error") << stem;
    ASSERT_EQ(r.reading.series.size(), 1u);
    const RingSeries& s = r.reading.series[0];
    EXPECT_EQ(s.id.whole(), stem);
    EXPECT_EQ(s.first_year, first_year);
    const auto rows = csv_rows(stem + "_rw.csv");
    ASSERT_EQ(rows.size(), rings);
    ASSERT_EQ(s.widths.size(), rings);
    for (std::size_t k = 0; k < rings; ++k) {
        EXPECT_EQ(rows[k][0], stem);
        EXPECT_EQ(real_of(rows[k][1]), first_year + static_cast<int>(k));
        EXPECT_NEAR(s.widths[k], real_of(rows[k][2]), tolerance_mm) << stem << " " << rows[k][1];
    }
    bool found = false;
    for (const auto& row : csv_rows("pos_attributes.csv")) {
        if (row[0] != stem) continue;
        found = true;
        EXPECT_EQ(r.pith.dated_year, real_of(row[1]));
        ASSERT_TRUE(r.pith.distance_mm);
        EXPECT_NEAR(*r.pith.distance_mm, real_of(row[2]), tolerance_mm) << stem;
        EXPECT_EQ(r.pith.years_to_pith, real_of(row[3]));
        ASSERT_TRUE(s.pith);
        EXPECT_EQ(s.pith->distance_mm, r.pith.distance_mm);
        EXPECT_EQ(s.pith->distance_source, "PithCoordinates");
        EXPECT_EQ(s.pith->offset, r.pith.years_to_pith);
        EXPECT_EQ(s.pith->offset_source, "YearsToPith");
    }
    EXPECT_TRUE(found) << stem;
    EXPECT_TRUE(r.pith.pith_line);
}

// Labels, a free comment opening with a number, two double points and a
// lone gap point.
TEST(PosSamples, SimpleTestGivesTheIndependentReading) {
    expect_independent_reading("simple_test", 1968, 55);
}

// A seasonwood point inside most rings.
TEST(PosSamples, SeasonwoodTestGivesTheIndependentReading) {
    expect_independent_reading("very_simple_seaswood_test", 1964, 59);
}

// The long stems are kept whole; only the tables' cut is told.
TEST(PosSamples, LongStemsAreKeptWholeAndTheirCutTold) {
    const PosReading r =
        read_data("pos/very_simple_seaswood_test.pos", "very_simple_seaswood_test");
    ASSERT_EQ(r.reading.findings.size(), 1u);
    EXPECT_EQ(r.reading.findings[0].kind, FindingKind::id_cut);
    EXPECT_EQ(r.reading.findings[0].series, "very_sim");
    EXPECT_EQ(r.reading.series[0].id.whole(), "very_simple_seaswood_test");
}

TEST(PosSamples, FilesThatCannotBeReadAreRefusedNamingWhy) {
    const struct {
        const char* stem;
        const char* error;
    } cases[] = {
        {"broken", "line 9: no points: the file ends after its header"},
        {"old_file",
         "line 7: written by version 7.7 of the measuring program, older than 7.8: no pith line "
         "(PithCoordinates) and no dated widths"},
    };
    for (const auto& c : cases) {
        const PosReading r = read_data(std::string("pos/") + c.stem + ".pos", c.stem);
        EXPECT_EQ(error_of(r.reading), c.error);
        EXPECT_TRUE(r.reading.series.empty() && r.reading.findings.empty());
    }
}

// ---------------------------------------------------------------------------
// One fixture per quirk. Their points lie on lines and 3-4-5 triangles, so
// that every width is exact in binary32.

TEST(PosQuirks, GapPointsLeaveOutTheMissingWood) {
    // A pair of gap points leaves out the segment between them; a lone one
    // the segment to the boundary after it.
    const PosReading r = read_quirk("gap_points");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_EQ(r.reading.series[0].first_year, 1997);
    EXPECT_EQ(r.reading.series[0].widths, (std::vector<float>{0.5f, 1.0f, 1.25f, 2.0f}));
    EXPECT_EQ(r.pith.distance_mm, 1.0f);
    // The widths' precision is the points' most decimals (13.25).
    EXPECT_EQ(r.reading.series[0].width_decimals, 2);
}

TEST(PosQuirks, DoublePointLeavesOutItsJump) {
    // The last point is a double point: the pith is measured from its
    // second pair.
    const PosReading r = read_quirk("double_point");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_EQ(r.reading.series[0].first_year, 1997);
    EXPECT_EQ(r.reading.series[0].widths, (std::vector<float>{2.0f, 2.0f, 1.0f, 1.5f}));
    EXPECT_EQ(r.pith.distance_mm, 1.5f);
    ASSERT_EQ(r.reading.findings.size(), 1u);  // the stem's cut alone
    EXPECT_EQ(r.reading.findings[0].kind, FindingKind::id_cut);
}

TEST(PosQuirks, SeasonwoodPointsAreCornersOfTheRing) {
    // Each ring is its two legs, not the straight line between its
    // boundaries; the seasonwood point after the last boundary is dropped.
    const PosReading r = read_quirk("seasonwood");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_EQ(r.reading.series[0].first_year, 1999);
    EXPECT_EQ(r.reading.series[0].widths, (std::vector<float>{10.0f, 10.0f}));
    EXPECT_EQ(r.pith.distance_mm, 1.0f);
}

TEST(PosQuirks, ZeroLabelAddsRingsOfWidthZeroInsideItsBoundary) {
    const PosReading r = read_quirk("zero_rings");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_EQ(r.reading.series[0].first_year, 1996);
    EXPECT_EQ(r.reading.series[0].widths, (std::vector<float>{1.0f, 2.0f, 0.0f, 0.0f, 1.0f}));
}

TEST(PosQuirks, PointsGoingBackAreToldOnce) {
    // Seasonwood points saved after the boundaries, running back toward
    // the bark: the widths are the boundaries' alone.
    const PosReading r = read_quirk("reversed_order");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_EQ(r.reading.series[0].widths, (std::vector<float>{5.0f, 5.0f, 5.0f}));
    ASSERT_EQ(r.reading.findings.size(), 2u);
    EXPECT_EQ(r.reading.findings[0].kind, FindingKind::id_cut);
    EXPECT_EQ(r.reading.findings[1], (Finding{.kind = FindingKind::point_order_reversed,
                                              .line = 12,
                                              .series = "reversed",
                                              .count = 3}));
}

TEST(PosQuirks, PithOffTheCoresLineIsTold) {
    const PosReading r = read_quirk("pith_off_line");
    ASSERT_EQ(error_of(r.reading), "no error");
    ASSERT_EQ(r.reading.findings.size(), 2u);  // and the stem's cut
    EXPECT_EQ(r.reading.findings[1], (Finding{.kind = FindingKind::pith_off_core_line,
                                              .line = 7,
                                              .series = "pith_off",
                                              .value = 3.0f,
                                              .text = "back toward the bark"}));
}

// ---------------------------------------------------------------------------
// Made-up files of a few lines.

std::string header(std::string_view pith_line = "#C PithCoordinates=20,5; YearsToPith=3;") {
    return "#DENDRO Coordinate file written as C:\\x.pos\r\n#Imagefile x.jpg\r\n#DPI 2400.0\r\n"
           "#All coordinates in millimeters (mm)\r\nSCALE 1\r\n#C DATED 2000\r\n" +
           std::string(pith_line) + "\r\n";
}

TEST(Pos, WhatTheHeaderSaysOfThePith) {
    // Without the pith line (no pith marked): the widths, no distance.
    PosReading r = read_pos(header("#C Radius=4;") + "10,5\r\n12,5\r\n", "A");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_FALSE(r.pith.pith_line);
    EXPECT_FALSE(r.pith.distance_mm);
    EXPECT_FALSE(r.reading.series[0].pith);
    // The rounded key stands in for the coordinates only without them; keys
    // in any case, grouped into lines any way.
    r = read_pos(header("#C DistanceToPith=2.3;\r\n#C yearstopith=4;") + "10,5\r\n12,5\r\n", "A");
    ASSERT_EQ(error_of(r.reading), "no error");
    EXPECT_EQ(r.pith.distance_mm, testing::nearest("2.3"));
    EXPECT_EQ(r.pith.years_to_pith, 4);
    EXPECT_EQ(r.reading.series[0].pith, (PithInfo{.offset = 4,
                                                  .offset_source = "YearsToPith",
                                                  .distance_mm = testing::nearest("2.3"),
                                                  .distance_source = "DistanceToPith"}));
    r = read_pos(header("#C PithCoordinates=15,5; DistanceToPith=2.3;") + "10,5\r\n12,5\r\n", "A");
    EXPECT_EQ(r.pith.distance_mm, 3.0f);
    // A pith farther than half the core is long.
    r = read_pos(header("#C PithCoordinates=20,5;") + "10,5\r\n12,5\r\n", "A");
    ASSERT_EQ(r.reading.findings.size(), 1u);
    EXPECT_EQ(r.reading.findings[0].text, "farther than half the core's length");
    EXPECT_EQ(r.reading.findings[0].value, 8.0f);
}

TEST(Pos, BadInputIsRefusedNamingTheLine) {
    const std::string points = "10,5\r\n12,5\r\n";
    const std::string many = [] {
        std::string text;
        for (std::size_t k = 0; k <= max_pos_points; ++k) text += "10,5\n";
        return text;
    }();
    const struct {
        std::string file;
        const char* error;
    } cases[] = {
        {"", "line 0: an empty file"},
        {header() + "10,5\r\n12.5", "line 9: a truncated coordinate line: \"12.5\" is no pair x,y"},
        {header() + "10,5\r\n12.5,",
         "line 9: a truncated coordinate line: \"12.5,\" is no pair x,y"},
        {header() + "10,5\r\n12.5,5  13",
         "line 9: a truncated coordinate line: \"13\" is no pair x,y"},
        {header() + "10,5\r\n1a2.5,5\r\n", "line 9: coordinate \"1a2.5\" is not a number"},
        {header() + "10,5\r\n12,5\r\n#C late\r\n", "line 10: a header line among the points"},
        {header() + "10,5\r\nD11,5 #FRST\r\n12,5\r\n",
         "line 9: a D point that is neither seasonwood (#W#) nor a gap (#%gap)"},
        {header() + "10,5\r\n11,5 12,5 13,5\r\n",
         "line 9: more than two coordinate pairs on a line"},
        {header() + "10,5\r\n11,5 #ZERO9999\r\n12,5\r\n",
         "line 9: more zero rings than a series can hold (ZERO9999)"},
        {header() + "10,5\r\n", "line 8: one ring boundary: no ring to measure"},
        {header() + "-3e38,5\r\n3e38,5\r\n",
         "line 9: points too far apart for a width in single precision"},
        {std::string("#\0D\0E\0N\0D\0R\0O\0", 14), "line 1: UTF-16 text, not a coordinate file"},
        {header() + "D10,5 #W#\r\n", "line 8: no ring boundaries, only seasonwood or gap points"},
        {header() + many, "line 100008: more than 100000 points"},
        {"#DENDRO\r\n#DPI 1200\r\nSCALE 1\r\n#C DATED 2000\r\n" + points,
         "line 2: no line \"#All coordinates in millimeters (mm)\": the points may be in pixels of "
         "the scan, not millimetres"},
        {"#DENDRO\r\n#All coordinates in pixels\r\n#C DATED 2000\r\n" + points,
         "line 2: coordinates in \"pixels\", not millimetres"},
        {"#DENDRO\r\n#All coordinates in millimeters (mm)\r\nSCALE 2\r\n#C DATED 2000\r\n" + points,
         "line 3: SCALE \"2\", not 1: the points are scaled"},
        {"#DENDRO\r\n#All coordinates in millimeters (mm)\r\n#C 1980 LA\r\n#C Dated by JS\r\n" +
             points,
         "line 5: no dated year (no line \"#C DATED <year>\" before the points): the core was "
         "never dated"},
        {"#DENDRO\r\n#All coordinates in millimeters (mm)\r\n#C DATED 20x2\r\n" + points,
         "line 3: the dated year \"20x2\" is no year"},
        {"#DENDRO\r\n#All coordinates in millimeters (mm)\r\n#C DATED\r\n" + points,
         "line 3: the dated year \"\" is no year"},
        {"#DENDRO\r\n#All coordinates in millimeters (mm)\r\n#C DATED 2000\r\n"
         "#C PithCoordinates=1;2;\r\n" +
             points,
         "line 4: PithCoordinates \"1\" are not two numbers"},
        {"#DENDRO\r\n#All coordinates in millimeters (mm)\r\n#C DATED 2000\r\n"
         "#C CooRecorder=7.7 TEST Febr 13 2013;\r\n" +
             points,
         "line 4: written by version 7.7 of the measuring program, older than 7.8: no pith line "
         "(PithCoordinates) and no dated widths"},
        {"HEADER:\nKeyCode=A\nDateBegin=1\nDATA:Tree\n1 2\n",
         "line 1: a Heidelberg file, not a coordinate file"},
        {"<?xml version=\"1.0\"?>\n<tridas/>\n", "line 1: a TRiDaS file, not a coordinate file"},
        {"10,5\n12,5\n",
         "line 1: not a coordinate file: its first line does not start with #DENDRO"},
    };
    for (const auto& c : cases) {
        const PosReading r = read_pos(c.file, "A");
        EXPECT_EQ(error_of(r.reading), c.error) << c.file.substr(0, 300);
        EXPECT_TRUE(r.reading.series.empty() && r.reading.findings.empty());
    }
}

}  // namespace
}  // namespace ruvela
