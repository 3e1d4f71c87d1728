// Splitting one fuzz input into the pieces a target needs: a few control
// bytes, lines, and named parts separated by a marker line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ruvela::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // The next byte, 0 when the input is used up.
    std::uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }

    // Text up to the next LF (not included), or all that is left.
    std::string_view line() {
        const auto end = rest_.find('\n');
        const std::string_view text = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return text;
    }

    // Text up to the next line that is exactly `marker` (not included), or
    // all that is left.
    std::string_view part(std::string_view marker) {
        std::size_t at = 0;
        for (;;) {
            const auto found = rest_.find(marker, at);
            if (found == std::string_view::npos) break;
            const bool line_start = found == 0 || rest_[found - 1] == '\n';
            const std::size_t after = found + marker.size();
            const bool line_end = after == rest_.size() || rest_[after] == '\n';
            if (line_start && line_end) {
                const std::string_view text = rest_.substr(0, found);
                rest_.remove_prefix(after == rest_.size() ? after : after + 1);
                return text;
            }
            at = found + 1;
        }
        const std::string_view text = rest_;
        rest_ = {};
        return text;
    }

    std::string_view rest() const { return rest_; }

  private:
    std::string_view rest_;
};

}  // namespace ruvela::fuzz
