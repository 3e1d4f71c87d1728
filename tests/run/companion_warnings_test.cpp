// What a run tells of a companion file, seen from the command line: each
// case a layout that was once told wrongly or not at all.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"

namespace ruvela::testing {
namespace {

struct Told {
    int status;
    std::string out;
};

// A strict run of a.rwl, two series a1 and a2 unless `rings` says otherwise,
// with `companion` as its companion file; `format` empty reads it freely.
Told strict_run(const std::string& companion, const std::string& format,
                const std::string& rings =
                    "a1      1901   100   110   120   999\n"
                    "a2      1903   200   210   999\n") {
    ScratchFolder folder("companion_warnings");
    std::vector<std::string> args = {"--kind", "pith", "--strict"};
    if (!format.empty()) args.insert(args.end(), {"--format", format});
    args.insert(args.end(), {"a.rwl", "a.pth"});
    const ProgramRun run =
        run_with_files(RUVELA_V12, folder.path, {{"a.rwl", rings}, {"a.pth", companion}}, args);
    EXPECT_EQ(run.err, "");
    return {run.status, run.out};
}

// Fault guarded: a field that ends where its number ends, before a blank or
// at the end of the line, was told as cutting the number, and a strict run
// failed on a file read right.
TEST(CompanionWarnings, FieldEndingWithItsNumberIsNotToldAsCut) {
    const Told told = strict_run("  5 a1\n 17\n", "(i3)");
    EXPECT_EQ(told.status, 0) << told.out;
}

// Fault guarded: values without names were told as names that are not the
// series' IDs, one warning a line.
TEST(CompanionWarnings, ValuesWithoutNamesGiveNoNameWarnings) {
    const Told told = strict_run("5\n17\n", "");
    EXPECT_EQ(told.status, 0) << told.out;
}

// Fault guarded: of two numbers on a line, the second was taken for the
// value, so numeric series IDs never matched and the values went in file order.
TEST(CompanionWarnings, OfTwoNumbersTheSecondIsTheIdThatPairsTheValue) {
    const Told told = strict_run(
        "3 13\n2 12\n", "", "12      1901   100   110   999\n13      1901   120   130   999\n");
    EXPECT_EQ(told.out.find(" Warning: File a.pth lists the series in another order than a.rwl; "
                            "its values were paired with the series by series ID.\n"),
              0u)
        << told.out;
}

// Fault guarded: a blank field on a line that holds more was read as 0
// without a word.
TEST(CompanionWarnings, BlankFieldAmongTheValuesIsTold) {
    const Told told = strict_run("  5 a1\n    a2\n", "(i3)");
    EXPECT_EQ(told.status, 1);
    EXPECT_NE(told.out.find(" Warning: File a.pth, line 2: \"    a2\", a blank field, is read as "
                            "the value 0 of series 2, \"a2\", as the format reads blanks.\n"),
              std::string::npos)
        << told.out;
}

// Fault guarded: a value beyond single precision read with a format was
// told as no number at all, as if it were a word.
TEST(CompanionWarnings, ANumberTooSmallForAFormatIsToldAsTooSmall) {
    ScratchFolder folder("companion_range");
    const ProgramRun run = run_with_files(
        RUVELA_V12, folder.path, {{"a.rwl", "a1      1901   100   999\n"}, {"a.dbh", "1e-50\n"}},
        {"--kind", "diameter", "--format", "(f6.1)", "a.rwl", "a.dbh"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              " Warning: File a.dbh, line 1: \"1e-50\": the field \"1e-50\" is too small: values "
              "nearer 0 than 1e-45 cannot be read.\n"
              " The run stops: Error offset data\n");
}

// Fault guarded for each: a table as R, pandas or a spreadsheet writes it
// read without a word in another unit or count than written, a line of
// another core counted only, IDs in a single-byte encoding left unpaired
// and shown as '?', a ring-width file given as the companion told as lines
// that hold no value, and a unit that cannot be read not stopping the pair.
TEST(CompanionWarnings, TablesAsToolsWriteThemAreToldOnceAFile) {
    const std::string rings = "a1      1901   100   110   120   999\n"
                              "a2      1903   200   210   999\n";
    const struct {
        std::string kind, rings, companion;
        bool swapped;
        int status;
        const char* told;
    } cases[] = {
        {"d2pith", rings, "series,d2pith_cm\na1,1\na2,2\n", false, 0,
         " Warning: File c.csv, line 1: the column \"d2pith_cm\" is read in centimetres and "
         "converted to millimetres (times 10).\n"},
        {"pith", rings, "\"\",\"series\",\"pith.offset\"\n\"1\",\"a1\",1\n\"2\",\"a2\",3\n",
         false, 0,
         " Warning: File c.csv, line 1: the column \"pith.offset\" counts 1 for a core that "
         "reaches the pith, so each pith offset is read one less.\n"},
        {"pith", rings, "a1 5\na2 7\nMean 6\n", false, 0,
         " Warning: File c.csv, line 3: \"Mean 6\" names no series of r.rwl; the line is left "
         "out.\n"},
        {"pith", "Eiche\xe4  1901   100   999\n", "Eiche\xe4 5\n", false, 0,
         " Warning: File c.csv, line 1: 1 series ID that is not UTF-8 matches that of r.rwl "
         "byte for byte; read as Latin-1, it is written as UTF-8: \"Eiche\xc3\xa4\" (not "
         "\"Eiche?\").\n"},
        // Named as the tables show it, the ID still pairs.
        {"pith", "Eiche\xe4  1901   100   999\nBuche1  1901   100   999\n", "Buche1 5\nEiche? 3\n",
         false, 0,
         " Warning: File c.csv lists the series in another order than r.rwl; its values were "
         "paired with the series by series ID.\n"},
        {"pith", rings, "5 a1\n7 a2\n", true, 1,
         " The run stops: File r.rwl, given as the companion file of c.csv, looks like a "
         "ring-width file (decade format, 2 series); the order of the two names is probably "
         "swapped: the ring-width file comes first, then its companion file.\n"},
        {"diameter", rings, "series,dbh (ft)\na1,3\na2,3\n", false, 1,
         " The run stops: File c.csv, line 1: \"series,dbh (ft)\" the column \"dbh (ft)\" gives "
         "the diameter in \"ft\", a unit this program does not read (mm, cm, m or in).\n"},
    };
    for (const auto& c : cases) {
        ScratchFolder folder("tables_as_tools_write_them");
        const std::vector<std::string> pair =
            c.swapped ? std::vector<std::string>{"c.csv", "r.rwl"}
                      : std::vector<std::string>{"r.rwl", "c.csv"};
        const ProgramRun run =
            run_with_files(RUVELA_V12, folder.path, {{"r.rwl", c.rings}, {"c.csv", c.companion}},
                           {"--kind", c.kind, "--csv", pair[0], pair[1]});
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_NE(run.out.find(c.told), std::string::npos) << run.out;
        const std::map<std::string, std::string> files = files_below(folder.path);
        if (c.status != 0) {
            EXPECT_EQ(files.size(), 2u) << "nothing written";
        } else if (c.companion.starts_with("Eiche")) {
            const std::string& table = files.at("r_BAI_series.csv");
            EXPECT_NE(table.find("\nEiche\xc3\xa4,1901,"), std::string::npos) << table;
        }
    }
}

}  // namespace
}  // namespace ruvela::testing
