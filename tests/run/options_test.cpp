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
    const CommandLine batch = parse({"--kind=diameter", "--layout", "decade", "--out", "t", "a.rwl",
                                     "a.dia", "b.rwl", "b.dia", "--keep-going"});
    ASSERT_EQ(batch.error, "");
    ASSERT_TRUE(batch.batch);
    EXPECT_EQ(batch.batch->kind, CompanionKind::diameter);
    EXPECT_EQ(batch.batch->format, free_format);
    EXPECT_EQ(batch.batch->layout, OutputLayout::decade);
    ASSERT_EQ(batch.batch->pairs.size(), 2u);
    EXPECT_EQ(batch.batch->pairs[1].companion_file, "b.dia");
    EXPECT_EQ(batch.run.out_dir, "t");
    EXPECT_TRUE(batch.run.keep_going);
    EXPECT_FALSE(parse({"--csv"}).batch);
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
        {{"--help", "gp.rwl"},
         "unexpected argument 'gp.rwl': files on the command line need --kind"},
        {{"-"}, "unexpected argument '-'"},
        {{""}, "unexpected argument ''"},
        {{"--device"}, "option --device needs a device name"},
        {{"--device="}, "option --device needs a device name"},
        {{"--device", ""}, "option --device needs a device name"},
        {{"--kind", "pine", "a", "b"},
         "unknown kind 'pine' for --kind (pith, diameter, d2pith or proportional)"},
        {{"--kind", "pith", "a.rwl", "a.pth", "b.rwl"},
         "ring-width file 'b.rwl' has no companion file after it"},
        {{"--kind", "pith", "--ring-list", "r.lst"}, "option --ring-list needs --companion-list"},
        {{"--kind", "pith"},
         "option --kind needs file pairs (RINGS COMPANION ...) or the two list files"},
        {{"--layout", "decade"}, "option --layout needs --kind"},
        {{"--kind", "pith", "--format", "i3", "a", "b"},
         "option --format: the read format 'i3' cannot be used: it needs parentheses around its "
         "elements, as in (i3) or (f6.1)"},
        {{"--kind", "pith", "--plots", "site.png", "a", "b"},
         "option --plots needs FILE.pdf, FILE.ps or DIR/, not 'site.png'"},
        {{"--kind", "pith", "--tree-chars", "0", "a", "b"},
         "option --tree-chars needs a whole number above 0, not '0'"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.args).error, c.error) << c.args.front();
}

}  // namespace
}  // namespace ruvela
