// A store used for one job and reset gives the next job exactly what a new
// store gives: nothing of the earlier job shows through.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "../support/program_runner.hpp"
#include "run/program.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

struct JobResult {
    int status = -1;
    std::string out;
    std::map<std::string, std::string> files;
};

JobResult run_job(Store& store, const fs::path& folder, const std::string& answers) {
    for (const char* name : {"gp.rwl", "gp_dbh.txt", "wa082.rwl", "wa082_pith.txt"})
        fs::copy_file(fs::path(RUVELA_SOURCE_DIR) / "examples" / name, folder / name,
                      fs::copy_options::overwrite_existing);
    const fs::path home = fs::current_path();
    fs::current_path(folder);
    std::istringstream in(answers);
    std::ostringstream out, err;
    Console con(in, out, err);
    JobResult result;
    result.status = run_program(Edition::v12, con, store);
    fs::current_path(home);
    result.out = out.str();
    result.files = files_below(folder);
    return result;
}

TEST(StoreReuse, ResetStoreGivesTheSameRunAsANewOne) {
    // Diameters in decade layout first, then pith offsets in column layout
    // on a file with other years and fewer series.
    const std::string first_job = "\nf\ngp.rwl\ngp_dbh.txt\n2\n(f6.1)\n2\n\n";
    const std::string second_job = "\nf\nwa082.rwl\nwa082_pith.txt\n1\n(i3)\n1\n\n";

    ScratchFolder reused_folder("reused_store");
    Store reused;
    ASSERT_EQ(run_job(reused, reused_folder.path, first_job).status, 0);
    reused.reset();
    const JobResult again = run_job(reused, reused_folder.path, second_job);

    ScratchFolder fresh_folder("fresh_store");
    Store fresh;
    const JobResult expected = run_job(fresh, fresh_folder.path, second_job);

    ASSERT_EQ(expected.status, 0);
    EXPECT_EQ(again.status, expected.status);
    EXPECT_EQ(again.out, expected.out);
    for (const char* table : {"wa082_BAI", "BAm2.out", "BAIcm2.out", "RRWmm.out"}) {
        ASSERT_TRUE(expected.files.count(table)) << table;
        EXPECT_EQ(again.files.at(table), expected.files.at(table)) << table;
    }
}

}  // namespace
}  // namespace ruvela::testing
