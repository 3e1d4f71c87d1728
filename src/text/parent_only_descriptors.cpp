#include "text/parent_only_descriptors.hpp"

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace ruvela {

namespace {

std::vector<int>& noted() {
    static std::vector<int> descriptors;
    return descriptors;
}

}  // namespace

void note_parent_only_descriptor(int fd) {
    if (fd >= 0) noted().push_back(fd);
}

void forget_parent_only_descriptor(int fd) {
    std::erase(noted(), fd);
}

void close_parent_only_descriptors() {
    for (const int fd : noted()) ::close(fd);
    noted().clear();
}

}  // namespace ruvela
