// Real ring-width files read in the measurement layout against the values
// that an independent converter wrote for them, and what the reader notices.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ringio/ring_format.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "trrw_support.hpp"

namespace ruvela {
namespace {

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream s(line);
    for (std::string cell; std::getline(s, cell, ',');) {
        if (cell.size() >= 2 && cell.front() == '"') cell = cell.substr(1, cell.size() - 2);
        cells.push_back(cell);
    }
    return cells;
}

// Column name -> year -> value; NA cells are left out.
struct Table {
    std::vector<std::string> names;
    std::map<std::string, std::map<int, float>> columns;
};

Table read_csv(const std::string& path) {
    std::istringstream in(file_text(path));
    std::string line;
    std::getline(in, line);
    Table t;
    t.names = split(line);
    t.names.erase(t.names.begin());  // "Year"
    while (std::getline(in, line)) {
        const auto cells = split(line);
        const int year = *decode_int_field(cells.at(0));
        for (std::size_t i = 1; i < cells.size(); ++i)
            if (cells[i] != "NA") t.columns[t.names.at(i - 1)][year] = *decode_free_real(cells[i]);
    }
    return t;
}

struct Site {
    const char* name;
    std::size_t series;
    const char* csv_prefix;  // what the converter put before the file's ID, see SOURCE.md
    std::size_t id_suffix;   // characters of the ID that the converter kept
};

TEST(ArchiveFiles, EverySeriesAgreesWithTheConvertersTable) {
    const Site sites[] = {{"ca533", 34, "", 6}, {"co021", 35, "X", 6}, {"wa082", 23, "HUR", 3}};
    for (const auto& site : sites) {
        const std::string base = std::string(RUVELA_TEST_DATA) + "/itrdb/" + site.name;
        const auto r = testing::read_all(file_text(base + ".rwl"), TrrwMode::mr);
        const Table csv = read_csv(base + ".csv");
        ASSERT_EQ(r.series.size(), site.series) << site.name;
        ASSERT_EQ(csv.names.size(), site.series) << site.name;
        int differences = 0;
        for (std::size_t i = 0; i < r.series.size(); ++i) {
            const auto& s = r.series[i];
            const std::string id(trim_right(s.id));
            EXPECT_EQ(csv.names[i], site.csv_prefix + id.substr(id.size() - site.id_suffix))
                << site.name;
            const auto& column = csv.columns.at(csv.names[i]);
            ASSERT_EQ(column.size(), s.values.size()) << site.name << ' ' << id;
            EXPECT_EQ(column.begin()->first, s.first_year) << site.name << ' ' << id;
            for (std::size_t k = 0; k < s.values.size(); ++k) {
                const int year = s.first_year + static_cast<int>(k);
                const float expected = column.at(year);
                if (std::fabs(s.values[k] - expected) <= 1e-5f) continue;
                ++differences;
                // The one -999 of wa082, which the converter wrote as 0.
                EXPECT_TRUE(site.name == std::string("wa082") && id == "712011" && year == 1900 &&
                            s.values[k] == -999 * 0.01f && expected == 0.0f)
                    << site.name << ' ' << id << ' ' << year << ": " << s.values[k] << " vs "
                    << expected;
            }
        }
        EXPECT_EQ(differences, site.name == std::string("wa082") ? 1 : 0) << site.name;
    }
}

// Every real file gets the findings its content calls for and no other: the
// archive's one -999 code, and nothing in the sound files.
TEST(ArchiveFiles, FindingsAreExactlyWhatTheContentCallsFor) {
    const Finding wa082_code{.kind = FindingKind::negative_widths,
                             .series = "712011  ",
                             .year = 1900,
                             .count = 1,
                             .value = -999 * 0.01f};
    const struct {
        const char* file;
        std::vector<Finding> findings;
    } files[] = {{"itrdb/ca533.rwl", {}},
                 {"itrdb/co021.rwl", {}},
                 {"itrdb/wa082.rwl", {wa082_code}},
                 {"gp/gp.rwl", {}}};
    for (const auto& f : files) {
        const auto r = read_ring_file(RingFormat::decade,
                                      file_text(std::string(RUVELA_TEST_DATA) + "/" + f.file));
        EXPECT_FALSE(r.series.empty()) << f.file;
        EXPECT_EQ(r.findings, f.findings) << f.file;
    }
}

}  // namespace
}  // namespace ruvela
