// Table files that never look complete unless they are.
#pragma once

#include <cstddef>
#include <fstream>
#include <ostream>
#include <span>
#include <string>

namespace ruvela {

// Tables go out in blocks of this size, each at a multiple of it in the
// file: large aligned writes cost the system least per byte.
inline constexpr std::size_t block_size = 1 << 18;

// Writes the whole blocks at the front of `buffer` and keeps the rest.
void write_whole_blocks(std::string& buffer, std::ostream& out);

// Writes all of `buffer` and empties it.
void write_all(std::string& buffer, std::ostream& out);

// A file that another writer (a drawing process) fills: created empty under
// a temporary name beside its target and noted for the ending signals, as
// an OutputFile's is. Failures throw FileFailure naming the target.
struct TemporaryFile {
    std::string path;
    int slot = -1;
};

TemporaryFile create_temporary_beside(const std::string& target);

// The same for callers that tell a failure their own way: the system's
// reason, or 0 when `file` is made.
int try_create_temporary_beside(const std::string& target, TemporaryFile& file);

// Renames the file over `target`; a folder in the target's place fails.
void rename_into_place(TemporaryFile& file, const std::string& target);

// Removes the file, if it is still there.
void discard(TemporaryFile& file);

// A file written under a temporary name in the target's folder and renamed
// over the target only by commit(), so a failing or killed run never leaves
// a truncated table under the real name. Destroyed uncommitted, it removes
// its temporary file, and so does a signal that ends the run (see
// take_over_signals). Failures throw FileFailure naming the target and the
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

    // The same for files that belong together: none replaces its target
    // unless all are written out and every target can be replaced.
    friend void commit_together(std::span<OutputFile> files);

  private:
    void create_temporary();
    void finish_writing();
    void check_replaceable();
    void rename_to_target();
    void remove_temporary();
    [[noreturn]] void fail(const std::string& what, int error);

    std::string path_;
    TemporaryFile temp_;
    std::ofstream stream_;
    bool committed_ = false;
};

void commit_together(std::span<OutputFile> files);

}  // namespace ruvela
