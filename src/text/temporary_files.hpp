// Temporary files that a run ended by a signal removes before it ends.
#pragma once

#include <signal.h>

namespace ruvela {

// Start-up setting of a program: a write past the file-size limit fails like
// any other write instead of killing the process (SIGXFSZ is ignored), and
// SIGINT, SIGTERM and SIGHUP, unless ignored already, remove the noted
// temporary files and then end the process with the signal's own status.
void take_over_signals();

// Notes `path` for removal by those signals; returns its slot, or -1 when
// all slots are taken or the name is longer than a slot (the file is then
// left behind by a signal, as before). Only the process that noted a file
// removes it: a child drawing a plot leaves its parent's files alone.
int note_temporary(const char* path);

// The file of `slot` is renamed or removed: a signal leaves it alone.
void forget_temporary(int slot);

// Holds SIGINT, SIGTERM and SIGHUP back for its lifetime, so that a signal
// never falls between creating a file and noting it, or between the renames
// of files that replace their targets together.
class SignalsHeld {
  public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t previous_;
};

}  // namespace ruvela
