#include "run/value_checks.hpp"

#include <algorithm>
#include <cmath>

#include "ringio/series_checks.hpp"
#include "ringio/units.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

// Every limit, loose enough that no real file of the tests reaches it, nor
// the made-up fixtures of ordinary values. The largest ratios of gp, zof,
// the ITRDB files and the coordinate files: 4 times twice the core for a
// diameter, 1.3 times half the diameter for distance and rings, 4.2 times
// the core for a distance, 4.1 times it for an offset's rings, 2.1 times
// the rings a distance makes for an offset, 2.7 times the median for a
// mean width. docs/bad-input.md repeats the table.
constexpr ValueLimitRow limit_table[] = {
    {ValueLimit::diameter_excess, 10.0f,
     "a diameter more than this many times twice the measured radius (the core's rings, and "
     "with the proportional method the distance to the pith): a value in another unit than "
     "centimetres"},
    {ValueLimit::reach_beyond_stem, 1.5f,
     "proportional method: the distance to the pith and the core's rings together more than "
     "this many times the stem's radius (half the diameter less the bark)"},
    {ValueLimit::distance_beyond_core, 10.0f,
     "a distance to the pith more than this many times the core's own length (the sum of its "
     "widths)"},
    {ValueLimit::offset_beyond_core, 10.0f,
     "a pith offset without a distance: the offset's rings at the mean width of the core's "
     "innermost rings more than this many times the core's own length"},
    {ValueLimit::offset_beyond_distance, 5.0f,
     "a pith offset with a distance: more than this many times the rings the distance makes at "
     "the mean width of the core's innermost rings, plus the slack below"},
    {ValueLimit::offset_slack_rings, 10.0f,
     "the slack of that check, in rings, for distances of a few rings"},
    {ValueLimit::inner_rings, static_cast<float>(default_inner_rings),
     "the innermost rings whose mean width the offset checks take (the default of "
     "--inner-rings)"},
    {ValueLimit::width_off_median, 5.0f,
     "a series' mean ring width this many times the median of its file's series or more, or "
     "this many times less, where the fixed bounds of 0.1 and 10 mm hold"},
    {ValueLimit::median_series, 3.0f,
     "the fewest series with rings a file needs for its median to be taken"},
};

// ---- Words ----

std::string cm(float value) {
    return std::string(trim(fixed_field(value, 12, 2))) + " cm";
}

std::string mm(float value) {
    return std::string(trim(fixed_field(value, 16, 1))) + " mm";
}

std::string width_mm(float value) {
    return std::string(trim(fixed_field(value, 16, 3))) + " mm";
}

// "5.3 times", "69 times", "over 1000 times".
std::string times(float ratio) {
    if (!(ratio < 1000.0f)) return "over 1000 times";
    const int decimals = ratio < 10.0f ? 1 : 0;
    return std::string(trim(fixed_field(ratio, 12, decimals))) + " times";
}

std::string rings(long long count) {
    return std::to_string(count) + (count == 1 ? " ring" : " rings");
}

// ---- What a core says ----

float measured_radius(std::span<const float> widths) {
    return mm_to_cm(measured_width(widths));
}

// The mean width of the core's innermost rings, and how many rings it is
// taken of; none without rings or width.
struct InnerRings {
    float mean = 0.0f;
    std::size_t count = 0;
};

std::optional<InnerRings> inner_rings(std::span<const float> widths) {
    const auto wanted = static_cast<int>(limit_of(ValueLimit::inner_rings));
    const float mean = inner_mean_width(widths, wanted);
    if (!(mean > 0.0f)) return std::nullopt;
    return InnerRings{mean, std::min(widths.size(), static_cast<std::size_t>(wanted))};
}

// ---- The standing facts ----

std::string negative_offset(int offset) {
    return offset < 0 ? "the pith offset " + std::to_string(offset) + " is negative" : "";
}

// A diameter more than diameter_excess times twice `radius` (cm).
std::string diameter_in_another_unit(float diameter, float radius) {
    const float factor = limit_of(ValueLimit::diameter_excess);
    if (diameter <= factor * (2.0f * radius)) return "";
    return "the diameter " + cm(diameter) + " is more than " + shortest_text(factor) +
           " times twice the measured radius " + cm(radius) +
           ", as if typed in another unit than centimetres";
}

std::string implausible_diameter(const CompanionRecord& record, std::span<const float> widths) {
    const float diameter = record.diameter_cm;
    const float radius = measured_radius(widths);
    if (wood_radius(record) < radius)
        return "the diameter " + cm(diameter) + " is less than twice the measured radius " +
               cm(radius) + ", so the increments turn negative";
    return diameter_in_another_unit(diameter, radius);
}

// The proportional method's row: its pith offset goes with its distance to
// the pith, and the distance and widths give a radius to share the diameter
// among.
std::string implausible_row(const CompanionRecord& record, std::span<const float> widths) {
    if (std::string why = negative_offset(record.pith_offset); !why.empty()) return why;
    if ((record.pith_offset == 0) != (record.d2pith_mm == 0.0f))
        return "the pith offset " + std::to_string(record.pith_offset) +
               " and the distance to the pith " + shortest_text(record.d2pith_mm) +
               " mm disagree: one of them is 0 and the other is not";
    const float measured = mm_to_cm(record.d2pith_mm) + measured_radius(widths);
    if (measured == 0.0f)
        return "the distance to the pith and the ring widths are all 0, so the diameter "
               "cannot be shared among the rings; its areas are 0";
    return diameter_in_another_unit(record.diameter_cm, measured);
}

// ---- The checks against the core ----

using Findings = std::vector<ValueFinding>;

void add(Findings& found, int series, ValueCheck check, CompanionField field,
         std::optional<CompanionField> against, std::string why) {
    found.push_back({series, check, field, against, std::move(why)});
}

// The distance and the core together reach farther from the pith than the
// stem's radius allows: one of the three values is wrong.
void check_reach(const CompanionRecord& record, float core_mm, int s, Findings& found) {
    const float radius_mm = cm_to_mm(wood_radius(record));
    if (!(radius_mm > 0.0f)) return;
    const float reach = record.d2pith_mm + core_mm;
    if (!(reach > limit_of(ValueLimit::reach_beyond_stem) * radius_mm)) return;
    std::string stem = "half the diameter " + shortest_text(record.diameter_cm) + " cm";
    if (record.bark_mm > 0.0f) stem += " less the bark " + shortest_text(record.bark_mm) + " mm";
    add(found, s, ValueCheck::distance_beyond_stem, CompanionField::d2pith,
        CompanionField::diameter,
        "the distance to the pith " + shortest_text(record.d2pith_mm) + " mm and the core's " +
            mm(core_mm) + " of rings reach " + mm(reach) + " from the pith, " +
            times(reach / radius_mm) + " the stem's radius of " + mm(radius_mm) + " (" + stem +
            "): the core and its distance do not fit in the stem");
}

void check_distance(const CompanionRecord& record, float core_mm, int s, Findings& found) {
    const float d = record.d2pith_mm;
    if (!(core_mm > 0.0f) || !(d > limit_of(ValueLimit::distance_beyond_core) * core_mm)) return;
    add(found, s, ValueCheck::distance_beyond_core, CompanionField::d2pith, std::nullopt,
        "the distance to the pith " + shortest_text(record.d2pith_mm) + " mm is " +
            times(d / core_mm) + " the core's own length of " + mm(core_mm) +
            ", as if typed in another unit than millimetres");
}

std::string inner_words(const InnerRings& inner) {
    return width_mm(inner.mean) + ", the mean width of its " +
           (inner.count == 1 ? std::string("innermost ring")
                             : std::to_string(inner.count) + " innermost rings");
}

// With a distance: the offset against the rings the distance makes at the
// inner rings' width, as the field's tools estimate it.
void check_offset_with_distance(const CompanionRecord& record, const InnerRings& inner, int s,
                                Findings& found) {
    const int p = record.pith_offset;
    const float d = record.d2pith_mm;
    if (p <= 0 || !(d > 0.0f)) return;  // a standing fact when only one of them is 0
    const float made = d / inner.mean;
    if (!(static_cast<float>(p) > limit_of(ValueLimit::offset_beyond_distance) * made +
                  limit_of(ValueLimit::offset_slack_rings)))
        return;
    add(found, s, ValueCheck::offset_beyond_distance, CompanionField::pith_offset,
        CompanionField::d2pith,
        "the pith offset " + std::to_string(p) + " is far more than the " +
            rings(std::llround(made)) + " that the distance to the pith " +
            shortest_text(record.d2pith_mm) + " mm makes at " + inner_words(inner));
}

// Without a distance: where the offset's rings, at the inner rings' width,
// would put the pith.
void check_offset_alone(const CompanionRecord& record, const InnerRings& inner, float core_mm,
                        int s, Findings& found) {
    const int p = record.pith_offset;
    if (p <= 0 || !(core_mm > 0.0f)) return;
    const float reach = static_cast<float>(p) * inner.mean;
    if (!(reach > limit_of(ValueLimit::offset_beyond_core) * core_mm)) return;
    add(found, s, ValueCheck::offset_beyond_core, CompanionField::pith_offset, std::nullopt,
        "the pith offset " + std::to_string(p) + " puts the pith " + mm(reach) +
            " beyond the core's inner end, " + times(reach / core_mm) +
            " the core's own length of " + mm(core_mm) + " (" + rings(p) + " at " +
            inner_words(inner) + ")");
}

void check_series(const CompanionKindInfo& kind, const SeriesInput& series, int s,
                  const ValueCheckOptions& options, Findings& found) {
    const CompanionRecord& record = series.companion;
    const float core_mm = measured_width(series.widths);
    if (kind.gives(CompanionField::diameter) && kind.gives(CompanionField::d2pith))
        check_reach(record, core_mm, s, found);
    if (kind.gives(CompanionField::d2pith)) check_distance(record, core_mm, s, found);
    if (!kind.gives(CompanionField::pith_offset) ||
        std::ranges::find(options.offsets_estimated, s) != options.offsets_estimated.end())
        return;
    const std::optional<InnerRings> inner = inner_rings(series.widths);
    if (!inner) return;
    if (kind.gives(CompanionField::d2pith))
        check_offset_with_distance(record, *inner, s, found);
    else
        check_offset_alone(record, *inner, core_mm, s, found);
}

// ---- The check against the file ----

float median_of(std::vector<float> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0f;
}

// A series whose mean width is far from the file's median, where the fixed
// bounds of series_checks do not already tell it: its precision or its end
// marker is likely wrong.
void check_widths_against_the_file(std::span<const SeriesInput> series, Findings& found) {
    std::vector<std::optional<float>> means;
    std::vector<float> known;
    for (const SeriesInput& s : series) {
        means.push_back(mean_width(s.widths));
        if (means.back()) known.push_back(*means.back());
    }
    if (known.size() < static_cast<std::size_t>(limit_of(ValueLimit::median_series))) return;
    const float median = median_of(known);
    if (!(median > 0.0f)) return;
    const float factor = limit_of(ValueLimit::width_off_median);
    for (std::size_t k = 0; k < means.size(); ++k) {
        if (!means[k]) continue;
        const float mean = *means[k];
        if (!plausible_mean_width(mean)) continue;
        const bool wide = mean >= factor * median;
        const bool narrow = mean * factor <= median;
        if (!wide && !narrow) continue;
        found.push_back(
            {static_cast<int>(k) + 1, ValueCheck::width_off_median, std::nullopt, std::nullopt,
             "mean ring width " + width_mm(mean) + " is " +
                 (wide ? times(mean / median) : times(median / mean) + " smaller than") +
                 " the median " + width_mm(median) + " of the file's " +
                 std::to_string(known.size()) +
                 " series: the precision or the end marker of this series is likely wrong"});
    }
}

}  // namespace

std::span<const ValueLimitRow> value_limits() {
    return limit_table;
}

float limit_of(ValueLimit limit) {
    for (const ValueLimitRow& row : limit_table)
        if (row.limit == limit) return row.value;
    return 0.0f;
}

std::string implausible_value(CompanionKind kind, const CompanionRecord& record,
                              std::span<const float> widths) {
    switch (kind) {
        case CompanionKind::pith:
            return negative_offset(record.pith_offset);
        case CompanionKind::diameter:
            return implausible_diameter(record, widths);
        case CompanionKind::d2pith:  // a negative distance stops the reading
            return "";
        case CompanionKind::proportional:
            break;
    }
    return implausible_row(record, widths);
}

std::vector<ValueFinding> check_values(CompanionKind kind, std::span<const SeriesInput> series,
                                       const ValueCheckOptions& options) {
    Findings found;
    const CompanionKindInfo& info = kind_info(kind);
    for (std::size_t k = 0; k < series.size(); ++k)
        check_series(info, series[k], static_cast<int>(k) + 1, options, found);
    check_widths_against_the_file(series, found);
    std::stable_sort(found.begin(), found.end(), [](const ValueFinding& a, const ValueFinding& b) {
        return a.series < b.series;
    });
    return found;
}

}  // namespace ruvela
