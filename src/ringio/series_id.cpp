#include "ringio/series_id.hpp"

#include <ostream>

#include "text/fixed_text.hpp"

namespace ruvela {

std::string cut_to_id_length(std::string_view id) {
    if (id.size() > id_length) {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(id[k]); };
        std::size_t cut = id_length;
        // Back to the lead byte of a UTF-8 sequence that the cut would split.
        std::size_t lead = cut;
        while (lead > 0 && cut - lead < 3 && (byte(lead) & 0xC0) == 0x80) --lead;
        if (lead < cut && (byte(lead) & 0xC0) == 0xC0) {
            const std::size_t length = byte(lead) >= 0xF0 ? 4 : byte(lead) >= 0xE0 ? 3 : 2;
            if (lead + length > cut) cut = lead;
        }
        id = id.substr(0, cut);
    }
    return std::string(trim_right(id));
}

SeriesId::SeriesId(std::string whole) : whole_(std::move(whole)), cut_(cut_to_id_length(whole_)) {}

std::string SeriesId::padded() const {
    return fixed_text(cut_, id_length);
}

std::string_view SeriesId::shown() const {
    return trim(cut_);
}

std::ostream& operator<<(std::ostream& out, const SeriesId& id) {
    return out << id.whole();
}

}  // namespace ruvela
