#include "text/output_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/stops.hpp"

namespace ruvela {

void write_whole_blocks(std::string& buffer, std::ostream& out) {
    if (buffer.size() < block_size) return;
    const std::size_t whole_blocks = buffer.size() / block_size * block_size;
    out.write(buffer.data(), static_cast<std::streamsize>(whole_blocks));
    buffer.erase(0, whole_blocks);
}

void write_all(std::string& buffer, std::ostream& out) {
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    buffer.clear();
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    std::string pattern = path_ + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) fail("cannot create", errno);
    // mkstemp makes the file private; a table gets the permissions of any
    // file the user creates.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    temp_path_ = name.data();
    // Opened for appending, which does not truncate: the file is new and
    // empty, and on ext4 a truncation to zero makes closing the file start
    // writing it to disk at once, which costs a batch of many small tables
    // dearly.
    stream_.open(temp_path_, std::ios::binary | std::ios::app);
    if (!stream_) fail("cannot create", errno);
}

OutputFile::~OutputFile() {
    if (committed_) return;
    stream_.close();
    if (!temp_path_.empty()) std::remove(temp_path_.c_str());
}

void OutputFile::commit() {
    stream_.flush();
    if (!stream_) fail("cannot write", errno);
    stream_.close();
    if (stream_.fail()) fail("cannot write", errno);
    if (std::rename(temp_path_.c_str(), path_.c_str()) != 0) fail("cannot create", errno);
    committed_ = true;
}

void OutputFile::fail(const std::string& what, int error) {
    const std::string reason = error != 0 ? std::strerror(error) : "write error";
    stream_.close();
    if (!temp_path_.empty()) std::remove(temp_path_.c_str());
    temp_path_.clear();
    throw FileFailure(what + " file " + path_ + ": " + reason);
}

}  // namespace ruvela
