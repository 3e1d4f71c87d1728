#include "ringio/tridas.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "ringio/ring_values.hpp"
#include "ringio/units.hpp"
#include "text/fixed_text.hpp"
#include "text/utf8.hpp"

namespace ruvela {

namespace {

std::string_view local_name(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child(const pugi::xml_node& node, std::string_view name) {
    for (const pugi::xml_node c : node.children())
        if (c.type() == pugi::node_element && local_name(c) == name) return c;
    return {};
}

// The text of an element without surrounding white space.
std::string text_of(const pugi::xml_node& node) {
    std::string_view text = node.text().get();
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

// What a variable or unit element names: its normalTridas attribute, else
// its normal attribute, else its text; the first of them that is not blank,
// without the blanks around it.
std::string normal_of(const pugi::xml_node& node) {
    for (const char* attribute : {"normalTridas", "normal"})
        if (const auto a = node.attribute(attribute); a && !trim(a.value()).empty())
            return std::string(trim(a.value()));
    return text_of(node);
}

// Whether a variable names the ring width: the standard's term, or the same
// in free text as people write it ("Total ring width", "ring-width", "Tree
// ring widths"), in any case, as the other readers of the format take it.
// Words are compared without the blanks, line ends, hyphens and underscores
// between them.
bool is_ring_width_variable(std::string_view variable) {
    std::string words;
    for (const char c : lower_case(variable))
        if (std::string_view(" \t\r\n-_").find(c) == std::string_view::npos) words += c;
    if (words.ends_with('s')) words.pop_back();
    for (const std::string_view prefix : {"", "total", "tree"})
        if (words.size() == prefix.size() + 9 && words.starts_with(prefix) &&
            words.ends_with("ringwidth"))
            return true;
    return false;
}

// A count of rings written as an element's text: a whole number not below zero.
std::optional<int> ring_count_of(const pugi::xml_node& node) {
    if (!node) return std::nullopt;
    const auto n = whole_number(text_of(node));
    if (!n || *n < 0) return std::nullopt;
    return n;
}

// The series' own woodCompleteness, else that of the radius it stands under.
pugi::xml_node wood_completeness(const pugi::xml_node& series) {
    if (const pugi::xml_node own = child(series, "woodCompleteness")) return own;
    const pugi::xml_node parent = series.parent();
    if (local_name(parent) == "radius") return child(parent, "woodCompleteness");
    return {};
}

// A dimensions unit as the scale that gives centimetres: the width unit of
// that name (in millimetres), a place further.
std::optional<WidthUnit> centimetres_per(const std::string& name) {
    const auto unit = unit_named(lower_case(name), &UnitName::tridas);
    if (!unit) return std::nullopt;
    return WidthUnit{unit->factor, unit->exponent - 1};
}

// The diameter of the tree or timber the series comes from: only an element
// holds dimensions, in the unit they name.
std::optional<float> diameter_cm_of(const pugi::xml_node& series) {
    pugi::xml_node e = series.parent();
    while (e && local_name(e) != "element") e = e.parent();
    const pugi::xml_node dimensions = child(e, "dimensions");
    const auto unit = centimetres_per(normal_of(child(dimensions, "unit")));
    if (!unit) return std::nullopt;
    const auto d = width_in_mm(text_of(child(dimensions, "diameter")), *unit);
    if (!d || !(*d > 0.0f)) return std::nullopt;
    return d;
}

// What the series' wood completeness says of its pith. A pith offset counts
// the rings missing to the pith: none beyond the unmeasured inner rings when
// the pith is there; else the missing heartwood rings plus those, when the
// missing ones are counted. A pith marked absent or unknown without a count
// gives no offset.
std::optional<PithInfo> pith_of(const pugi::xml_node& series) {
    PithInfo p;
    const pugi::xml_node wc = wood_completeness(series);
    const std::string presence = child(wc, "pith").attribute("presence").value();
    if (presence == "complete" || presence == "incomplete") p.present = true;
    if (presence == "absent") p.present = false;
    if (p.present) p.present_source = "pith presence=" + presence;
    const auto unmeasured = ring_count_of(child(wc, "nrOfUnmeasuredInnerRings"));
    const auto missing =
        ring_count_of(child(child(wc, "heartwood"), "missingHeartwoodRingsToPith"));
    const std::string unmeasured_name = unmeasured ? " + nrOfUnmeasuredInnerRings" : "";
    if (p.present == true) {
        p.offset = unmeasured.value_or(0);
        p.offset_source = p.present_source + unmeasured_name;
    } else if (missing && *missing <= INT_MAX - unmeasured.value_or(0)) {
        p.offset = *missing + unmeasured.value_or(0);
        p.offset_source = "missingHeartwoodRingsToPith" + unmeasured_name;
    }
    if (const auto d = diameter_cm_of(series)) {
        p.diameter_cm = d;
        p.diameter_source = "dimensions/diameter";
    }
    if (p == PithInfo{}) return std::nullopt;
    return p;
}

class TridasReader {
  public:
    explicit TridasReader(std::string_view content)
        : content_(content), line_ends_(line_ends_of(content)) {}

    RingFileReading read() {
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_buffer(
            content_.data(), content_.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!parsed)
            return read_error(line_at(parsed.offset),
                              std::string("malformed XML: ") + parsed.description());
        const pugi::xml_node root = doc.document_element();
        // Exchange tools write a single project as the whole document.
        if (local_name(root) != "tridas" && local_name(root) != "project")
            return read_error(
                line_at(root.offset_debug()),
                "root element <" + excerpt(root.name()) + ">, not <tridas> or <project>");
        // Document order without recursion: files may nest deeply.
        for (pugi::xml_node node = root.first_child(); node;) {
            const std::string_view name = local_name(node);
            const bool series = node.type() == pugi::node_element &&
                                (name == "measurementSeries" || name == "derivedSeries");
            if (series) {
                take_series(node, name == "derivedSeries");
            } else if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node && !node.next_sibling() && node != root) node = node.parent();
            if (!node || node == root) break;
            node = node.next_sibling();
        }
        return done(root);
    }

  private:
    // 1-based line of a byte offset: the line ends before it, found by
    // halving, as a file may hold tens of thousands of series.
    long line_at(std::ptrdiff_t offset) const {
        const auto at = static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0));
        const auto ends = std::lower_bound(line_ends_.begin(), line_ends_.end(), at);
        return 1 + static_cast<long>(ends - line_ends_.begin());
    }

    // Where lines end; LF, CRLF and a lone CR end lines.
    static std::vector<std::size_t> line_ends_of(std::string_view content) {
        std::vector<std::size_t> ends;
        for (std::size_t k = 0; k < content.size(); ++k)
            if (content[k] == '\n' ||
                (content[k] == '\r' && (k + 1 == content.size() || content[k + 1] != '\n')))
                ends.push_back(k);
        return ends;
    }

    static std::string id_of(const pugi::xml_node& series) {
        const pugi::xml_node title = child(series, "title");
        return text_of(title ? title : child(series, "identifier"));
    }

    void take_series(const pugi::xml_node& s, bool derived) {
        const std::string id = id_of(s);
        const long line = line_at(s.offset_debug());
        std::vector<float> widths;
        int first_year = 0;
        int decimals = 0;
        std::string why =
            derived ? "a derived series" : read_series(s, first_year, widths, decimals);
        if (!why.empty()) {
            series_.skip(id, line, why);
            if (!first_skip_) first_skip_ = Skip{id, line, std::move(why)};
            ++skipped_;
            return;
        }
        series_.keep(id, line, first_year, std::move(widths), pith_of(s), decimals);
        ++kept_;
    }

    // Why the series cannot be read, or nothing when it is read into
    // `first_year`, `widths` and the decimals they are written at.
    std::string read_series(const pugi::xml_node& s, int& first_year, std::vector<float>& widths,
                            int& decimals) const {
        const pugi::xml_node first = child(child(s, "interpretation"), "firstYear");
        if (!first) return "undated (no firstYear)";
        const auto year = whole_number(text_of(first));
        if (!year) return "firstYear " + quoted(text_of(first)) + " is not a whole number";
        const std::string suffix = first.attribute("suffix").value();
        long long year_ad = *year;
        if (suffix == "BC")
            year_ad = 1 - year_ad;
        else if (suffix == "BP")
            year_ad = 1950 - year_ad;
        else if (!suffix.empty() && suffix != "AD")
            return "firstYear suffix " + quoted(suffix) + " not known";
        if (year_ad < INT_MIN || year_ad > INT_MAX) return "years beyond any calendar";
        first_year = static_cast<int>(year_ad);

        std::vector<pugi::xml_node> ring_widths;
        std::string others;
        for (const pugi::xml_node v : s.children()) {
            if (v.type() != pugi::node_element || local_name(v) != "values") continue;
            if (!child(v, "value")) continue;  // an empty block holds no rings of any kind
            const std::string variable = normal_of(child(v, "variable"));
            if (is_ring_width_variable(variable))
                ring_widths.push_back(v);
            else
                others += (others.empty() ? "" : ", ") + variable;
        }
        if (ring_widths.size() > 1) return "more than one block of ring widths";
        if (ring_widths.empty())
            return others.empty() ? "no rings"
                                  : "no ring widths (values of: " + excerpt(others) + ")";
        const pugi::xml_node unit_node = child(ring_widths[0], "unit");
        const auto unit = unit_named(lower_case(normal_of(unit_node)), &UnitName::tridas);
        if (!unit)
            return unit_node ? "a unit not known (" + excerpt(normal_of(unit_node)) + ")"
                             : "no unit";
        for (const pugi::xml_node v : ring_widths[0].children()) {
            if (v.type() != pugi::node_element || local_name(v) != "value") continue;
            const std::string_view text = trim(v.attribute("value").value());
            const auto w = width_in_mm(text, *unit);
            if (!w)
                return "value " + quoted(text) + " on line " +
                       std::to_string(line_at(v.offset_debug())) + " is not a number";
            widths.push_back(*w);
            decimals = std::max(decimals, written_decimals(text, *unit));
        }
        return {};
    }

    // The series read, or the error of a file without any: a file that
    // gives no rings at all is not taken for one of no series.
    RingFileReading done(const pugi::xml_node& root) {
        if (kept_ > 0) return std::move(series_).done();
        if (!first_skip_) return read_error(line_at(root.offset_debug()), "no measurementSeries");
        return read_error(first_skip_->line, "no series can be read (" + std::to_string(skipped_) +
                                                 " skipped; the first, " +
                                                 kept_id(first_skip_->id) + ", " +
                                                 first_skip_->why + ")");
    }

    struct Skip {
        std::string id;
        long line = 0;
        std::string why;
    };

    std::string_view content_;
    std::vector<std::size_t> line_ends_;
    SeriesCollector series_;
    int kept_ = 0;
    int skipped_ = 0;
    std::optional<Skip> first_skip_;
};

bool is_xml_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The encoding that the XML declaration names, lower-cased; empty without one.
std::string declared_encoding(std::string_view content) {
    if (!content.starts_with("<?xml")) return {};
    const std::string_view declaration = content.substr(0, content.find("?>"));
    const auto name = declaration.find("encoding");
    if (name == std::string_view::npos) return {};
    std::string_view rest = declaration.substr(name + 8);
    const auto quote = rest.find_first_of("\"'");
    if (quote == std::string_view::npos || trim(rest.substr(0, quote)) != "=") return {};
    const char closing = rest[quote];
    rest.remove_prefix(quote + 1);
    return lower_case(rest.substr(0, rest.find(closing)));
}

// The parser takes UTF-8 (and UTF-16 and 32) as it is; Latin-1, which labs
// that write accented site names use, is converted first.
bool declares_latin1(std::string_view content) {
    const std::string encoding = declared_encoding(content);
    for (const std::string_view name : {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1",
                                        "latin-1", "l1", "iso-ir-100", "cp819", "ibm819"})
        if (encoding == name) return true;
    return false;
}

}  // namespace

bool looks_like_tridas(std::string_view content) {
    std::string_view rest = without_byte_order_mark(content);
    const auto skip_blanks = [&] {
        while (!rest.empty() && is_xml_blank(rest.front())) rest.remove_prefix(1);
    };
    skip_blanks();
    if (rest.starts_with("<?xml") && rest.size() > 5 && is_xml_blank(rest[5])) return true;
    // Comments and declarations before the first element.
    while (rest.starts_with("<!") || rest.starts_with("<?")) {
        const std::string_view close = rest.starts_with("<!--") ? "-->" : ">";
        const auto end = rest.find(close);
        if (end == std::string_view::npos) return false;
        rest.remove_prefix(end + close.size());
        skip_blanks();
    }
    if (!rest.starts_with('<')) return false;
    rest.remove_prefix(1);
    const auto end = rest.find_first_of(" \t\r\n/>");
    const std::string_view name = rest.substr(0, end);
    const auto colon = name.rfind(':');
    const std::string_view local = colon == std::string_view::npos ? name : name.substr(colon + 1);
    return local == "tridas" || local == "project";
}

RingFileReading read_tridas(std::string_view content) {
    if (!declares_latin1(content)) return TridasReader(content).read();
    const std::string utf8 = latin1_to_utf8(content);
    return TridasReader(utf8).read();
}

}  // namespace ruvela
