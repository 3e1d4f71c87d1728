#include "text/lines.hpp"

#include <algorithm>

namespace ruvela {

bool LineReader::next(std::string& line) {
    if (pending_) {
        line = std::move(*pending_);
        pending_.reset();
        return true;
    }
    if (pieces_left_ == 0 && !read_segment()) return false;
    ++line_number_;
    if (pieces_left_ == 1 && piece_start_ == 0) {
        // The usual line, the whole segment: handed over without a copy.
        line.swap(segment_);
        pieces_left_ = 0;
        return true;
    }
    // Every CR inside the segment ends a line of its own.
    const std::size_t cr = segment_.find('\r', piece_start_);
    const std::size_t end = cr == std::string::npos ? segment_.size() : cr;
    line.assign(segment_, piece_start_, end - piece_start_);
    piece_start_ = end + 1;
    --pieces_left_;
    return true;
}

// Reads up to the next LF: the standard getline finds it in the stream's
// buffer at once instead of taking the characters one by one.
bool LineReader::read_segment() {
    if (!std::getline(*in_, segment_)) return false;
    if (!in_->eof()) {
        // The run of CRs before the LF is part of the line end.
        while (!segment_.empty() && segment_.back() == '\r') segment_.pop_back();
    } else if (segment_.back() == '\r') {
        // A CR at the very end of the input ends the last line; nothing follows it.
        segment_.pop_back();
    }
    piece_start_ = 0;
    // Most files have no CR left here, which a search finds out faster than a count.
    const bool any_cr = segment_.find('\r') != std::string::npos;
    pieces_left_ = 1 + (any_cr ? std::count(segment_.begin(), segment_.end(), '\r') : 0);
    return true;
}

std::string strip_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return std::string(line);
}

}  // namespace ruvela
