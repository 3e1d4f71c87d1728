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
