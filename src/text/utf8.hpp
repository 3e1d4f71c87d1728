// Text in UTF-8, the encoding of everything the program writes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ruvela {

// Latin-1 (ISO 8859-1) text in UTF-8: each byte is the code point of its value.
std::string latin1_to_utf8(std::string_view text);

// Replaces each byte of `text` that is no part of a well-formed UTF-8
// sequence by '?', and tells whether there was any. One byte for one keeps
// an ID's length, and with it the columns of the tables and the cut to the
// store's width. Overlong forms, surrogates and code points past U+10FFFF
// are not well formed.
bool repair_utf8(std::string& text);

// `text` cut to at most `most` bytes, before a UTF-8 character that would
// not fit whole; `text` itself when it is no longer. In text that is not
// UTF-8 the cut passes back over every continuation byte before it.
std::string_view utf8_prefix(std::string_view text, std::size_t most);

}  // namespace ruvela
