#include "text/utf8.hpp"

#include <gtest/gtest.h>

namespace ruvela {
namespace {

TEST(Utf8, Latin1BytesBecomeTheirCodePoints) {
    EXPECT_EQ(latin1_to_utf8("\xC9"
                             "CH1 \xFF\x80"),
              "\xC3\x89"
              "CH1 \xC3\xBF\xC2\x80");
}

TEST(Utf8, EachByteOutsideAWellFormedSequenceIsAQuestionMark) {
    const struct {
        std::string text;
        std::string repaired;
    } cases[] = {
        {"\xC9"
         "CH1",
         "?CH1"},                      // Latin-1
        {"AB\xC3", "AB?"},             // cut short
        {"\xC3\x28", "?("},            // no continuation
        {"\xC0\xAF", "??"},            // overlong
        {"\xE0\x80\xAF", "???"},       // overlong
        {"\xED\xA0\x80", "???"},       // a surrogate
        {"\xF4\x90\x80\x80", "????"},  // past U+10FFFF
        {"\xF5\x80", "??"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        EXPECT_TRUE(repair_utf8(text)) << c.text;
        EXPECT_EQ(text, c.repaired) << c.text;
    }
    std::string sound =
        "\xC3\x89\xE2\x82\xAC\xF0\x9F\x8C\xB2\xF4\x8F\xBF\xBF"
        "A";
    const std::string before = sound;
    EXPECT_FALSE(repair_utf8(sound));
    EXPECT_EQ(sound, before);
}

// Fault guarded: a character of several bytes at the very end of an ID was
// taken for a sequence cut short, and "Tanné" came out as "Tann??".
TEST(Utf8, ACharacterOfSeveralBytesMayEndTheText) {
    std::string id = "Tann\xC3\xA9";
    EXPECT_FALSE(repair_utf8(id));
    EXPECT_EQ(id, "Tann\xC3\xA9");
}

}  // namespace
}  // namespace ruvela
