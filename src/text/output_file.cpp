#include "text/output_file.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "text/stops.hpp"
#include "text/temporary_files.hpp"

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

namespace {

// The temporary file's name: the target's with a random suffix, which tells
// what a file left by a crash was to become, or, when that is longer than
// the folder allows a name to be, a short name beside it.
std::string temporary_pattern(const std::string& path, bool short_name) {
    if (!short_name) return path + ".tmpXXXXXX";
    const std::size_t slash = path.rfind('/');
    return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + ".rvXXXXXX";
}

int make_temporary(std::string& name) {
    std::vector<char> text(name.begin(), name.end());
    text.push_back('\0');
    const int fd = ::mkstemp(text.data());
    name = text.data();
    return fd;
}

[[noreturn]] void fail_on(const std::string& what, const std::string& target, int error) {
    throw FileFailure(what + " file " + target + ": " +
                      (error != 0 ? std::strerror(error) : "write error"));
}

}  // namespace

int try_create_temporary_beside(const std::string& target, TemporaryFile& file) {
    const SignalsHeld held;  // a signal must find the new file noted
    std::string name = temporary_pattern(target, false);
    int fd = make_temporary(name);
    if (fd < 0 && errno == ENAMETOOLONG) {
        name = temporary_pattern(target, true);
        fd = make_temporary(name);
    }
    if (fd < 0) return errno != 0 ? errno : EIO;
    // mkstemp makes the file private; a table gets the permissions of any
    // file the user creates.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    file = {name, note_temporary(name.c_str())};
    return 0;
}

TemporaryFile create_temporary_beside(const std::string& target) {
    TemporaryFile file;
    if (const int error = try_create_temporary_beside(target, file))
        fail_on("cannot create", target, error);
    return file;
}

namespace {

// A device or a pipe in the target's place (/dev/null, a FIFO a pipeline
// reads) is written to, not replaced: a rename would put a plain file where
// the system's device was.
bool is_special(const std::string& target) {
    struct stat info {};
    return ::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

// Copies the written file into the special target; 0 or the error.
int copy_into(const std::string& written, const std::string& target) {
    std::ifstream in(written, std::ios::binary);
    std::ofstream out(target, std::ios::binary | std::ios::app);
    if (!in || !out) return errno != 0 ? errno : EIO;
    out << in.rdbuf();
    out.flush();
    return out ? 0 : (errno != 0 ? errno : EIO);
}

// The written file in the target's place; 0 or the error.
int put_in_place(const std::string& written, const std::string& target) {
    if (is_special(target)) {
        const int error = copy_into(written, target);
        std::remove(written.c_str());
        return error;
    }
    return std::rename(written.c_str(), target.c_str()) == 0 ? 0 : errno;
}

}  // namespace

void rename_into_place(TemporaryFile& file, const std::string& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        fail_on("cannot create", target, EISDIR);
    if (const int error = put_in_place(file.path, target)) fail_on("cannot create", target, error);
    forget_temporary(file.slot);
    file = {};
}

void discard(TemporaryFile& file) {
    if (!file.path.empty()) std::remove(file.path.c_str());
    forget_temporary(file.slot);
    file = {};
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    create_temporary();
    // Opened for appending, which does not truncate: the file is new and
    // empty, and on ext4 a truncation to zero makes closing the file start
    // writing it to disk at once, which costs a batch of many small tables
    // dearly.
    stream_.open(temp_.path, std::ios::binary | std::ios::app);
    if (!stream_) fail("cannot create", errno);
}

void OutputFile::create_temporary() {
    temp_ = create_temporary_beside(path_);
}

OutputFile::~OutputFile() {
    if (committed_) return;
    stream_.close();
    remove_temporary();
}

void OutputFile::commit() {
    commit_together(std::span<OutputFile>(this, 1));
}

void commit_together(std::span<OutputFile> files) {
    for (OutputFile& file : files) file.finish_writing();
    for (OutputFile& file : files) file.check_replaceable();
    const SignalsHeld held;  // the targets are replaced all or none
    for (OutputFile& file : files) file.rename_to_target();
}

void OutputFile::finish_writing() {
    stream_.flush();
    if (!stream_) fail("cannot write", errno);
    stream_.close();
    if (stream_.fail()) fail("cannot write", errno);
}

// A folder in the target's place is the one obstacle to a rename that the
// creation of the temporary file beside it has not already ruled out.
void OutputFile::check_replaceable() {
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) fail("cannot create", EISDIR);
}

void OutputFile::rename_to_target() {
    if (const int error = put_in_place(temp_.path, path_)) fail("cannot create", error);
    forget_temporary(temp_.slot);
    temp_ = {};
    committed_ = true;
}

void OutputFile::remove_temporary() {
    discard(temp_);
}

void OutputFile::fail(const std::string& what, int error) {
    const std::string reason = error != 0 ? std::strerror(error) : "write error";
    stream_.close();
    remove_temporary();
    throw FileFailure(what + " file " + path_ + ": " + reason);
}

}  // namespace ruvela
