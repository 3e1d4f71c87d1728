// Checks of a series as read, the same for every ring-width format.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "ringio/series.hpp"

namespace ruvela {

// Adds empty_series when `widths` is empty, and negative_widths when any
// width is below zero (archive codes such as -999 for a missing ring read as
// data); the widths themselves stay as read.
void check_ring_widths(std::string_view id, int first_year, std::span<const float> widths,
                       std::vector<Finding>& findings);

}  // namespace ruvela
