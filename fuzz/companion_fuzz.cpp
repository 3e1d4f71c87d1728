// Companion files: one pith offset (integer) or diameter (real) per line,
// read with the user's format as the run driver reads them, up to the end
// of the file or the first conversion error; and the same file read freely
// as each kind, the proportional method's table included.
// Input: one control byte (the kind), the format up to the first LF (cut or
// padded to the 30 characters of the answer), then the file.
#include <sstream>
#include <string>

#include "fuzz_check.hpp"
#include "fuzz_input.hpp"
#include "ringio/companion.hpp"
#include "ringio/readfmt.hpp"

using namespace ruvela;

namespace {

constexpr std::size_t format_length = 30;
constexpr int value_limit = 1002;  // one past the store's rows

template <typename T>
void read_file(const std::string& format, std::string_view file) {
    std::istringstream in{std::string(file)};
    LineReader lines(in);
    for (int n = 1; n <= value_limit; ++n) {
        T item{};
        const long before = lines.line_number();
        const ReadStatus status = read_formatted(lines, format, std::span<T>(&item, 1));
        if (status == ReadStatus::end_of_file) {
            std::string left;
            FUZZ_CHECK(!lines.next(left));
            return;
        }
        // One value is one line: the next value starts on the next line.
        if (status == ReadStatus::done) FUZZ_CHECK(lines.line_number() == before + 1);
        if (status == ReadStatus::conversion_error) return;
    }
}

// Free reading keeps within the limit and points at a line it read.
void read_freely(CompanionKind kind, std::string_view file) {
    std::istringstream in{std::string(file)};
    LineReader lines(in);
    const CompanionReading reading = read_companion(kind, free_format, lines, value_limit);
    FUZZ_CHECK(reading.values.size() <= static_cast<std::size_t>(value_limit) + 1);
    if (reading.fault)
        FUZZ_CHECK(reading.fault->line >= 1 && reading.fault->line <= lines.line_number());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const auto control = input.byte();
    const bool diameters = (control & 1) != 0;
    std::string format(input.line());
    format.resize(format_length, ' ');
    if (diameters)
        read_file<float>(format, input.rest());
    else
        read_file<int>(format, input.rest());
    read_freely(static_cast<CompanionKind>(1 + (control >> 1) % 4), input.rest());
    return 0;
}
