#include "text/output_file.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/stops.hpp"

namespace ruvela {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    TempDir() : path(fs::temp_directory_path() / ("ruvela_out_" + std::to_string(::getpid()))) {
        fs::create_directories(path);
    }
    ~TempDir() { fs::remove_all(path); }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), {}));
    }
    fs::path path;
};

std::string contents(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(OutputFile, TargetAppearsOnlyWhenCommitted) {
    TempDir dir;
    const fs::path target = dir.path / "BAm2.out";
    {
        std::ofstream(target) << "old table\n";
        OutputFile file(target.string());
        file.stream() << " Year\n";
        EXPECT_EQ(contents(target), "old table\n");  // the old file is untouched while writing
        file.commit();
    }
    EXPECT_EQ(contents(target), " Year\n");
    EXPECT_EQ(dir.entries(), 1u);  // no temporary file left behind
    // Readable by others like any file the user creates, not private like a temporary.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0666 & ~mask));
}

TEST(OutputFile, AbandonedFileLeavesNothingBehind) {
    TempDir dir;
    {
        OutputFile file((dir.path / "site_BAI").string());
        file.stream() << "partial";
    }
    EXPECT_EQ(dir.entries(), 0u);
}

TEST(OutputFile, UncreatableFileIsReportedWithItsName) {
    try {
        OutputFile file("/nonexistent-folder/x_BAI");
        FAIL() << "no failure reported";
    } catch (const FileFailure& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder/x_BAI"), std::string::npos);
    }
}

TEST(OutputFile, WriteErrorIsAFailureNotASuccess) {
    TempDir dir;
    OutputFile file((dir.path / "t").string());
    file.stream() << "rows";
    file.stream().setstate(std::ios::badbit);  // what a failed write (a full disk) leaves
    EXPECT_THROW(file.commit(), FileFailure);
    EXPECT_EQ(dir.entries(), 0u);
}

}  // namespace
}  // namespace ruvela
