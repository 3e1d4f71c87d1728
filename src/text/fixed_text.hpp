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

// The characters that count as blank between the fields of files and
// answers.
inline constexpr std::string_view blanks = " \t";

// True when `text` holds nothing but blanks and tabs (or nothing).
inline bool is_blank_text(std::string_view text) {
    return text.find_first_not_of(blanks) == std::string_view::npos;
}

// `text` with A-Z as a-z, whatever the locale: keys and names in files are
// matched ignoring case.
std::string lower_case(std::string_view text);

// True when `text` ends with `ending`, ignoring the case of A-Z.
bool ends_with_ignoring_case(std::string_view text, std::string_view ending);

// Most of a file's text that a message quotes.
inline constexpr std::size_t quoted_length = 60;

// Text of a file as a message quotes it: at most quoted_length bytes, cut
// before a UTF-8 character that would not fit whole, then "..." when there
// was more. A cell or attribute may hold megabytes.
std::string excerpt(std::string_view text);

// The excerpt in double quotes.
std::string quoted(std::string_view text);

// `text` cut or blank-padded to `length` characters.
std::string fixed_text(std::string_view text, std::size_t length);

}  // namespace ruvela
