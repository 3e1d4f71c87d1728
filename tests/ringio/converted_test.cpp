// The real archive files as an independent script wrote them in the other
// formats (tests/data/itrdb/converted/convert.py) read back to exactly the
// series of the decade reader.
#include <gtest/gtest.h>

#include "formats_support.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "trrw_support.hpp"

namespace ruvela {
namespace {

using testing::file_text;
using testing::same_bits;

TEST(ConvertedArchiveFiles, ReadBackToTheDecadeReadersSeries) {
    const Finding wa082_code{.kind = FindingKind::negative_widths,
                             .series = "712011",
                             .year = 1900,
                             .count = 1,
                             .value = -999 * 0.01f};
    const std::pair<const char*, RingFormat> conversions[] = {{".fh", RingFormat::heidelberg},
                                                              {".csv", RingFormat::delimited}};
    for (const char* site : {"ca533", "co021", "wa082"}) {
        const std::string base = std::string(RUVELA_TEST_DATA) + "/itrdb/";
        const auto decade = testing::read_all(file_text(base + site + ".rwl"), TrrwMode::mr);
        for (const auto& [extension, format] : conversions) {
            const std::string name = std::string(site) + extension;
            const std::string text = file_text(base + "converted/" + name);
            ASSERT_EQ(detect_ring_format(text), format) << name;
            const RingFileReading r = read_ring_file(format, text);
            ASSERT_FALSE(r.error) << name;
            // Real widths are plausible ones; wa082's -999 code is told.
            EXPECT_EQ(r.findings, std::string(site) == "wa082" ? std::vector<Finding>{wa082_code}
                                                               : std::vector<Finding>{})
                << name;
            ASSERT_EQ(r.series.size(), decade.series.size()) << name;
            int differences = 0;
            for (std::size_t i = 0; i < r.series.size(); ++i) {
                const auto& want = decade.series[i];
                const auto& got = r.series[i];
                EXPECT_EQ(got.id, trim_right(want.id)) << name;
                EXPECT_EQ(got.first_year, want.first_year) << name << ' ' << got.id;
                ASSERT_EQ(got.widths.size(), want.values.size()) << name << ' ' << got.id;
                for (std::size_t k = 0; k < got.widths.size(); ++k)
                    if (!same_bits(got.widths[k], want.values[k])) ++differences;
            }
            EXPECT_EQ(differences, 0) << name;
        }
    }
}

}  // namespace
}  // namespace ruvela
