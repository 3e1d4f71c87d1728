#include "run/folder_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "text/parent_only_descriptors.hpp"

namespace ruvela {

FolderLock::FolderLock(const std::string& folder, std::ostream& waiting)
    : fd_(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    // A folder that cannot be opened is told by the first table written into it.
    if (fd_ < 0) return;
    note_parent_only_descriptor(fd_);
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
    if (errno != EWOULDBLOCK) return;
    waiting << "Ruvela: waiting for the other run writing into folder \""
            << (folder.empty() ? "." : folder) << "\" to end" << std::endl;
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FolderLock::~FolderLock() {
    if (fd_ < 0) return;
    forget_parent_only_descriptor(fd_);
    ::close(fd_);
}

}  // namespace ruvela
