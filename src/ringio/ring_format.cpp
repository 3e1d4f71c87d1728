#include "ringio/ring_format.hpp"

#include <algorithm>

#include "ringio/decade.hpp"
#include "ringio/delimited.hpp"
#include "ringio/heidelberg.hpp"
#include "ringio/ring_values.hpp"
#include "ringio/series_checks.hpp"
#include "ringio/tridas.hpp"
#include "text/fixed_text.hpp"

namespace ruvela {

namespace {

// The lines of a text one after the other without copying it; LF, CR and
// CRLF all end a line, and lines of blanks are passed over (a CRLF makes
// one of those).
class NonBlankLines {
  public:
    explicit NonBlankLines(std::string_view text) : rest_(text) {}

    bool next(std::string_view& line) {
        while (!rest_.empty()) {
            const std::size_t end = std::min(rest_.find_first_of("\r\n"), rest_.size());
            line = rest_.substr(0, end);
            rest_.remove_prefix(std::min(end + 1, rest_.size()));
            if (!is_blank_text(line)) return true;
        }
        return false;
    }

  private:
    std::string_view rest_;
};

}  // namespace

RingFormat detect_ring_format(std::string_view content) {
    const std::string_view text = without_byte_order_mark(content);
    if (looks_like_tridas(text)) return RingFormat::tridas;
    NonBlankLines lines(text);
    std::string_view line;
    if (!lines.next(line)) return RingFormat::decade;
    if (is_heidelberg_header_line(line)) return RingFormat::heidelberg;
    if (const auto separator = delimited_separator(line)) {
        if (lines.next(line) && starts_with_year(line, *separator)) return RingFormat::delimited;
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

namespace {

RingFileReading read_in(RingFormat format, std::string_view content, std::size_t max_rings) {
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
    return read_decade(content, max_rings);
}

}  // namespace

RingFileReading read_ring_file(RingFormat format, std::string_view content, std::size_t max_rings) {
    RingFileReading reading = read_in(format, content, max_rings);
    add_width_findings(reading);
    return reading;
}

std::optional<RingFileSeen> ring_width_content(std::string_view content) {
    const RingFormat format = detect_ring_format(content);
    const RingFileReading reading = read_ring_file(format, content);
    // The decade reader takes nearly any lines for a series of some kind:
    // only whole series of years the store can hold count.
    const auto whole = [](const RingSeries& s) {
        return s.first_year > 0 && !s.widths.empty() && !s.id.name().empty();
    };
    if (reading.error || reading.error_line || reading.last_series_too_long ||
        reading.series.empty() || !std::all_of(reading.series.begin(), reading.series.end(), whole))
        return std::nullopt;
    return RingFileSeen{format, reading.series.size()};
}

}  // namespace ruvela
