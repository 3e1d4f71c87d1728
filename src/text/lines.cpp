#include "text/lines.hpp"

namespace ruvela {

bool LineReader::next(std::string& line) {
    if (pending_) {
        line = std::move(*pending_);
        pending_.reset();
        return true;
    }
    line.clear();
    if (empty_lines_ > 0) {
        --empty_lines_;
        ++line_number_;
        return true;
    }
    using traits = std::streambuf::traits_type;
    if (buf_ == nullptr) return false;
    int c = buf_->sbumpc();
    if (c == traits::eof()) return false;
    while (c != traits::eof() && c != '\n' && c != '\r') {
        line.push_back(static_cast<char>(c));
        c = buf_->sbumpc();
    }
    if (c == '\r') {
        // Count the run of CRs; if an LF follows, the whole run is one line
        // end, otherwise every CR ends a line of its own.
        int crs = 1;
        while (buf_->sgetc() == '\r') {
            buf_->sbumpc();
            ++crs;
        }
        if (buf_->sgetc() == '\n') {
            buf_->sbumpc();
        } else {
            empty_lines_ = crs - 1;
        }
    }
    ++line_number_;
    return true;
}

std::string strip_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return std::string(line);
}

}  // namespace ruvela
