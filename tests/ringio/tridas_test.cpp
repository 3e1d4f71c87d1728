#include "ringio/tridas.hpp"

#include <gtest/gtest.h>

#include "formats_support.hpp"
#include "ringio/units.hpp"

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

// The tridas: prefix throughout: the ring-width block is taken beside an
// earlywood one, hundredths and micrometres go the decade format's way, a
// series of latewood only and a derived series (a chronology) are skipped.
TEST(Tridas, PrefixedNamesAndTheRingWidthBlock) {
    const auto r = read_fixture("tridas/prefixed.xml", RingFormat::tridas);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "OAK01A");
    EXPECT_EQ(r.series[0].first_year, 1850);
    EXPECT_EQ(r.series[0].widths,
              (Widths{hundredths_to_mm(125), hundredths_to_mm(130), hundredths_to_mm(0)}));
    EXPECT_EQ(r.series[1].id, "OAK01B-o");
    EXPECT_EQ(r.series[1].first_year, 1851);
    EXPECT_EQ(r.series[1].widths, (Widths{thousandths_to_mm(1234), thousandths_to_mm(987)}));
    EXPECT_EQ(described(r),
              (Strings{"line 28: ID OAK01B-outer cut to OAK01B-o",
                       "line 40: OAK01C skipped, no ring widths (values of: latewood width)",
                       "line 55: OAKCHRON skipped, a derived series"}));
}

// No prefix (a default namespace), CRLF, an identifier for want of a title,
// 1/50 mm rounded once, BC and BP first years, an undated series skipped.
TEST(Tridas, PlainNamesBcAndBpYears) {
    const auto r = read_fixture("tridas/plain.xml", RingFormat::tridas);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "ROMAN7");
    EXPECT_EQ(r.series[0].first_year, -11);  // 12 BC; 1 BC is year 0
    EXPECT_EQ(r.series[0].widths, (Widths{nearest("0.06"), nearest("0.15")}));
    EXPECT_EQ(r.series[1].id, "BP1");
    EXPECT_EQ(r.series[1].first_year, 1850);
    EXPECT_EQ(r.series[1].widths, (Widths{1.5f, nearest("0.01")}));
    EXPECT_EQ(described(r), Strings{"line 16: UNDATED1 skipped, undated (no firstYear)"});
}

std::string one_series(const std::string& values, const std::string& first_year = "1900") {
    return "<tridas><measurementSeries><title>S</title>\n"
           "<interpretation><firstYear>" +
           first_year + "</firstYear></interpretation>\n" + values +
           "</measurementSeries></tridas>\n";
}

// The variable's name in any case; tenths are not hundredths; the title
// names the series even where an identifier comes first.
TEST(Tridas, RingWidthInAnyCaseTenthsAndTheTitleForTheId) {
    const auto r = read_tridas(
        "<tridas><measurementSeries><identifier>I</identifier><title>T</title>\n"
        "<interpretation><firstYear>1900</firstYear></interpretation>\n"
        "<values><variable normalTridas=\"RING Width\"/>"
        "<unit normalTridas=\"1/10th millimetres\"/><value value=\"12\"/></values>"
        "</measurementSeries></tridas>\n");
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 1u);
    EXPECT_EQ(r.series[0].id, "T");
    EXPECT_EQ(r.series[0].widths, Widths{nearest("1.2")});
}

TEST(Tridas, SeriesWithoutOneKnownRingWidthBlockAreSkipped) {
    const std::string ring_width = "<values><variable normalTridas=\"ring width\"/>";
    struct Case {
        std::string file;
        const char* finding;
    } cases[] = {
        {one_series(ring_width + "<unit normalTridas=\"furlongs\"/><value value=\"1\"/></values>"),
         "line 1: S skipped, a unit not known (furlongs)"},
        {one_series(ring_width + "<unitless/><value value=\"1\"/></values>"),
         "line 1: S skipped, no unit"},
        {one_series(ring_width +
                    "<unit normalTridas=\"millimetres\"/><value value=\"1\"/>"
                    "</values>" +
                    ring_width + "<unit normalTridas=\"millimetres\"/></values>"),
         "line 1: S skipped, more than one block of ring widths"},
        {one_series(ring_width + "<unit normalTridas=\"millimetres\"/></values>"),
         "line 1: S skipped, no rings"},
    };
    for (const Case& c : cases) {
        const auto r = read_tridas(c.file);
        ASSERT_EQ(error_of(r), "no error") << c.file;
        EXPECT_TRUE(r.series.empty()) << c.file;
        EXPECT_EQ(described(r), Strings{c.finding}) << c.file;
    }
}

TEST(Tridas, BadInputStopsThePairNamingTheLine) {
    const std::string mm =
        "<values><variable normalTridas=\"ring width\"/><unit normalTridas=\"millimetres\"/>";
    const RefusedFile cases[] = {
        {"<?xml version=\"1.0\"?>\n<tridas>\n<project>\n</tridas>\n",
         "line 4: malformed XML: Start-end tags mismatch"},
        {one_series(mm + "\n<value value=\"1.2.3\"/></values>"),
         "line 4: value \"1.2.3\" is not a number"},
        {one_series(mm + "<value/></values>"), "line 3: value \"\" is not a number"},
        {one_series(mm + "<value value=\"1\"/></values>", "MCM"),
         "line 2: firstYear \"MCM\" is not a whole number"},
        {"<?xml version=\"1.0\"?>\n<rwl/>\n", "line 2: root element <rwl>, not <tridas>"},
    };
    expect_refused(read_tridas, cases);
}

}  // namespace
}  // namespace ruvela
