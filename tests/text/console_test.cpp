#include "text/console.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <optional>
#include <sstream>

#include "text/input_file.hpp"
#include "text/lines.hpp"
#include "text/stops.hpp"

namespace ruvela {
namespace {

struct Session {
    explicit Session(const std::string& input) : in(input), con(in, out, err) {}
    std::istringstream in;
    std::ostringstream out, err;
    Console con;
};

TEST(Console, LogicalAnswers) {
    for (const char* yes : {"t\n", "T\n", ".true.\n", "true\n", "\n  \n t\n"}) {
        Session s(yes);
        EXPECT_TRUE(read_logical(s.con)) << yes;
    }
    for (const char* no : {"f\n", "n\n", "y\n", ".false.\n", "x\n"}) {
        Session s(no);
        EXPECT_FALSE(read_logical(s.con)) << no;
    }
}

TEST(Console, TextIsCutOrPadded) {
    Session s("short\n0123456789012345678901234567890123\n\r\n");
    EXPECT_EQ(read_text(s.con, 8), "short   ");
    EXPECT_EQ(read_text(s.con, 30), "012345678901234567890123456789");
    EXPECT_EQ(read_text(s.con, 3), "   ");
}

TEST(Console, OneDigitChoices) {
    Session s("12\n 2\n\nx\n-\n");
    EXPECT_EQ(read_int_field(s.con, 1), 1);
    EXPECT_EQ(read_int_field(s.con, 1), 0);
    EXPECT_EQ(read_int_field(s.con, 1), 0);
    EXPECT_EQ(read_int_field(s.con, 1), std::nullopt);
    EXPECT_EQ(read_int_field(s.con, 1), 0);
}

TEST(Console, FreeReadingSkipsEmptyLines) {
    Session s("\n\n  7 8\n\n2.5,\n");
    EXPECT_EQ(read_free_int(s.con), 7);
    EXPECT_EQ(read_free_real(s.con), 2.5f);
}

TEST(Console, PromptsHaveNoLineEndAndPauseDiscardsALine) {
    Session s("anything\nnext\n");
    write_prompt(s.con, " > ");
    pause(s.con, " Hit RETURN to Continue");
    EXPECT_EQ(s.out.str(), " >  Hit RETURN to Continue\n");
    EXPECT_EQ(s.con.read_line(), "next");
}

TEST(Console, EndOfInputIsReportedNotLooped) {
    Session s("\n \n");
    EXPECT_THROW(read_logical(s.con), InputEnded);
    Session t("");
    EXPECT_THROW(read_free_real(t.con), InputEnded);
}

// Fault guarded: running out of memory ended the run without saying what
// was being read, because unwinding had closed the file before the failure
// was told; and a file closed normally must not be named afterwards.
TEST(Console, OutOfMemoryNamesTheFileBeingRead) {
    const std::string name = RUVELA_SOURCE_DIR "/README.md";
    Session s("");
    try {
        std::ifstream file;
        open_input(file, name);
        throw std::bad_alloc();
    } catch (const std::bad_alloc& failure) {
        EXPECT_EQ(end_with_failure(s.con, failure), failure_status);
    }
    EXPECT_EQ(s.err.str(), "Ruvela: out of memory while reading file \"" + name + "\"\n");
    {
        std::ifstream file;
        open_input(file, name);
    }
    Session t("");
    end_with_failure(t.con, std::bad_alloc());
    EXPECT_EQ(t.err.str(), "Ruvela: out of memory\n");
}

// Both lists of a list run are opened before either is read: running out of
// memory in the first named the second, the one opened last.
TEST(Console, OutOfMemoryNamesTheFileBeingReadNotTheOneOpenedLast) {
    const std::string read = RUVELA_SOURCE_DIR "/README.md";
    const std::string opened_last = RUVELA_SOURCE_DIR "/Makefile";
    Session s("");
    try {
        std::ifstream first, second;
        open_input(first, read);
        open_input(second, opened_last);
        LineReader lines(first);
        std::string line;
        lines.next(line);
        throw std::bad_alloc();
    } catch (const std::bad_alloc& failure) {
        end_with_failure(s.con, failure);
    }
    EXPECT_EQ(s.err.str(), "Ruvela: out of memory while reading file \"" + read + "\"\n");
}

}  // namespace
}  // namespace ruvela
