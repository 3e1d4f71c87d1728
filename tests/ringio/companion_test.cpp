// Reading companion files: freely, and with a format where the lines after
// the last value are empty.
#include "ringio/companion.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace ruvela {
namespace {

CompanionReading read(CompanionKind kind, const std::string& text, std::string_view format = "*") {
    std::istringstream in(text);
    LineReader lines(in);
    return read_companion(kind, format, lines, 1001);
}

float value_of(CompanionKind kind, const CompanionRecord& r) {
    switch (kind) {
        case CompanionKind::pith:
            return static_cast<float>(r.pith_offset);
        case CompanionKind::diameter:
            return r.diameter_cm;
        default:
            return r.d2pith_mm;
    }
}

struct Expected {
    float value;
    const char* name;
    long line;
};

void expect_values(const char* text, CompanionKind kind, std::vector<Expected> expected,
                   const CompanionReading& reading) {
    ASSERT_FALSE(reading.fault) << text << ": " << reading.fault->reason;
    ASSERT_EQ(reading.values.size(), expected.size()) << text;
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(value_of(kind, reading.values[k].record), expected[k].value) << text;
        EXPECT_EQ(reading.values[k].name, expected[k].name) << text;
        EXPECT_EQ(reading.values[k].line, expected[k].line) << text;
    }
}

// Fault guarded for each: a layout people write by hand or export that
// free reading took apart wrongly (the ID as the value, a decimal comma as
// a separator, a comment or an empty line as a value), and a value beyond an
// int's range (fuzz/regressions/companion holds the input that found it).
TEST(FreeCompanion, ValueAndIdInEitherOrderWithAnySeparator) {
    const auto d2pith = CompanionKind::d2pith;
    const struct {
        const char* text;
        std::vector<Expected> values;
        int decimal_commas;
    } cases[] = {
        {"  60.0  01A\n80 01B\n", {{60.0f, "01A", 1}, {80.0f, "01B", 2}}, 0},
        {"01A\t60\n", {{60.0f, "01A", 1}}, 0},
        {"01A; 60,5\n", {{60.5f, "01A", 1}}, 1},
        {"60,5  01A\n", {{60.5f, "01A", 1}}, 1},
        {"60,5\n70\n", {{60.5f, "", 1}, {70.0f, "", 2}}, 1},
        {"01A,60\n\"01 B\",\"7\"\n", {{60.0f, "01A", 1}, {7.0f, "01 B", 2}}, 0},
        {"# site A\n\n  12\n1e1 x\n", {{12.0f, "", 3}, {10.0f, "x", 4}}, 0},
        // A distance beyond an int's range is no pith offset to convert
        // (undefined behaviour, caught by the sanitizers).
        {"x 71212100002\n", {{71212100002.0f, "x", 1}}, 0},
    };
    for (const auto& c : cases) {
        const CompanionReading reading = read(d2pith, c.text);
        expect_values(c.text, d2pith, c.values, reading);
        EXPECT_EQ(reading.habits[static_cast<std::size_t>(CompanionHabit::decimal_comma)].lines,
                  c.decimal_commas)
            << c.text;
        EXPECT_EQ(reading.header.lines, 0) << c.text;
    }
}

// Fault guarded: a header read as a value, or its names not used to find
// the kind's column among others; a table as R, pandas or a spreadsheet
// writes it read in another unit or count than written, or its row names,
// index, title, trailing separator or byte-order mark taken for values.
TEST(FreeCompanion, HeaderRowsArePassedOverOrReadForTheirColumnNames) {
    const char* zof = "series,pith_offset,d2pith_mm,dbh_cm\nZOF01a,3,6,59\n";
    const struct {
        const char* text;
        CompanionKind kind;
        Expected value;
        int passed_over;
        std::size_t converted_columns = 0;
    } cases[] = {
        {"Pith offsets of site A\n3 a\n", CompanionKind::pith, {3.0f, "a", 2}, 1},
        {zof, CompanionKind::pith, {3.0f, "ZOF01a", 2}, 0},
        {zof, CompanionKind::d2pith, {6.0f, "ZOF01a", 2}, 0},
        {zof, CompanionKind::diameter, {59.0f, "ZOF01a", 2}, 0},
        {"ID;DBH\n01A;61,3\n", CompanionKind::diameter, {61.3f, "01A", 2}, 0},
        {"Pith.Offset\tSeries\n5.0\t01A\n", CompanionKind::pith, {5.0f, "01A", 2}, 0},
        {"series,value\n01A,7\n", CompanionKind::pith, {7.0f, "01A", 2}, 0},
        // As R, pandas and spreadsheets write tables: units, dplR's pith.offset
        // (1 at the pith), row names, index columns, titles, a trailing
        // separator, a byte-order mark.
        {"series,d2pith_cm\na1,2.5\n", CompanionKind::d2pith, {25.0f, "a1", 2}, 0, 1},
        {"series,DBH (mm)\na1,613\n", CompanionKind::diameter, {61.3f, "a1", 2}, 0, 1},
        {"series;dbh [in]\na1;10\n", CompanionKind::diameter, {25.4f, "a1", 2}, 0, 1},
        {"series  dbh (mm)\na1  613\n", CompanionKind::diameter, {61.3f, "a1", 2}, 0, 1},
        {"series,Distance to pith (cm) at 1.3 m\na1,1\n", CompanionKind::d2pith,
         {10.0f, "a1", 2}, 0, 1},
        {"series,dbh_cm,po (rings)\na1,61,3\n", CompanionKind::pith, {3.0f, "a1", 2}, 0, 0},
        {"\"series\",\"pith.offset\"\n\"a1\",3\n", CompanionKind::pith, {2.0f, "a1", 2}, 0, 1},
        {"\"\",\"series\",\"pith.offset\"\n\"1\",\"a1\",3\n", CompanionKind::pith,
         {2.0f, "a1", 2}, 0, 1},
        {"\"\",\"pith.offset\"\n\"a1\",3\n", CompanionKind::pith, {2.0f, "a1", 2}, 0, 1},
        {"\"\",\"x\"\n\"1\",3\n", CompanionKind::pith, {3.0f, "", 2}, 0, 0},
        {"\"series\" \"po\"\n\"1\" \"a1\" 3\n", CompanionKind::pith, {3.0f, "a1", 2}, 0, 0},
        {"\"po\"\n\"a1\" 3\n", CompanionKind::pith, {3.0f, "a1", 2}, 0, 0},
        {"Unnamed: 0,series,po\n0,a1,3\n", CompanionKind::pith, {3.0f, "a1", 2}, 0, 0},
        {"series,po,\na1,3,\n", CompanionKind::pith, {3.0f, "a1", 2}, 0, 0},
        {"a1;3;\n", CompanionKind::pith, {3.0f, "a1", 1}, 0, 0},
        {"\xef\xbb\xbfseries,po\na1,3\n", CompanionKind::pith, {3.0f, "a1", 2}, 0, 0},
        {"Pith offsets of site A\n\nseries,po\na1,3\n", CompanionKind::pith, {3.0f, "a1", 4}, 0, 0},
        {"Site A, cored 2019\nseries,po\na1,3\n", CompanionKind::pith, {3.0f, "a1", 3}, 0, 0},
    };
    for (const auto& c : cases) {
        const CompanionReading reading = read(c.kind, c.text);
        expect_values(c.text, c.kind, {c.value}, reading);
        EXPECT_EQ(reading.header.lines, c.passed_over) << c.text;
        EXPECT_EQ(reading.converted_columns.size(), c.converted_columns) << c.text;
    }
    const CompanionReading row = read(CompanionKind::proportional, zof);
    ASSERT_EQ(row.values.size(), 1u);
    EXPECT_EQ(row.values[0].record.pith_offset, 3);
    EXPECT_EQ(row.values[0].record.d2pith_mm, 6.0f);
    EXPECT_EQ(row.values[0].record.diameter_cm, 59.0f);
}

// Fault guarded for each: an unknown, unusable or misplaced value read as
// 0 or guessed at instead of stopping at its line; a unit a value cannot be
// in read as the field's own, a pith.offset of 0 read as -1.
TEST(FreeCompanion, LinesWithoutAUsableValueAreFaults) {
    const auto table = CompanionKind::proportional;
    const struct {
        const char* text;
        CompanionKind kind;
        long line;
        const char* reason;
    } cases[] = {
        {"01A NA\n", CompanionKind::d2pith, 1, "the distance to the pith is NA: the value is unknown"},
        {"series,d2pith\n01A,\n", CompanionKind::d2pith, 2,
         "the distance to the pith is empty: the value is unknown"},
        {"series,d2pith\n01A,abc\n", CompanionKind::d2pith, 2,
         "the distance to the pith \"abc\" is no number"},
        {"3.5 01A\n", CompanionKind::pith, 1, "the pith offset \"3.5\" is no whole number"},
        {"01A 1e-50\n", CompanionKind::diameter, 1,
         "the diameter \"1e-50\" is too small: values nearer 0 than 1e-45 cannot be read"},
        {"60 01A extra\n", CompanionKind::d2pith, 1,
         "the line holds more than a value and a series ID"},
        {"1\n-2 01B\n", CompanionKind::d2pith, 2, "the distance to the pith -2 mm is negative"},
        {"series,pith_offset\n01A,3\n", CompanionKind::diameter, 1,
         "the header names no diameter column in cm (dbh, diam or diameter)"},
        {"3,6,59\n", table, 1,
         "the table has no header row naming its columns (series, pith_offset, d2pith_mm and "
         "dbh_cm)"},
        {"series,pith_offset,d2pith\nA,1,30\n", table, 1,
         "the header names no diameter column in cm (dbh, diam or diameter)"},
        {"series,po,d2pith,dbh\nA,1,2\n", table, 2,
         "the row holds 3 fields where the header names 4"},
        {"series,po,d2pith,dbh\nA,1,2,0\n", table, 2, "the diameter 0 cm is not more than 0"},
        {"series,po_mm\na1,3\n", CompanionKind::pith, 1,
         "the column \"po_mm\" gives the pith offset in \"mm\", but a pith offset is a number "
         "of rings, without a unit"},
        {"series,dbh (ft)\na1,3\n", CompanionKind::diameter, 1,
         "the column \"dbh (ft)\" gives the diameter in \"ft\", a unit this program does not "
         "read (mm, cm, m or in)"},
        {"series,pith.offset\na1,0\n", CompanionKind::pith, 2,
         "series \"a1\": the pith offset 0 is below 1, though the column pith.offset counts 1 "
         "for a core that reaches the pith"},
    };
    for (const auto& c : cases) {
        const CompanionReading reading = read(c.kind, c.text);
        ASSERT_TRUE(reading.fault) << c.text;
        EXPECT_EQ(reading.fault->line, c.line) << c.text;
        EXPECT_EQ(reading.fault->reason, c.reason) << c.text;
    }
    // With a format, too, a negative distance stops the reading.
    const CompanionReading formatted = read(CompanionKind::d2pith, "  20.0\n  -5.0  01A\n", "(f6.1)");
    ASSERT_TRUE(formatted.fault);
    EXPECT_EQ(formatted.fault->line, 2);
    EXPECT_EQ(formatted.values.size(), 1u);
}

// Fault guarded: empty lines at the end of a file counted as values (the
// count check then stopped a run whose values were all there), and an empty
// line between values, which a format reads as 0, not told.
TEST(CompanionReading, EmptyLinesAfterTheLastValueAreNoValues) {
    const CompanionReading formatted =
        read(CompanionKind::pith, " 78  01A\n\n 61  01B\n     01C\n\n  \n", "(i3)");
    ASSERT_EQ(formatted.values.size(), 4u);
    EXPECT_TRUE(formatted.values[1].empty_line);
    EXPECT_TRUE(formatted.values[3].blank_field);  // an unknown offset left blank reads 0
    EXPECT_FALSE(formatted.values[2].blank_field);
    EXPECT_EQ(formatted.values[1].line, 2);
    EXPECT_EQ(formatted.values[1].record.pith_offset, 0);
    EXPECT_FALSE(formatted.values[2].empty_line);
    EXPECT_EQ(formatted.trailing_empty_lines.lines, 2);
    EXPECT_EQ(formatted.trailing_empty_lines.first_line, 5);

    const CompanionReading free = read(CompanionKind::pith, "78 01A\n\n61 01B\n\n\n");
    ASSERT_EQ(free.values.size(), 2u);
    EXPECT_EQ(free.trailing_empty_lines.lines, 2);
    EXPECT_EQ(free.trailing_empty_lines.first_line, 4);
}

TEST(CompanionPairing, RowsPairByTheirSeriesIdOrNameWhatKeepsThemFromIt) {
    const auto named = [](std::vector<std::string> names) {
        std::vector<CompanionValue> values(names.size());
        for (std::size_t k = 0; k < names.size(); ++k) {
            values[k].name = names[k];
            values[k].line = static_cast<long>(k) + 2;
        }
        return values;
    };
    const std::vector<std::string_view> ids = {"A", "B"};
    const RowPairing swapped = pair_rows_by_id(named({"B", "A"}), ids);
    EXPECT_EQ(swapped.problem, RowPairing::Problem::none);
    EXPECT_EQ(swapped.series_of_value, (std::vector<int>{2, 1}));
    const RowPairing unknown = pair_rows_by_id(named({"A", "C"}), ids);
    EXPECT_EQ(unknown.problem, RowPairing::Problem::unknown_id);
    EXPECT_EQ(unknown.value, 1u);
    const RowPairing repeated = pair_rows_by_id(named({"A", "A"}), ids);
    EXPECT_EQ(repeated.problem, RowPairing::Problem::repeated_id);
    EXPECT_EQ(repeated.first_row, 0u);
    const RowPairing missing = pair_rows_by_id(named({"B"}), ids);
    EXPECT_EQ(missing.problem, RowPairing::Problem::series_without_row);
    EXPECT_EQ(missing.series, 1);
}

// Fault guarded: of two numbers on a line, the ID before the value taken
// for the value, since only the series' IDs tell them apart.
TEST(CompanionPairing, ANumericIdBeforeTheValueIsFoundByTheSeriesIds) {
    const std::vector<std::string_view> ids = {"101", "102"};
    CompanionReading before = read(CompanionKind::pith, "101 12\n102 15\n");
    EXPECT_TRUE(take_numeric_ids_first(before.values, ids));
    EXPECT_EQ(before.values[1].record.pith_offset, 15);
    EXPECT_EQ(before.values[1].name, "102");
    CompanionReading after = read(CompanionKind::pith, "12 101\n15 102\n");
    EXPECT_FALSE(take_numeric_ids_first(after.values, ids));
    EXPECT_EQ(after.values[0].record.pith_offset, 12);
}

// Fault guarded: a line naming no series (another core, a mean) counted
// only, so that the count check stopped a file whose every series has its
// value; a read format's file keeps that check.
TEST(CompanionPairing, LinesNamingNoSeriesAreLeftOutWhenTheOthersPair) {
    const CompanionReading reading = read(CompanionKind::pith, "5 a2\n7 a1\n6 Mean\n");
    const std::vector<std::string_view> ids = {"a1", "a2"};
    const CompanionPairing free = pair_by_id(reading.values, ids, true);
    EXPECT_EQ(free.series_of_value, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(free.naming_no_series, (std::vector<std::size_t>{2}));
    const CompanionPairing formatted = pair_by_id(reading.values, ids, false);
    EXPECT_TRUE(formatted.naming_no_series.empty());
    EXPECT_TRUE(formatted.series_of_value.empty());
}

}  // namespace
}  // namespace ruvela
