// Pieces that every warning of the run is worded with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ruvela {

// Warnings of one kind that are written one by one; the rest are counted in
// one more line.
inline constexpr int listed_warnings = 10;

// Counts the warnings of one kind as they come: take() says whether this one
// is still written out, untold() how many the closing line must count.
class ListedWarnings {
  public:
    bool take() { return ++seen_ <= listed_warnings; }
    int untold() const { return seen_ > listed_warnings ? seen_ - listed_warnings : 0; }

  private:
    int seen_ = 0;
};

// "File site.pth, line 12: ", the start of a warning about one line.
inline std::string at_line(std::string_view file, long line) {
    return "File " + std::string(file) + ", line " + std::to_string(line) + ": ";
}

// "a.rwl, b.rwl, c.rwl": at most listed_warnings names, then how many more.
inline std::string listed_names(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t k = 0; k < names.size() && k < listed_warnings; ++k) {
        if (k > 0) text += ", ";
        text += names[k];
    }
    if (names.size() > listed_warnings)
        text += " and " + std::to_string(names.size() - listed_warnings) + " more";
    return text;
}

}  // namespace ruvela
