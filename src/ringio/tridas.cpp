#include "ringio/tridas.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "ringio/ring_values.hpp"
#include "text/fixed_text.hpp"

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

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The text of an element without surrounding white space.
std::string text_of(const pugi::xml_node& node) {
    std::string_view text = node.text().get();
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

// What a variable or unit element names: its normalTridas attribute, else
// its normal attribute, else its text.
std::string normal_of(const pugi::xml_node& node) {
    for (const char* attribute : {"normalTridas", "normal"})
        if (const auto a = node.attribute(attribute)) return a.value();
    return text_of(node);
}

std::optional<WidthUnit> unit_named(const std::string& name) {
    const std::pair<std::string_view, WidthUnit> units[] = {{"micrometres", thousandths},
                                                            {"1/1000th millimetres", thousandths},
                                                            {"1/100th millimetres", hundredths},
                                                            {"1/50th millimetres", fiftieths},
                                                            {"1/20th millimetres", twentieths},
                                                            {"1/10th millimetres", tenths},
                                                            {"millimetres", millimetres},
                                                            {"centimetres", centimetres},
                                                            {"metres", metres}};
    const std::string n = lower(name);
    for (const auto& [unit_name, unit] : units)
        if (n == unit_name) return unit;
    return std::nullopt;
}

class TridasReader {
  public:
    explicit TridasReader(std::string_view content) : content_(content) {}

    RingFileReading read() {
        pugi::xml_document doc;
        const pugi::xml_parse_result parsed = doc.load_buffer(
            content_.data(), content_.size(), pugi::parse_default, pugi::encoding_utf8);
        if (!parsed)
            return read_error(line_at(parsed.offset),
                              std::string("malformed XML: ") + parsed.description());
        const pugi::xml_node root = doc.document_element();
        if (local_name(root) != "tridas")
            return read_error(line_at(root.offset_debug()),
                              "root element <" + std::string(root.name()) + ">, not <tridas>");
        // Document order without recursion: files may nest deeply.
        for (pugi::xml_node node = root.first_child(); node;) {
            const std::string_view name = local_name(node);
            const bool series = node.type() == pugi::node_element &&
                                (name == "measurementSeries" || name == "derivedSeries");
            if (series) {
                if (name == "derivedSeries")
                    series_.skip(id_of(node), line_at(node.offset_debug()), "a derived series");
                else if (auto error = take_series(node))
                    return std::move(*error);
            } else if (node.first_child()) {
                node = node.first_child();
                continue;
            }
            while (node && !node.next_sibling() && node != root) node = node.parent();
            if (!node || node == root) break;
            node = node.next_sibling();
        }
        return std::move(series_).done();
    }

  private:
    // 1-based line of a byte offset; LF, CRLF and a lone CR end lines.
    long line_at(std::ptrdiff_t offset) const {
        const auto end = static_cast<std::size_t>(
            std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(content_.size())));
        long line = 1;
        for (std::size_t k = 0; k < end; ++k)
            if (content_[k] == '\n' ||
                (content_[k] == '\r' && (k + 1 == content_.size() || content_[k + 1] != '\n')))
                ++line;
        return line;
    }

    static std::string id_of(const pugi::xml_node& series) {
        const pugi::xml_node title = child(series, "title");
        return text_of(title ? title : child(series, "identifier"));
    }

    std::optional<RingFileReading> take_series(const pugi::xml_node& s) {
        const std::string id = id_of(s);
        const long line = line_at(s.offset_debug());
        const pugi::xml_node first = child(child(s, "interpretation"), "firstYear");
        if (!first) {
            series_.skip(id, line, "undated (no firstYear)");
            return std::nullopt;
        }
        const auto year = whole_number(text_of(first));
        if (!year)
            return read_error(line_at(first.offset_debug()),
                              "firstYear \"" + text_of(first) + "\" is not a whole number");
        const std::string suffix = first.attribute("suffix").value();
        long long first_year = *year;
        if (suffix == "BC")
            first_year = 1 - first_year;
        else if (suffix == "BP")
            first_year = 1950 - first_year;
        else if (!suffix.empty() && suffix != "AD")
            return read_error(line_at(first.offset_debug()),
                              "firstYear suffix \"" + suffix + "\" not known");
        if (first_year < INT_MIN || first_year > INT_MAX)
            return read_error(line_at(first.offset_debug()), "years beyond any calendar");

        std::vector<pugi::xml_node> ring_widths;
        std::string others;
        for (const pugi::xml_node v : s.children()) {
            if (v.type() != pugi::node_element || local_name(v) != "values") continue;
            const std::string variable = normal_of(child(v, "variable"));
            if (lower(variable) == "ring width")
                ring_widths.push_back(v);
            else
                others += (others.empty() ? "" : ", ") + variable;
        }
        if (ring_widths.size() != 1) {
            series_.skip(id, line,
                         ring_widths.empty() ? "no ring widths (values of: " + others + ")"
                                             : "more than one block of ring widths");
            return std::nullopt;
        }
        const pugi::xml_node unit_node = child(ring_widths[0], "unit");
        const auto unit = unit_named(normal_of(unit_node));
        if (!unit) {
            series_.skip(id, line,
                         unit_node ? "a unit not known (" + normal_of(unit_node) + ")" : "no unit");
            return std::nullopt;
        }
        std::vector<float> widths;
        for (const pugi::xml_node v : ring_widths[0].children()) {
            if (v.type() != pugi::node_element || local_name(v) != "value") continue;
            const std::string text(trim(v.attribute("value").value()));
            const auto w = width_in_mm(text, *unit);
            if (!w)
                return read_error(line_at(v.offset_debug()),
                                  "value \"" + text + "\" is not a number");
            widths.push_back(*w);
        }
        if (widths.empty()) {
            series_.skip(id, line, "no rings");
            return std::nullopt;
        }
        series_.keep(id, line, static_cast<int>(first_year), std::move(widths));
        return std::nullopt;
    }

    std::string_view content_;
    SeriesCollector series_;
};

bool is_xml_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
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
    return (colon == std::string_view::npos ? name : name.substr(colon + 1)) == "tridas";
}

RingFileReading read_tridas(std::string_view content) {
    return TridasReader(content).read();
}

}  // namespace ruvela
