// What Heidelberg and TRiDaS files say of a series' pith and stem, read
// beside its rings: one fixture per key or element.
#include <gtest/gtest.h>

#include "formats_support.hpp"
#include "ringio/heidelberg.hpp"
#include "ringio/tridas.hpp"

namespace ruvela {
namespace {

using testing::error_of;
using testing::read_fixture;

std::optional<PithInfo> pith_of_fixture(const std::string& name, RingFormat format) {
    const auto r = read_fixture(name, format);
    EXPECT_EQ(error_of(r), "no error") << name;
    EXPECT_EQ(r.series.size(), 1u) << name;
    if (r.series.size() != 1) return std::nullopt;
    return r.series[0].pith;
}

struct Expected {
    const char* file;
    PithInfo pith;
};

TEST(PithInfo, HeidelbergKeys) {
    const Expected cases[] = {
        {"heidelberg/missing_rings_before.fh",
         {.offset = 12, .offset_source = "MissingRingsBefore"}},
        // Present without a count: nothing is missing.
        {"heidelberg/pith_present.fh",
         {.offset = 0, .offset_source = "Pith", .present = true, .present_source = "Pith"}},
        {"heidelberg/pith_absent.fh", {.present = false, .present_source = "Pith"}},
        {"heidelberg/bhd.fh", {.diameter_cm = 32.5f, .diameter_source = "BHD"}},
        {"heidelberg/circumference.fh",
         {.diameter_cm = 100.0f / 3.14159265f, .diameter_source = "Circumference"}},
    };
    for (const Expected& c : cases)
        EXPECT_EQ(pith_of_fixture(c.file, RingFormat::heidelberg), c.pith) << c.file;
}

// Values that give nothing, keys in any case, the other codes of Pith=, and
// a count that wins over a pith marked present.
TEST(PithInfo, HeidelbergValuesReadOrLeftOut) {
    const struct {
        const char* key;
        std::optional<PithInfo> pith;
    } cases[] = {
        {"MissingRingsBefore=", std::nullopt},
        {"MissingRingsBefore=-1", std::nullopt},
        {"MissingRingsBefore=3.5", std::nullopt},
        {"MissingRingsBefore=abc", std::nullopt},
        {"missingringsbefore=0", PithInfo{.offset = 0, .offset_source = "MissingRingsBefore"}},
        {"Pith=1",
         PithInfo{.offset = 0, .offset_source = "Pith", .present = true, .present_source = "Pith"}},
        {"Pith=0", PithInfo{.present = false, .present_source = "Pith"}},
        {"Pith=?", std::nullopt},
        {"Pith=P\nMissingRingsBefore=4", PithInfo{.offset = 4,
                                                  .offset_source = "MissingRingsBefore",
                                                  .present = true,
                                                  .present_source = "Pith"}},
        {"BHD=", std::nullopt},
        {"BHD=0", std::nullopt},
        {"BHD=32,5", std::nullopt},
        {"BHD=40\nCircumference=100", PithInfo{.diameter_cm = 40.0f, .diameter_source = "BHD"}},
        {"FromSeedToDataBegin=9", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto r = read_heidelberg(std::string("HEADER:\nKeyCode=K\nDateBegin=5\n") + c.key +
                                       "\nDATA:Tree\n1 2\n");
        ASSERT_EQ(r.series.size(), 1u) << c.key;
        EXPECT_EQ(r.series[0].pith, c.pith) << c.key;
    }
    // A series without these keys has no pith information.
    const auto block = read_fixture("heidelberg/block.fh", RingFormat::heidelberg);
    EXPECT_EQ(block.series[0].pith,
              (PithInfo{.offset = 12, .offset_source = "MissingRingsBefore"}));
    EXPECT_FALSE(block.series[1].pith);
}

TEST(PithInfo, TridasElements) {
    const Expected cases[] = {
        // A pith present needs only the unmeasured inner rings.
        {"tridas/pith_complete.xml",
         {.offset = 3,
          .offset_source = "pith presence=complete + nrOfUnmeasuredInnerRings",
          .present = true,
          .present_source = "pith presence=complete"}},
        {"tridas/missing_heartwood.xml",
         {.offset = 9,
          .offset_source = "missingHeartwoodRingsToPith + nrOfUnmeasuredInnerRings",
          .present = false,
          .present_source = "pith presence=absent"}},
        // The radius's completeness stands for a series without its own.
        {"tridas/radius_completeness.xml",
         {.offset = 5, .offset_source = "missingHeartwoodRingsToPith"}},
        {"tridas/pith_absent.xml", {.present = false, .present_source = "pith presence=absent"}},
        {"tridas/dimensions.xml", {.diameter_cm = 32.5f, .diameter_source = "dimensions/diameter"}},
    };
    for (const Expected& c : cases)
        EXPECT_EQ(pith_of_fixture(c.file, RingFormat::tridas), c.pith) << c.file;
    EXPECT_FALSE(read_fixture("tridas/plain.xml", RingFormat::tridas).series[0].pith);
}

}  // namespace
}  // namespace ruvela
