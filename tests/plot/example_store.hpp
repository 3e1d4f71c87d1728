// A small store for the plotting tests: series 1 runs 1950..2010 with ranges
// whose scaled axes are exact binary numbers, series 2 has no years, and the
// file's means run 1900..2000.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "plot/display.hpp"
#include "text/console.hpp"

namespace ruvela::plot_examples {

constexpr int year_dim = 2100;
constexpr int series_dim = 3;

struct example_store {
    std::vector<float> ring_width = std::vector<float>(series_dim * year_dim, -1.0f);
    std::vector<float> increment = std::vector<float>(series_dim * year_dim, -1.0f);
    std::vector<float> basal_area = std::vector<float>(series_dim * year_dim, -1.0f);
    std::vector<float> mean_ring_width = std::vector<float>(year_dim, -1.0f);
    std::vector<float> mean_basal_area = std::vector<float>(year_dim, -1.0f);
    std::vector<float> mean_increment = std::vector<float>(year_dim, -1.0f);
    std::vector<int> first{1950, 1990, 0}, last{2010, 1989, 0}, length{61, 0, 0};
    std::vector<std::string> ids{"A1      ", "B2      ", "        "};
    std::vector<std::string> headings{3, std::string(35, ' ')};

    static std::size_t at(int s, int y) {
        return static_cast<std::size_t>((s - 1) * year_dim + (y - 1));
    }

    example_store() {
        for (int y = 1950; y <= 2010; ++y) {
            ring_width[at(1, y)] = 5.0f;
            increment[at(1, y)] = 1.0f;
            basal_area[at(1, y)] = 4.0f;
        }
        ring_width[at(1, 1950)] = 3.2f;
        ring_width[at(1, 2010)] = 7.3f;
        increment[at(1, 1950)] = 0.0f;
        increment[at(1, 1951)] = 7.3f;
        basal_area[at(1, 1950)] = 0.0f;
        basal_area[at(1, 2010)] = 9.0009f;
        for (int y = 1900; y <= 2000; ++y) {
            mean_ring_width[y - 1] = y == 1900 ? 0.0f : y == 2000 ? 7.3f : 2.0f;
            mean_increment[y - 1] = y == 1900 ? 3.2f : y == 2000 ? 7.3f : 4.0f;
            mean_basal_area[y - 1] = y == 1900 ? 0.0f : y == 2000 ? 9.0009f : 1.0f;
        }
    }

    plot_data data() const {
        return plot_data{year_dim,
                         series_dim,
                         3,
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
                         headings,
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
