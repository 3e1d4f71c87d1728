#include "ringio/decade.hpp"

#include <map>
#include <optional>
#include <vector>

#include "ringio/ring_values.hpp"
#include "ringio/trrw.hpp"
#include "text/fixed_text.hpp"
#include "text/numfmt.hpp"
#include "text/utf8.hpp"

namespace ruvela {

namespace {

// A decade line whose ID, year and values are separated by tabs, as a
// spreadsheet writes it: the same line in the format's columns. nullopt for
// any other line, which is read as it stands.
std::optional<std::string> line_of_tab_fields(std::string_view line) {
    if (line.find('\t') == std::string_view::npos) return std::nullopt;
    std::vector<std::string_view> fields;
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t end = std::min(line.find('\t', at), line.size());
        const std::string_view field = trim(line.substr(at, end - at));
        if (!field.empty()) fields.push_back(field);
        at = end + 1;
    }
    if (fields.size() < 3 || fields.size() > 12 || fields[0].size() > id_length)
        return std::nullopt;
    std::string columns;
    put_text(columns, fields[0], static_cast<int>(id_length));
    for (std::size_t k = 1; k < fields.size(); ++k) {
        const auto value = whole_number(fields[k]);
        const int width = k == 1 ? 4 : 6;
        if (!value || int_field(*value, width).find('*') != std::string::npos) return std::nullopt;
        put_int(columns, *value, width);
    }
    return columns;
}

// The content with every line of tab-separated fields put in columns; the
// content itself when there is none.
std::string_view in_columns(std::string_view content, std::string& rebuilt,
                            std::vector<Finding>& findings) {
    if (content.find('\t') == std::string_view::npos) return content;
    Finding tabs{.kind = FindingKind::tabs_between_fields};
    long line_number = 0;
    for (std::size_t at = 0; at < content.size();) {
        const std::size_t end = std::min(content.find('\n', at), content.size());
        std::string_view line = content.substr(at, end - at);
        const bool cr = line.ends_with('\r');
        if (cr) line.remove_suffix(1);
        ++line_number;
        if (const auto columns = line_of_tab_fields(line)) {
            if (tabs.count++ == 0) tabs.line = line_number;
            rebuilt += *columns;
        } else {
            rebuilt += line;
        }
        if (cr) rebuilt += '\r';
        if (end < content.size()) rebuilt += '\n';
        at = end + 1;
    }
    if (tabs.count == 0) return content;
    findings.push_back(tabs);
    return rebuilt;
}

// IDs as the tables can show them; the first repaired one is told, with
// the number of them.
void repair_ids(RingFileReading& reading, const std::vector<long>& first_lines) {
    Finding repaired{.kind = FindingKind::id_not_utf8};
    for (std::size_t k = 0; k < reading.series.size(); ++k) {
        RingSeries& series = reading.series[k];
        std::string id = series.id.whole();
        if (!repair_utf8(id)) continue;
        series.id = SeriesId(id, series.id.whole());
        if (repaired.count++ > 0) continue;
        repaired.series = id;
        repaired.line = first_lines[k];
    }
    if (repaired.count > 0) reading.findings.push_back(repaired);
}

void keep_lines(RingFileReading& reading, ConsoleLines& console, int series) {
    for (std::string& text : console) reading.lines.push_back({series, std::move(text)});
    console.clear();
}

}  // namespace

RingFileReading read_decade(std::string_view file_content, std::size_t max_rings) {
    std::vector<Finding> findings;
    std::string rebuilt;
    const std::string_view content =
        in_columns(without_byte_order_mark(file_content), rebuilt, findings);
    LineReader lines(content);
    DecadeFile file(lines);
    std::vector<float> values(max_rings);
    std::vector<int> counts(max_rings);
    SeriesArgs args;
    args.values = values;
    args.counts = counts;
    RingFileReading reading;
    ConsoleLines console;
    std::map<std::string, long, std::less<>> line_of_id;
    std::vector<long> first_lines;
    for (;;) {
        const TrrwOutcome outcome = read_decade_series(file, TrrwMode::mr, args, nullptr, console);
        keep_lines(reading, console, static_cast<int>(reading.series.size()) + 1);
        if (outcome == TrrwOutcome::too_many_text_lines) {
            reading.error_line =
                "Sbr TRRW:  Over " + std::to_string(max_text_lines) + " text lines";
            break;
        }
        if (args.series_seq == end_of_file_signal) break;
        const auto rings = values.begin() + args.value_count;
        reading.series.push_back(
            {args.series_id, args.first_year, {values.begin(), rings}, {}, args.width_decimals});
        reading.width_findings_at.push_back(findings.size() + file.findings.size());
        first_lines.push_back(args.first_line);
        if (!line_of_id.emplace(trim_right(args.series_id), args.first_line).second)
            file.findings.push_back({.kind = FindingKind::duplicate_id,
                                     .line = args.first_line,
                                     .series = args.series_id});
        if (outcome == TrrwOutcome::too_long) {
            reading.last_series_too_long = true;
            break;
        }
    }
    reading.findings = std::move(findings);
    reading.findings.insert(reading.findings.end(), file.findings.begin(), file.findings.end());
    repair_ids(reading, first_lines);
    return reading;
}

}  // namespace ruvela
