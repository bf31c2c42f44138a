// Runs a piece of work so that neither a C++ exception nor a processor fault (access violation,
// division by zero, ...) escapes to the driver: the work ends and the caller reports failure.
#pragma once

namespace vex {

// Returns false when `work` raised; the thread's last error is then ERROR_UNHANDLED_EXCEPTION.
// Frames abandoned by a fault do not run their destructors.
bool runGuarded(void (*work)(void*), void* argument);

// Gives back the thread-local slot when the module unloads.
void releaseGuardSlot();

template <typename F>
bool runGuarded(F& work) {
  return runGuarded([](void* p) { (*static_cast<F*>(p))(); }, &work);
}

}  // namespace vex
