// Fixed-width text: the columns of names, IDs and headings in the tables and
// on the console.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ruvela {

// Appends `text` cut or blank-padded to exactly `width` columns ("Aw").
void put_text(std::string& out, std::string_view text, int width);

// `text` without its trailing blanks; a text of blanks only gives an empty view.
std::string_view trim_right(std::string_view text);

// `text` without the blanks and tabs around it.
std::string_view trim(std::string_view text);

// `text` cut or blank-padded to `length` characters.
std::string fixed_text(std::string_view text, std::size_t length);

}  // namespace ruvela
