// Text from outside (file names above all) as lines of output show it: a
// name may hold a line end or bytes that are not UTF-8, and neither may
// break a record of a table or a line of the console.
#pragma once

#include <string>
#include <string_view>

namespace ruvela {

// Whether `text` goes into a line as it is: well-formed UTF-8 without a
// control character (a tab is one only where `tab_too`).
bool shows_as_is(std::string_view text, bool tab_too = true);

// `text` with each such control character and each byte that is no part of
// well-formed UTF-8 as '?', as the IDs show them: one byte for one, so a
// fixed-width column keeps its width.
std::string shown_text(std::string_view text, bool tab_too = true);

}  // namespace ruvela
