#include "ringio/series_checks.hpp"

#include <string>

namespace ruvela {

void check_ring_widths(std::string_view id, int first_year, std::span<const float> widths,
                       std::vector<Finding>& findings) {
    if (widths.empty()) {
        findings.push_back(
            {.kind = FindingKind::empty_series, .series = std::string(id), .year = first_year});
        return;
    }
    Finding negative{.kind = FindingKind::negative_widths, .series = std::string(id)};
    for (std::size_t k = 0; k < widths.size(); ++k) {
        if (widths[k] >= 0.0f) continue;
        if (negative.count == 0) {
            negative.year = first_year + static_cast<int>(k);
            negative.value = widths[k];
        }
        ++negative.count;
    }
    if (negative.count > 0) findings.push_back(std::move(negative));
}

}  // namespace ruvela
