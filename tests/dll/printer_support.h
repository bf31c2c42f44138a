// Printers of the tests' own in the platform's spooler.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <string>

#include "printer_setup.h"

namespace vex::test {

// Installs (or refreshes) the printer of `setup` and opens it for the test.
class TestPrinter {
 public:
  explicit TestPrinter(const PrinterSetup& setup);
  ~TestPrinter();
  TestPrinter(const TestPrinter&) = delete;
  TestPrinter& operator=(const TestPrinter&) = delete;
  HANDLE handle() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// A printer named `name` of its own driver ("<name> PS") built from the sample package.
PrinterSetup ownDriverSetup(const std::wstring& name);

std::string narrow(const std::wstring& text);

}  // namespace vex::test
