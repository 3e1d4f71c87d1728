#include "text/fields.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <sstream>
#include <system_error>

#include "text/lines.hpp"
#include "text/stops.hpp"

namespace ruvela {
namespace {

TEST(IntField, DecodesLikeAFixedField) {
    struct Case {
        const char* field;
        std::optional<int> value;
    } cases[] = {
        {"  12", 12},
        {" -12", -12},
        {"", 0},
        {"    ", 0},
        {"\t 7\t", 7},
        {"1 2", 12},
        {"-", 0},
        {"+5", 5},
        {" - 5", -5},
        {"1-2", std::nullopt},
        {"1.0", std::nullopt},
        {"a", std::nullopt},
        {"--1", std::nullopt},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode_int_field(c.field), c.value) << '"' << c.field << '"';
}

TEST(FreeNumbers, EndAtBlankCommaOrLineEnd) {
    EXPECT_EQ(decode_free_real("  2.5 rest"), 2.5f);
    EXPECT_EQ(decode_free_real("1e3,"), 1000.0f);
    EXPECT_EQ(decode_free_real("1.5d2"), 150.0f);
    EXPECT_EQ(decode_free_real("+4"), 4.0f);
    EXPECT_EQ(decode_free_real("-.5"), -0.5f);
    EXPECT_EQ(decode_free_real("abc"), std::nullopt);
    EXPECT_EQ(decode_free_real("nan"), std::nullopt);
    EXPECT_EQ(decode_free_real("1e99"), std::nullopt);
    EXPECT_EQ(read_free_real("1e99").fault, RealFault::too_large);
    EXPECT_EQ(read_free_real("-1e-50").fault, RealFault::too_small);
    EXPECT_EQ(read_free_real("1d-400").fault, RealFault::too_small);
    EXPECT_EQ(decode_free_real("."), std::nullopt);
    EXPECT_EQ(decode_free_int(" 12 "), 12);
    EXPECT_EQ(decode_free_int("-3,4"), -3);
    EXPECT_EQ(decode_free_int("2.5"), std::nullopt);
    EXPECT_EQ(decode_free_int("-"), std::nullopt);
}

// Text, quoted or not, and whether well formed, one string a field.
std::vector<std::string> split(std::string_view line, char separator) {
    std::vector<std::string> out;
    for (const Field& f : split_fields(line, separator))
        out.push_back((f.quoted ? "q:" : "") + f.text + (f.well_formed ? "" : " (bad)"));
    return out;
}

// One splitter for delimited ring-width files and free companion files: the
// one refuses what is not well formed, the other takes the text.
TEST(SplitFields, QuotesSeparatorsAndBlanks) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split(" a , \"b,\"\"c\"\"\" ,", ','), (V{"a", "q:b,\"c\"", ""}));
    EXPECT_EQ(split("\ta\t\tb ", '\t'), (V{"", "a", "", "b"}));
    EXPECT_EQ(split("  60,5 \t 01A  ", ' '), (V{"60,5", "01A"}));
    EXPECT_EQ(split("\"a b\" c", ' '), (V{"q:a b", "c"}));
    EXPECT_EQ(split("\"ab\"cd;e", ';'), (V{"q:abcd (bad)", "e"}));
    EXPECT_EQ(split("x;\"open", ';'), (V{"x", "q:open (bad)"}));
    EXPECT_EQ(split("", ','), (V{""}));
}

std::vector<std::string> lines_of(LineReader reader) {
    std::vector<std::string> lines;
    std::string line;
    while (reader.next(line)) lines.push_back(line);
    return lines;
}

// The lines of a stream, which the reader of text in memory must split alike.
std::vector<std::string> lines_of(const std::string& text) {
    std::istringstream in(text);
    const auto lines = lines_of(LineReader(in));
    EXPECT_EQ(lines_of(LineReader(std::string_view(text))), lines) << '"' << text << '"';
    return lines;
}

TEST(LineReader, EveryKindOfLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(lines_of(""), V{});
    EXPECT_EQ(lines_of("a"), V{"a"});
    EXPECT_EQ(lines_of("a\nb\n"), (V{"a", "b"}));
    EXPECT_EQ(lines_of("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(lines_of("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(lines_of("a\r"), V{"a"});  // a last CR ends the line and is not part of it
    EXPECT_EQ(lines_of("a\r\r"), (V{"a", ""}));
    EXPECT_EQ(lines_of("a\r\r\nb\r\r\r\n"), (V{"a", "b"}));  // CR CR LF is one line end
    EXPECT_EQ(lines_of("a\r\rb"), (V{"a", "", "b"}));        // two lone CRs: an empty line
    EXPECT_EQ(lines_of("\n\n"), (V{"", ""}));
    EXPECT_EQ(lines_of("a\n\r\nb"), (V{"a", "", "b"}));
}

TEST(LineReader, UnreadLineComesBackFirst) {
    std::istringstream in("one\ntwo\n");
    LineReader reader(in);
    std::string line;
    ASSERT_TRUE(reader.next(line));
    reader.unread(line);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "two");
    EXPECT_FALSE(reader.next(line));
}

// Hands out its text, then fails as a disk that gives up half way through a file.
struct FailingAfterText : std::streambuf {
    explicit FailingAfterText(std::string text) : text_(std::move(text)) {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }
    int_type underflow() override {
        throw std::ios_base::failure("read", std::error_code(EIO, std::generic_category()));
    }
    std::string text_;
};

// Fault guarded: the message of a failed read named the line before the one
// being read, which sends the user to a line that reads fine.
TEST(LineReader, ReadErrorNamesTheLineWhereReadingFailed) {
    FailingAfterText buffer("one\ntwo\nthr");
    std::istream in(&buffer);
    LineReader reader(in);
    std::string line;
    ASSERT_TRUE(reader.next(line));
    ASSERT_TRUE(reader.next(line));
    try {
        reader.next(line);
        FAIL() << "the failure passed for the end of the input";
    } catch (const FileFailure& e) {
        EXPECT_EQ(std::string(e.what()), "cannot read input, line 3: Input/output error");
    }
}

}  // namespace
}  // namespace ruvela
