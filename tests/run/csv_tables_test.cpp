#include "run/csv_tables.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace ruvela {
namespace {

TEST(CsvText, QuotedOnlyWhenAReaderWouldSplitOrTrimIt) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"core1a", "core1a"},
        {"my site.rwl", "my site.rwl"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {" 01A", "\" 01A\""},
        {"01A ", "\"01A \""},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string out;
        put_csv_text(out, c.text);
        EXPECT_EQ(out, c.field) << c.text;
    }
}

// Series order then years; the basal area back in cm^2 as the single-
// precision product of the stored value (0.013 gives 1.3000001, not 1.3).
// Fault guarded: a series' first year gave the stored zero (or an empty
// cell) instead of the area of its first ring.
TEST(PairCsv, OneRowPerSeriesYearWithTheFirstRingsArea) {
    const std::vector<float> rw1 = {1.0f, 1.2f}, ba1 = {0.013f, 0.45f}, bai1 = {0.0f, 0.286513f};
    const std::vector<float> rw2 = {0.5f}, ba2 = {0.0123f}, bai2 = {0.0f};
    const SeriesCsvView series[] = {{"core1a", 1953, rw1, ba1, bai1, 0.25f},
                                    {"a,\"b\"", 1958, rw2, ba2, bai2, 1.23f},
                                    {"empty", 1960, {}, {}, {}, 0.0f}};
    std::ostringstream out;
    write_pair_csv(out, series);
    EXPECT_EQ(out.str(),
              "series,year,ring_width_mm,basal_area_cm2,bai_cm2\n"
              "core1a,1953,1,1.3000001,0.25\n"
              "core1a,1954,1.2,45,0.286513\n"
              "\"a,\"\"b\"\"\",1958,0.5,1.23,1.23\n");
}

// The ring widths at the decimals they were measured at, the computed
// columns as the shortest text; widths of unknown precision as the
// shortest text too, and a precision beyond what binary32 holds is none.
// Fault guarded: 67 hundredths written 0.66999996.
TEST(PairCsv, RingWidthsAsMeasured) {
    const std::vector<float> rw1 = {hundredths_to_mm(67), hundredths_to_mm(150), 0.0f},
                             rw2 = {thousandths_to_mm(1234), thousandths_to_mm(-9990)},
                             rw3 = {1e7f}, none = {0.0f, 0.0f, 0.0f};
    const std::vector<float> ba = {0.01f, 0.02f, 0.03f}, bai = {0.0f, 1.0f / 3.0f, 0.5f};
    ASSERT_EQ(shortest_text(rw1[0]), "0.66999996");
    const SeriesCsvView series[] = {{"hundredths", 1, rw1, ba, bai, 0.25f, nullptr, 2},
                                    {"thousandths", 1, rw2, ba, bai, 0.25f, nullptr, 3},
                                    {"unknown", 1, rw1, none, none, 0.0f},
                                    {"beyond", 1, rw3, ba, bai, 0.25f, nullptr, 2}};
    std::ostringstream out;
    write_pair_csv(out, series);
    EXPECT_EQ(out.str(),
              "series,year,ring_width_mm,basal_area_cm2,bai_cm2\n"
              "hundredths,1,0.67,1,0.25\n"
              "hundredths,2,1.50,2,0.33333334\n"
              "hundredths,3,0.00,3,0.5\n"
              "thousandths,1,1.234,1,0.25\n"
              "thousandths,2,-9.990,2,0.33333334\n"
              "unknown,1,0.66999996,0,0\n"
              "unknown,2,1.5,0,0\n"
              "unknown,3,0,0,0\n"
              "beyond,1,1e+07,1,0.25\n");
}

// Each pair over its own years with its own sample depths; a year no series
// covers has a count of 0 and empty means, never a mean of 0.
TEST(SummaryCsv, EachPairsOwnSpanAndDepths) {
    const std::vector<int> n1 = {1, 0, 2};
    const std::vector<float> rw1 = {1.5f, 0.0f, 0.75f}, ba1 = {0.013f, 0.0f, 0.1f},
                             bai1 = {0.0f, 0.0f, 2.5f};
    const std::vector<int> n2 = {3};
    const std::vector<float> rw2 = {0.1f}, ba2 = {0.2f}, bai2 = {1.0f / 3.0f};
    SummaryCsv summary;
    add_pair_rows(summary, {"site1.rwl", 1953, n1, rw1, n1, ba1, n1, bai1});
    add_pair_rows(summary, {"my,site.rwl", 2001, n2, rw2, n2, ba2, n2, bai2});
    std::ostringstream out;
    write_summary_csv(out, summary);
    EXPECT_EQ(out.str(),
              "file,year,n_ring_width,mean_ring_width_mm,n_basal_area,mean_basal_area_cm2,n_bai,"
              "mean_bai_cm2\n"
              "site1.rwl,1953,1,1.5,1,1.3000001,1,0\n"
              "site1.rwl,1954,0,,0,,0,\n"
              "site1.rwl,1955,2,0.75,2,10,2,2.5\n"
              "\"my,site.rwl\",2001,3,0.1,3,20,3,0.33333334\n");
}

// Fault guarded: a pair without ranges before one with them leaves rows
// one cell short of the header, so that every later column shifts.
TEST(SummaryCsv, RowsBeforeThePairWithRangesGetEmptyBoundCells) {
    const std::vector<int> n = {1};
    const std::vector<float> one = {1.0f}, low = {0.5f}, high = {2.0f};
    SummaryCsv summary;
    add_pair_rows(summary, {"plain.rwl", 1900, n, one, n, one, n, one});
    add_pair_rows(summary, {"ranged.rwl", 1900, n, one, n, one, n, one, low, high, low, high});
    add_pair_rows(summary, {"plain2.rwl", 1900, n, one, n, one, n, one});
    std::ostringstream out;
    write_summary_csv(out, summary);
    EXPECT_EQ(out.str(),
              "file,year,n_ring_width,mean_ring_width_mm,n_basal_area,mean_basal_area_cm2,n_bai,"
              "mean_bai_cm2,mean_basal_area_low_cm2,mean_basal_area_high_cm2,mean_bai_low_cm2,"
              "mean_bai_high_cm2\n"
              "plain.rwl,1900,1,1,1,100,1,1,,,,\n"
              "ranged.rwl,1900,1,1,1,100,1,1,0.5,2,0.5,2\n"
              "plain2.rwl,1900,1,1,1,100,1,1,,,,\n");
}

}  // namespace
}  // namespace ruvela
