#include "text/lines.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "text/input_file.hpp"
#include "text/stops.hpp"

namespace ruvela {

// With badbit among the stream's exceptions a failure inside a read reaches
// this reader instead of passing for the end of the input, and running out
// of memory on a huge line stays an allocation failure.
LineReader::LineReader(std::istream& in) : in_(&in) {
    if (!in.bad()) in.exceptions(in.exceptions() | std::ios::badbit);
}

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
    if (!(in_ != nullptr ? read_up_to_lf() : take_up_to_lf())) return false;
    if (lf_ended_) {
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

namespace {

[[noreturn]] void fail_reading(std::istream& in, long line, const std::error_code& error) {
    // A failure that the system gave no reason for is told as a read error.
    const bool system_reason = error.value() != 0 && error.category() != std::iostream_category();
    throw FileFailure("cannot read " + input_name(in) + ", line " + std::to_string(line) + ": " +
                      (system_reason ? std::strerror(error.value()) : "read error"));
}

}  // namespace

bool LineReader::read_up_to_lf() {
    note_reading(*in_);
    if (longest_ > 0) return read_bounded_up_to_lf();
    try {
        if (std::getline(*in_, segment_)) {
            lf_ended_ = !in_->eof();
            return true;
        }
    } catch (const std::ios_base::failure& failure) {
        fail_reading(*in_, line_number_ + 1, failure.code());
    }
    if (in_->bad())
        fail_reading(*in_, line_number_ + 1, std::error_code(errno, std::generic_category()));
    return false;
}

// getline's way, a character at a time so that a line past the bound is
// refused before the rest of it is read.
bool LineReader::read_bounded_up_to_lf() {
    segment_.clear();
    std::size_t line_length = 0;  // since the last CR, which ends a line too
    long line = line_number_ + 1;
    std::streambuf& in = *in_->rdbuf();
    try {
        for (;;) {
            const int c = in.sbumpc();
            if (c == std::char_traits<char>::eof()) {
                in_->setstate(std::ios::eofbit);
                lf_ended_ = false;
                return !segment_.empty();
            }
            if (c == '\n') {
                lf_ended_ = true;
                return true;
            }
            segment_ += static_cast<char>(c);
            if (c == '\r') {
                line_length = 0;
                ++line;
            } else if (++line_length > longest_) {
                throw LineTooLong{line};
            }
        }
    } catch (const std::ios_base::failure& failure) {
        fail_reading(*in_, line, failure.code());
    }
}

// getline's way over the text in memory: up to the next LF, which is taken
// too; the rest of the text when it holds none; false when nothing is left.
bool LineReader::take_up_to_lf() {
    if (text_.empty()) return false;
    const std::size_t lf = text_.find('\n');
    lf_ended_ = lf != std::string_view::npos;
    const std::size_t length = lf_ended_ ? lf : text_.size();
    segment_.assign(text_.data(), length);
    text_.remove_prefix(lf_ended_ ? length + 1 : length);
    return true;
}

std::string strip_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return std::string(line);
}

}  // namespace ruvela
