// A printer opened by name with full access for one operation, closed when the owner goes.
#pragma once

#include <windows.h>
#include <winspool.h>

namespace vex {

class OpenedPrinter {
 public:
  explicit OpenedPrinter(const wchar_t* name) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    // An empty name would open the print server itself, not a printer.
    if (name == nullptr || name[0] == L'\0' ||
        !OpenPrinterW(const_cast<wchar_t*>(name), &handle_, &defaults)) {
      handle_ = nullptr;
    }
  }
  ~OpenedPrinter() {
    if (handle_ != nullptr) ClosePrinter(handle_);
  }
  OpenedPrinter(const OpenedPrinter&) = delete;
  OpenedPrinter& operator=(const OpenedPrinter&) = delete;
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace vex
