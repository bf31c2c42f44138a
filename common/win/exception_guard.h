// Runs a piece of work so that no exception escapes to the driver: a C++ exception, a processor
// fault (access violation, division by zero, ...) or a software exception raised by an outside
// library. The guard is a frame of the thread's exception-handler chain, so it sees only what
// nothing inside handled: a library that raises and handles its own exceptions keeps working.
#pragma once

namespace vex {

// Returns false when `work` raised; the thread's last error is then ERROR_UNHANDLED_EXCEPTION.
// The frames between the guard and the exception are unwound by the system: frame-based handlers
// of outside libraries run their unwind code; our own frames on 32-bit do not run destructors.
bool runGuarded(void (*work)(void*), void* argument);

template <typename F>
bool runGuarded(F& work) {
  return runGuarded([](void* p) { (*static_cast<F*>(p))(); }, &work);
}

}  // namespace vex
