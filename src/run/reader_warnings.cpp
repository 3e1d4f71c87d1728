#include "run/reader_warnings.hpp"

#include <charconv>
#include <map>

#include "ringio/series_checks.hpp"
#include "ringio/trrw.hpp"
#include "run/warning_text.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "text/utf8.hpp"

namespace ruvela {

namespace {

std::string number(long value) {
    return std::to_string(value);
}

// A width as the user measured it: millimetres to the thousandth.
std::string millimetres(float value) {
    char digits[64];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 3);
    return std::string(digits, end.ptr) + " mm";
}

// An ID without its trailing blanks; one of blanks only is still shown.
std::string id_or_blank(std::string_view id) {
    const std::string_view shown = trim_right(id);
    return shown.empty() ? "(blank)" : std::string(shown);
}

std::string plural(int count, std::string_view one, std::string_view many) {
    return number(count) + " " + std::string(count == 1 ? one : many);
}

// The start of a file's line quoted on one console line: tabs become
// blanks and other control characters '?', and a character of several bytes
// is never cut.
std::string quoted_start(std::string_view line) {
    std::string shown;
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        shown += c == '\t' ? ' ' : (u < 0x20 || u == 0x7F) ? '?' : c;
    }
    shown.resize(trim_right(shown).size());
    return quoted(utf8_prefix(shown, quoted_length));
}

std::string not_decade_format(const Finding& f, const std::string& head) {
    std::string text = head + " does not look like a decade-format ring-width file (";
    text += f.line > 0 ? "reading stopped at line " + number(f.line) + ": more than " +
                             number(max_text_lines) + " text lines)"
                       : "no series found)";
    if (f.text.empty()) return text + "; it holds no text";
    return text + "; its first line: " + quoted_start(f.text);
}

// What the findings of `kind` past the listed ones are about.
std::string_view untold_kind(FindingKind kind) {
    switch (kind) {
        case FindingKind::year_out_of_sequence:
            return "with a decade line missing or repeated";
        case FindingKind::id_changed:
            return "whose end marker is probably missing";
        case FindingKind::negative_widths:
            return "with negative ring widths";
        case FindingKind::empty_series:
            return "without rings";
        case FindingKind::series_unended:
            return "without an end marker, not read";
        case FindingKind::id_cut:
            return "whose IDs are cut";
        case FindingKind::duplicate_id:
            return "with the ID of an earlier series";
        case FindingKind::series_skipped:
            return "skipped";
        case FindingKind::gap_read_as_zero:
            return "with missing rings read as zero width";
        case FindingKind::mean_width_implausible:
            return "with an implausible mean ring width";
        case FindingKind::point_order_reversed:
            return "whose points go back against the core";
        case FindingKind::pith_off_core_line:
            return "whose pith lies off the core's line";
        case FindingKind::not_decade_format:
        case FindingKind::tabs_between_fields:
        case FindingKind::id_not_utf8:
            break;  // once a file
    }
    return "with the same kind of warning";
}

}  // namespace

std::string untold_warnings_text(FindingKind kind, int untold, std::string_view file) {
    if (kind == FindingKind::negative_widths)
        return "File " + std::string(file) + ": " +
               plural(untold, "more series holds", "more series hold") + " negative ring widths";
    return "File " + std::string(file) + ": " + plural(untold, "more series", "more series") + " " +
           std::string(untold_kind(kind));
}

std::string reader_warning_text(const Finding& f, std::string_view file) {
    const std::string head = "File " + std::string(file);
    // A finding of no line (an ID from a file's name) names the file alone.
    const std::string at_line = f.line > 0 ? ruvela::at_line(file, f.line) : head + ": ";
    const std::string series = id_or_blank(f.series);
    const std::string of_series = head + ", series " + series + ": ";
    switch (f.kind) {
        case FindingKind::year_out_of_sequence:
            return at_line + "series " + series + " has year " + number(f.year) + " where " +
                   number(f.expected_year) + " comes next; a decade line is missing or repeated";
        case FindingKind::id_changed:
            return at_line + "a line of " + id_or_blank(f.other_id) + " is read into series " +
                   series + "; the end marker of " + series + " is probably missing";
        case FindingKind::negative_widths:
            return of_series + plural(f.count, "negative ring width", "negative ring widths") +
                   ", the first in " + number(f.year) + ": " + millimetres(f.value) +
                   " (a code for a missing value?)";
        case FindingKind::empty_series:
            return of_series + "no rings; its end marker follows its first year " + number(f.year);
        case FindingKind::not_decade_format:
            return not_decade_format(f, head);
        case FindingKind::series_unended:
            return at_line + "series " + series + ", from year " + number(f.year) +
                   ", has no end marker before the end of the file and is not read";
        case FindingKind::id_cut:
            return at_line + "ID " + std::string(trim_right(f.other_id)) + " is cut to " +
                   number(static_cast<long>(id_length)) + " characters in the fixed-width tables: " +
                   series + " (the CSV tables keep it whole)";
        case FindingKind::duplicate_id:
            return at_line + "a second series with ID " + series;
        case FindingKind::series_skipped:
            return at_line + "series " + series + " is skipped: " + f.text;
        case FindingKind::gap_read_as_zero:
            return of_series + plural(f.count, "missing ring", "missing rings") +
                   (f.year == f.expected_year
                        ? " in " + number(f.year)
                        : " between " + number(f.year) + " and " + number(f.expected_year)) +
                   " read as zero width";
        case FindingKind::mean_width_implausible:
            return of_series + "mean ring width " + millimetres(f.value) +
                   (f.value > widest_plausible_mean_width
                        ? " is above " + shortest_text(widest_plausible_mean_width) +
                              " mm; are the widths in hundredths of a millimetre?"
                        : " is below " + shortest_text(narrowest_plausible_mean_width) +
                              " mm; are the widths in thousandths of a millimetre, or in "
                              "another unit than the file says?");
        case FindingKind::tabs_between_fields:
            return at_line + plural(f.count, "line separates", "lines separate") +
                   " its ID, year and values by tabs; they are read by these fields, not by "
                   "the columns of the decade format";
        case FindingKind::point_order_reversed:
            return at_line + "series " + series + ": " +
                   plural(f.count, "step between points goes", "steps between points go") +
                   " back against the core's direction; the points may be out of order";
        case FindingKind::pith_off_core_line:
            return at_line + "series " + series + ": the pith, " + millimetres(f.value) +
                   " from the innermost point, lies " + f.text;
        case FindingKind::id_not_utf8:
            return at_line + "ID " + series +
                   " is not UTF-8 text; each byte of it that is not is shown as '?'" +
                   (f.count > 1 ? " (" + number(f.count) + " IDs of the file)" : "");
    }
    return head;
}

void write_reader_warnings(Console& con, std::string_view file, std::span<const Finding> findings) {
    // Each kind is told listed_warnings times, then counted: a file of
    // thousands of series with one damage would otherwise bury the console.
    std::map<FindingKind, ListedWarnings> of_kind;
    for (const Finding& f : findings)
        if (of_kind[f.kind].take()) write_warning(con, reader_warning_text(f, file));
    for (const auto& [kind, listed] : of_kind)
        if (listed.untold() > 0) write_warning(con, untold_warnings_text(kind, listed.untold(), file));
}

}  // namespace ruvela
