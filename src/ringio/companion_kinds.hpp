// The kinds of companion file: what each gives a series, how it is read, how
// it is listed and how it turns ring widths into radii. Every fact of a kind
// lives in its entry of one table (companion_kinds.cpp); adding a kind is
// adding an entry. What makes a value implausible beside its series is
// checked in one place for every kind: run/value_checks.hpp.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ruvela {

// What the companion files of a run hold. The dialogue offers the first two
// by these numbers; the others are given on the command line.
enum class CompanionKind { pith = 1, diameter = 2, d2pith = 3, proportional = 4 };

// What the companion file gives one series. The kind decides which of the
// fields is read and which rule turns it into radii.
struct CompanionRecord {
    int pith_offset = 0;       // rings missing to the pith
    float diameter_cm = 0.0f;  // the stem's diameter at the last measured ring
    float d2pith_mm = 0.0f;    // distance from the innermost measured ring to the pith
    float bark_mm = 0.0f;      // the bark's thickness, when the diameter is over the bark
};

// One value of a record, as a companion file writes it.
enum class CompanionField { pith_offset, d2pith, diameter, bark };
inline constexpr CompanionField all_companion_fields[] = {
    CompanionField::pith_offset, CompanionField::d2pith, CompanionField::diameter,
    CompanionField::bark};
inline constexpr std::size_t companion_field_count = std::size(all_companion_fields);

// The range a table gives a record's values, field by field (columns such
// as d2pith_low and d2pith_high): nothing where it gives none.
struct ValueBounds {
    std::array<std::optional<float>, companion_field_count> low{}, high{};

    std::optional<float>& end(CompanionField field, bool high_end) {
        return (high_end ? high : low)[static_cast<std::size_t>(field)];
    }
    const std::optional<float>& end(CompanionField field, bool high_end) const {
        return (high_end ? high : low)[static_cast<std::size_t>(field)];
    }
};

// The record's value of `field`, a pith offset as a float.
float value_of(const CompanionRecord& record, CompanionField field);
// Sets `field` of `record` to `value` (a pith offset a whole number).
void set_value(CompanionRecord& record, CompanionField field, float value);
// Sets `field` of `to` to that of `from`.
void copy_field(CompanionRecord& to, const CompanionRecord& from, CompanionField field);

struct CompanionFieldInfo {
    CompanionField field;
    std::string_view words;  // "the pith offset", as messages name it
    bool whole;              // a whole number of rings, not a real
    // Column names a header may give it, matched lower case with "." "-" and
    // blanks as "_"; each may carry a unit after it or in brackets ("dbh_cm",
    // "DBH (mm)"), read in that unit.
    std::span<const std::string_view> column_names;
    std::string_view unit;            // "mm", "cm", or empty
    std::string_view missing_column;  // "pith offset column (pith_offset or po)"
};

const CompanionFieldInfo& field_info(CompanionField field);

// How a kind turns widths into radii: the radius at the end of the last
// year (cm), and how much radius a width stands for (1 but for the
// proportional method). Multiplying by 1 changes no float, so the other
// kinds walk inward exactly as without a scale.
struct RadiusRule {
    float outer = 0.0f;
    float scale = 1.0f;
};

// Which element a read format must not use for the kind's value.
enum class ValueElement { any, whole, real };

struct CompanionKindInfo {
    CompanionKind kind;
    std::string_view name;  // after --kind
    std::string_view description;  // "rings missing to the pith", for the help
    int menu_answer;               // its answer in the dialogue's menu; 0: not offered there
    std::string_view menu_text;    // "Pith Estimate only"
    // The fields its files give, in the order a table lists them. A kind of
    // more than one field is a table whose rows name their series.
    std::span<const CompanionField> fields;
    // Of them, those a table may leave out: its ring-width files give them.
    std::span<const CompanionField> fields_from_files;
    // Fields read where a table's header names them, 0 otherwise.
    std::span<const CompanionField> optional_fields;
    ValueElement format_element;
    std::string_view format_advice;  // why a format of the other element cannot read it
    std::string_view listing_heading;
    // The listing's value columns of one series.
    void (*put_listing)(const CompanionRecord& record, std::string& row);
    // The rule for a series of these widths (mm, oldest first).
    RadiusRule (*radius_rule)(const CompanionRecord& record, std::span<const float> widths);
    // Where the area of a ring of `width` mm, `before` mm of rings inside
    // it, on a core of `measured` mm, is largest for a value between the
    // records low and high, when that is inside them rather than at an end;
    // nullptr for a kind whose ring areas are monotone in its values.
    std::optional<CompanionRecord> (*ring_area_peak)(const CompanionRecord& low,
                                                     const CompanionRecord& high, float measured,
                                                     float before, float width);

    bool gives(CompanionField field) const;
    bool may_come_from_files(CompanionField field) const;
    bool takes(CompanionField field) const;  // one of fields or optional_fields
    bool is_table() const { return fields.size() > 1; }
    CompanionField value_field() const { return fields.front(); }
};

const CompanionKindInfo& kind_info(CompanionKind kind);
std::span<const CompanionKindInfo> companion_kinds();
std::optional<CompanionKind> kind_named(std::string_view name);
std::optional<CompanionKind> kind_of_menu_answer(int answer);
// "pith, diameter, d2pith or proportional"
std::string kind_names();

// The sum of a series' widths in mm: the measured radius.
float measured_width(std::span<const float> widths);

// Half the diameter less the bark: the wood's radius, in cm.
float wood_radius(const CompanionRecord& record);

// The innermost rings a pith offset is estimated from, unless the user
// names another number: the field's tools take about ten.
inline constexpr int default_inner_rings = 10;

// The mean width of the `inner_rings` innermost rings, all of them when the
// series has fewer (mm); 0 without rings.
float inner_mean_width(std::span<const float> widths, int inner_rings);

// The rings missing to the pith as the field's tools estimate them: the
// distance to the pith over the mean width of the `inner_rings` innermost
// rings, rounded to a whole ring; 0 without rings or width.
int estimated_pith_offset(float d2pith_mm, std::span<const float> widths, int inner_rings);

}  // namespace ruvela
