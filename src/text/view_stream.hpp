// An input stream over text already in memory, without copying it: a file
// read whole is then split into lines by the same reader as a file.
#pragma once

#include <istream>
#include <streambuf>
#include <string_view>

namespace ruvela {

class ViewStream : public std::istream {
  public:
    explicit ViewStream(std::string_view text) : std::istream(nullptr), buffer_(text) {
        rdbuf(&buffer_);
    }

  private:
    struct ViewBuffer : std::streambuf {
        explicit ViewBuffer(std::string_view text) {
            // The stream only reads: the characters are never written through.
            char* begin = const_cast<char*>(text.data());
            setg(begin, begin, begin + text.size());
        }
    };
    ViewBuffer buffer_;
};

}  // namespace ruvela
