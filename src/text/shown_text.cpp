#include "text/shown_text.hpp"

#include <algorithm>

#include "text/utf8.hpp"

namespace ruvela {

namespace {

bool is_control(unsigned char c, bool tab_too) {
    return (c < 0x20 && (tab_too || c != '\t')) || c == 0x7F;
}

}  // namespace

bool shows_as_is(std::string_view text, bool tab_too) {
    bool any_high = false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (is_control(u, tab_too)) return false;
        any_high = any_high || u >= 0x80;
    }
    if (!any_high) return true;
    std::string copy(text);
    return !repair_utf8(copy);
}

std::string shown_text(std::string_view text, bool tab_too) {
    std::string shown(text);
    repair_utf8(shown);
    std::replace_if(
        shown.begin(), shown.end(),
        [&](char c) { return is_control(static_cast<unsigned char>(c), tab_too); }, '?');
    return shown;
}

}  // namespace ruvela
