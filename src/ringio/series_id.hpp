// A series' ID, kept whole as its file names it. Only the fixed-width tables
// have a width for it (id_length bytes); they, and what has always shown the
// same cut ID beside them, take the cut form.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace ruvela {

// The width of the fixed-width tables' ID field.
inline constexpr std::size_t id_length = 8;

// `id` cut to id_length bytes without trailing blanks. A UTF-8 character is
// never split: the ID is then cut before it.
std::string cut_to_id_length(std::string_view id);

class SeriesId {
  public:
    SeriesId() = default;
    SeriesId(std::string whole);  // NOLINT: an ID is the text of it
    SeriesId(const char* whole) : SeriesId(std::string(whole)) {}
    // An ID whose file wrote it as `written`, with bytes that are not UTF-8,
    // which `whole` shows as '?'.
    SeriesId(std::string whole, std::string written);

    const std::string& whole() const { return whole_; }
    // As a fixed-width table writes it, without its padding.
    const std::string& cut() const { return cut_; }
    // The cut ID blank-padded to the table's field.
    std::string padded() const;
    // The cut ID without blanks on either side: as messages quote it and as
    // a companion file names it.
    std::string_view shown() const;
    // The whole ID without blanks on either side: as a message names a
    // series whole, and as a companion file names it to pair by ID.
    std::string_view name() const;
    bool empty() const { return whole_.empty(); }
    // The ID as its file writes it, byte for byte and without blanks on
    // either side: as a companion file in the same encoding names it.
    std::string_view written() const;
    // Whether the file wrote it with bytes that are not UTF-8.
    bool repaired() const { return !written_.empty(); }

    friend bool operator==(const SeriesId& a, const SeriesId& b) { return a.whole_ == b.whole_; }
    friend bool operator==(const SeriesId& a, std::string_view b) { return a.whole_ == b; }
    friend bool operator==(const SeriesId& a, const char* b) { return a.whole_ == b; }

  private:
    std::string whole_;
    std::string cut_;
    std::string written_;  // empty when the same as whole_
};

std::ostream& operator<<(std::ostream& out, const SeriesId& id);

}  // namespace ruvela
