#include "ringio/series_id.hpp"

#include <ostream>

#include "text/fixed_text.hpp"
#include "text/utf8.hpp"

namespace ruvela {

std::string cut_to_id_length(std::string_view id) {
    return std::string(trim_right(utf8_prefix(id, id_length)));
}

SeriesId::SeriesId(std::string whole) : whole_(std::move(whole)), cut_(cut_to_id_length(whole_)) {}

SeriesId::SeriesId(std::string whole, std::string written) : SeriesId(std::move(whole)) {
    if (written != whole_) written_ = std::move(written);
}

std::string_view SeriesId::written() const {
    return trim(repaired() ? written_ : whole_);
}

std::string SeriesId::padded() const {
    return fixed_text(cut_, id_length);
}

std::string_view SeriesId::shown() const {
    return trim(cut_);
}

std::string_view SeriesId::name() const {
    return trim(whole_);
}

std::ostream& operator<<(std::ostream& out, const SeriesId& id) {
    return out << id.whole();
}

}  // namespace ruvela
