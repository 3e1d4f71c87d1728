#include "ringio/decade.hpp"

#include <gtest/gtest.h>

#include <string>

#include "ringio/series.hpp"
#include "ringio/units.hpp"
#include "trrw_support.hpp"

namespace ruvela {
namespace {

const std::string two_series = "01A     1850   120   130   999\n01B     1851   140   999\n";

RingFileReading read(const std::string& text) {
    return read_decade(text, max_years);
}

// Quirks of files as editors and spreadsheets save them; each was once read
// silently wrong.
TEST(DecadeFile, ByteOrderMarkIsNotPartOfTheFirstId) {
    const RingFileReading r = read("\xEF\xBB\xBF" + two_series);
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "01A     ");  // not the mark and "01A" read from year 1
    EXPECT_EQ(r.series[0].first_year, 1850);
    EXPECT_TRUE(r.findings.empty());
}

TEST(DecadeFile, FieldsSeparatedByTabsAreReadByTheirFieldsAndTold) {
    const RingFileReading r = read("01A\t1850\t120\t130\t999\r\n01B     1851   140   999\r\n");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "01A     ");
    EXPECT_EQ(r.series[0].widths,
              (std::vector<float>{hundredths_to_mm(120), hundredths_to_mm(130)}));
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0],
              (Finding{.kind = FindingKind::tabs_between_fields, .line = 1, .count = 1}));
}

TEST(DecadeFile, ASecondSeriesOfTheSameIdIsTold) {
    const RingFileReading r = read(two_series + "01A     1900   150   999\n");
    ASSERT_EQ(r.series.size(), 3u);
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0],
              (Finding{.kind = FindingKind::duplicate_id, .line = 3, .series = "01A     "}));
}

TEST(DecadeFile, IdsThatAreNotUtf8AreRepairedAndToldOnce) {
    const RingFileReading r = read(
        "\xC9"
        "CH1    1850   120   999\n\xC9"
        "CH2    1850   120   999\n");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "?CH1    ");
    ASSERT_EQ(r.findings.size(), 1u);
    EXPECT_EQ(r.findings[0].kind, FindingKind::id_not_utf8);
    EXPECT_EQ(r.findings[0].line, 1);  // once told as line 0
    EXPECT_EQ(r.findings[0].count, 2);
}

// Fault guarded: a whole decade line of tabs, ID, year and ten values, was
// taken as it stands and its columns read for the year and the widths.
TEST(DecadeFile, AWholeDecadeLineOfTabsIsReadByItsFields) {
    const RingFileReading r = read(
        "01A\t1850\t100\t101\t102\t103\t104\t105\t106\t107\t108\t109\n"
        "01A\t1860\t110\t999\n");
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].first_year, 1850);
    ASSERT_EQ(r.series[0].widths.size(), 11u);
    EXPECT_EQ(r.series[0].widths[0], hundredths_to_mm(100));
    EXPECT_EQ(r.series[0].widths[10], hundredths_to_mm(110));
}

}  // namespace
}  // namespace ruvela
