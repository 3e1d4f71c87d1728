// TRiDaS files: any input is read without a crash into series that keep
// the rules, and what is read, written back in millimetres with BC years
// for those before year 1, reads the same.
// Input: the file.
#include <climits>
#include <string>
#include <string_view>

#include "ring_file_check.hpp"
#include "ringio/tridas.hpp"

using namespace ruvela;

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::string first_year(int year) {
    if (year > 0 || year <= INT_MIN + 1)
        return "<firstYear suffix=\"AD\">" + std::to_string(year) + "</firstYear>";
    return "<firstYear suffix=\"BC\">" + std::to_string(1 - year) + "</firstYear>";
}

std::string write_tridas(const RingFileReading& r) {
    std::string out = "<?xml version=\"1.0\"?>\n<t:tridas xmlns:t=\"x\"><project>\n";
    for (const RingSeries& s : r.series) {
        out += "<measurementSeries><title>" + escaped(s.id.whole()) + "</title><interpretation>" +
               first_year(s.first_year) +
               "</interpretation>\n<values><variable normalTridas=\"ring width\"/>"
               "<unit normalTridas=\"millimetres\"/>\n";
        for (float w : s.widths) out += "<value value=\"" + fuzz::shortest(w) + "\"/>\n";
        out += "</values></measurementSeries>\n";
    }
    return out + "</project></t:tridas>\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    detect_ring_format(text);
    const RingFileReading r = read_tridas(text);
    fuzz::check_reading(r);
    if (r.error || fuzz::ring_count(r) > fuzz::round_trip_rings) return 0;
    fuzz::check_same_series(r, read_tridas(write_tridas(r)));
    return 0;
}
