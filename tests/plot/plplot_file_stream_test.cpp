#include "plot/plplot_file_stream.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"
#include "text/stops.hpp"

namespace ruvela {
namespace {

namespace fs = std::filesystem;

// The drawing processes this process has started and not yet reaped.
std::vector<pid_t> children() {
    std::ifstream list("/proc/self/task/" + std::to_string(::gettid()) + "/children");
    std::vector<pid_t> pids;
    for (pid_t pid; list >> pid;) pids.push_back(pid);
    return pids;
}

// A drawing that takes no call and writes nothing is stopped after the
// stall limit, whatever the file's size; before, a fixed 60 s cut off any
// file that took longer, finished or not.
TEST(PlplotFileStream, ADrawingThatMakesNoProgressIsStoppedAndLeavesNothing) {
    testing::ScratchFolder folder("stall");
    const std::string target = (folder.path / "stalled.ps").string();
    PlplotFileStream plotter(std::chrono::seconds(1));
    plotter.sfnam(target);
    plotter.sdev("psc");
    ASSERT_EQ(children().size(), 1u);
    ::kill(children().front(), SIGSTOP);
    const std::vector<float> points(100000, 1.0f);
    const auto start = std::chrono::steady_clock::now();
    try {
        for (int k = 0; k < 100; ++k) plotter.line(100000, points, points);
        FAIL() << "the stalled drawing was not stopped";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "cannot write file " + target +
                      ": the plotting library made no progress for 1 s and was stopped");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(fs::is_empty(folder.path)) << "a file is left behind";
    EXPECT_TRUE(children().empty());
}

}  // namespace
}  // namespace ruvela
