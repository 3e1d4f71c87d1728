#include "text/output_file.hpp"

#include <gtest/gtest.h>
#include <fcntl.h>
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

// Fault guarded: a file named /dev/null (a plot saved there, say) put a plain
// file in the device's place, and the machine's /dev/null with it. A FIFO
// stands in for the device here.
TEST(OutputFile, ASpecialFileIsWrittenToNotReplaced) {
    TempDir dir;
    const fs::path fifo = dir.path / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Both ends held here, so that writing it neither waits for a reader
    // nor, should the FIFO be replaced, leaves the test waiting.
    const int ends = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(ends, 0);
    {
        OutputFile file(fifo.string());
        file.stream() << "x\n";
        file.commit();
    }
    char read_back[8] = {};
    EXPECT_EQ(::read(ends, read_back, sizeof read_back), 2);
    ::close(ends);
    EXPECT_EQ(std::string(read_back), "x\n");
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(dir.entries(), 1u);
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
