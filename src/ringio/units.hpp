// The units of ring widths: the decade format's two precisions as widths in
// millimetres, and the units the other formats name. Every reader converts
// integer hundredths and thousandths through these, so that the same rings
// give the same floats whatever file they come from.
#pragma once

#include <optional>
#include <string_view>

namespace ruvela {

// A unit of ring values: a value times `factor` times ten to `exponent` is
// the width in millimetres. Factors 2 and 5 give fiftieths and twentieths
// exactly in decimal.
struct WidthUnit {
    int factor = 1;
    int exponent = -2;
    friend bool operator==(const WidthUnit&, const WidthUnit&) = default;
};

inline constexpr WidthUnit hundredths{1, -2};
inline constexpr WidthUnit thousandths{1, -3};
inline constexpr WidthUnit tenths{1, -1};
inline constexpr WidthUnit fiftieths{2, -2};
inline constexpr WidthUnit twentieths{5, -2};
inline constexpr WidthUnit millimetres{1, 0};
inline constexpr WidthUnit centimetres{1, 1};
inline constexpr WidthUnit metres{1, 3};
inline constexpr WidthUnit inches{254, -1};

// A unit's names as the formats write them, lower-cased; Heidelberg's
// without blanks, since files write "1/100 mm" and "1/100mm" alike. Empty
// where the format has no such name.
struct UnitName {
    WidthUnit unit;
    std::string_view heidelberg;
    std::string_view tridas;
};

inline constexpr UnitName unit_names[] = {
    {hundredths, "1/100mm", "1/100th millimetres"},
    {hundredths, "0.01mm", ""},
    {thousandths, "1/1000mm", "1/1000th millimetres"},
    {thousandths, "0.001mm", "micrometres"},
    {tenths, "1/10mm", "1/10th millimetres"},
    {tenths, "0.1mm", ""},
    {fiftieths, "1/50mm", "1/50th millimetres"},
    {twentieths, "1/20mm", "1/20th millimetres"},
    {millimetres, "mm", "millimetres"},
    {millimetres, "1mm", ""},
    {centimetres, "", "centimetres"},
    {metres, "", "metres"},
};

// The unit of a name as written by the format that `written` picks
// (&UnitName::heidelberg or &UnitName::tridas); nullopt for a name the
// format does not use, the empty one among them.
inline std::optional<WidthUnit> unit_named(std::string_view name,
                                           std::string_view UnitName::*written) {
    if (name.empty()) return std::nullopt;
    for (const UnitName& u : unit_names)
        if (u.*written == name) return u.unit;
    return std::nullopt;
}

// The units a companion table's column name may give its values in, as
// written lower-cased ("dbh_mm", "DBH (cm)", "d2pith [in]"), with the words
// a message names them by.
struct ColumnUnit {
    std::string_view name;
    WidthUnit unit;
    std::string_view words;
};

inline constexpr ColumnUnit column_units[] = {
    {"mm", millimetres, "millimetres"}, {"millimetres", millimetres, "millimetres"},
    {"millimeters", millimetres, "millimetres"}, {"cm", centimetres, "centimetres"},
    {"centimetres", centimetres, "centimetres"}, {"centimeters", centimetres, "centimetres"},
    {"m", metres, "metres"}, {"metres", metres, "metres"}, {"meters", metres, "metres"},
    {"in", inches, "inches"}, {"inch", inches, "inches"}, {"inches", inches, "inches"},
};

// Words after a column name that are units, but none that a companion
// value is read in: told as such rather than taken for part of the name.
inline constexpr std::string_view other_unit_names[] = {
    "um", "\xc2\xb5m", "micrometres", "micrometers", "dm", "km", "ft", "feet", "foot", "yd"};

// Words after a pith offset's column name that are its own unit: rings.
inline constexpr std::string_view ring_count_names[] = {"rings", "years", "yrs", "yr", "n"};

inline const ColumnUnit* column_unit_named(std::string_view name) {
    for (const ColumnUnit& u : column_units)
        if (u.name == name) return &u;
    return nullptr;
}

// The scale that turns a value in `from` into one in `to`, for width_in_mm
// (ring_values.hpp); `to` is millimetres or centimetres.
inline constexpr WidthUnit scale_between(WidthUnit from, WidthUnit to) {
    return {from.factor, from.exponent - to.exponent};
}

inline float hundredths_to_mm(int value) {
    return static_cast<float>(value) * 0.01f;
}

// A decade-format series' values are read as hundredths; when its end marker
// shows thousandths they are scaled once more. Two single-precision steps,
// kept as they are because the tables of stored files depend on these exact
// floats.
inline float hundredths_read_as_thousandths(float width) {
    return width * 0.1f;
}

inline float thousandths_to_mm(int value) {
    return hundredths_read_as_thousandths(hundredths_to_mm(value));
}

// Ring widths are in mm, radii and diameters in cm.
inline float mm_to_cm(float width) {
    return width / 10.0f;
}
inline float cm_to_mm(float length) {
    return length * 10.0f;
}

// The tables keep basal areas in dm2 (cm2 / 100), as the per-file and
// summary tables print them, and increments in cm2. A stored area and its
// value in cm2 are one single-precision step apart, the same step wherever it
// is taken.
inline float cm2_to_dm2(float area_cm2) {
    return area_cm2 / 100.0f;
}
inline float dm2_to_cm2(float area_dm2) {
    return area_dm2 * 100.0f;
}

}  // namespace ruvela
