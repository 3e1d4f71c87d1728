#include "text/lines.hpp"

namespace ruvela {

bool LineReader::next(std::string& line) {
    if (pending_) {
        line = std::move(*pending_);
        pending_.reset();
        return true;
    }
    if (pieces_left_ == 0 && !read_segment()) return false;
    // Every CR inside the segment ends a line of its own.
    const std::size_t cr = segment_.find('\r', piece_start_);
    const std::size_t end = cr == std::string::npos ? segment_.size() : cr;
    line.assign(segment_, piece_start_, end - piece_start_);
    piece_start_ = end + 1;
    --pieces_left_;
    ++line_number_;
    return true;
}

// Reads up to the next LF: the standard getline finds it in the stream's
// buffer at once instead of taking the characters one by one.
bool LineReader::read_segment() {
    if (in_ == nullptr || !std::getline(*in_, segment_)) return false;
    const bool ended_by_lf = !in_->eof();
    if (ended_by_lf) {
        // The run of CRs before the LF is part of the line end.
        while (!segment_.empty() && segment_.back() == '\r') segment_.pop_back();
    }
    piece_start_ = 0;
    pieces_left_ = 1;
    for (const char c : segment_) pieces_left_ += c == '\r';
    // A CR at the very end of the input ends the last line; nothing follows it.
    if (!ended_by_lf && segment_.back() == '\r') --pieces_left_;
    return true;
}

std::string strip_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return std::string(line);
}

}  // namespace ruvela
