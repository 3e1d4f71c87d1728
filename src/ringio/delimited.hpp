// Delimited text (comma, semicolon or tab): a header row naming the year
// column and the series, then a row per year with one width in millimetres
// per series.
#pragma once

#include <optional>
#include <string_view>

#include "ringio/ring_format.hpp"

namespace ruvela {

// The separator that a header row shows: the character after its first
// cell, when that cell names the year column ("year" in any case, or empty,
// either quoted or not) and at least one more cell follows.
std::optional<char> delimited_separator(std::string_view header);

// A row that starts with a whole year (quoted or not, and "1850.0" too),
// then the separator or the row's end.
bool starts_with_year(std::string_view row, char separator);

// Every series of a delimited file, each from its first to its last value.
// Empty cells, NA and NaN are missing values; missing values inside a series
// are read as zero with a finding. Rows may come in any order; empty rows
// and a trailing separator are passed over. A column without values is
// skipped with a finding.
RingFileReading read_delimited(std::string_view content);

}  // namespace ruvela
