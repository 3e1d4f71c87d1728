// Checks of a series as read, the same for every ring-width format.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "ringio/ring_format.hpp"
#include "ringio/series.hpp"

namespace ruvela {

// Mean ring widths outside these bounds hint at widths in another unit than
// the file says: hundredths typed as millimetres give means of tens to
// hundreds, thousandths read as hundredths a tenth of the true one. No
// measured tree grows rings so wide or so narrow on average.
inline constexpr float widest_plausible_mean_width = 10.0f;    // mm
inline constexpr float narrowest_plausible_mean_width = 0.1f;  // mm

// The mean of a series' widths not below zero (negative widths are codes
// for missing rings); none without such widths.
std::optional<float> mean_width(std::span<const float> widths);

// Whether a mean width lies within the plausible bounds.
inline bool plausible_mean_width(float mean) {
    return mean <= widest_plausible_mean_width && mean >= narrowest_plausible_mean_width;
}

// Adds empty_series when `widths` is empty, negative_widths when any width
// is below zero (archive codes such as -999 for a missing ring read as
// data), and mean_width_implausible when the mean of the widths not below
// zero is outside the plausible bounds; the widths themselves stay as read.
void check_ring_widths(std::string_view id, int first_year, std::span<const float> widths,
                       std::vector<Finding>& findings);

// The width findings of every series of `reading`, each series' where its
// reader puts them (RingFileReading::width_findings_at). A series cut short
// (last_series_too_long) is not checked: its last rings were never read.
void add_width_findings(RingFileReading& reading);

}  // namespace ruvela
