#include "ringio/series_checks.hpp"

#include <algorithm>
#include <string>

namespace ruvela {

namespace {

// Negative widths are codes, told on their own, and would pull the mean down.
void check_mean_width(std::string_view id, std::span<const float> widths,
                      std::vector<Finding>& findings) {
    const std::optional<float> mean = mean_width(widths);
    if (!mean || plausible_mean_width(*mean)) return;
    findings.push_back(
        {.kind = FindingKind::mean_width_implausible, .series = std::string(id), .value = *mean});
}

}  // namespace

std::optional<float> mean_width(std::span<const float> widths) {
    float sum = 0.0f;
    int rings = 0;
    for (const float w : widths) {
        if (w < 0.0f) continue;
        sum += w;
        ++rings;
    }
    if (rings == 0) return std::nullopt;
    return sum / static_cast<float>(rings);
}

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
    check_mean_width(id, widths, findings);
}

namespace {

// Findings name a series by its ID as the tables cut it; an ID that needs no
// cut keeps its padding (the decade format's field), as its reader's own
// findings do.
std::string_view finding_id(const SeriesId& id) {
    return id.whole().size() > id_length ? std::string_view(id.cut()) : id.whole();
}

}  // namespace

void add_width_findings(RingFileReading& reading) {
    std::vector<Finding> told = std::move(reading.findings);
    reading.findings.clear();
    std::size_t checked = reading.series.size();
    if (reading.last_series_too_long && checked > 0) --checked;
    std::size_t next = 0;
    for (std::size_t k = 0; k < checked; ++k) {
        const std::size_t at = k < reading.width_findings_at.size()
                                   ? std::min(reading.width_findings_at[k], told.size())
                                   : told.size();
        for (; next < at; ++next) reading.findings.push_back(std::move(told[next]));
        const RingSeries& s = reading.series[k];
        check_ring_widths(finding_id(s.id), s.first_year, s.widths, reading.findings);
    }
    for (; next < told.size(); ++next) reading.findings.push_back(std::move(told[next]));
}

}  // namespace ruvela
