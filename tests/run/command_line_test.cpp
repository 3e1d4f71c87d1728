// The programs run from the command line, as black boxes: the same tables as
// the dialogue writes for the same inputs, the folder of --out, the plots of
// a whole batch, and the exit statuses a pipeline relies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

const fs::path gp = fs::path(RUVELA_TEST_DATA) / "gp";

void copy_gp(const fs::path& folder) {
    for (const char* name : {"gp.rwl", "gp_pith.txt", "gp_dbh.txt"})
        fs::copy_file(gp / name, folder / name);
}

// The files a run wrote: every file below `folder` but the inputs.
std::map<std::string, std::string> outputs(const fs::path& folder) {
    std::map<std::string, std::string> written = files_below(folder);
    for (const char* input :
         {"gp.rwl", "gp_pith.txt", "gp_dbh.txt", "rings.lst", "companions.lst", "answers", "none"})
        written.erase(input);
    return written;
}

struct Runs {
    std::map<std::string, std::string> dialogue, command_line;
};

// The dialogue's answers and the command line of the same job, each run in
// a folder of its own.
Runs both_ways(const std::string& answers, const std::vector<std::string>& args) {
    ScratchFolder a("dialogue"), b("command_line");
    copy_gp(a.path);
    copy_gp(b.path);
    for (const fs::path& folder : {a.path, b.path}) {
        write_file(folder / "rings.lst", "gp.rwl\ngp.rwl\n");
        write_file(folder / "companions.lst", "gp_pith.txt\ngp_pith.txt\n");
        write_file(folder / "none", "");
    }
    write_file(a.path / "answers", answers);
    const ProgramRun dialogue = run_in_folder(RUVELA_V12, a.path, a.path / "answers", {"--csv"});
    EXPECT_EQ(dialogue.status, 0) << dialogue.out;
    std::vector<std::string> with_csv = args;
    with_csv.push_back("--csv");
    const ProgramRun command_line = run_in_folder(RUVELA_V12, b.path, b.path / "none", with_csv);
    EXPECT_EQ(command_line.status, 0) << command_line.out << command_line.err;
    EXPECT_EQ(command_line.out.find("Enter"), std::string::npos) << "no prompts";
    // The command line also writes each pair's series table, which the
    // dialogue leaves as it always has.
    std::map<std::string, std::string> command_line_outputs = outputs(b.path);
    std::erase_if(command_line_outputs,
                  [](const auto& file) { return file.first.ends_with("_series.csv"); });
    return {outputs(a.path), command_line_outputs};
}

TEST(CommandLine, WritesTheDialoguesTablesByteForByte) {
    const Runs pith = both_ways("\nf\ngp.rwl\ngp_pith.txt\n1\n(i3)\n1\n\n",
                                {"--kind", "pith", "--format", "(i3)", "gp.rwl", "gp_pith.txt"});
    EXPECT_EQ(pith.dialogue.size(), 6u);
    EXPECT_EQ(pith.command_line, pith.dialogue);
    const Runs diameters = both_ways(
        "\nf\ngp.rwl\ngp_dbh.txt\n2\n(f6.1)\n2\n\n",
        {"--kind", "diameter", "--format=(f6.1)", "--layout", "decade", "gp.rwl", "gp_dbh.txt"});
    EXPECT_EQ(diameters.command_line, diameters.dialogue);
    // A list run of the same file twice: a second table gp_BAI_2.
    const Runs lists = both_ways("\nt\nrings.lst\ncompanions.lst\n1\n(i3)\n1\n\n\n",
                                 {"--kind", "pith", "--format", "(i3)", "--ring-list", "rings.lst",
                                  "--companion-list", "companions.lst"});
    EXPECT_TRUE(lists.dialogue.contains("gp_BAI_2"));
    EXPECT_EQ(lists.command_line, lists.dialogue);
}

TEST(CommandLine, OutWritesEverythingIntoItsFolder) {
    ScratchFolder folder("out");
    copy_gp(folder.path);
    write_file(folder.path / "none", "");
    const ProgramRun run = run_in_folder(RUVELA_V12, folder.path, folder.path / "none",
                                         {"--kind", "pith", "--format", "(i3)", "--csv", "--out",
                                          "site/tables", "gp.rwl", "gp_pith.txt"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::vector<std::string> names;
    for (const auto& [name, text] : outputs(folder.path)) names.push_back(name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"site/tables/BAIcm2.out", "site/tables/BAm2.out",
                                        "site/tables/RRWmm.out", "site/tables/gp_BAI",
                                        "site/tables/gp_BAI.csv", "site/tables/gp_BAI_series.csv",
                                        "site/tables/summary.csv"}));
    EXPECT_EQ(run.out,
              " Pair 1 of 1: gp.rwl with gp_pith.txt: 58 series, years 1570 to 1990, table "
              "site/tables/gp_BAI\n"
              " Summary tables: site/tables/BAm2.out, site/tables/BAIcm2.out, "
              "site/tables/RRWmm.out (1 pair)\n");
}

// Fault guarded: a distance to the pith of 1e30 mm wrote infinities into
// the tables and ended the run with status 0.
TEST(CommandLine, AValueTooLargeForTheAreasStopsNamingItsLine) {
    ScratchFolder folder("overflow");
    copy_gp(folder.path);
    std::string distances = "1e30\n";
    for (int s = 2; s <= 58; ++s) distances += "5.0\n";
    write_file(folder.path / "d2pith.txt", distances);
    write_file(folder.path / "none", "");
    const ProgramRun run = run_in_folder(RUVELA_V12, folder.path, folder.path / "none",
                                         {"--kind", "d2pith", "gp.rwl", "d2pith.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              " The run stops: File d2pith.txt, line 1: \"1e30\" the value makes the areas of "
              "series 1, \"01A\", too large to compute; the pair cannot be processed.\n");
    EXPECT_FALSE(fs::exists(folder.path / "gp_BAI"));
}

int pdf_pages(const fs::path& pdf) {
    const std::string command = "pdfinfo '" + pdf.string() + "' | sed -n 's/^Pages: *//p'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char line[64] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    ::pclose(pipe);
    return read ? std::atoi(line) : -1;
}

// One page a series and one a pair: 58 + 1 for gp, twice in a list run.
TEST(CommandLine, PlotsEveryPageOfABatchIntoOneFileOrAFolder) {
    ScratchFolder folder("plots");
    copy_gp(folder.path);
    write_file(folder.path / "rings.lst", "gp.rwl\ngp.rwl\n");
    write_file(folder.path / "companions.lst", "gp_pith.txt\ngp_pith.txt\n");
    write_file(folder.path / "none", "");
    const std::vector<std::string> lists = {
        "--kind",      "pith",      "--format",         "(i3)",
        "--ring-list", "rings.lst", "--companion-list", "companions.lst"};
    for (const std::string target : {"site.pdf", "site.ps", "pages/"}) {
        std::vector<std::string> args = lists;
        args.insert(args.end(), {"--plots", target});
        const ProgramRun run = run_in_folder(RUVELA_V12, folder.path, folder.path / "none", args);
        EXPECT_EQ(run.status, 0) << target << run.out << run.err;
    }
    EXPECT_EQ(pdf_pages(folder.path / "site.pdf"), 2 * 59);
    const std::string ps = read_file(folder.path / "site.ps");
    EXPECT_TRUE(ps.starts_with("%!PS"));
    EXPECT_NE(ps.find("%%Pages: " + std::to_string(2 * 59)), std::string::npos);
    int pngs = 0;
    for (const auto& entry : fs::directory_iterator(folder.path / "pages"))
        pngs += entry.path().extension() == ".png" ? 1 : 0;
    EXPECT_EQ(pngs, 2 * 59);
    EXPECT_TRUE(fs::exists(folder.path / "pages" / "gp_BAI_01A.png"));
    EXPECT_TRUE(fs::exists(folder.path / "pages" / "gp_BAI_2_means.png"));
}

// Two series of five and two rings, widths in hundredths, and their pith offsets.
const std::string two_series =
    "a1      1901   100   110   120   130   140   999\n"
    "a2      1903   200   210   999\n";
const std::map<std::string, std::string> small_pair = {{"a.rwl", two_series}, {"a.pth", "5\n7\n"}};

// Fault guarded: the folder of --out was put before an absolute --plots path
// too, and the plot file was looked for below it.
TEST(CommandLine, OutLeavesAnAbsolutePlotsPathAsItIs) {
    ScratchFolder folder("absolute_plots");
    const std::string plots = (folder.path / "site.pdf").string();
    const ProgramRun run =
        run_with_files(RUVELA_V12, folder.path, small_pair,
                       {"--kind", "pith", "--out", "tables", "--plots", plots, "a.rwl", "a.pth"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_TRUE(fs::exists(plots));
}

// Fault guarded: the tree means were left out of the check that no output
// replaces an input, and a companion file of that name was overwritten.
TEST(CommandLine, TreeMeansThatWouldReplaceAnInputStopTheRunBeforeAnythingIsWritten) {
    ScratchFolder folder("trees_over_input");
    const std::map<std::string, std::string> inputs = {{"a.rwl", two_series},
                                                       {"a_BAI_trees.csv", "5\n7\n"}};
    const ProgramRun run = run_with_files(
        RUVELA_V12, folder.path, inputs, {"--kind", "pith", "--trees", "a.rwl", "a_BAI_trees.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("a_BAI_trees.csv, the tree means of pair 1, would replace"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(files_below(folder.path), inputs);
}

// Fault guarded: the limit of 50 pairs was taken as the first number refused.
TEST(CommandLine, FiftyPairsAreAccepted) {
    ScratchFolder folder("fifty_pairs");
    std::vector<std::string> args = {"--kind", "pith"};
    for (int k = 0; k < 50; ++k) args.insert(args.end(), {"a.rwl", "a.pth"});
    const ProgramRun run = run_with_files(RUVELA_V12, folder.path, small_pair, args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.ends_with("(50 pairs)\n")) << run.out;
}

// Fault guarded: the page of the second series of an ID replaced the first's
// PNG file.
TEST(CommandLine, TwoSeriesOfOneIdGetAPngPageEach) {
    ScratchFolder folder("same_id_pages");
    const ProgramRun run = run_with_files(
        RUVELA_V12, folder.path,
        {{"a.rwl", "a1      1901   100   110   999\na1      1903   200   210   999\n"},
         {"a.pth", "5\n7\n"}},
        {"--kind", "pith", "--plots", "pages/", "a.rwl", "a.pth"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::vector<std::string> pages;
    for (const auto& [name, text] : files_below(folder.path / "pages")) pages.push_back(name);
    EXPECT_EQ(pages,
              (std::vector<std::string>{"a_BAI_a1.png", "a_BAI_a1_2.png", "a_BAI_means.png"}));
}

}  // namespace
}  // namespace ruvela::testing
