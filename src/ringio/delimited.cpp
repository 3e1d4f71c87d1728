#include "ringio/delimited.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ringio/ring_values.hpp"
#include "text/fields.hpp"
#include "text/fixed_text.hpp"
#include "text/lines.hpp"

namespace ruvela {

namespace {

// Most rings the series of a file may hold together: missing years inside a
// series are read as zeros, which a file of a few rows could otherwise make
// by the billion. Far more than any store takes.
constexpr long long most_rings = 10000000;

// The cells of a row; nullopt when a quote is not closed or text follows a
// closing quote.
std::optional<std::vector<Field>> split_row(std::string_view row, char separator) {
    std::vector<Field> cells = split_fields(row, separator);
    for (const Field& cell : cells)
        if (!cell.well_formed) return std::nullopt;
    return cells;
}

bool names_year_column(std::string_view cell) {
    if (cell.empty()) return true;
    if (cell.size() != 4) return false;
    return lower_case(cell) == "year";
}

bool is_missing(const Field& cell) {
    if (cell.text.empty()) return true;
    if (cell.text == "NA") return true;
    return lower_case(cell.text) == "nan";
}

// Spreadsheets write the year column as numbers: "1850.0" is year 1850.
std::optional<int> year_of(std::string_view text) {
    if (const auto point = text.find('.'); point != std::string_view::npos) {
        if (text.find_first_not_of('0', point + 1) != std::string_view::npos) return std::nullopt;
        text = text.substr(0, point);
    }
    return whole_number(text);
}

bool all_empty(const std::vector<Field>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](const Field& c) { return c.text.empty(); });
}

struct Column {
    std::string id;
    std::vector<std::pair<int, float>> values;  // year, width
    int decimals = 0;                           // the most any value is written with
};

class DelimitedReader {
  public:
    explicit DelimitedReader(std::string_view content) : text_(without_byte_order_mark(content)) {}

    RingFileReading read() {
        if (auto error = read_header()) return std::move(*error);
        if (auto error = read_rows()) return std::move(*error);
        for (Column& c : columns_)
            if (auto error = take_series(c)) return std::move(*error);
        return std::move(series_).done();
    }

  private:
    std::optional<RingFileReading> read_header() {
        std::string line;
        while (lines_.next(line) && trim(line).empty()) {
        }
        header_line_ = lines_.line_number();
        const auto separator = delimited_separator(line);
        if (!separator) return read_error(header_line_, "no header row of delimited text");
        separator_ = *separator;
        auto cells = *split_row(line, separator_);
        // A trailing separator; a quoted empty cell names a series.
        while (cells.size() > 1 && cells.back().text.empty() && !cells.back().quoted)
            cells.pop_back();
        for (std::size_t k = 1; k < cells.size(); ++k) columns_.push_back({cells[k].text, {}});
        return std::nullopt;
    }

    std::optional<RingFileReading> read_rows() {
        std::string line;
        while (lines_.next(line)) {
            const long at = lines_.line_number();
            const auto cells = split_row(line, separator_);
            if (!cells) return read_error(at, "a quote not closed, or text after a closing quote");
            if (all_empty(*cells)) continue;
            const auto year = year_of((*cells)[0].text);
            if (!year)
                return read_error(at,
                                  "year " + quoted((*cells)[0].text) + " is not a whole number");
            if (const auto [it, fresh] = year_lines_.emplace(*year, at); !fresh)
                return read_error(at, "year " + std::to_string(*year) + " again (first on line " +
                                          std::to_string(it->second) + ")");
            for (std::size_t k = 1; k < cells->size(); ++k) {
                const Field& cell = (*cells)[k];
                if (k > columns_.size()) {
                    if (cell.text.empty()) continue;  // a trailing separator
                    return read_error(at, "a row with more cells than the header");
                }
                if (is_missing(cell)) continue;
                const auto w = width_in_mm(cell.text, millimetres);
                if (!w) return read_error(at, "value " + quoted(cell.text) + " is not a number");
                Column& column = columns_[k - 1];
                column.values.push_back({*year, *w});
                column.decimals =
                    std::max(column.decimals, written_decimals(cell.text, millimetres));
            }
        }
        return std::nullopt;
    }

    std::optional<RingFileReading> take_series(Column& c) {
        if (c.values.empty()) {
            series_.skip(c.id, header_line_, "no values");
            return std::nullopt;
        }
        std::sort(c.values.begin(), c.values.end());
        const int first = c.values.front().first;
        const int last = c.values.back().first;
        const long long span = static_cast<long long>(last) - first + 1;
        rings_ += span;
        if (rings_ > most_rings)
            return read_error(year_lines_.at(last),
                              "series " + quoted(c.id) + " runs from year " +
                                  std::to_string(first) + " to year " + std::to_string(last) +
                                  ": more rings than a file's series can have");
        std::vector<float> widths(static_cast<std::size_t>(span), 0.0f);
        for (const auto& [year, width] : c.values)
            widths[static_cast<std::size_t>(year - first)] = width;
        series_.keep(c.id, header_line_, first, std::move(widths), std::nullopt, c.decimals);
        for (std::size_t k = 1; k < c.values.size(); ++k) {
            const int before = c.values[k - 1].first;
            const int year = c.values[k].first;
            if (year - before > 1) series_.tell_gap(before + 1, year - 1);
        }
        return std::nullopt;
    }

    std::string text_;
    std::istringstream stream_{text_};
    LineReader lines_{stream_};
    long header_line_ = 0;
    char separator_ = ',';
    std::map<int, long> year_lines_;
    long long rings_ = 0;
    std::vector<Column> columns_;
    SeriesCollector series_;
};

}  // namespace

std::optional<char> delimited_separator(std::string_view header) {
    for (const char separator : {',', ';', '\t'}) {
        const auto cells = split_row(header, separator);
        if (cells && cells->size() >= 2 && names_year_column((*cells)[0].text)) return separator;
    }
    return std::nullopt;
}

bool starts_with_year(std::string_view row, char separator) {
    const auto cells = split_row(row, separator);
    return cells && !cells->empty() && year_of((*cells)[0].text).has_value();
}

RingFileReading read_delimited(std::string_view content) {
    return DelimitedReader(content).read();
}

}  // namespace ruvela
