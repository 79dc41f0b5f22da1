#pragma once
// Only one helper at a time may write the keyboard controller, whichever
// window or user started it: each holds an exclusive lock on one file for as
// long as it runs, and the kernel lets go of it when the process ends,
// however it ends.

#include <string>

namespace q51::keyboard_helper {

// In the system's lock folder, so that helpers of every user and every
// installation meet on it.
inline constexpr const char *LineLockPath = "/run/lock/q51-keyboard-helper.lock";

struct LineLock {
    enum class State { Held, Busy, Unusable };
    State state = State::Unusable;
    std::string why; // when not held: what happened and what to do
};

// Takes the lock without waiting. When held, its descriptor stays open (and
// is not inherited) until the process ends.
[[nodiscard]] LineLock TakeLineLock(const std::string &path);

} // namespace q51::keyboard_helper
