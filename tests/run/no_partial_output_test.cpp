// A table file is either complete under its own name or absent: a write that
// fails half way, or a target that cannot be replaced, ends the run with
// exit status 2 and a message, and leaves no truncated table and no
// temporary file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../support/program_runner.hpp"

namespace ruvela::testing {
namespace {

namespace fs = std::filesystem;

// `series` series of `years` rings from the year 1000; enough years make the column table larger
// than any limit below.
std::string ring_width_file(int series, int years) {
    std::string text;
    for (int s = 1; s <= series; ++s) {
        std::string id = "core" + std::to_string(100 + s);
        id.resize(8, ' ');
        int year = 1000;
        for (int done = 0; done < years;) {
            std::string line = id + std::to_string(year);
            const int n = std::min(10 - year % 10, years - done);
            for (int j = 0; j < n; ++j) line += "   123";
            if (done + n == years && n < 10) line += "   999";
            text += line + "\n";
            year += n;
            done += n;
        }
        // After a full last decade the end marker has a line of its own.
        if (years % 10 == 0) text += id + std::to_string(year) + "   999\n";
    }
    return text;
}

std::string pith_file(int series) {
    std::string text;
    for (int s = 1; s <= series; ++s) text += " 5\n";
    return text;
}

// Answers for a single pair "big.rwl"/"big.pth", pith offsets read with
// "(i2)", column layout, no plots.
constexpr const char* single_pair_answers = "\nf\nbig.rwl\nbig.pth\n1\n(i2)\n1\n\n\n\n";

struct Job {
    ScratchFolder folder{"no_partial"};
    fs::path answers = folder.path / "answers";

    Job(int series, int years) {
        fs::create_directories(folder.path / "run");
        write_file(run_path() / "big.rwl", ring_width_file(series, years));
        write_file(run_path() / "big.pth", pith_file(series));
        write_file(answers, single_pair_answers);
    }
    fs::path run_path() const { return folder.path / "run"; }

    ProgramRun run(const fs::path& program) { return run_in_folder(program, run_path(), answers); }

    // A program that runs RUVELA_V12 with files limited to `blocks` of 512
    // bytes, as on a full disk. The program itself must ignore the signal
    // that a write past the limit raises, or it is killed without a word.
    fs::path limited_program(int blocks) {
        const fs::path script = folder.path / "limited.sh";
        write_file(script, "#!/bin/sh\nulimit -f " + std::to_string(blocks) + "\nexec '" +
                               std::string(RUVELA_V12) + "'\n");
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }

    // A program that runs RUVELA_V12 with standard output sent where it
    // cannot be written: `redirection` is the shell's, after `setup`.
    fs::path program_writing_to(const std::string& setup, const std::string& redirection) {
        const fs::path script = folder.path / "redirected.sh";
        write_file(script, "#!/bin/sh\n" + setup + "\nexec '" + std::string(RUVELA_V12) +
                               "' \"$@\" " + redirection + "\n");
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }

    void expect_no_temporary_files() const {
        for (const auto& entry : fs::directory_iterator(run_path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.find(".tmp") == std::string::npos && !name.starts_with(".rv"))
                << entry.path() << " left behind";
        }
    }
};

TEST(NoPartialOutput, FailingWriteLeavesNoTruncatedTable) {
    Job job(40, 600);                                          // a column table of about 850 KB
    const ProgramRun run = job.run(job.limited_program(256));  // 128 KB per file

    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("big_BAI"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(job.run_path() / "big_BAI"));
    EXPECT_FALSE(fs::exists(job.run_path() / "BAm2.out"));
    EXPECT_EQ(run.out.find("Normal Termination"), std::string::npos);
    job.expect_no_temporary_files();
}

TEST(NoPartialOutput, FailingWriteKeepsThePreviousCompleteTable) {
    Job job(40, 600);
    const std::string previous = "a complete table of an earlier run\n";
    write_file(job.run_path() / "big_BAI", previous);
    const ProgramRun run = job.run(job.limited_program(256));

    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(read_file(job.run_path() / "big_BAI"), previous);
    job.expect_no_temporary_files();
}

// Fault guarded: the summary tables were renamed one by one, so when the
// last could not replace its target the first two were already this run's.
TEST(NoPartialOutput, SummaryTableThatCannotBeReplacedKeepsThePreviousThree) {
    Job job(2, 30);
    write_file(job.run_path() / "BAm2.out", "previous BAm2\n");
    write_file(job.run_path() / "BAIcm2.out", "previous BAIcm2\n");
    fs::create_directories(job.run_path() / "RRWmm.out");  // a folder is no file to replace
    const ProgramRun run = job.run(RUVELA_V12);

    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("RRWmm.out: Is a directory"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_directory(job.run_path() / "RRWmm.out"));
    EXPECT_EQ(read_file(job.run_path() / "BAm2.out"), "previous BAm2\n");
    EXPECT_EQ(read_file(job.run_path() / "BAIcm2.out"), "previous BAIcm2\n");
    // What was written before the failure is complete.
    const std::string table = read_file(job.run_path() / "big_BAI");
    EXPECT_NE(table.find("1029"), std::string::npos);
    job.expect_no_temporary_files();
}

// Fault guarded: a run whose console output was lost (a full disk, a pipe
// whose reader has gone, with SIGPIPE ignored) ended with status 0.
TEST(NoPartialOutput, StandardOutputThatCannotBeWrittenEndsTheRun) {
    Job job(2, 30);
    const fs::path full = job.program_writing_to("", ">/dev/full");
    for (const auto& args : {std::vector<std::string>{}, {"--help"}, {"--version"}}) {
        const ProgramRun run = run_in_folder(full, job.run_path(), job.answers, args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "Ruvela: cannot write standard output: No space left on device\n");
    }
    // A FIFO opened for writing, its one reader then closed: no reader is left.
    const fs::path closed_pipe = job.program_writing_to(
        "trap '' PIPE\nmkfifo ../fifo\nexec 3<>../fifo 4>../fifo 3<&-", ">&4 4>&-");
    const ProgramRun run = job.run(closed_pipe);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Ruvela: cannot write standard output: Broken pipe\n");
}

}  // namespace
}  // namespace ruvela::testing
