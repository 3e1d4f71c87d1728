#include "run/options.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace ruvela {
namespace {

CommandLine parse(std::vector<std::string_view> args) {
    return parse_command_line(args);
}

TEST(CommandLine, OptionsGiveTheRequestAndTheRunOptions) {
    EXPECT_EQ(parse({}).request, CommandLine::Request::run);
    EXPECT_FALSE(parse({}).run.write_csv);
    EXPECT_EQ(parse({}).run.device, "");
    EXPECT_TRUE(parse({"--csv"}).run.write_csv);
    EXPECT_EQ(parse({"--device", "pngcairo", "--csv"}).run.device, "pngcairo");
    EXPECT_EQ(parse({"--device=xwin"}).run.device, "xwin");
    EXPECT_EQ(parse({"--device", "a", "--device", "b"}).run.device, "b");
    EXPECT_EQ(parse({"--version", "--help"}).request, CommandLine::Request::help);
    EXPECT_EQ(parse({"--csv", "--version"}).request, CommandLine::Request::version);
    for (const auto& args : {std::vector<std::string_view>{}, {"--csv"}, {"--device", "null"}})
        EXPECT_EQ(parse(args).error, "");
}

// A bad word must end the program even beside --help, and name the word, so
// that a mistyped option is never taken for a run without it.
TEST(CommandLine, BadWordsAreNamed) {
    const struct {
        std::vector<std::string_view> args;
        const char* error;
    } cases[] = {
        {{"--verbose"}, "unknown option '--verbose'"},
        {{"-h"}, "unknown option '-h'"},
        {{"--csv=yes"}, "unknown option '--csv=yes'"},
        {{"--foo", "bar"}, "unknown option '--foo'"},       // the first bad word, not the last
        {{"--devicefoo"}, "unknown option '--devicefoo'"},  // not --device with its name run on
        {{"--help", "gp.rwl"}, "unexpected argument 'gp.rwl': files on the command line need --kind"},
        {{"-"}, "unexpected argument '-'"},
        {{""}, "unexpected argument ''"},
        {{"--device"}, "option --device needs a device name"},
        {{"--device="}, "option --device needs a device name"},
        {{"--device", ""}, "option --device needs a device name"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.args).error, c.error) << c.args.front();
}

}  // namespace
}  // namespace ruvela
