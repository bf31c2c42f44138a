// Owners of device contexts and selections, so that every drawing routine releases what it took
// on every path (GDI objects themselves: GdiObject of unique_handle.h).
#pragma once

#include <windows.h>

#include "unique_handle.h"

namespace vex {

// The DC of a window's client area.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory DC compatible with another one.
class MemoryDc : public OwnedDc {
 public:
  explicit MemoryDc(HDC compatible) : OwnedDc(CreateCompatibleDC(compatible)) {}
};

// Selects an object into a DC and puts the previous one back at the end of its scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selected() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;
  bool ok() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace vex
