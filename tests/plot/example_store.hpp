// A small store for the plotting tests: series 1 runs 1950..2010 with ranges
// whose scaled axes are exact binary numbers, series 2 has no years, and the
// file's means run 1900..2000.
#pragma once

#include <sstream>
#include <string>

#include "plot/display.hpp"
#include "text/console.hpp"

namespace ruvela::plot_examples {

constexpr int year_dim = 2100;
constexpr int series_dim = 3;

struct example_store {
    SeriesYearTable ring_width{series_dim, year_dim};
    SeriesYearTable increment{series_dim, year_dim};
    SeriesYearTable basal_area{series_dim, year_dim};
    Slots<float, year_dim> mean_ring_width, mean_basal_area, mean_increment;
    Slots<int, series_dim> first, last, length;
    Slots<SeriesId, series_dim> ids;

    example_store() {
        // Cells outside the series' years must never be drawn.
        for (int s = 1; s <= series_dim; ++s)
            for (int y = 1; y <= year_dim; ++y)
                ring_width(s, y) = increment(s, y) = basal_area(s, y) = -1.0f;
        for (int y = 1; y <= year_dim; ++y)
            mean_ring_width(y) = mean_basal_area(y) = mean_increment(y) = -1.0f;
        first(1) = 1950, last(1) = 2010, length(1) = 61;
        first(2) = 1990, last(2) = 1989;
        ids(1) = "A1      ", ids(2) = "B2      ", ids(3) = "        ";
        for (int y = 1950; y <= 2010; ++y) {
            ring_width(1, y) = 5.0f;
            increment(1, y) = 1.0f;
            basal_area(1, y) = 4.0f;
        }
        ring_width(1, 1950) = 3.2f;
        ring_width(1, 2010) = 7.3f;
        increment(1, 1950) = 0.0f;
        increment(1, 1951) = 7.3f;
        basal_area(1, 1950) = 0.0f;
        basal_area(1, 2010) = 9.0009f;
        for (int y = 1900; y <= 2000; ++y) {
            mean_ring_width(y) = y == 1900 ? 0.0f : y == 2000 ? 7.3f : 2.0f;
            mean_increment(y) = y == 1900 ? 3.2f : y == 2000 ? 7.3f : 4.0f;
            mean_basal_area(y) = y == 1900 ? 0.0f : y == 2000 ? 9.0009f : 1.0f;
        }
    }

    PlotData data() const {
        return PlotData{3,
                        ring_width,
                        increment,
                        basal_area,
                        mean_ring_width,
                        mean_basal_area,
                        mean_increment,
                        1900,
                        2000,
                        first,
                        last,
                        length,
                        ids,
                        "site.rwl                      "};
    }
};

struct scripted_console {
    std::istringstream in;
    std::ostringstream out, err;
    Console con{in, out, err};
    explicit scripted_console(const std::string& input) : in(input) {}
};

}  // namespace ruvela::plot_examples
