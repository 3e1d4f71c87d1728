// The warning lines of the ring-width readers' findings.
#include "run/reader_warnings.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace ruvela {
namespace {

using K = FindingKind;

// Each kind names the file, the line or series and the values; IDs lose
// their trailing blanks, and a quoted line is cut at 60 characters, never
// inside a character of several bytes, with control characters shown as '?'.
TEST(ReaderWarnings, EveryKindNamesWhereAndWhat) {
    const std::string long_line = std::string(59, 'x') + "\xC3\xA9more\x01";
    const std::string with_controls = std::string("a\tb\x7f").append(long_line);
    const struct {
        Finding finding;
        std::string text;
    } cases[] = {
        {{.kind = K::year_out_of_sequence,
          .line = 10,
          .series = "48B     ",
          .year = 1910,
          .expected_year = 1900},
         "File f.rwl, line 10: series 48B has year 1910 where 1900 comes next; a decade line is "
         "missing or repeated"},
        {{.kind = K::id_changed, .line = 30, .series = "50A     ", .other_id = "50B     "},
         "File f.rwl, line 30: a line of 50B is read into series 50A; the end marker of 50A is "
         "probably missing"},
        {{.kind = K::negative_widths,
          .series = "712011  ",
          .year = 1900,
          .count = 1,
          .value = -9.99f},
         "File f.rwl, series 712011: 1 negative ring width, the first in 1900: -9.990 mm (a code "
         "for a missing value?)"},
        {{.kind = K::negative_widths, .series = "A", .year = 1801, .count = 3, .value = -0.0005f},
         "File f.rwl, series A: 3 negative ring widths, the first in 1801: -0.001 mm (a code for "
         "a missing value?)"},
        {{.kind = K::empty_series, .series = "        ", .year = 1990},
         "File f.rwl, series (blank): no rings; its end marker follows its first year 1990"},
        {{.kind = K::not_decade_format, .text = "HEADER:\t "},
         "File f.rwl does not look like a decade-format ring-width file (no series found); its "
         "first line: \"HEADER:\""},
        {{.kind = K::not_decade_format, .line = 26, .text = with_controls},
         "File f.rwl does not look like a decade-format ring-width file (reading stopped at line "
         "26: more than 25 text lines); its first line: \"a b?" +
             std::string(56, 'x') + "\""},
        {{.kind = K::not_decade_format, .text = long_line},
         "File f.rwl does not look like a decade-format ring-width file (no series found); its "
         "first line: \"" +
             std::string(59, 'x') + "\""},
        {{.kind = K::not_decade_format},
         "File f.rwl does not look like a decade-format ring-width file (no series found); it "
         "holds no text"},
        {{.kind = K::series_unended, .line = 40, .series = "B1", .year = 1850},
         "File f.rwl, line 40: series B1, from year 1850, has no end marker before the end of the "
         "file and is not read"},
        {{.kind = K::id_cut, .line = 1, .series = "ABCDEFGH", .other_id = "ABCDEFGHIJK"},
         "File f.rwl, line 1: ID ABCDEFGHIJK is cut to 8 characters in the fixed-width tables: "
         "ABCDEFGH (the CSV tables keep it whole)"},
        {{.kind = K::duplicate_id, .line = 7, .series = "01A"},
         "File f.rwl, line 7: a second series with ID 01A"},
        {{.kind = K::series_skipped, .line = 3, .series = "01A", .text = "it has no first year"},
         "File f.rwl, line 3: series 01A is skipped: it has no first year"},
        {{.kind = K::gap_read_as_zero,
          .series = "01A",
          .year = 1901,
          .expected_year = 1901,
          .count = 1},
         "File f.rwl, series 01A: 1 missing ring in 1901 read as zero width"},
        {{.kind = K::gap_read_as_zero,
          .series = "01A",
          .year = 1901,
          .expected_year = 1910,
          .count = 4},
         "File f.rwl, series 01A: 4 missing rings between 1901 and 1910 read as zero width"},
        {{.kind = K::id_not_utf8, .line = 4, .series = "?CH1", .count = 1},
         "File f.rwl, line 4: ID ?CH1 is not UTF-8 text; each byte of it that is not is shown "
         "as '?'"},
        {{.kind = K::id_not_utf8, .line = 4, .series = "?CH1", .count = 3},
         "File f.rwl, line 4: ID ?CH1 is not UTF-8 text; each byte of it that is not is shown "
         "as '?' (3 IDs of the file)"},
        {{.kind = K::mean_width_implausible, .series = "01A", .value = 125.0f},
         "File f.rwl, series 01A: mean ring width 125.000 mm is above 10 mm; are the widths in "
         "hundredths of a millimetre?"},
        {{.kind = K::mean_width_implausible, .series = "01A", .value = 0.0125f},
         "File f.rwl, series 01A: mean ring width 0.013 mm is below 0.1 mm; are the widths in "
         "thousandths of a millimetre, or in another unit than the file says?"},
        {{.kind = K::point_order_reversed, .line = 12, .series = "core_07", .count = 3},
         "File f.rwl, line 12: series core_07: 3 steps between points go back against the core's "
         "direction; the points may be out of order"},
        {{.kind = K::pith_off_core_line,
          .line = 7,
          .series = "core_07",
          .value = 3.0f,
          .text = "back toward the bark"},
         "File f.rwl, line 7: series core_07: the pith, 3.000 mm from the innermost point, lies "
         "back toward the bark"},
    };
    for (const auto& c : cases) EXPECT_EQ(reader_warning_text(c.finding, "f.rwl"), c.text);
}

TEST(ReaderWarnings, EachKindOfAtMostTenThenTheirCount) {
    for (const int series : {10, 11, 13}) {
        std::vector<Finding> findings;
        for (int s = 1; s <= series; ++s) {
            std::string id = "S";
            id += std::to_string(s);
            findings.push_back({.kind = K::negative_widths,
                                .series = id,
                                .year = 1900,
                                .count = 1,
                                .value = -9.99f});
            if (s == 11) findings.push_back({.kind = K::empty_series, .series = "E", .year = 1});
        }
        std::istringstream in;
        std::ostringstream out, err;
        Console con(in, out, err);
        write_reader_warnings(con, "f.rwl", findings);
        const std::string text = out.str();
        EXPECT_NE(text.find("series S10:"), std::string::npos) << series;
        EXPECT_EQ(text.find("series S11:"), std::string::npos) << series;
        EXPECT_EQ(text.find("series E:") != std::string::npos, series >= 11) << series;
        const std::string count_line =
            series == 11   ? " Warning: File f.rwl: 1 more series holds negative ring widths\n"
            : series == 13 ? " Warning: File f.rwl: 3 more series hold negative ring widths\n"
                           : "";
        EXPECT_TRUE(text.ends_with(count_line)) << text;
        const int lines = 10 + (series >= 11 ? 2 : 0);
        EXPECT_EQ(con.warnings, lines) << series;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), lines) << series;
    }
    // Every other kind the same way: a table with a gap every other year in
    // a thousand series once wrote a line for each.
    std::vector<Finding> gaps(1000, {.kind = K::gap_read_as_zero,
                                     .series = "G",
                                     .year = 1901,
                                     .expected_year = 1901,
                                     .count = 1});
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    write_reader_warnings(con, "f.csv", gaps);
    EXPECT_EQ(con.warnings, 11);
    EXPECT_TRUE(out.str().ends_with(
        " Warning: File f.csv: 990 more series with missing rings read as zero width\n"));
}

}  // namespace
}  // namespace ruvela
