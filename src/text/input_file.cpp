#include "text/input_file.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>

#include "text/stops.hpp"

namespace ruvela {

namespace {

// Each stream opened by open_input holds its name in this word, released
// with the stream.
const int name_word = std::ios_base::xalloc();

std::string being_read;
const std::ios_base* being_read_stream = nullptr;

void release_name(std::ios_base::event event, std::ios_base& stream, int word) {
    if (event != std::ios_base::erase_event) return;
    delete static_cast<std::string*>(stream.pword(word));
    stream.pword(word) = nullptr;
    // A stream closed by the unwinding of a failure keeps the note: the
    // failure is told from it once the unwinding ends.
    if (&stream == being_read_stream && std::uncaught_exceptions() == 0) {
        being_read.clear();
        being_read_stream = nullptr;
    }
}

void remember_name(std::ifstream& file, const std::string& name) {
    void*& word = file.pword(name_word);
    if (word == nullptr) {
        word = new std::string(name);
        file.register_callback(release_name, name_word);
    } else {
        *static_cast<std::string*>(word) = name;
    }
    being_read = name;
    being_read_stream = &file;
}

}  // namespace

void open_input(std::ifstream& file, const std::string& name) {
    struct stat info {};
    errno = 0;
    if (::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        errno = EISDIR;
    else
        file.open(name, std::ios::binary);
    if (!file.is_open()) {
        const int error = errno != 0 ? errno : ENOENT;
        throw FileFailure("cannot open file \"" + name + "\": " + std::strerror(error));
    }
    remember_name(file, name);
}

std::string input_name(std::ios_base& stream) {
    if (&stream == &std::cin) return "standard input";
    const void* word = stream.pword(name_word);
    if (word == nullptr) return "input";
    return "file \"" + *static_cast<const std::string*>(word) + "\"";
}

std::string_view file_being_read() {
    return being_read;
}

void note_reading(std::ios_base& stream) {
    if (&stream == being_read_stream) return;
    const void* word = stream.pword(name_word);
    if (word == nullptr) return;
    being_read = *static_cast<const std::string*>(word);
    being_read_stream = &stream;
}

void forget_file_being_read() {
    being_read.clear();
    being_read_stream = nullptr;
}

bool file_exists(const std::string& name) {
    struct stat info {};
    return !name.empty() && ::stat(name.c_str(), &info) == 0;
}

}  // namespace ruvela

namespace ruvela {

std::string read_whole_file(const std::string& name) {
    std::ifstream file;
    open_input(file, name);
    std::string text;
    // Room for the whole file at once: a text that grows as it is read is
    // copied at every step and takes fresh pages each time, which for a
    // large file costs more than the reading.
    struct stat info {};
    if (::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        text.reserve(static_cast<std::size_t>(info.st_size));
    char block[1 << 16];
    while (file) {
        file.read(block, sizeof block);
        text.append(block, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) {
        const auto line = std::count(text.begin(), text.end(), '\n') + 1;
        throw FileFailure("cannot read file \"" + name + "\", line " + std::to_string(line) + ": " +
                          std::strerror(errno));
    }
    return text;
}

}  // namespace ruvela
