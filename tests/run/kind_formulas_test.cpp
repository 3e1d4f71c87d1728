// The distance-to-the-pith and proportional methods on real data, loaded
// into the store the way the run loads a pair, against the formulas worked
// out independently in double precision (tests/kinds/formula_check.py).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "../support/program_runner.hpp"
#include "run/basal_area.hpp"
#include "run/companion_file.hpp"
#include "run/csv_tables.hpp"
#include "run/pair_input.hpp"
#include "store_fixture.hpp"

namespace ruvela {
namespace {

namespace fs = std::filesystem;
using testing::ProgramRun;

const fs::path data = RUVELA_TEST_DATA;

// Reads the pair as the run does, computes it and writes its CSV table
// "pair.csv"; gives the console's output.
std::string compute_pair_csv(const testing::ScratchFolder& folder, CompanionKind kind,
                             const fs::path& rings, const fs::path& companion,
                             const std::string& format) {
    fs::copy_file(rings, folder.path / rings.filename());
    fs::copy_file(companion, folder.path / companion.filename());
    const fs::path before = fs::current_path();
    fs::current_path(folder.path);
    auto store = std::make_unique<testing::TestStore>();
    store->job.pairs = {{rings.filename().string(), companion.filename().string()}};
    store->job.companion_kind = kind;
    store->job.companion_format = format;
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    store->run.file_index = 1;
    start_pair(store->run, store->tables);
    read_ring_width_file(store->job.ring_file_name(1), store->run, store->pair, store->tables, con);
    read_companion_file(store->job, 1, store->pair, store->tables, con);
    compute_basal_area(kind, store->run, store->pair, store->tables);
    write_pair_csv_file("pair.csv", store->pair, store->tables);
    fs::current_path(before);
    return out.str();
}

void check_with_formulas(const char* kind_word, CompanionKind kind, const fs::path& rings,
                         const fs::path& companion, const std::string& format) {
    testing::ScratchFolder folder("formulas");
    const std::string console = compute_pair_csv(folder, kind, rings, companion, format);
    EXPECT_EQ(console.find("Warning"), std::string::npos) << console;
    testing::write_file(folder.path / "no_input", "");
    const ProgramRun check = testing::run_in_folder(
        "/usr/bin/env", folder.path, folder.path / "no_input",
        {"python3", std::string(RUVELA_SOURCE_DIR) + "/tests/kinds/formula_check.py", kind_word,
         rings.string(), companion.string(), (folder.path / "pair.csv").string()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    std::cout << check.out;
}

// Fault guarded: radii, areas or the first ring's area of the distance
// method off its formula, read freely or with the (f6.1) format.
TEST(KindFormulas, GpDistancesToThePithGiveTheFormulasAreas) {
    for (const char* format : {"*", "(f6.1)"})
        check_with_formulas("d2pith", CompanionKind::d2pith, data / "gp" / "gp.rwl",
                            data / "gp" / "gp_d2pith.txt", format);
}

// Fault guarded: the proportional method not ending at the measured
// diameter, or not keeping to the measured radii in proportion.
TEST(KindFormulas, ZofProportionalGivesTheFormulasAreas) {
    check_with_formulas("proportional", CompanionKind::proportional, data / "zof" / "zof.rwl",
                        data / "zof" / "zof_ancillary.csv", "*");
}

// Fault guarded: bounds that are not the formulas at the ends of the range
// (a range applied to the wrong value, an end not clamped, low and high
// swapped where a method falls with its value).
TEST(KindFormulas, BoundsAreTheFormulasAtTheEndsOfTheRange) {
    const struct {
        const char* kind;
        fs::path rings, companion;
        const char *option, *field, *error;
        std::vector<std::string> format;
    } cases[] = {
        {"d2pith", data / "gp" / "gp.rwl", data / "gp" / "gp_d2pith.txt", "--d2pith-error", "d2pith",
         "2", {}},
        {"proportional", data / "zof" / "zof.rwl", data / "zof" / "zof_ancillary.csv",
         "--dbh-error", "dbh", "1", {}},
        {"pith", data / "gp" / "gp.rwl", data / "gp" / "gp_pith.txt", "--pith-error", "pith", "3",
         {"--format", "(i3)"}},
    };
    for (const auto& c : cases) {
        testing::ScratchFolder folder("bounds_formulas");
        std::vector<std::string> args = {"--kind", c.kind, "--csv", c.option, c.error,
                                         "--out", folder.path.string()};
        args.insert(args.end(), c.format.begin(), c.format.end());
        args.insert(args.end(), {c.rings.string(), c.companion.string()});
        const ProgramRun run = testing::run_with_files(RUVELA_V12, folder.path, {}, args);
        ASSERT_EQ(run.status, 0) << run.out;
        const fs::path table = folder.path / (c.rings.stem().string() + "_BAI.csv");
        testing::write_file(folder.path / "no_input", "");
        const ProgramRun check = testing::run_in_folder(
            "/usr/bin/env", folder.path, folder.path / "no_input",
            {"python3", std::string(RUVELA_SOURCE_DIR) + "/tests/kinds/formula_check.py", c.kind,
             c.rings.string(), c.companion.string(), table.string(), c.field, c.error});
        EXPECT_EQ(check.status, 0) << check.out << check.err;
        std::cout << check.out;
    }
}

}  // namespace
}  // namespace ruvela
