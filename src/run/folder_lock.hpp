// One run at a time writing into a folder.
#pragma once

#include <ostream>
#include <string>

namespace ruvela {

// Holds the output folder for the run's lifetime: a second run into the same
// folder waits here until the first has ended, so the tables of the two
// never mix. The lock is the folder's own (flock on the folder itself): it
// leaves nothing in the folder, and the system drops it with the process
// that held it, however that ended, so a killed run blocks no one.
// `waiting` hears one line when the run has to wait.
class FolderLock {
  public:
    FolderLock(const std::string& folder, std::ostream& waiting);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_ = -1;
};

}  // namespace ruvela
