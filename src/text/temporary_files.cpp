#include "text/temporary_files.hpp"

#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace ruvela {

namespace {

constexpr int ending_signals[] = {SIGINT, SIGTERM, SIGHUP};

// A handler may only read memory that is there before the signal: the names
// live in fixed buffers, enough for every table a run has open at once.
struct Slot {
    volatile sig_atomic_t live = 0;
    pid_t owner = 0;
    char path[PATH_MAX] = {};
};

Slot slots[8];

extern "C" void remove_temporaries_and_end(int signal_number) {
    const pid_t self = ::getpid();
    for (const Slot& slot : slots) {
        if (slot.live != 0 && slot.owner == self) ::unlink(slot.path);
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, nullptr);
    // Delivered when the handler returns, with the default action.
    ::raise(signal_number);
}

sigset_t ending_signal_set() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : ending_signals) sigaddset(&set, s);
    return set;
}

}  // namespace

void take_over_signals() {
    ::signal(SIGXFSZ, SIG_IGN);
    for (int s : ending_signals) {
        struct sigaction current {};
        ::sigaction(s, nullptr, &current);
        // A signal ignored by whoever started the program (nohup) stays ignored.
        if (current.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = remove_temporaries_and_end;
        action.sa_mask = ending_signal_set();
        ::sigaction(s, &action, nullptr);
    }
}

int note_temporary(const char* path) {
    const std::size_t length = std::strlen(path);
    for (int k = 0; k < static_cast<int>(std::size(slots)); ++k) {
        Slot& slot = slots[k];
        if (slot.live != 0) continue;
        if (length >= sizeof slot.path) return -1;
        std::memcpy(slot.path, path, length + 1);
        slot.owner = ::getpid();
        std::atomic_signal_fence(std::memory_order_seq_cst);
        slot.live = 1;
        return k;
    }
    return -1;
}

void forget_temporary(int slot) {
    if (slot >= 0) slots[slot].live = 0;
}

SignalsHeld::SignalsHeld() {
    const sigset_t set = ending_signal_set();
    ::sigprocmask(SIG_BLOCK, &set, &previous_);
}

SignalsHeld::~SignalsHeld() {
    ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace ruvela
