#include "text/shown_text.hpp"

#include <gtest/gtest.h>

namespace ruvela {
namespace {

// A file name with a line end broke the records of the tables and the lines
// of the console; one with Latin-1 bytes made them no UTF-8.
TEST(ShownText, ControlCharactersAndBytesThatAreNotUtf8ShowAsQuestionMarks) {
    EXPECT_TRUE(shows_as_is("gp.rwl"));
    EXPECT_TRUE(shows_as_is("Bäume.rwl"));
    EXPECT_EQ(shown_text("g\nx\r.rwl"), "g?x?.rwl");
    EXPECT_EQ(shown_text("a\tb\x7f"), "a?b?");
    EXPECT_EQ(shown_text("B\xe4ume.rwl"), "B?ume.rwl");  // Latin-1
    EXPECT_EQ(shown_text("Bäume.rwl"), "Bäume.rwl");
    // One byte for one: a fixed-width column keeps its width.
    EXPECT_EQ(shown_text("\x01\x02\x03").size(), 3u);
    // A console line keeps the tab of a quoted input line.
    EXPECT_TRUE(shows_as_is("a\tb", false));
    EXPECT_FALSE(shows_as_is("a\nb", false));
    EXPECT_EQ(shown_text("a\tb\n", false), "a\tb?");
}

}  // namespace
}  // namespace ruvela
