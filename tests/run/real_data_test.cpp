// Real data sets through the program: the per-file column table holds the
// source's ring widths, and every increment after a series' first year
// agrees with the inside-out formula pi * (R_t^2 - R_(t-1)^2) / 100 and with
// a peer's double-precision results on the same inputs, to the rounding of
// single precision: judged against the series' outer basal area, since near
// the pith an increment is a small difference of two large areas.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {
namespace {

using namespace ruvela::testing;
namespace fs = std::filesystem;

const fs::path data = RUVELA_TEST_DATA;
constexpr double pi_double = 3.14159265358979323846;

struct Series {
    int first_year = 0;
    std::vector<double> widths;  // mm
    int last_year() const { return first_year + static_cast<int>(widths.size()) - 1; }
};

// Series in file order, with their IDs.
using SeriesList = std::vector<std::pair<std::string, Series>>;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

double number(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    double value = NAN;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string unquoted(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"') text = text.substr(1, text.size() - 2);
    return std::string(text);
}

std::vector<std::string> split_csv(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');) cells.push_back(unquoted(cell));
    return cells;
}

// A table of years by series ("Year" first, NA where a series has no value).
using YearTable = std::map<std::string, std::map<int, double>>;

YearTable read_csv(const fs::path& path, std::vector<std::string>* order = nullptr) {
    const auto lines = lines_of(read_file(path));
    const auto ids = split_csv(lines.at(0));
    if (order != nullptr) order->assign(ids.begin() + 1, ids.end());
    YearTable table;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto cells = split_csv(lines[i]);
        const int year = static_cast<int>(number(cells.at(0)));
        for (std::size_t c = 1; c < cells.size(); ++c) {
            if (cells[c] != "NA") table[ids[c]][year] = number(cells[c]);
        }
    }
    return table;
}

SeriesList series_from_csv(const fs::path& path) {
    std::vector<std::string> order;
    const YearTable table = read_csv(path, &order);
    SeriesList all;
    for (const std::string& id : order) {
        Series s;
        s.first_year = table.at(id).begin()->first;
        for (const auto& entry : table.at(id)) s.widths.push_back(entry.second);
        all.emplace_back(id, s);
    }
    return all;
}

// The per-file table in column layout: per series and year the ring width,
// basal area and increment.
struct ColumnTable {
    std::vector<std::string> ids;
    std::map<int, std::vector<double>> rows;  // 3 values per series
    double at(std::size_t series, int year, int which) const {
        return rows.at(year).at(3 * series + which);
    }
};

ColumnTable read_column_table(const std::string& text) {
    const auto lines = lines_of(text);
    ColumnTable table;
    for (std::size_t p = 5; p + 35 <= lines.at(1).size(); p += 35) {
        table.ids.emplace_back(trim_right(lines[1].substr(p, 8)));
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::vector<double>& row = table.rows[static_cast<int>(number(line.substr(1, 4)))];
        for (std::size_t p = 5; p + 11 <= line.size(); p += 11)
            row.push_back(number(line.substr(p, 11)));
    }
    return table;
}

// Binary32 units of `value`: the spacing of floats next to it.
double float_units(double value) {
    const auto f = static_cast<float>(value);
    return static_cast<double>(std::nextafter(f, INFINITY) - f);
}

constexpr double print_rounding = 0.5e-6;
constexpr double allowed_units = 8.0;

// Checks the table against the source widths and against `expected_increment`
// (cm^2), a function of the series, the year and the radius model.
// Radius at the end of a year in mm, R(y), of series k.
using RadiusModel = std::function<double(std::size_t k, const Series& s, int year)>;

void check_table(const ColumnTable& table, const SeriesList& source, const RadiusModel& radius,
                 const YearTable* peer) {
    ASSERT_EQ(table.ids.size(), source.size());
    int increments_checked = 0;
    for (std::size_t k = 0; k < table.ids.size(); ++k) {
        const auto& [id, s] = source[k];
        for (int y = s.first_year; y <= s.last_year(); ++y) {
            const double width = s.widths[static_cast<std::size_t>(y - s.first_year)];
            EXPECT_NEAR(table.at(k, y, 0), width, 1e-6) << id << " " << y;
        }
        const double outer = radius(k, s, s.last_year());
        const double tolerance =
            allowed_units * float_units(pi_double * outer * outer / 100.0) + print_rounding;
        for (int y = s.first_year + 1; y <= s.last_year(); ++y) {
            const double r = radius(k, s, y);
            const double r_before = radius(k, s, y - 1);
            const double formula = pi_double * (r * r - r_before * r_before) / 100.0;
            const double increment = table.at(k, y, 2);
            EXPECT_NEAR(increment, formula, tolerance) << id << " " << y;
            if (peer != nullptr) {
                EXPECT_NEAR(increment, peer->at(id).at(y) / 100.0, tolerance) << id << " " << y;
            }
            ++increments_checked;
        }
        EXPECT_EQ(table.at(k, s.first_year, 2), 0.0) << id;
    }
    EXPECT_GT(increments_checked, 0);
}

// Cumulative widths C(y) of a series, in mm.
double cumulative(const Series& s, int year) {
    double sum = 0.0;
    for (int y = s.first_year; y <= year; ++y)
        sum += s.widths[static_cast<std::size_t>(y - s.first_year)];
    return sum;
}

// The inner estimate of p missing rings: p rings of the mean width of the
// first p measured rings, widths past the series counting as zero.
double pith_estimate(const Series& s, int p) {
    if (p <= 0) return 0.0;
    return cumulative(s, std::min(s.first_year + p - 1, s.last_year()));
}

std::vector<double> companion_values(const fs::path& path, int width) {
    std::vector<double> values;
    for (const auto& line : lines_of(read_file(path)))
        values.push_back(number(line.substr(0, static_cast<std::size_t>(width))));
    return values;
}

ColumnTable run_column_table(const fs::path& rings, const std::string& companion_name,
                             const std::string& companion, const std::string& kind,
                             const std::string& format, const std::string& table_name) {
    ScratchFolder folder("real");
    fs::copy_file(rings, folder.path / rings.filename());
    write_file(folder.path / companion_name, companion);
    write_file(folder.path / "answers", "\nf\n" + rings.filename().string() + "\n" +
                                            companion_name + "\n" + kind + "\n" + format +
                                            "\n1\n\n");
    const ProgramRun run = run_in_folder(RUVELA_V12, folder.path, folder.path / "answers");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    return read_column_table(read_file(folder.path / table_name));
}

// gp.rwl in millimetres, read independently of the program.
SeriesList gp_series() {
    SeriesList all;
    for (const auto& line : lines_of(read_file(data / "gp" / "gp.rwl"))) {
        const std::string id(trim_right(line.substr(0, 8)));
        if (all.empty() || all.back().first != id)
            all.emplace_back(id, Series{static_cast<int>(number(line.substr(8, 4))), {}});
        Series& s = all.back().second;
        for (std::size_t p = 12; p + 6 <= line.size(); p += 6) {
            const double v = number(line.substr(p, 6));
            if (v == 999) break;
            s.widths.push_back(v / 100.0);
        }
    }
    return all;
}

// The gp set with either companion file, against the formula and the peer
// that used the same companion values.
void check_gp(const char* companion, const char* kind, const char* format, int width,
              const char* peer_file) {
    const fs::path folder = data / "gp";
    const SeriesList source = gp_series();
    const ColumnTable table = run_column_table(
        folder / "gp.rwl", companion, read_file(folder / companion), kind, format, "gp_BAI");
    const auto values = companion_values(folder / companion, width);
    const bool diameters = std::string_view(kind) == "2";
    const RadiusModel radius = [&](std::size_t k, const Series& s, int y) {
        if (diameters)
            return 5.0 * values.at(k) - (cumulative(s, s.last_year()) - cumulative(s, y));
        return pith_estimate(s, static_cast<int>(values.at(k))) + cumulative(s, y);
    };
    const YearTable peer = read_csv(folder / peer_file);
    check_table(table, source, radius, &peer);
}

TEST(RealData, GpWithPithOffsets) {
    check_gp("gp_pith.txt", "1", "(i3)", 3, "gp_bai_in.csv");
}

TEST(RealData, GpWithDiameters) {
    check_gp("gp_dbh.txt", "2", "(f6.1)", 6, "gp_bai_out.csv");
}

TEST(RealData, ArchiveFileWithPithOffsets) {
    SeriesList source = series_from_csv(data / "itrdb" / "wa082.csv");
    // The archive's one width of -9.99 mm (first series, 1900), which its
    // converter wrote as 0.
    Series& first = source.at(0).second;
    first.widths.at(static_cast<std::size_t>(1900 - first.first_year)) = -9.99;
    // Offsets of 0 to 39 rings, some past a series' length.
    std::vector<int> offsets;
    std::string companion;
    for (std::size_t k = 0; k < source.size(); ++k) {
        offsets.push_back(static_cast<int>(k * 7 % 40));
        companion += int_field(offsets.back(), 3) + "  " + source[k].first + "\n";
    }
    const ColumnTable table = run_column_table(data / "itrdb" / "wa082.rwl", "wa082.pth", companion,
                                               "1", "(i3)", "wa082_BAI");
    const RadiusModel inside_out = [&](std::size_t k, const Series& s, int y) {
        return pith_estimate(s, offsets.at(k)) + cumulative(s, y);
    };
    check_table(table, source, inside_out, nullptr);
}

}  // namespace
}  // namespace ruvela
