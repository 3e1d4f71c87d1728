// Heidelberg files: any input is read without a crash into series that keep
// the rules, and what is read, written back in millimetres, reads the same.
// Input: the file.
#include <string>
#include <string_view>

#include "ring_file_check.hpp"
#include "ringio/heidelberg.hpp"

using namespace ruvela;

namespace {

std::string write_heidelberg(const RingFileReading& r) {
    std::string out;
    for (const RingSeries& s : r.series) {
        out += "HEADER:\nKeyCode=" + s.id.whole() + "\nDateBegin=" + std::to_string(s.first_year) +
               "\nLength=" + std::to_string(s.widths.size()) + "\nUnit=mm\nDATA:Tree\n";
        for (float w : s.widths) out += fuzz::shortest(w) + ";\n";
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    detect_ring_format(text);
    const RingFileReading r = read_heidelberg(text);
    fuzz::check_reading(r);
    if (r.error || fuzz::ring_count(r) > fuzz::round_trip_rings) return 0;
    fuzz::check_same_series(r, read_heidelberg(write_heidelberg(r)));
    return 0;
}
