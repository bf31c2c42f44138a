// A kernel object handle (event, mutex, section, pipe, token, process) closed when its owner
// goes. INVALID_HANDLE_VALUE, which some creators answer on failure, counts as no handle.
#pragma once

#include <windows.h>

namespace vex {

class KernelHandle {
 public:
  explicit KernelHandle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~KernelHandle() {
    if (h_ != nullptr) CloseHandle(h_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

}  // namespace vex
