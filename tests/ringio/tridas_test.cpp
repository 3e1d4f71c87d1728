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
    EXPECT_EQ(r.series[1].id.cut(), "OAK01B-o");
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

std::string series(const std::string& values, const std::string& first_year = "1900") {
    return "<measurementSeries><title>S</title>\n"
           "<interpretation><firstYear>" +
           first_year + "</firstYear></interpretation>\n" + values + "</measurementSeries>";
}

const std::string mm =
    "<values><variable normalTridas=\"ring width\"/><unit normalTridas=\"millimetres\"/>";
const std::string usable =
    "<measurementSeries><title>G</title><interpretation><firstYear>1"
    "</firstYear></interpretation>" +
    mm + "<value value=\"1\"/></values></measurementSeries>";

std::string one_series(const std::string& values, const std::string& first_year = "1900") {
    return "<tridas>" + series(values, first_year) + "</tridas>\n";
}

// A single project as the root, in the TRiDaS namespace or in none.
TEST(Tridas, ProjectAsTheRoot) {
    const std::pair<std::string, std::string> roots[] = {
        {"<project>", "</project>"},
        {"<t:project xmlns:t=\"http://www.tridas.org/1.2.2\">", "</t:project>"}};
    for (const auto& [open, close] : roots) {
        const std::string file = open + "<object>" + usable + "</object>" + close;
        EXPECT_EQ(detect_ring_format(file), RingFormat::tridas) << file;
        const auto r = read_tridas(file);
        ASSERT_EQ(error_of(r), "no error") << file;
        ASSERT_EQ(r.series.size(), 1u) << file;
        EXPECT_EQ(r.series[0].id, "G");
    }
}

// Series that cannot be read are passed over beside one that can; an empty
// values block is no second block of ring widths.
TEST(Tridas, SeriesThatCannotBeReadAreSkipped) {
    const std::string ring_width = "<values><variable normalTridas=\"ring width\"/>";
    struct Case {
        std::string series;
        const char* finding;
    } cases[] = {
        {series(ring_width + "<unit normalTridas=\"furlongs\"/><value value=\"1\"/></values>"),
         "line 1: S skipped, a unit not known (furlongs)"},
        {series(ring_width + "<unitless/><value value=\"1\"/></values>"),
         "line 1: S skipped, no unit"},
        {series(mm + "<value value=\"1\"/></values>" + mm + "<value value=\"2\"/></values>"),
         "line 1: S skipped, more than one block of ring widths"},
        {series(mm + "</values>"), "line 1: S skipped, no rings"},
        {series(mm + "\n<value value=\"1.2.3\"/></values>"),
         "line 1: S skipped, value \"1.2.3\" on line 4 is not a number"},
        {series(mm + "<value/></values>"),
         "line 1: S skipped, value \"\" on line 3 is not a number"},
        {series(mm + "<value value=\"1\"/></values>", "MCM"),
         "line 1: S skipped, firstYear \"MCM\" is not a whole number"},
    };
    for (const Case& c : cases) {
        const auto r = read_tridas("<tridas>" + c.series + usable + "</tridas>");
        ASSERT_EQ(error_of(r), "no error") << c.series;
        ASSERT_EQ(r.series.size(), 1u) << c.series;
        EXPECT_EQ(described(r), Strings{c.finding}) << c.series;
    }
    const auto r = read_tridas(one_series(mm + "<value value=\"1\"/></values>" + mm + "</values>"));
    ASSERT_EQ(error_of(r), "no error");
    EXPECT_EQ(r.series.size(), 1u);
}

// A variable in free text that names the ring width, in any case and with
// blanks around it, is ring width; other free text is still skipped.
TEST(Tridas, RingWidthInFreeText) {
    const std::string unit = "<unit normalTridas=\"millimetres\"/><value value=\"1.5\"/></values>";
    for (const std::string variable :
         {"<variable>Total ring width</variable>", "<variable>\n  RING WIDTH  </variable>",
          "<variable normal=\" total Ring Width \"/>", "<variable>ring-width</variable>"}) {
        const auto r = read_tridas(one_series("<values>" + variable + unit));
        ASSERT_EQ(error_of(r), "no error") << variable;
        ASSERT_EQ(r.series.size(), 1u) << variable;
        EXPECT_EQ(r.series[0].widths, Widths{1.5f}) << variable;
    }
    const auto r = read_tridas(
        "<tridas>" + series("<values><variable>Early wood</variable>" + unit) +
        series("<values><variable>ring width index</variable>" + unit) + usable + "</tridas>");
    ASSERT_EQ(error_of(r), "no error");
    EXPECT_EQ(described(r),
              (Strings{"line 1: S skipped, no ring widths (values of: Early wood)",
                       "line 3: S skipped, no ring widths (values of: ring width index)"}));
}

// A file declared Latin-1 reaches the tables in UTF-8; IDs that are not
// UTF-8 in a file that says it is are repaired, and told once.
TEST(Tridas, Latin1IsConvertedAndBadUtf8Repaired) {
    const std::string body =
        "<tridas>" + series(mm + "<value value=\"1\"/></values>") + "\n" + usable + "</tridas>";
    std::string latin1 = body;
    latin1.replace(latin1.find("<title>S"), 8,
                   "<title>\xC9"
                   "CH1");
    const auto r = read_tridas("<?xml version=\"1.0\" encoding='ISO-8859-1'?>" + latin1);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id,
              "\xC3\x89"
              "CH1");
    EXPECT_TRUE(r.findings.empty());

    std::string bad = latin1;
    bad.replace(bad.find("<title>G"), 8, "<title>G\xFF");
    const auto b = read_tridas("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + bad);
    ASSERT_EQ(error_of(b), "no error");
    ASSERT_EQ(b.series.size(), 2u);
    EXPECT_EQ(b.series[0].id, "?CH1");
    EXPECT_EQ(b.series[1].id, "G?");
    ASSERT_EQ(b.findings.size(), 1u);
    EXPECT_EQ(b.findings[0],
              (Finding{.kind = FindingKind::id_not_utf8, .line = 1, .series = "?CH1", .count = 2}));
}

TEST(Tridas, BadInputStopsThePairNamingTheLine) {
    const RefusedFile cases[] = {
        {"<?xml version=\"1.0\"?>\n<tridas>\n<project>\n</tridas>\n",
         "line 4: malformed XML: Start-end tags mismatch"},
        {std::string("<tridas>\n") + series(mm + "<value value=\"x\"/></values>") +
             series(mm + "</values>") + "</tridas>",
         "line 2: no series can be read (2 skipped; the first, S, value \"x\" on line 4 is not "
         "a number)"},
        {"<tridas><project/></tridas>", "line 1: no measurementSeries"},
        {"<?xml version=\"1.0\"?>\n<rwl/>\n",
         "line 2: root element <rwl>, not <tridas> or <project>"},
    };
    expect_refused(read_tridas, cases);
}

}  // namespace
}  // namespace ruvela
