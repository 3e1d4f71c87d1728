#include "text/utf8.hpp"

namespace ruvela {

namespace {

bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Bytes of the well-formed sequence at `text[at]`, or 0 when none starts there.
std::size_t sequence_length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;   // bounds of the second byte, which rule out
    unsigned char high = 0xBF;  // overlong forms, surrogates and past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!is_continuation(byte(k))) return 0;
    return length;
}

}  // namespace

std::string latin1_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out.push_back(c);
            continue;
        }
        out.push_back(static_cast<char>(0xC0 | (u >> 6)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
    return out;
}

bool repair_utf8(std::string& text) {
    bool repaired = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = sequence_length(text, at);
        if (length > 0) {
            at += length;
            continue;
        }
        text[at++] = '?';
        repaired = true;
    }
    return repaired;
}

std::string_view utf8_prefix(std::string_view text, std::size_t most) {
    if (text.size() <= most) return text;
    std::size_t cut = most;
    while (cut > 0 && is_continuation(static_cast<unsigned char>(text[cut]))) --cut;
    return text.substr(0, cut);
}

}  // namespace ruvela
