#include "ringio/readfmt.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace ruvela {
namespace {

struct Read {
    ReadStatus status;
    std::vector<float> reals;
    std::string rest;  // the line the reader stands at afterwards
};

Read read_reals(const std::string& text, std::string_view format, std::size_t n) {
    std::istringstream in(text);
    LineReader lines(in);
    Read r{ReadStatus::done, std::vector<float>(n, -1.0f), {}};
    r.status = read_formatted(lines, format, std::span<float>(r.reals));
    lines.next(r.rest);
    return r;
}

std::optional<int> read_int(const std::string& text, std::string_view format) {
    std::istringstream in(text);
    LineReader lines(in);
    int item = -1;
    if (read_formatted(lines, format, std::span<int>(&item, 1)) != ReadStatus::done) return {};
    return item;
}

TEST(ReadFormat, OneIntegerPerLine) {
    struct Case {
        const char* line;
        const char* format;
        std::optional<int> value;
    } cases[] = {
        {" 2  core1a", "(i2)", 2},    {"\n", "(i2)", 0},          {"  ", "(I2)", 0},
        {"x2", "(i2)", std::nullopt}, {"     12", "(5x,i3)", 12}, {"     12", "( 5X , i3 )", 12},
        {"-7", "(i2)", -7},           {"1 2", "(i3)", 12},        {"2.", "(i2)", std::nullopt},
        {" 12 34", "(2i3)", 12},      {"1234", "(i2)   ", 12},    {" 7", "(x,i1)", 7},
        {" 9", "((i2))", 9},          {"  5", "(2x,2(i1))", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read_int(c.line, c.format), c.value) << c.line << ' ' << c.format;
}

TEST(ReadFormat, RealFieldsWithImpliedPointAndExponent) {
    struct Case {
        const char* line;
        const char* format;
        std::optional<float> value;
    } cases[] = {
        {"21.3", "(f4.1)", 21.3f},        {" 213", "(f4.1)", 21.3f},
        {"2.13", "(f4.1)", 2.13f},        {"2 13", "(f4.1)", 21.3f},
        {"\n", "(f4.1)", 0.0f},           {"-", "(f4.1)", 0.0f},
        {"-213", "(f4.1)", -21.3f},       {"1.5e2", "(f5.1)", 150.0f},
        {"15e2", "(f4.1)", 150.0f},       {"15d-1", "(f5.0)", 1.5f},
        {"15+2", "(f4.1)", 150.0f},       {"1.5E", "(f4.1)", std::nullopt},
        {"1.2.", "(f4.1)", std::nullopt}, {"12a", "(f4.1)", std::nullopt},
        {".", "(f4.1)", std::nullopt},    {"1.5e2", "(e5.1)", 150.0f},
        {" 123", "(d4.2)", 1.23f},        {" 123", "(G4.2)", 1.23f},
        {"9e99", "(f4.0)", std::nullopt}, {"1234567", "(f7.3)", 1234.567f},
        {"12.345", "(f6.0)", 12.345f},
    };
    for (const auto& c : cases) {
        const Read r = read_reals(c.line, c.format, 1);
        if (c.value) {
            EXPECT_EQ(r.status, ReadStatus::done) << c.line << ' ' << c.format;
            EXPECT_EQ(r.reals[0], *c.value) << c.line << ' ' << c.format;
        } else {
            EXPECT_EQ(r.status, ReadStatus::conversion_error) << c.line << ' ' << c.format;
        }
    }
}

TEST(ReadFormat, ReversionGoesToTheNextLine) {
    const std::string ten =
        "   1.000   2.000   3.000   4.000   5.000   6.000   7.000   8.000   9.000  10.000\n";
    const Read r = read_reals(ten + ten + ten + "next\n", "(10f8.3)", 25);
    ASSERT_EQ(r.status, ReadStatus::done);
    EXPECT_EQ(r.reals[9], 10.0f);
    EXPECT_EQ(r.reals[10], 1.0f);
    EXPECT_EQ(r.reals[24], 5.0f);
    EXPECT_EQ(r.rest, "next");  // the rest of the third line is skipped

    // Reversion resumes at the last outermost group with its repeat count;
    // the elements before it are read from the first line only.
    const Read g = read_reals("9 1 2 3\n 4 5 6\n 7\n", "(i1,(f2.0),2(f2.0))", 6);
    EXPECT_EQ(g.status, ReadStatus::conversion_error);  // integer field for a real item
    const Read h = read_reals("91 2 3\n 4 5 6\n 7\n", "(f1.0,(f2.0),2(f2.0))", 7);
    ASSERT_EQ(h.status, ReadStatus::done);
    EXPECT_EQ(h.reals, (std::vector<float>{9, 1, 2, 3, 4, 5, 7}));

    // Without a group the walk starts again at the first element.
    const Read x = read_reals("ab 1 2\nab 3 4\n", "(2x,2f2.0)", 4);
    EXPECT_EQ(x.reals, (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(x.rest, "");
}

TEST(ReadFormat, EndOfInputAndErrorsLeaveTheRestZero) {
    const Read eof = read_reals(" 1 2\n 3\n", "(2f2.0)", 5);
    EXPECT_EQ(eof.status, ReadStatus::end_of_file);
    EXPECT_EQ(eof.reals, (std::vector<float>{1, 2, 3, 0, 0}));

    const Read bad = read_reals(" 1 x 3\n", "(3f2.0)", 3);
    EXPECT_EQ(bad.status, ReadStatus::conversion_error);
    EXPECT_EQ(bad.reals, (std::vector<float>{1, 0, 0}));

    EXPECT_EQ(read_reals("", "(f4.1)", 1).status, ReadStatus::end_of_file);
}

// A field that is no number is told with its line, its text and why.
TEST(ReadFormat, BadFieldsTellWhy) {
    struct Case {
        const char* text;
        const char* format;
        const char* field;
        FieldFault fault;
    } cases[] = {
        {"1\n5\t05B\n", "(i3)", "5\t0", FieldFault::tab_in_field},
        {"1\n 1,25\n", "(f5.2)", " 1,25", FieldFault::decimal_comma},
        {"1\n12a\n", "(i3)", "12a", FieldFault::letter_in_number},
        {"1\n1e5\n", "(i3)", "1e5", FieldFault::letter_in_number},
        {"1\n\xEF\xBB\xBF"
         "12\n",
         "(i5)",
         "\xEF\xBB\xBF"
         "12",
         FieldFault::byte_order_mark},
        {"1\n1#2\n", "(i3)", "1#2", FieldFault::stray_character},
        {"1\n1..2\n", "(f4.0)", "1..2", FieldFault::malformed_number},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.text);
        LineReader lines(in);
        std::string first;
        lines.next(first);
        float item = 0.0f;
        int whole = 0;
        ReadReport report;
        const bool real = std::string_view(c.format).starts_with("(f");
        const ReadStatus status =
            real ? read_formatted(lines, c.format, std::span<float>(&item, 1), &report)
                 : read_formatted(lines, c.format, std::span<int>(&whole, 1), &report);
        EXPECT_EQ(status, ReadStatus::conversion_error) << c.text;
        ASSERT_TRUE(report.bad_field) << c.text;
        EXPECT_EQ(report.bad_field->line, 2) << c.text;
        EXPECT_EQ(report.bad_field->field, c.field) << c.text;
        EXPECT_EQ(report.bad_field->fault, c.fault) << c.text;
    }
}

TEST(ReadFormat, UninterpretableFormatsFailBeforeReading) {
    const std::string formats[] = {
        "i2",
        "(i2",
        "(i2))",
        "()",
        "(,i2)",
        "(i2,)",
        "(0x,i2)",
        "(0i2)",
        "(i0)",
        "(x)",
        "(5x)",
        "(i2,(3x))",
        "(999999999i2)",
        "(i99999)",
        "(f4)",
        "(f4.)",
        "(a8)",
        "(i2)x",
        "(t5,i2)",
        "(i2/i2)",
        std::string(18, '(') + "i2" + std::string(18, ')'),
        "(-1i2)",
        "(f4.1)",  // a real field for an integer item
    };
    for (const std::string& f : formats) {
        std::istringstream in("12\n");
        LineReader lines(in);
        int item = 5;
        EXPECT_EQ(read_formatted(lines, f, std::span<int>(&item, 1)), ReadStatus::conversion_error)
            << f;
        std::string line;
        EXPECT_TRUE(lines.next(line)) << f << ": no line may be consumed";
    }
    EXPECT_EQ(read_reals("12", "(i2)", 1).status, ReadStatus::conversion_error);
}

TEST(ReadFormat, LargeCountsAreWalkedNotExpanded) {
    const auto f = parse_read_format("(9999(9999x,f1.0))");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->elements.size(), 3u);
    // Many items over a format of large counts read in time proportional to the items.
    const Read r = read_reals(std::string(1000, '1') + "\n", "(9999f1.0)", 1000);
    EXPECT_EQ(r.status, ReadStatus::done);
    EXPECT_EQ(r.reals[999], 1.0f);
}

}  // namespace
}  // namespace ruvela
