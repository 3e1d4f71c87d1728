#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "ringio/trrw.hpp"
#include "text/numfmt.hpp"
#include "trrw_support.hpp"

namespace ruvela {
namespace {

struct Written {
    std::string file, out;
};

Written write(TrrwMode mode, std::string id, int first_year, std::vector<float> values,
              std::vector<int> counts = {}) {
    std::istringstream in;
    std::ostringstream data, out, err;
    Console con(in, out, err);
    const SeriesArgs args{
        std::move(id), first_year, static_cast<int>(values.size()), values, counts, 0, {}};
    trrw_write(mode, args, data, con);
    EXPECT_EQ(err.str(), "");
    return {data.str(), out.str()};
}

std::vector<float> ramp(std::size_t n) {
    std::vector<float> v;
    for (std::size_t i = 1; i <= n; ++i) v.push_back(static_cast<float>(i) * 0.001f);
    return v;
}

TEST(TrrwWrite, MeasurementLinesEndWithTheMarker) {
    const struct {
        int first_year;
        std::size_t n;
        const char* file;
    } cases[] = {
        {1953, 5, "SER1    1953     1     2     3     4     5 -9999\n"},
        {1953, 7, "SER1    1953     1     2     3     4     5     6     7\nSER1    1960 -9999\n"},
        {1953, 17,
         "SER1    1953     1     2     3     4     5     6     7\n"
         "SER1    1960     8     9    10    11    12    13    14    15    16    17\n"
         "SER1    1970 -9999\n"},
        {-5, 5, "SER1      -5     1     2     3     4     5\nSER1       0 -9999\n"},
        {-2649, 1, "SER1   -2649     1 -9999\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(write(TrrwMode::mw, "SER1", c.first_year, ramp(c.n)).file, c.file)
            << c.first_year;
    EXPECT_EQ(write(TrrwMode::mw, "SER1", 1953, {}).file, "");
    EXPECT_EQ(write(TrrwMode::iw, "SER1", 1953, {}).file, "");
}

TEST(TrrwWrite, MeasurementThousandthsNeverLookLikeAnEndMarker) {
    const struct {
        float value;
        const char* field;
    } cases[] = {
        {1.2345f, "  1235"}, {-0.0005f, "    -1"}, {0.9985f, "   998"},  {0.999f, "  1000"},
        {0.9994f, "  1000"}, {0.9984f, "   998"},  {-9.9985f, " -9998"}, {-9.9994f, "-10000"},
        {-9.999f, "-10000"}, {1000.0f, "******"},
    };
    for (const auto& c : cases) {
        const std::string file = write(TrrwMode::mw, "S", 1959, {c.value}).file;
        EXPECT_EQ(file.substr(12, 6), c.field) << c.value;
    }
    const auto back = testing::read_all(
        write(TrrwMode::mw, "S", 1950, {0.999f, -9.999f, 0.5f}).file, TrrwMode::mr);
    ASSERT_EQ(back.series.size(), 1u);
    EXPECT_EQ(back.series[0].values.size(), 3u);
}

TEST(TrrwWrite, IndexLinesFillEmptySlots) {
    EXPECT_EQ(write(TrrwMode::iw, "SITE01XX", 1953, {1.5f, 0.25f, 1.0f}, {4, 5, 6}).file,
              "SITE011953"
              "9990  09990  09990  01500  4 250  51000  69990  09990  09990  09990  0\n");
    // Counts are all 1 when the first is not positive; a line ending in
    // slot 10 is followed by a line of filler.
    const std::string filler =
        "9990  09990  09990  09990  09990  09990  09990  09990  09990  09990  0";
    EXPECT_EQ(write(TrrwMode::iw, "S", 1953, ramp(7), {0, 5, 5, 5, 5, 5, 5}).file,
              "S     19539990  09990  09990  0   1  1   2  1   3  1   4  1   5  1   6  1   7  1\n"
              "S     1960" +
                  filler + "\n");
    EXPECT_EQ(write(TrrwMode::iw, "S", -1, {0.001f}).file.substr(0, 80),
              "S       -19990  09990  09990  09990  09990  09990  09990  09990  09990  0   1  1");
}

TEST(TrrwWrite, IndexLayoutScalesLargeSeries) {
    const struct {
        float largest;
        const char* message;
        const char* first_field;
    } cases[] = {
        {9.98949f, "", "9989"},
        {12.0f, ">> Sbr TRRW: Series S1       max value      12.000 multiplied by  0.100000\n",
         "1200"},
        {12.345f, ">> Sbr TRRW: Series S1       max value      12.345 multiplied by  0.100000\n",
         "1235"},
        {150.0f, ">> Sbr TRRW: Series S1       max value     150.000 multiplied by  0.010000\n",
         "1500"},
    };
    for (const auto& c : cases) {
        const Written w = write(TrrwMode::iw, "S1", 1950, {c.largest, 1.0f}, {});
        EXPECT_EQ(w.out, c.message) << c.largest;
        EXPECT_EQ(w.file.substr(10, 4), c.first_field) << c.largest;
    }
}

// Values with three decimals up to `largest`, spread over the range.
std::vector<float> sample_values(std::size_t n, float largest) {
    std::vector<float> v;
    for (std::size_t i = 0; i < n; ++i)
        v.push_back(
            static_cast<float>((i * 7919 + 13) % static_cast<std::size_t>(largest * 1000.0f)) *
            0.001f);
    return v;
}

TEST(TrrwWrite, SeriesReadBackWithinTheLayoutsPrecision) {
    std::vector<int> years;
    for (int y = 1950; y <= 1959; ++y) years.push_back(y);
    for (const int y : {-1, -5, -9, -10, -11, -15, -20, -999, -2649}) years.push_back(y);
    for (const int y : years) {
        for (const std::size_t n : {1u, 9u, 10u, 11u, 37u}) {
            const auto values = sample_values(n, 9.989f);
            std::vector<int> counts(n);
            for (std::size_t i = 0; i < n; ++i) counts[i] = static_cast<int>(i % 40) + 1;
            const std::string both = write(TrrwMode::mw, "RT01", y, values).file +
                                     write(TrrwMode::mw, "RT02", y, values).file;
            const auto m = testing::read_all(both, TrrwMode::mr);
            ASSERT_EQ(m.series.size(), 2u) << y << ' ' << n;
            EXPECT_EQ(m.series[1].id, "RT02    ");
            const std::string index = write(TrrwMode::iw, "RT01", y, values, counts).file;
            const auto i = y < -999 ? m : testing::read_all(index, TrrwMode::ir);
            for (const auto* r : {&m, &i}) {
                const auto& s = r->series[0];
                EXPECT_EQ(s.first_year, y) << n;
                ASSERT_EQ(s.values.size(), n) << y;
                for (std::size_t k = 0; k < n; ++k)
                    EXPECT_NEAR(s.values[k], values[k], 0.00051f) << y << ' ' << k;
            }
            if (y >= -999) {
                EXPECT_EQ(i.series[0].counts, counts) << y << ' ' << n;
            }
        }
    }
}

}  // namespace
}  // namespace ruvela
