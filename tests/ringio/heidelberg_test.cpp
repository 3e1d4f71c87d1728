#include "ringio/heidelberg.hpp"

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

std::vector<float> hundredths(std::initializer_list<int> values) {
    std::vector<float> out;
    for (int v : values) out.push_back(hundredths_to_mm(v));
    return out;
}

// Block layout with CRLF line ends: zeros inside Length are rings, zeros
// past it (the rest of the line and a whole line) padding; no Unit means
// hundredths; Keycode= names the second series, whose first year follows
// from DateEnd and Length.
TEST(Heidelberg, BlockLayoutTakesLengthRingsAndLeavesThePadding) {
    const auto r = read_fixture("heidelberg/block.fh", RingFormat::heidelberg);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id, "OAK0103");
    EXPECT_EQ(r.series[0].first_year, 1850);
    EXPECT_EQ(r.series[0].widths,
              hundredths({125, 130, 99, 120, 115, 145, 151, 130, 135, 151, 88, 92, 0}));
    EXPECT_EQ(r.series[1].id, "OAK0104");
    EXPECT_EQ(r.series[1].first_year, 1997);
    EXPECT_EQ(r.series[1].widths, hundredths({40, 0, 52}));
    EXPECT_TRUE(r.findings.empty());
}

// Column layout: the value is a line's first `;` field. Thousandths go the
// decade format's way; early wood and a chronology are skipped; IDs are cut
// to 8 characters, and two that end up alike are told; a series of one
// ring of 0.007 mm has an implausible mean width.
TEST(Heidelberg, ColumnLayoutSkipsWhatIsNotRingWidthAndCutsIds) {
    const auto r = read_fixture("heidelberg/column.fh", RingFormat::heidelberg);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 2u);
    EXPECT_EQ(r.series[0].id.cut(), "PINE-SIT");
    EXPECT_EQ(r.series[0].first_year, -3);
    EXPECT_EQ(r.series[0].widths,
              (std::vector<float>{thousandths_to_mm(1234), thousandths_to_mm(988),
                                  thousandths_to_mm(1001), thousandths_to_mm(57),
                                  thousandths_to_mm(1200)}));
    EXPECT_EQ(r.series[1].first_year, 1);
    EXPECT_EQ(r.series[1].widths, std::vector<float>{thousandths_to_mm(7)});
    EXPECT_EQ(described(r),
              (Strings{"line 2: ID PINE-SITE-12 cut to PINE-SIT",
                       "line 19: PINE-EW skipped, another quantity than ring width "
                       "(DataType=Early wood)",
                       "line 26: MEAN01 skipped, a chronology (DATA:Chrono)",
                       "line 29: ID PINE-SITE-99 cut to PINE-SIT", "line 29: ID PINE-SIT again",
                       "PINE-SIT: implausible mean width"}));
}

// Units other than hundredths and thousandths are rounded once from the
// exact value (1/50 and 1/20 mm too); a BC series counted without year 0
// (10 rings from -5 to 5) keeps DateBegin and Length.
TEST(Heidelberg, OtherUnitsAreRoundedOnceFromTheExactValue) {
    const auto r = read_fixture("heidelberg/units.fh", RingFormat::heidelberg);
    ASSERT_EQ(error_of(r), "no error");
    ASSERT_EQ(r.series.size(), 4u);
    EXPECT_EQ(r.series[0].first_year, -5);
    EXPECT_EQ(r.series[0].widths.size(), 10u);
    EXPECT_EQ(r.series[0].widths[0], nearest("1.2"));
    EXPECT_EQ(r.series[0].widths[9], nearest("2.1"));
    EXPECT_EQ(r.series[1].widths, (std::vector<float>{1.25f, nearest("0.1"), 2.0f}));
    EXPECT_EQ(r.series[2].widths, (std::vector<float>{nearest("0.06"), nearest("0.14")}));
    EXPECT_EQ(r.series[3].widths, (std::vector<float>{nearest("0.15"), nearest("0.35")}));
}

TEST(Heidelberg, RingCountWithoutLength) {
    struct Case {
        const char* file;
        int first_year;
        std::size_t rings;
        Strings findings;
    } cases[] = {
        // Both dates give the count.
        {"HEADER:\nDateBegin=10\nDateEnd=12\nDATA:Tree\n1 0 3 0 0\n", 10, 3, {}},
        // One date: the values up to the padding.
        {"HEADER:\nDateEnd=12\nDATA:Tree\n1 0 3 0 0\n", 10, 3, {}},
        {"HEADER:\nKeyCode=U\nLength=2\nDATA:Tree\n1 2\n",
         0,
         0,
         {"line 4: U skipped, undated (no DateBegin or DateEnd)"}},
        {"HEADER:\nKeyCode=E\nDateBegin=5\nLength=0\nDATA:Tree\n",
         0,
         0,
         {"line 5: E skipped, no rings"}},
        {"HEADER:\nKeyCode=K\nDateBegin=5\nLength=1\nUnit=inch\nDATA:Tree\n1\n",
         0,
         0,
         {"line 6: K skipped, a unit not known (Unit=inch)"}},
        {"HEADER:\nKeyCode=D\nDateBegin=5\nLength=1\nDATA:\n1\n",
         0,
         0,
         {"line 5: D skipped, DATA:, not a single series"}},
        {"HEADER:\nKeyCode=Z\nDateEnd=12\nDATA:Tree\n0 0 0\n",
         0,
         0,
         {"line 4: Z skipped, no rings"}},
        // Keys and the data line in any case.
        {"HEADER:\nKEYCODE=C\ndatebegin=5\ndata:tree\n1 2\n", 5, 2, {}},
        {"HEADER:\nKeyCode=M\nDateBegin=5\nData:Double\n1 2\n",
         0,
         0,
         {"line 4: M skipped, a chronology (DATA:Double)"}},
        {"HEADER:\nKeyCode=N\nDateBegin=5\nLength=1\nUnit=\nDATA:Tree\n1\n",
         0,
         0,
         {"line 6: N skipped, a unit not known (Unit=)"}},
    };
    for (const Case& c : cases) {
        const auto r = read_heidelberg(c.file);
        ASSERT_EQ(error_of(r), "no error") << c.file;
        EXPECT_EQ(described(r), c.findings) << c.file;
        if (c.rings == 0) {
            EXPECT_TRUE(r.series.empty()) << c.file;
            continue;
        }
        ASSERT_EQ(r.series.size(), 1u) << c.file;
        EXPECT_EQ(r.series[0].first_year, c.first_year) << c.file;
        EXPECT_EQ(r.series[0].widths.size(), c.rings) << c.file;
    }
}

TEST(Heidelberg, BadInputStopsThePairNamingTheLine) {
    const RefusedFile cases[] = {
        {"HEADER:\nKeyCode=A\nHEADER:\nKeyCode=B\nDATA:Tree\n1\n",
         "line 1: HEADER: without a DATA: line"},
        {"HEADER:\nKeyCode=A\nDateBegin=1\n", "line 1: HEADER: without a DATA: line"},
        {"HEADER:\nDateBegin=1\nLength=4\nDATA:Tree\n1 2 3\n",
         "line 3: 4 rings by the header but 3 values in the data"},
        {"HEADER:\nDateBegin=1\nLength=2\nDATA:Tree\n1 2 0\n0 5\n",
         "line 6: 2 rings by the header but 5 values, not zero past the last ring"},
        {"HEADER:\nDateBegin=1\nLength=2\nDATA:Tree\n1\n2a\n",
         "line 6: value \"2a\" is not a number"},
        {"HEADER:\nDateBegin=1\nLength=2\nDATA:Tree\n1,5\n2\n",
         "line 5: value \"1,5\" is not a number"},
        {"HEADER:\nDateBegin=1850\nDateEnd=1860\nLength=3\nDATA:Tree\n1 2 3\n",
         "line 1: DateBegin, DateEnd and Length disagree"},
        // Across year 0 only a span one short of Length is forgiven.
        {"HEADER:\nDateBegin=-5\nDateEnd=5\nLength=3\nDATA:Tree\n1 2 3\n",
         "line 1: DateBegin, DateEnd and Length disagree"},
        {"HEADER:\nDateBegin=1\nLength=2\nDATA:Tree\n120 130 140\n",
         "line 5: 2 rings by the header but 3 values, not zero past the last ring"},
        {"HEADER:\nDateBegin=18S0\nDATA:Tree\n1\n", "line 2: \"18S0\" is not a whole number"},
        {"HEADER:\nDateBegin=1\nLength=-2\nDATA:Tree\n1\n", "line 3: a negative Length"},
        {"HEADER:\nDateEnd=-2147483647\nLength=5\nDATA:Tree\n1 2 3 4 5\n",
         "line 1: years beyond any calendar"},
        {"Title\nHEADER:\n", "line 1: a line outside any series"},
    };
    expect_refused(read_heidelberg, cases);
}

}  // namespace
}  // namespace ruvela
