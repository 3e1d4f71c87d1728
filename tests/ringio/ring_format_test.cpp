#include "ringio/ring_format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "formats_support.hpp"
#include "ringio/ring_values.hpp"
#include "ringio/series_checks.hpp"
#include "ringio/units.hpp"
#include "text/fixed_text.hpp"

namespace ruvela {
namespace {

using testing::file_text;
using testing::nearest;

TEST(RingFormat, ShownByTheContent) {
    struct Case {
        const char* content;
        RingFormat format;
    } cases[] = {
        {"HEADER:\nKeyCode=A\n", RingFormat::heidelberg},
        {"\xEF\xBB\xBF\r\n  \r\n HEADER: \r\nKeyCode=A\r\n", RingFormat::heidelberg},
        {"HEADERS:\n", RingFormat::decade},
        {"Title\nHEADER:\n", RingFormat::decade},
        {"<?xml version=\"1.0\"?>\n<anything/>", RingFormat::tridas},
        {"\n<!-- lab export -->\n<t:tridas xmlns:t=\"x\">", RingFormat::tridas},
        {"<tridas>", RingFormat::tridas},
        {"<tridasx>", RingFormat::decade},
        {"<html>", RingFormat::decade},
        {"Year,A,B\n1850,1.2,\n", RingFormat::delimited},
        {"\"\",\"A\"\n\"1850\",1.2\n", RingFormat::delimited},
        {"YEAR;A;\n\n-12;1.2;\n", RingFormat::delimited},
        {"\tA\n2000\t1\n", RingFormat::delimited},
        {"Year,A\n", RingFormat::decade},           // no row after the header
        {"Year\n1850\n", RingFormat::decade},       // no series
        {"Yr,A\n1850,1\n", RingFormat::decade},     // not the year column
        {"Year,A\nA1850,1\n", RingFormat::decade},  // no year
        {"Year,A\n1850 1,1\n", RingFormat::decade},
        {"641114  1270   148   233\n641114  1280    33    76\n", RingFormat::decade},
        {"", RingFormat::decade},
    };
    for (const Case& c : cases) EXPECT_EQ(detect_ring_format(c.content), c.format) << c.content;
}

// Detection once saw only its first 64 KiB (and a window of 4 KiB would pass
// for it on small files): a header row of 900 short or 1,000 long IDs hid the
// row of years, and the table was read as a decade file.
TEST(RingFormat, WideTablesAreDelimitedWhateverTheirHeaderRowsLength) {
    for (const std::string id :
         {"S", "site-with-a-long-name-and-the-core-A-of-the-upper-slope-north-"}) {
        std::string header = "Year", row = "1850";
        for (int s = 0; s < 1000; ++s) {
            header += "," + id + std::to_string(1000 + s);
            row += ",1.5";
        }
        ASSERT_GT(header.size(), id.size() == 1 ? 4500u : 65536u);
        EXPECT_EQ(detect_ring_format(header + "\n" + row + "\n"), RingFormat::delimited);
        EXPECT_EQ(detect_ring_format(header + "\r" + row + "\r"), RingFormat::delimited);
    }
}

// Every file that is read in the decade format today must stay so: the real
// files, the examples, the fuzz seeds and the transcripts' inputs. The
// delimited tables and Heidelberg files among them are the exceptions.
TEST(RingFormat, EveryFileOfTheDecadeFormatStaysDecade) {
    namespace fs = std::filesystem;
    const fs::path source(RUVELA_SOURCE_DIR);
    const fs::path folders[] = {"tests/data/gp",    "tests/data/itrdb",   "examples",
                                "fuzz/seeds/trrw",  "fuzz/seeds/program", "fuzz/seeds/readfmt",
                                "tests/transcripts"};
    int files = 0;
    for (const fs::path& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(source / folder)) {
            if (!entry.is_regular_file()) continue;
            const fs::path& path = entry.path();
            if (path.parent_path().filename() == "converted") continue;  // made to be other formats
            if (path.string().find("/expected/") != std::string::npos) continue;  // outputs
            // Companion tables are CSV files too: a ring-width table names its year column.
            const std::string text = file_text(path.string());
            const bool table =
                path.extension() == ".csv" && path.stem() != "gp_series" &&
                lower_case(text.substr(0, text.find('\n'))).find("year") != std::string::npos;
            const RingFormat expected = table                       ? RingFormat::delimited
                                        : path.extension() == ".fh" ? RingFormat::heidelberg
                                                                    : RingFormat::decade;
            EXPECT_EQ(detect_ring_format(file_text(path.string())), expected) << path;
            ++files;
        }
    }
    EXPECT_GT(files, 100);
}

TEST(RingValues, WholeHundredthsAndThousandthsGoTheDecadeWay) {
    // 0.99 mm as the decade format reads 99 hundredths is not the float
    // nearest to 0.99: the text of a value must not change which it is.
    ASSERT_NE(hundredths_to_mm(99), nearest("0.99"));
    for (const char* text : {"99", "99.0", "+99", "9.9e1", "990e-1", "0099.000"})
        EXPECT_EQ(width_in_mm(text, hundredths), hundredths_to_mm(99)) << text;
    EXPECT_EQ(width_in_mm("-999", hundredths), hundredths_to_mm(-999));
    EXPECT_EQ(width_in_mm("1234", thousandths), thousandths_to_mm(1234));
    EXPECT_EQ(width_in_mm("2147483647", thousandths), thousandths_to_mm(2147483647));
    // Not whole, or past 32 bits: rounded once.
    EXPECT_EQ(width_in_mm("99.5", hundredths), nearest("0.995"));
    EXPECT_EQ(width_in_mm("2147483648", hundredths), nearest("21474836.48"));
}

TEST(RingValues, OtherValuesAreRoundedOnceFromTheExactDecimal) {
    struct Case {
        const char* text;
        WidthUnit unit;
        const char* exact;
    } cases[] = {
        {"12", tenths, "1.2"},
        {"3", fiftieths, "0.06"},
        {"0.5", fiftieths, "0.01"},
        {"7", twentieths, "0.35"},
        {"1.4699999", millimetres, "1.4699999"},
        {"1e-1", millimetres, "0.1"},
        {"-2.5E+1", millimetres, "-25"},
        {".5", millimetres, "0.5"},
        {"5.", millimetres, "5"},
        {"0.000000000000000000000000000000000000000000001", millimetres, "1e-45"},
        {"3", centimetres, "30"},
        {"0.0012", metres, "1.2"},
        // More digits than a double holds: still one rounding.
        {"1.00000005960464477539062500000000000000001", millimetres, "1.0000001"},
    };
    for (const Case& c : cases) EXPECT_EQ(width_in_mm(c.text, c.unit), nearest(c.exact)) << c.text;
    EXPECT_EQ(width_in_mm("-0", millimetres), 0.0f);
    EXPECT_FALSE(std::signbit(*width_in_mm("-0.0", millimetres)));
}

TEST(RingValues, TextThatIsNoWidth) {
    for (const char* text : {"", "-", ".", "e5", "1e", "1e+", "1,25", "1.2.3", "12a", "0x10", "inf",
                             "nan", "1 2", "1e39", "1e-46", "1e999999999999999999"})
        EXPECT_FALSE(width_in_mm(text, millimetres).has_value()) << text;
}

// The bounds are plausible means themselves; codes below zero are left out.
TEST(SeriesChecks, MeanWidthOutsideThePlausibleBounds) {
    const auto means = [](std::vector<float> widths) {
        std::vector<Finding> findings;
        check_ring_widths("A", 1, widths, findings);
        std::vector<float> out;
        for (const Finding& f : findings)
            if (f.kind == FindingKind::mean_width_implausible) out.push_back(f.value);
        return out;
    };
    EXPECT_EQ(means({10.0f, 10.0f}), std::vector<float>{});
    EXPECT_EQ(means({0.1f, 0.1f}), std::vector<float>{});
    EXPECT_EQ(means({10.0f, 11.0f}), std::vector<float>{10.5f});
    EXPECT_EQ(means({0.05f, -9.99f}), std::vector<float>{0.05f});
}

// Every format's reading checks the widths alike: hundredths typed where the
// file says millimetres are told whatever the format.
TEST(SeriesChecks, EveryFormatGetsTheSameWidthChecks) {
    const std::string tridas =
        "<tridas><measurementSeries><title>A</title><interpretation><firstYear>1850</firstYear>"
        "</interpretation><values><variable normalTridas=\"ring width\"/>"
        "<unit normalTridas=\"millimetres\"/><value value=\"125\"/><value value=\"130\"/>"
        "</values></measurementSeries></tridas>\n";
    const struct {
        RingFormat format;
        std::string file;
    } files[] = {
        {RingFormat::decade, "A       1850 12500 13000   999\n"},
        {RingFormat::heidelberg,
         "HEADER:\nKeyCode=A\nDateBegin=1850\nUnit=mm\nDATA:Tree\n125 130\n"},
        {RingFormat::delimited, "Year,A\n1850,125\n1851,130\n"},
        {RingFormat::tridas, tridas},
    };
    for (const auto& f : files) {
        const RingFileReading r = read_ring_file(f.format, f.file);
        ASSERT_EQ(r.findings.size(), 1u) << ring_format_name(f.format);
        EXPECT_EQ(r.findings[0].kind, FindingKind::mean_width_implausible);
        EXPECT_EQ(trim_right(r.findings[0].series), "A");
        EXPECT_EQ(r.findings[0].value, 127.5f) << ring_format_name(f.format);
    }
}

// Each reader gives the decimals a series' widths are written at, for the
// CSV tables: the decade format's end marker, Heidelberg's and TRiDaS's
// unit with the digits of the values, the digits a delimited table writes.
// Fault guarded: 67 hundredths written to the CSV table as 0.66999996.
TEST(RingValues, EachFormatGivesTheDecimalsItsWidthsAreWrittenAt) {
    const std::string tridas =
        "<tridas><measurementSeries><title>A</title><interpretation><firstYear>1850</firstYear>"
        "</interpretation><values><variable normalTridas=\"ring width\"/>"
        "<unit normalTridas=\"micrometres\"/><value value=\"670\"/><value value=\"1305.5\"/>"
        "</values></measurementSeries></tridas>\n";
    const struct {
        RingFormat format;
        std::string file;
        std::vector<std::optional<int>> decimals;
    } files[] = {
        {RingFormat::decade,
         "A       1850    67   130   999\nB       1850   670  1300 -9999\n",
         {2, 3}},
        {RingFormat::heidelberg,
         "HEADER:\nKeyCode=A\nDateBegin=1850\nUnit=1/100 mm\nDATA:Tree\n67 130\n"
         "HEADER:\nKeyCode=B\nDateBegin=1850\nUnit=mm\nDATA:Tree\n0.67 1.3\n",
         {2, 2}},
        {RingFormat::delimited, "Year,A,B,C\n1850,0.67,1.5,1\n1851,1.3,0.670,2\n", {2, 3, 0}},
        {RingFormat::tridas, tridas, {4}},
    };
    for (const auto& f : files) {
        const RingFileReading r = read_ring_file(f.format, f.file);
        ASSERT_EQ(r.series.size(), f.decimals.size()) << ring_format_name(f.format);
        for (std::size_t k = 0; k < f.decimals.size(); ++k)
            EXPECT_EQ(r.series[k].width_decimals, f.decimals[k]) << ring_format_name(f.format) << k;
    }
    EXPECT_EQ(written_decimals("1.25e2", thousandths), 3);
    EXPECT_EQ(written_decimals("1.5", fiftieths), 3);
    EXPECT_EQ(written_decimals("12e3", millimetres), 0);
}

TEST(RingValues, Utf16IsToldByItsMarkOrItsNulBytes) {
    using namespace std::string_view_literals;
    for (const std::string_view head :
         {"\xFF\xFE"sv, "\xFE\xFFx"sv, "Y\0e\0a\0r\0,\0"sv, "\0Y\0e\0a\0r"sv, "\0Y\0\xE9"sv})
        EXPECT_TRUE(looks_like_utf16(head)) << head;
    for (const std::string_view head :
         {""sv, "Y\0"sv, "Year,A\n1850,1\n"sv, "\xEF\xBB\xBFYear"sv, "AB\0\0CD"sv, "ABCDEFG\0"sv})
        EXPECT_FALSE(looks_like_utf16(head)) << head;
}

TEST(RingValues, QuotedTextIsCutAt60Bytes) {
    const std::string sixty(60, '7');
    EXPECT_EQ(excerpt(sixty), sixty);
    EXPECT_EQ(excerpt(sixty + "8"), sixty + "...");
    // A character across the cut is left out whole.
    EXPECT_EQ(excerpt(std::string(59, '7') + "\xC3\xA9"), std::string(59, '7') + "...");
    EXPECT_EQ(quoted("a"), "\"a\"");
}

TEST(RingValues, IdsAreCutToTheStoreWidth) {
    EXPECT_EQ(kept_id("ABCDEFGH"), "ABCDEFGH");
    EXPECT_EQ(kept_id("ABCDEFGHIJ"), "ABCDEFGH");
    EXPECT_EQ(kept_id("AB      CD"), "AB");
    // Control characters would break the table rows that show the ID.
    EXPECT_EQ(kept_id(" A\tB\nC\x7F\r"), "A B C");
    // A two-byte UTF-8 character across the cut is left out whole, a
    // Latin-1 byte is a character of its own.
    EXPECT_EQ(kept_id("ABCDEFG\xC3\xA9X"), "ABCDEFG");
    EXPECT_EQ(kept_id("ABCDEF\xC3\xA9X"), "ABCDEF\xC3\xA9");
    EXPECT_EQ(kept_id("ABCDEFG\xE9XY"), "ABCDEFG\xE9");
}

// Faults guarded: UTF-16 text without a byte order mark was not told as such
// when it held a character beyond Latin-1 (the "ł" and "ż" of "Białowieża",
// whose high bytes are no NULs) or one whose low byte is a NUL ("一", U+4E00).
TEST(RingValues, Utf16WithoutAMarkIsToldWhenItHoldsCharactersBeyondLatin1) {
    using namespace std::string_view_literals;
    // Little-endian, as Windows writes it: "ł" is 42 01, "ż" is 7C 01, "一" is 00 4E.
    const std::string_view bialowieza =
        "B\0i\0a\0B\x01o\0w\0i\0e\0|\x01"
        "a\0"sv;
    EXPECT_TRUE(looks_like_utf16(bialowieza));
    EXPECT_TRUE(looks_like_utf16("A\0\0Nx\0y\0z\0"sv));
}

}  // namespace
}  // namespace ruvela
