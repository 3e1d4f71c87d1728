#include "ringio/ring_format.hpp"

#include <sstream>
#include <string>

#include "ringio/delimited.hpp"
#include "ringio/heidelberg.hpp"
#include "ringio/ring_values.hpp"
#include "ringio/tridas.hpp"
#include "text/fixed_text.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

// Looks at no more than this much of a file: a header row and the row after
// it fit, and a decade file of any size costs no more to open.
constexpr std::size_t head_size = 65536;

bool next_non_blank(LineReader& lines, std::string& line) {
    while (lines.next(line))
        if (!trim(line).empty()) return true;
    return false;
}

}  // namespace

RingFormat detect_ring_format(std::string_view content) {
    const std::string_view head = without_byte_order_mark(content.substr(0, head_size));
    if (looks_like_tridas(head)) return RingFormat::tridas;
    std::istringstream in{std::string(head)};
    LineReader lines(in);
    std::string line;
    if (!next_non_blank(lines, line)) return RingFormat::decade;
    if (is_heidelberg_header_line(line)) return RingFormat::heidelberg;
    if (const auto separator = delimited_separator(line)) {
        if (next_non_blank(lines, line) && starts_with_year(line, *separator))
            return RingFormat::delimited;
    }
    return RingFormat::decade;
}

std::string_view ring_format_name(RingFormat format) {
    switch (format) {
        case RingFormat::decade:
            return "decade";
        case RingFormat::heidelberg:
            return "Heidelberg";
        case RingFormat::delimited:
            return "delimited text";
        case RingFormat::tridas:
            return "TRiDaS";
    }
    return {};
}

RingFileReading read_ring_file(RingFormat format, std::string_view content) {
    switch (format) {
        case RingFormat::heidelberg:
            return read_heidelberg(content);
        case RingFormat::delimited:
            return read_delimited(content);
        case RingFormat::tridas:
            return read_tridas(content);
        case RingFormat::decade:
            break;
    }
    return read_error(0, "the decade format is read series by series");
}

}  // namespace ruvela
