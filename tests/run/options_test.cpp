#include "run/options.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
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
    EXPECT_EQ(parse({"--device", "a", "--device=a"}).error, "");  // the same value twice
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
    // After "--" a word is a file whatever it starts with.
    const CommandLine ended = parse({"--kind", "pith", "--", "-x.rwl", "--csv"});
    ASSERT_EQ(ended.error, "");
    EXPECT_EQ(ended.batch->pairs.at(0).ring_file, "-x.rwl");
    EXPECT_EQ(ended.batch->pairs.at(0).companion_file, "--csv");
    EXPECT_FALSE(ended.run.write_csv);
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
        // A ring-width list alone is a run whose values come from the files.
        {{"--kind", "pith", "--ring-list", "r.lst"}, ""},
        {{"--kind", "proportional", "--ring-list", "r.lst"},
         "--kind proportional needs a companion table for every ring-width file"},
        {{"--kind", "pith", "cores/", "a.rwl", "a.pth", "site.pos"}, ""},
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
        {{"--device", "a", "--csv", "--device=b"},
         "option --device is given twice, as 'a' and as 'b'"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.args).error, c.error) << c.args.front();
}

std::string source_file(const std::string& name) {
    std::ifstream in(std::string(RUVELA_SOURCE_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// `name` as a whole option in `text`: not run on into a longer name.
bool holds_option(std::string_view text, std::string_view name) {
    for (auto at = text.find(name); at != std::string_view::npos; at = text.find(name, at + 1)) {
        const std::size_t end = at + name.size();
        if (end == text.size()) return true;
        const auto next = static_cast<unsigned char>(text[end]);
        if (!std::isalnum(next) && next != '-' && next != '\\') return true;
    }
    return false;
}

// The man page's OPTIONS section and the README's table of options name
// every option that --help shows and the parsing takes.
TEST(CommandLine, ManPageAndReadmeNameEveryOption) {
    const std::string man = source_file("docs/ruvela.1");
    const auto section = man.find(".SH OPTIONS");
    ASSERT_NE(section, std::string::npos);
    const std::string options = man.substr(section, man.find("\n.SH ", section + 1) - section);
    std::istringstream readme(source_file("README.md"));
    std::string table;
    for (std::string line; std::getline(readme, line);)
        if (line.starts_with("| `--")) table += line + "\n";
    ASSERT_FALSE(table.empty());
    for (const Option& option : command_line_options()) {
        std::string roff;
        for (const char c : option.name) roff += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_TRUE(holds_option(options, roff)) << option.name << " in docs/ruvela.1";
        EXPECT_TRUE(holds_option(table, option.name)) << option.name << " in README.md";
    }
}

}  // namespace
}  // namespace ruvela
