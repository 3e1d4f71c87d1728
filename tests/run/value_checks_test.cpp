// Every companion value against its core: one tiny fixture per finding, the
// standing facts in their words, the limits as the docs give them, and the
// real data, which no check finds anything in.
#include "run/value_checks.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "../support/program_runner.hpp"
#include "run/basal_area.hpp"
#include "run/companion_file.hpp"
#include "run/pair_input.hpp"
#include "store_fixture.hpp"
#include "text/numfmt.hpp"
#include "text/stops.hpp"

namespace ruvela {
namespace {

namespace fs = std::filesystem;

const std::vector<float> ten_of_1mm(10, 1.0f);

struct Case {
    const char* name;
    CompanionKind kind;
    std::vector<std::vector<float>> widths;  // one core each
    std::vector<CompanionRecord> records;    // likewise; none: all zero
    // The one finding expected: its series, check, value and words.
    int series = 0;
    ValueCheck check = ValueCheck::distance_beyond_core;
    std::optional<CompanionField> field = std::nullopt;
    std::string why = "";
};

std::vector<ValueFinding> check(const Case& c, const ValueCheckOptions& options = {}) {
    std::vector<SeriesInput> inputs;
    for (std::size_t k = 0; k < c.widths.size(); ++k)
        inputs.push_back(
            {1900, c.widths[k], k < c.records.size() ? c.records[k] : CompanionRecord{}});
    return check_values(c.kind, inputs, options);
}

// Fault guarded for each: a value that contradicts its core, its record or
// its file taken without a word, or told without the value and what it
// contradicts.
TEST(ValueChecks, EachCheckFindsItsFixture) {
    const std::vector<float> eight_mm(10, 8.0f);
    const std::vector<float> tenth_of(10, 0.15f);
    const Case cases[] = {
        {"distance and core reach past half the diameter",
         CompanionKind::proportional,
         {ten_of_1mm},
         {{.pith_offset = 20, .diameter_cm = 1.5f, .d2pith_mm = 20.0f}},
         1,
         ValueCheck::distance_beyond_stem,
         CompanionField::d2pith,
         "the distance to the pith 20 mm and the core's 10.0 mm of rings reach 30.0 mm from the "
         "pith, 4.0 times the stem's radius of 7.5 mm (half the diameter 1.5 cm): the core and "
         "its distance do not fit in the stem"},
        {"the bark narrows the stem",
         CompanionKind::proportional,
         {ten_of_1mm},
         {{.pith_offset = 5, .diameter_cm = 4.0f, .d2pith_mm = 5.0f, .bark_mm = 12.0f}},
         1,
         ValueCheck::distance_beyond_stem,
         CompanionField::d2pith,
         "the distance to the pith 5 mm and the core's 10.0 mm of rings reach 15.0 mm from the "
         "pith, 1.9 times the stem's radius of 8.0 mm (half the diameter 4 cm less the bark "
         "12 mm): the core and its distance do not fit in the stem"},
        {"a distance of many times the core",
         CompanionKind::d2pith,
         {ten_of_1mm},
         {{.d2pith_mm = 600.0f}},
         1,
         ValueCheck::distance_beyond_core,
         CompanionField::d2pith,
         "the distance to the pith 600 mm is 60 times the core's own length of 10.0 mm, as if "
         "typed in another unit than millimetres"},
        {"an offset whose rings reach far past the core",
         CompanionKind::pith,
         {{2.0f, 2.0f, 1.0f, 1.0f}},
         {{.pith_offset = 1850}},
         1,
         ValueCheck::offset_beyond_core,
         CompanionField::pith_offset,
         "the pith offset 1850 puts the pith 2775.0 mm beyond the core's inner end, 462 times "
         "the core's own length of 6.0 mm (1850 rings at 1.500 mm, the mean width of its 4 "
         "innermost rings)"},
        {"an offset far more than the distance makes",
         CompanionKind::proportional,
         {ten_of_1mm},
         {{.pith_offset = 300, .diameter_cm = 5.0f, .d2pith_mm = 5.0f}},
         1,
         ValueCheck::offset_beyond_distance,
         CompanionField::pith_offset,
         "the pith offset 300 is far more than the 5 rings that the distance to the pith 5 mm "
         "makes at 1.000 mm, the mean width of its 10 innermost rings"},
        {"a series far wider than the file's median",
         CompanionKind::pith,
         {ten_of_1mm, ten_of_1mm, eight_mm},
         {},
         3,
         ValueCheck::width_off_median,
         std::nullopt,
         "mean ring width 8.000 mm is 8.0 times the median 1.000 mm of the file's 3 series: the "
         "precision or the end marker of this series is likely wrong"},
        {"a series far narrower than the file's median",
         CompanionKind::diameter,
         {tenth_of, ten_of_1mm, ten_of_1mm, ten_of_1mm},
         {{.diameter_cm = 1.0f},
          {.diameter_cm = 3.0f},
          {.diameter_cm = 3.0f},
          {.diameter_cm = 3.0f}},
         1,
         ValueCheck::width_off_median,
         std::nullopt,
         "mean ring width 0.150 mm is 6.7 times smaller than the median 1.000 mm of the file's 4 "
         "series: the precision or the end marker of this series is likely wrong"},
    };
    for (const Case& c : cases) {
        const std::vector<ValueFinding> found = check(c);
        ASSERT_EQ(found.size(), 1u) << c.name;
        EXPECT_EQ(found[0].series, c.series) << c.name;
        EXPECT_EQ(found[0].check, c.check) << c.name;
        EXPECT_EQ(found[0].field, c.field) << c.name;
        EXPECT_EQ(found[0].why, c.why) << c.name;
    }
}

// Fault guarded for each: a check that fires on a value within its limit,
// on what another warning already tells, or where it has nothing to go by.
TEST(ValueChecks, WhatIsWithinTheLimitsOrToldElsewhereFindsNothing) {
    const std::vector<float> ten_mm(10, 10.0f);  // at the fixed bound: told by the reader
    const Case cases[] = {
        {"distance and core at 1.5 times half the diameter",
         CompanionKind::proportional,
         {ten_of_1mm},
         {{.pith_offset = 5, .diameter_cm = 2.0f, .d2pith_mm = 5.0f}}},
        {"a distance of 10 times the core",
         CompanionKind::d2pith,
         {ten_of_1mm},
         {{.d2pith_mm = 100.0f}}},
        {"an offset whose rings reach 10 times the core",
         CompanionKind::pith,
         {ten_of_1mm},
         {{.pith_offset = 100}}},
        {"an offset of 5 times the distance's rings and 10 more",
         CompanionKind::proportional,
         {ten_of_1mm},
         {{.pith_offset = 35, .diameter_cm = 5.0f, .d2pith_mm = 5.0f}}},
        {"an offset where the distance is 0: a standing fact",
         CompanionKind::proportional,
         {ten_of_1mm},
         {{.pith_offset = 300, .diameter_cm = 5.0f}}},
        {"a core without width", CompanionKind::pith, {{0.0f, 0.0f}}, {{.pith_offset = 900}}},
        {"a median of two series", CompanionKind::pith, {ten_of_1mm, ten_mm}, {}},
        {"a mean width the fixed bounds tell",
         CompanionKind::pith,
         {ten_of_1mm, ten_of_1mm, {11.0f, 11.0f}},
         {}},
        {"negative codes left out of a mean",
         CompanionKind::pith,
         {ten_of_1mm, ten_of_1mm, {1.0f, -999.0f, 1.0f}},
         {}},
    };
    for (const Case& c : cases) EXPECT_TRUE(check(c).empty()) << c.name;
    // Offsets the program estimated from the distances are not the user's.
    const Case estimated{"estimated",
                         CompanionKind::proportional,
                         {ten_of_1mm},
                         {{.pith_offset = 300, .diameter_cm = 5.0f, .d2pith_mm = 5.0f}}};
    EXPECT_EQ(check(estimated).size(), 1u);
    EXPECT_TRUE(check(estimated, {.offsets_estimated = {1}}).empty());
}

// Fault guarded: the standing facts, now in this module, told in other
// words than the transcripts hold.
TEST(ValueChecks, StandingFactsKeepTheirWords) {
    const std::vector<float> widths = {10.0f, 20.0f};  // 3 cm
    EXPECT_EQ(implausible_value(CompanionKind::pith, {.pith_offset = -3}, widths),
              "the pith offset -3 is negative");
    EXPECT_EQ(implausible_value(CompanionKind::diameter, {.diameter_cm = 5.0f}, widths),
              "the diameter 5.00 cm is less than twice the measured radius 3.00 cm, so the "
              "increments turn negative");
    EXPECT_EQ(implausible_value(CompanionKind::diameter, {.diameter_cm = 61.0f}, widths),
              "the diameter 61.00 cm is more than 10 times twice the measured radius 3.00 cm, as "
              "if typed in another unit than centimetres");
    EXPECT_EQ(implausible_value(CompanionKind::diameter, {.diameter_cm = 60.0f}, widths), "");
    EXPECT_EQ(implausible_value(CompanionKind::d2pith, {.d2pith_mm = 1e6f}, widths), "");
    EXPECT_EQ(implausible_value(CompanionKind::proportional,
                                {.pith_offset = 2, .diameter_cm = 9.0f}, widths),
              "the pith offset 2 and the distance to the pith 0 mm disagree: one of them is 0 "
              "and the other is not");
}

// Fault guarded: a limit changed in the code and not in the docs, or the
// other way round.
TEST(ValueChecks, TheLimitsAreTheTableOfTheDocs) {
    const std::string docs =
        testing::read_file(fs::path(RUVELA_SOURCE_DIR) / "docs" / "bad-input.md");
    for (const ValueLimitRow& row : value_limits()) {
        const std::string line =
            "| " + shortest_text(row.value) + " | " + std::string(row.rule) + " |";
        EXPECT_NE(docs.find(line), std::string::npos) << line;
    }
}

// ---- The real data ----

const fs::path data = RUVELA_TEST_DATA;
const fs::path examples = fs::path(RUVELA_SOURCE_DIR) / "examples";

struct RealPair {
    fs::path rings;
    fs::path companion;  // empty: the ring-width file's own values, or none
    CompanionKind kind;
    std::string format = "*";
    bool values_from_files = false;
    // The series of the standing facts that hold on the data (a diameter
    // smaller than the core): none of the checks against the core may add
    // to them.
    std::vector<std::string> standing = {};
};

struct RealFindings {
    std::vector<std::string> standing;  // the series of the standing facts
    std::vector<std::string> found;     // the checks' findings, each with its series
    std::string stopped;                // the reason, when the pair could not be read
};

RealFindings check_real_pair(const RealPair& p) {
    auto store = std::make_unique<testing::TestStore>();
    Job& job = store->job;
    job.pairs = {{p.rings.string(), p.companion.string()}};
    job.companion_kind = p.kind;
    job.companion_format = p.format;
    job.from_command_line = true;
    std::istringstream in;
    std::ostringstream out, err;
    Console con(in, out, err);
    RealFindings result;
    try {
        store->run.file_index = 1;
        start_pair(store->run, store->tables);
        if (is_coordinate_input(p.rings.string()))
            read_coordinate_input(job.ring_file_name(1), store->run, store->pair, store->tables,
                                  false, con);
        else
            read_ring_width_file(job.ring_file_name(1), store->run, store->pair, store->tables,
                                 con);
        if (!p.companion.empty() || p.values_from_files)
            read_companion_file(job, 1, store->pair, store->tables, con);
    } catch (const RunEnded& stop) {
        result.stopped = stop.reason + out.str();
        return result;
    }
    const std::vector<SeriesInput> inputs = series_inputs(store->pair, store->tables);
    const auto id = [&](int s) { return std::string(store->pair.series_ids(s).name()); };
    for (const ImplausibleValue& v : compute_pair(p.kind, inputs).findings.implausible)
        result.standing.push_back(id(v.series));
    for (const ValueFinding& f : check_values(p.kind, inputs))
        result.found.push_back(id(f.series) + ": " + f.why);
    return result;
}

// Fault guarded: a limit so tight that real files, read as their users
// give them, draw warnings.
TEST(ValueChecks, NoRealFileComesNearALimit) {
    using K = CompanionKind;
    const fs::path gp = data / "gp", zof = data / "zof", itrdb = data / "itrdb";
    const fs::path converted = itrdb / "converted", coordinates = data / "coordinates";
    const RealPair pairs[] = {
        {gp / "gp.rwl", gp / "gp_pith.txt", K::pith, "(i3)"},
        {gp / "gp.rwl", gp / "gp_dbh.txt", K::diameter, "(f6.1)"},
        // Less the bark, two diameters are too small for their cores, as
        // gp/SOURCE.md says.
        {gp / "gp.rwl", gp / "gp_dib.txt", K::diameter, "(f6.1)", false, {"32B", "47B"}},
        {gp / "gp.rwl", gp / "gp_d2pith.txt", K::d2pith, "(f6.1)"},
        {zof / "zof.rwl", zof / "zof_ancillary.csv", K::proportional},
        {zof / "zof.rwl", zof / "zof_ancillary.csv", K::pith},
        {zof / "zof.rwl", zof / "zof_ancillary.csv", K::d2pith},
        // Two beech cores longer than half their diameters: the data are
        // for the proportional method, which shares the diameter out.
        {zof / "zof.rwl", zof / "zof_ancillary.csv", K::diameter, "*", false, {"ZOF31a", "ZOF36a"}},
        {itrdb / "ca533.rwl", {}, K::pith},
        {itrdb / "co021.rwl", {}, K::pith},
        {itrdb / "wa082.rwl", examples / "wa082_pith.txt", K::pith, "(i3)"},
        {converted / "ca533.fh", {}, K::pith},
        {converted / "co021.fh", {}, K::pith},
        {converted / "wa082.fh", {}, K::pith},
        {converted / "ca533.csv", {}, K::pith},
        {converted / "co021.csv", {}, K::pith},
        {converted / "wa082.csv", {}, K::pith},
        {coordinates / "site.rwl", coordinates / "site_d2pith.txt", K::d2pith},
        {coordinates / "cores", {}, K::d2pith, "*", true},
        {coordinates / "cores", {}, K::pith, "*", true},
        {data / "pos" / "simple_test.pos", {}, K::d2pith, "*", true},
        {data / "pos" / "simple_test.pos", {}, K::pith, "*", true},
        {data / "pos" / "very_simple_seaswood_test.pos", {}, K::d2pith, "*", true},
        {data / "pos" / "very_simple_seaswood_test.pos", {}, K::pith, "*", true},
        {examples / "gp.rwl", examples / "gp_pith.txt", K::pith, "(i3)"},
        {examples / "gp.rwl", examples / "gp_dbh.txt", K::diameter, "(f6.1)"},
        {examples / "gp.fh", examples / "gp_pith.txt", K::pith, "(i3)"},
        {examples / "gp.fh", examples / "gp_dbh.txt", K::diameter, "(f6.1)"},
        {examples / "cores", {}, K::d2pith, "*", true},
        {examples / "cores", {}, K::pith, "*", true},
    };
    for (const RealPair& p : pairs) {
        const RealFindings found = check_real_pair(p);
        const std::string name = p.rings.filename().string() + " " +
                                 p.companion.filename().string() + " " +
                                 std::string(kind_info(p.kind).name);
        EXPECT_EQ(found.stopped, "") << name;
        EXPECT_EQ(found.found, std::vector<std::string>{}) << name;
        EXPECT_EQ(found.standing, p.standing) << name;
    }
}

}  // namespace
}  // namespace ruvela
