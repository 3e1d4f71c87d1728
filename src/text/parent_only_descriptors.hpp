// Descriptors that a child process forked to draw must not keep.
#pragma once

namespace ruvela {

// Notes `fd` as this process's alone: a lock on the output folder, which a
// drawing left running after its run has ended (a window waiting for the
// user) must not go on holding.
void note_parent_only_descriptor(int fd);

// The descriptor is closed: nothing to close in children any more.
void forget_parent_only_descriptor(int fd);

// In a child just forked: closes every noted descriptor.
void close_parent_only_descriptors();

}  // namespace ruvela
