// Delimited text: any input is read without a crash into series that keep
// the rules, and what is read, written back with a value for every year of
// each series, reads the same.
// Input: the file.
#include <map>
#include <string>
#include <string_view>

#include "ring_file_check.hpp"
#include "ringio/delimited.hpp"

using namespace ruvela;

namespace {

std::string quoted(const std::string& id) {
    std::string out = "\"";
    for (char c : id) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string write_delimited(const RingFileReading& r) {
    std::string out = "Year";
    for (const RingSeries& s : r.series) {
        out += ';';
        out += quoted(s.id.whole());
    }
    out += "\n";
    // Year -> one cell per series; only the years some series has.
    std::map<int, std::vector<std::string>> rows;
    for (std::size_t i = 0; i < r.series.size(); ++i) {
        const RingSeries& s = r.series[i];
        for (std::size_t k = 0; k < s.widths.size(); ++k) {
            auto& row = rows[s.first_year + static_cast<int>(k)];
            row.resize(r.series.size());
            row[i] = fuzz::shortest(s.widths[k]);
        }
    }
    for (const auto& [year, cells] : rows) {
        out += std::to_string(year);
        for (const std::string& cell : cells) {
            out += ';';
            out += cell.empty() ? "NA" : cell;
        }
        out += "\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    detect_ring_format(text);
    const RingFileReading r = read_delimited(text);
    fuzz::check_reading(r);
    if (r.error || r.series.empty() || fuzz::ring_count(r) > fuzz::round_trip_rings) return 0;
    fuzz::check_same_series(r, read_delimited(write_delimited(r)));
    return 0;
}
