// Pieces that every warning of the run is worded with.
#pragma once

#include <string>
#include <string_view>

namespace ruvela {

// Warnings of one kind that are written one by one; the rest are counted in
// one more line.
inline constexpr int listed_warnings = 10;

// "File site.pth, line 12: ", the start of a warning about one line.
inline std::string at_line(std::string_view file, long line) {
    return "File " + std::string(file) + ", line " + std::to_string(line) + ": ";
}

// `text` in double quotes, as warnings quote what a file holds.
inline std::string quoted(std::string_view text) {
    std::string q(1, '"');
    q.append(text);
    q.push_back('"');
    return q;
}

}  // namespace ruvela
