#include "ringio/companion_kinds.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "ringio/units.hpp"
#include "text/numfmt.hpp"

namespace ruvela {

namespace {

// ---- The values a file can give ----

constexpr std::string_view pith_offset_names[] = {"pith_offset", "po"};
constexpr std::string_view d2pith_names[] = {"d2pith", "distance_to_pith"};
constexpr std::string_view diameter_names[] = {"diameter", "dbh", "diam",
                                               "diameter_at_breast_height"};
constexpr std::string_view bark_names[] = {"bark"};

constexpr CompanionFieldInfo field_table[] = {
    {CompanionField::pith_offset, "the pith offset", true, pith_offset_names, "",
     "pith offset column (pith_offset or po)"},
    {CompanionField::d2pith, "the distance to the pith", false, d2pith_names, "mm",
     "column of the distance to the pith in mm (d2pith or d2pith_mm)"},
    {CompanionField::diameter, "the diameter", false, diameter_names, "cm",
     "diameter column in cm (dbh, diam or diameter)"},
    {CompanionField::bark, "the bark", false, bark_names, "mm", "bark column in mm (bark)"},
};

// ---- Radius rules ----

// The missing inner part as `rings` rings of the mean width of the first
// measured ones: rings * (sum / rings). In single precision this is not
// always `sum` itself, and the stored tables depend on the exact floats, so
// the two steps stay.
float inner_part(float sum, int rings) {
    const auto n = static_cast<float>(rings);
    return n * (sum / n);
}

// With a pith offset p the missing inner part counts as p rings of the mean
// width of the first p measured rings; only the series' own rings are
// summed, so a huge offset costs nothing.
RadiusRule pith_rule(const CompanionRecord& record, std::span<const float> widths) {
    const int p = record.pith_offset;
    float a = 0.0f;
    if (p > 0) {
        const auto inner = std::min(static_cast<std::size_t>(p), widths.size());
        for (std::size_t k = 0; k < inner; ++k) a += widths[k];
        a = inner_part(a, p);
    }
    for (const float w : widths) a += w;
    return {mm_to_cm(a)};
}

RadiusRule diameter_rule(const CompanionRecord& record, std::span<const float>) {
    return {wood_radius(record)};
}

RadiusRule d2pith_rule(const CompanionRecord& record, std::span<const float> widths) {
    return {mm_to_cm(record.d2pith_mm + measured_width(widths))};
}

// The proportional method: the stem's radius keeps to the measured radius,
// the distance to the pith and the widths so far, in proportion, and is half
// the diameter in the last year.
RadiusRule proportional_rule(const CompanionRecord& record, std::span<const float> widths) {
    const float measured = mm_to_cm(record.d2pith_mm + measured_width(widths));
    if (measured == 0.0f) return {0.0f, 0.0f};  // nothing to share the diameter among
    const float outer = wood_radius(record);
    return {outer, outer / measured};
}

// The proportional method's ring k has the area
//   pi (D/2)^2 ((d + C(k))^2 - (d + C(k-1))^2) / (d + C(L))^2,
// which grows with the diameter D and, in the distance d, rises up to
// d = C(L) - C(k) - C(k-1) and falls beyond it.
std::optional<CompanionRecord> proportional_peak(const CompanionRecord& low,
                                                 const CompanionRecord& high, float measured,
                                                 float before, float width) {
    const float turn = measured - (before + width) - before;
    if (!(turn > low.d2pith_mm && turn < high.d2pith_mm)) return std::nullopt;
    CompanionRecord peak = high;
    peak.d2pith_mm = turn;
    return peak;
}

// ---- Listing columns: a diameter or a distance with one decimal, the
// precision it is measured to ----

void list_pith(const CompanionRecord& record, std::string& row) {
    put_int(row, record.pith_offset, 5);
}

void list_diameter(const CompanionRecord& record, std::string& row) {
    put_fixed(row, record.diameter_cm, 5, 1);
}

void list_d2pith(const CompanionRecord& record, std::string& row) {
    put_fixed(row, record.d2pith_mm, 9, 1);
}

void list_row(const CompanionRecord& record, std::string& row) {
    put_int(row, record.pith_offset, 7);
    put_fixed(row, record.d2pith_mm, 9, 1);
    put_fixed(row, record.diameter_cm, 9, 1);
}

// ---- The kinds ----

constexpr CompanionField pith_fields[] = {CompanionField::pith_offset};
constexpr CompanionField diameter_fields[] = {CompanionField::diameter};
constexpr CompanionField d2pith_fields[] = {CompanionField::d2pith};
constexpr CompanionField row_fields[] = {CompanionField::pith_offset, CompanionField::d2pith,
                                         CompanionField::diameter};
// A coordinate file gives the pith offset and the distance, not the diameter.
constexpr CompanionField row_fields_from_files[] = {CompanionField::pith_offset,
                                                    CompanionField::d2pith};
// A diameter over the bark may come with the bark's thickness.
constexpr CompanionField bark_field[] = {CompanionField::bark};

const CompanionKindInfo kind_table[] = {
    {CompanionKind::pith, "pith", "rings missing to the pith", 1, "Pith Estimate only",
     pith_fields, {}, {}, ValueElement::whole,
     "pith offsets are whole numbers of rings, read with an I element such as (i3)",
     " SERIES#      ID    IYR  LYR   AGE   PITH   ", list_pith, pith_rule, nullptr},
    {CompanionKind::diameter, "diameter", "stem diameter, cm", 2, "Diameter only",
     diameter_fields, {}, bark_field, ValueElement::real,
     "diameters are real numbers, read with an F element such as (f6.1)",
     " SERIES#      ID    IYR  LYR   AGE   DIA.   ", list_diameter, diameter_rule, nullptr},
    {CompanionKind::d2pith, "d2pith", "distance to the pith, mm", 0, "", d2pith_fields, {}, {},
     ValueElement::any, "", " SERIES#      ID    IYR  LYR   AGE   D2PITH", list_d2pith,
     d2pith_rule, nullptr},
    {CompanionKind::proportional, "proportional",
     "a table of pith offset, distance to the pith and diameter per series", 0, "", row_fields,
     row_fields_from_files, bark_field, ValueElement::any, "", " SERIES#      ID    IYR  LYR   AGE   PITH   D2PITH      DBH",
     list_row, proportional_rule, proportional_peak},
};

}  // namespace

const CompanionFieldInfo& field_info(CompanionField field) {
    return field_table[static_cast<std::size_t>(field)];
}

bool CompanionKindInfo::gives(CompanionField field) const {
    return std::find(fields.begin(), fields.end(), field) != fields.end();
}

bool CompanionKindInfo::may_come_from_files(CompanionField field) const {
    return std::find(fields_from_files.begin(), fields_from_files.end(), field) !=
           fields_from_files.end();
}

bool CompanionKindInfo::takes(CompanionField field) const {
    return gives(field) ||
           std::find(optional_fields.begin(), optional_fields.end(), field) != optional_fields.end();
}

float value_of(const CompanionRecord& record, CompanionField field) {
    switch (field) {
        case CompanionField::pith_offset:
            return static_cast<float>(record.pith_offset);
        case CompanionField::d2pith:
            return record.d2pith_mm;
        case CompanionField::diameter:
            return record.diameter_cm;
        case CompanionField::bark:
            break;
    }
    return record.bark_mm;
}

void set_value(CompanionRecord& record, CompanionField field, float value) {
    if (field == CompanionField::pith_offset) {
        // An offset at the int's limit plus an error stays at the limit: the
        // largest float below 2^31 is the last that converts.
        record.pith_offset = static_cast<int>(std::clamp(value, -2147483648.0f, 2147483520.0f));
        return;
    }
    CompanionRecord from;
    from.d2pith_mm = from.diameter_cm = from.bark_mm = value;
    copy_field(record, from, field);
}

void copy_field(CompanionRecord& to, const CompanionRecord& from, CompanionField field) {
    switch (field) {
        case CompanionField::pith_offset:
            to.pith_offset = from.pith_offset;
            return;
        case CompanionField::d2pith:
            to.d2pith_mm = from.d2pith_mm;
            return;
        case CompanionField::diameter:
            to.diameter_cm = from.diameter_cm;
            return;
        case CompanionField::bark:
            to.bark_mm = from.bark_mm;
            return;
    }
}

std::span<const CompanionKindInfo> companion_kinds() {
    return kind_table;
}

const CompanionKindInfo& kind_info(CompanionKind kind) {
    return kind_table[static_cast<std::size_t>(kind) - 1];
}

std::optional<CompanionKind> kind_named(std::string_view name) {
    for (const CompanionKindInfo& info : kind_table)
        if (info.name == name) return info.kind;
    return std::nullopt;
}

std::optional<CompanionKind> kind_of_menu_answer(int answer) {
    for (const CompanionKindInfo& info : kind_table)
        if (info.menu_answer != 0 && info.menu_answer == answer) return info.kind;
    return std::nullopt;
}

std::string kind_names() {
    std::string names;
    const std::size_t n = std::size(kind_table);
    for (std::size_t k = 0; k < n; ++k) {
        if (k > 0) names += k + 1 == n ? " or " : ", ";
        names += kind_table[k].name;
    }
    return names;
}

// Without bark the subtraction changes no float.
float wood_radius(const CompanionRecord& record) {
    return record.diameter_cm * 0.5f - mm_to_cm(record.bark_mm);
}

float inner_mean_width(std::span<const float> widths, int inner_rings) {
    const std::size_t inner = std::min(widths.size(), static_cast<std::size_t>(inner_rings));
    if (inner == 0) return 0.0f;
    return measured_width(widths.first(inner)) / static_cast<float>(inner);
}

int estimated_pith_offset(float d2pith_mm, std::span<const float> widths, int inner_rings) {
    const float mean = inner_mean_width(widths, inner_rings);
    if (!(mean > 0.0f)) return 0;
    // A distance far beyond its core gives the largest offset an int holds
    // (the checks tell it), not a wrapped-around one.
    return static_cast<int>(std::lround(std::min(d2pith_mm / mean, 2147483520.0f)));
}

float measured_width(std::span<const float> widths) {
    float sum = 0.0f;
    for (const float w : widths) sum += w;
    return sum;
}

}  // namespace ruvela
