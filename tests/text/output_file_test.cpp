#include "text/output_file.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/stops.hpp"
#include "text/temporary_files.hpp"

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

// Fault guarded: the temporary name, the table's with a suffix, was longer
// than a name may be, and the table was refused with its own name blamed.
TEST(OutputFile, TableWithTheLongestNameIsWrittenAndATooLongOneIsNamed) {
    TempDir dir;
    const std::string longest(254, 'a');
    {
        OutputFile file((dir.path / longest).string());
        file.stream() << " Year\n";
        file.commit();
    }
    EXPECT_EQ(contents(dir.path / longest), " Year\n");
    EXPECT_EQ(dir.entries(), 1u);
    const std::string too_long = (dir.path / std::string(256, 'b')).string();
    try {
        OutputFile file(too_long);
        file.commit();
        FAIL() << "no failure reported";
    } catch (const FileFailure& e) {
        EXPECT_EQ(std::string(e.what()), "cannot create file " + too_long + ": File name too long");
    }
    EXPECT_EQ(dir.entries(), 1u);
}

// Fault guarded: a run ended by Ctrl-C, kill or a closed terminal left the
// temporary file of the table it was writing.
TEST(OutputFile, EndingSignalsRemoveTheTemporaryFileAndKeepTheirStatus) {
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            take_over_signals();
            OutputFile file((dir.path / "site_BAI").string());
            file.stream() << "partial";
            ::kill(::getpid(), signal_number);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << signal_number;
        EXPECT_EQ(dir.entries(), 0u) << signal_number;
    }
}

// Fault guarded: a run started under nohup took the hangup back over and was
// ended by the very signal it was started to survive.
TEST(OutputFile, SignalIgnoredAtStartStaysIgnored) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGHUP, SIG_IGN);
        take_over_signals();
        ::kill(::getpid(), SIGHUP);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
}  // namespace ruvela
