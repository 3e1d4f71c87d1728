// Run-time read formats: a random format text read over random lines.
// Input: one control byte (item kind and count), the format up to the first
// LF, then the data lines.
#include <array>
#include <cmath>
#include <span>
#include <sstream>
#include <string>

#include "fuzz_check.hpp"
#include "fuzz_input.hpp"
#include "ringio/readfmt.hpp"

using namespace ruvela;

namespace {

template <typename T>
void read_items(std::string_view format, std::string_view data, std::size_t count) {
    std::array<T, 15> storage{};
    std::fill(storage.begin(), storage.end(), T{7});
    const std::span<T> items(storage.data(), count);
    std::istringstream in{std::string(data)};
    LineReader lines(in);
    ReadReport report;
    const ReadStatus status = read_formatted(lines, format, items, &report);

    const auto parsed = parse_read_format(format);
    if (!parsed) FUZZ_CHECK(status == ReadStatus::conversion_error && lines.line_number() == 0);
    // Every pass over a line stores at least one item: no format can read
    // more lines than items, whatever its repeat counts.
    if (count > 0)
        FUZZ_CHECK(lines.line_number() <= static_cast<long>(count));
    else
        FUZZ_CHECK(lines.line_number() == 0);
    // A conversion error on a line is always told with its field.
    FUZZ_CHECK(report.bad_field.has_value() ==
               (status == ReadStatus::conversion_error && lines.line_number() > 0));
    if (report.bad_field) FUZZ_CHECK(report.bad_field->line == lines.line_number());
    // Items never read are 0, never left as they were.
    for (std::size_t i = count; i < storage.size(); ++i) FUZZ_CHECK(storage[i] == T{7});
    if constexpr (std::is_same_v<T, float>)
        for (const float v : items) FUZZ_CHECK(!std::isnan(v));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::uint8_t control = input.byte();
    const std::size_t count = (control >> 1) % 16;
    const std::string_view format = input.line();
    if (control & 1)
        read_items<float>(format, input.rest(), count);
    else
        read_items<int>(format, input.rest(), count);
    return 0;
}
