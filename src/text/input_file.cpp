#include "text/input_file.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "text/stops.hpp"

namespace ruvela {

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
    if (file.bad())
        throw FileFailure("cannot read file \"" + name + "\": " + std::strerror(errno));
    return text;
}

}  // namespace ruvela
