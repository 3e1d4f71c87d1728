// What the readers of Heidelberg, delimited and TRiDaS files share: ring
// values in their units, whole numbers, and the rules for keeping series.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "ringio/ring_format.hpp"
#include "ringio/units.hpp"

namespace ruvela {

// The width in millimetres of a decimal number (optional sign, digits with
// an optional point, optional exponent) in `unit`. Whole numbers of
// hundredths or thousandths are converted as the decade format converts
// them, whatever their text ("125", "125.0", "1.25e2"); any other value is
// rounded once from its exact decimal value. Zero is +0. Text that is no
// such number, or a width beyond binary32, gives nullopt.
std::optional<float> width_in_mm(std::string_view text, WidthUnit unit);

// The decimals of a millimetre that a number as width_in_mm takes it gives in
// `unit`: the digits written after its point, less its exponent and the
// unit's ("67" in hundredths: 2; "0.670" in millimetres: 3; "1.25e2" in
// thousandths: 3; "12" in millimetres: 0), never below 0.
int written_decimals(std::string_view text, WidthUnit unit);

// A whole number in 32 bits: optional sign and digits only.
std::optional<int> whole_number(std::string_view text);

// `text` without a UTF-8 byte order mark at its start.
std::string_view without_byte_order_mark(std::string_view text);

// Whether the start of a file is UTF-16 text: a byte order mark of either
// order, or NUL bytes in every other position (ASCII in UTF-16) of at least
// half its first characters, fewer in the positions of the other parity and
// never two in one character. Text of the formats read here holds no NUL
// bytes otherwise.
bool looks_like_utf16(std::string_view head);

// An ID as the console and tables can show it: control characters (tabs,
// line ends inside an XML title) become blanks, blanks around it go.
std::string shown_id(std::string_view written);

// The shown ID cut to the store's width. A UTF-8 character is never split:
// the ID is then cut before it.
std::string kept_id(std::string_view written);

// Collects a file's series in file order, telling of IDs cut, IDs that
// more than one series ends up with and IDs that are not UTF-8 (repaired).
class SeriesCollector {
  public:
    // `written_id` as the file writes it; `line` where it does.
    // `width_decimals`: the decimals the widths were written at (RingSeries).
    void keep(std::string_view written_id, long line, int first_year, std::vector<float> widths,
              std::optional<PithInfo> pith = std::nullopt,
              std::optional<int> width_decimals = std::nullopt);
    void skip(std::string_view written_id, long line, std::string why);
    // A gap read as zero in the series kept last.
    void tell_gap(int first_missing, int last_missing);

    RingFileReading done() &&;

  private:
    std::string repaired(std::string_view written_id, long line);

    RingFileReading reading_;
    std::set<std::string> ids_;
    std::optional<std::size_t> not_utf8_;  // the finding of IDs that are not UTF-8
};

// The result of a file that stops the pair.
RingFileReading read_error(long line, std::string text);

}  // namespace ruvela
