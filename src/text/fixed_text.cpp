#include "text/fixed_text.hpp"

#include "text/utf8.hpp"

namespace ruvela {

void put_text(std::string& out, std::string_view text, int width) {
    if (width <= 0) return;
    const auto w = static_cast<std::size_t>(width);
    if (text.size() >= w) {
        out.append(text.substr(0, w));
    } else {
        out.append(text);
        out.append(w - text.size(), ' ');
    }
}

std::string_view trim_right(std::string_view text) {
    const auto end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string excerpt(std::string_view text) {
    if (text.size() <= quoted_length) return std::string(text);
    std::string shown(utf8_prefix(text, quoted_length));
    shown += "...";
    return shown;
}

std::string quoted(std::string_view text) {
    std::string out(1, '"');
    out += excerpt(text);
    out += '"';
    return out;
}

std::string lower_case(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool ends_with_ignoring_case(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           lower_case(text.substr(text.size() - ending.size())) == lower_case(ending);
}

std::string fixed_text(std::string_view text, std::size_t length) {
    std::string s(text.substr(0, length));
    s.resize(length, ' ');
    return s;
}

}  // namespace ruvela
