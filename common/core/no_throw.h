// The one guard of every entry point that the platform calls back (common-UI callbacks, dialog
// and page procedures, edit-notification handlers): nothing may unwind into the platform's
// frames. An exception, allocation failure included, answers `nothingDone`, which each caller
// chooses so that the sheet or dialog stays as it was.
#pragma once

#include <utility>

namespace vex {

template <typename Result, typename Fn>
Result noThrow(Result nothingDone, Fn&& fn) noexcept {
  try {
    return std::forward<Fn>(fn)();
  } catch (...) {
    return nothingDone;
  }
}

}  // namespace vex
