// Coordinate files (.pos) and folders of them as the command line's
// ring-width input, their series taking their values from their own files.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"
#include "text/numfmt.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path data = fs::path(RUVELA_TEST_DATA) / "coordinates";

// Two cores whose points lie on a line at whole hundredths of a mm, and the
// same widths and distances to the pith as a decade file and a companion file.
fs::path copy_cores(const ScratchFolder& folder) {
    fs::copy(data, folder.path, fs::copy_options::recursive);
    return folder.path;
}

std::string without_title(const std::string& table) {
    return table.substr(table.find('\n') + 1);
}

// A pair's CSV table with its ring widths as numbers: each file writes them
// at its own precision, the coordinates' decimals or the decade format's
// hundredths ("0.5", "0.50").
std::string widths_as_numbers(const std::string& csv) {
    std::istringstream rows(csv);
    std::string out;
    std::getline(rows, out);
    for (std::string row; std::getline(rows, row);) {
        const auto start = row.find(',', row.find(',') + 1) + 1;
        const auto end = row.find(',', start);
        out += '\n';
        out.append(row, 0, start);
        float width = 0.0f;
        std::from_chars(row.data() + start, row.data() + end, width);
        out += shortest_text(width);
        out.append(row, end);
    }
    return out;
}

ProgramRun run(const fs::path& folder, const std::vector<std::string>& args) {
    return run_with_files(RUVELA_V12, folder, {}, args);
}

// Fault guarded: a folder of coordinate files read into other widths or
// distances than the same rings given as a decade file and a companion file.
TEST(CoordinateFiles, AFolderGivesTheTablesOfTheSameRingsAsADecadeFile) {
    ScratchFolder folder("cores");
    copy_cores(folder);
    const ProgramRun cores = run(folder.path, {"--kind", "d2pith", "--csv", "cores"});
    EXPECT_EQ(cores.status, 0) << cores.out << cores.err;
    EXPECT_EQ(cores.out,
              " Pair 1 of 1: cores with the values in its files: 2 series, years 1998 to 2001, "
              "table cores_BAI\n"
              " Summary tables: BAm2.out, BAIcm2.out, RRWmm.out (1 pair)\n");
    const ProgramRun decade =
        run(folder.path, {"--kind", "d2pith", "--csv", "site.rwl", "site_d2pith.txt"});
    EXPECT_EQ(decade.status, 0) << decade.out;
    EXPECT_EQ(without_title(read_file(folder.path / "cores_BAI")),
              without_title(read_file(folder.path / "site_BAI")));
    EXPECT_EQ(widths_as_numbers(read_file(folder.path / "cores_BAI.csv")),
              widths_as_numbers(read_file(folder.path / "site_BAI.csv")));
}

// Faults guarded: a series without the value its kind needs read as 0; a
// file that cannot be read taken as something else; a companion file's
// value that differs from the file's used without a word.
TEST(CoordinateFiles, WhatTheFilesLackIsToldByName) {
    ScratchFolder folder("lack");
    copy_cores(folder);
    const ProgramRun diameter = run(folder.path, {"--kind", "diameter", "cores/c1.pos"});
    EXPECT_EQ(diameter.status, 1);
    EXPECT_EQ(diameter.out,
              " The run stops: Series 1, \"c1\", of cores/c1.pos: its file gives no diameter and "
              "no companion file is given; the pair cannot be processed.\n");
    write_file(folder.path / "cores" / "c3.pos", "#DENDRO\r\n#C DATED 1990\r\n10,5\r\n");
    const ProgramRun broken = run(folder.path, {"--kind", "pith", "cores"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.out.find("The run stops: File cores/c3.pos"), std::string::npos)
        << broken.out;
    const ProgramRun kept = run(folder.path, {"--kind", "pith", "--keep-going", "cores"});
    EXPECT_EQ(kept.status, 1);
    EXPECT_NE(kept.out.find(" Warning: File cores/c3.pos"), std::string::npos) << kept.out;
    EXPECT_NE(kept.out.find("; the file is left out.\n Pair 1 of 1: cores with the values in its "
                            "files: 2 series"),
              std::string::npos)
        << kept.out;
    fs::remove(folder.path / "cores" / "c3.pos");
    write_file(folder.path / "d2pith.txt", "2.5 c1\n1.5 c2\n");
    const ProgramRun both = run(folder.path, {"--kind", "d2pith", "cores", "d2pith.txt"});
    EXPECT_EQ(both.status, 0) << both.out;
    EXPECT_NE(both.out.find(" Warning: File d2pith.txt, line 1: series \"c1\": the distance to "
                            "the pith 2.5 differs from 2.0 in its ring-width file"),
              std::string::npos)
        << both.out;
}

// Fault guarded: the proportional method refusing a table of diameters only
// where coordinate files give the pith offsets and distances.
TEST(CoordinateFiles, TheProportionalMethodTakesTheDiameterFromATableAndTheRestFromTheFiles) {
    ScratchFolder folder("proportional");
    copy_cores(folder);
    write_file(folder.path / "dbh.csv", "series,dbh\nc1,5.0\nc2,4.0\n");
    const ProgramRun run_ =
        run(folder.path, {"--kind", "proportional", "--csv", "cores", "dbh.csv"});
    EXPECT_EQ(run_.status, 0) << run_.out;
    EXPECT_EQ(read_file(folder.path / "cores_BAI_series.csv"),
              "series,first_year,last_year,rings,mean_width_mm,pith_offset,pith_offset_from,"
              "d2pith_mm,d2pith_from,dbh_cm,dbh_from,bark_mm,bark_from\n"
              "c1,1998,2000,3,1.6666666,2,cores (YearsToPith),2,cores (PithCoordinates),5,"
              "\"dbh.csv, line 2\",0,\n"
              "c2,1999,2001,3,1.3333334,3,cores (YearsToPith),1.5,cores (PithCoordinates),4,"
              "\"dbh.csv, line 3\",0,\n");
    write_file(folder.path / "site_dbh.csv", "series,dbh\nc1,5.0\nc2,4.0\n");
    const ProgramRun decade =
        run(folder.path, {"--kind", "proportional", "site.rwl", "site_dbh.csv"});
    EXPECT_EQ(decade.status, 1);
    EXPECT_EQ(decade.out,
              " The run stops: Series 1, \"c1\", of site.rwl: neither site_dbh.csv nor its "
              "ring-width file gives the pith offset; the pair cannot be processed.\n");
}

// Fault guarded: a Heidelberg file named alone taken as missing its
// companion file, or its MissingRingsBefore key not used as the pith offset.
TEST(CoordinateFiles, AHeidelbergFileAloneGivesItsMissingRingsAsThePithOffset) {
    ScratchFolder folder("heidelberg");
    fs::copy_file(fs::path(RUVELA_TEST_DATA) / "formats" / "heidelberg" / "missing_rings_before.fh",
                  folder.path / "site.fh");
    const ProgramRun alone = run(folder.path, {"--kind", "pith", "--csv", "site.fh"});
    EXPECT_EQ(alone.status, 0) << alone.out;
    EXPECT_EQ(read_file(folder.path / "site_BAI_series.csv"),
              "series,first_year,last_year,rings,mean_width_mm,pith_offset,pith_offset_from,"
              "d2pith_mm,d2pith_from,dbh_cm,dbh_from,bark_mm,bark_from\n"
              "MRB01,1850,1852,3,1.18,12,site.fh (MissingRingsBefore),,,,,,\n");
}

}  // namespace
}  // namespace ruvela::testing
