// A printer opened by name with full access for one operation, closed when the owner goes.
#pragma once

#include <windows.h>
#include <winspool.h>

#include "unique_handle.h"

namespace vex {

class OpenedPrinter : public PrinterHandle {
 public:
  explicit OpenedPrinter(const wchar_t* name) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE handle = nullptr;
    // An empty name would open the print server itself, not a printer.
    if (name != nullptr && name[0] != L'\0' &&
        OpenPrinterW(const_cast<wchar_t*>(name), &handle, &defaults)) {
      reset(handle);
    }
  }
};

}  // namespace vex
