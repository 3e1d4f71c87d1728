// Reading text files line by line, whatever their line ends.
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace ruvela {

// A line longer than the reader's bound, found while it was read: `line`
// is its number. Nothing past the bound was kept.
struct LineTooLong {
    long line = 0;
};

// Splits a stream into lines. LF, CRLF and a lone CR each end a line, and a
// run of CRs directly before an LF belongs to that one line end (archive
// files come with all three, some with CR CR LF). A last line without a line
// end is a line; an empty stream has none.
class LineReader {
  public:
    explicit LineReader(std::istream& in);
    // The same over text in memory, which is not copied and must outlive
    // the reader; the lines are found straight in it, with no stream between.
    explicit LineReader(std::string_view text) : text_(text) {}

    // The next line without its line end, or false at the end of the input.
    // A read that fails is no end: it throws FileFailure naming the input,
    // the line and the system's reason.
    bool next(std::string& line);

    // Lines of a stream longer than `longest` characters are refused as
    // they are read, before more of them is taken into memory: next()
    // throws LineTooLong. For inputs of short lines (lists of names), where
    // a file without line ends (/dev/zero) must not be read whole.
    void bound_lines(std::size_t longest) { longest_ = longest; }

    // Hands `line` back: the next call of next() returns it again.
    void unread(std::string line) { pending_ = std::move(line); }

    // Number of lines returned so far (unread lines count once).
    long line_number() const { return line_number_; }

  private:
    bool read_segment();
    bool read_up_to_lf();
    bool read_bounded_up_to_lf();
    bool take_up_to_lf();

    std::istream* in_ = nullptr;  // none: the lines come from text_
    std::string_view text_;       // what is still to be read of the text in memory
    bool lf_ended_ = false;       // the last segment read ended at an LF
    std::optional<std::string> pending_;
    std::string segment_;          // the input up to the next LF, without the line end
    std::size_t piece_start_ = 0;  // where the next line starts in segment_
    long pieces_left_ = 0;         // lines in segment_ not yet returned
    long line_number_ = 0;
    std::size_t longest_ = 0;  // 0: no bound
};

// `line` without any LF or CR characters at its end.
std::string strip_line_end(std::string_view line);

}  // namespace ruvela
