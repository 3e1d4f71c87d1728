// Table files that never look complete unless they are.
#pragma once

#include <cstddef>
#include <fstream>
#include <ostream>
#include <string>

namespace ruvela {

// Tables go out in blocks of this size, each at a multiple of it in the
// file: large aligned writes cost the system least per byte.
inline constexpr std::size_t block_size = 1 << 18;

// Writes the whole blocks at the front of `buffer` and keeps the rest.
void write_whole_blocks(std::string& buffer, std::ostream& out);

// Writes all of `buffer` and empties it.
void write_all(std::string& buffer, std::ostream& out);

// A file written under a temporary name in the target's folder and renamed
// over the target only by commit(), so a failing or killed run never leaves
// a truncated table under the real name. Destroyed uncommitted, it removes
// its temporary file. Failures throw FileFailure naming the file and the
// system's reason.
class OutputFile {
  public:
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::ostream& stream() { return stream_; }
    const std::string& path() const { return path_; }

    // Writes out what is buffered and renames the temporary file to the target.
    void commit();

  private:
    [[noreturn]] void fail(const std::string& what, int error);

    std::string path_;
    std::string temp_path_;
    std::ofstream stream_;
    bool committed_ = false;
};

}  // namespace ruvela
