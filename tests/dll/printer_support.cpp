#include "printer_support.h"

#include <gtest/gtest.h>

namespace vex::test {

std::string narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

PrinterSetup ownDriverSetup(const std::wstring& name) {
  PrinterSetup setup;
  setup.printerName = name;
  setup.driverName = name + L" PS";
  return setup;
}

TestPrinter::TestPrinter(const PrinterSetup& setup) {
  std::wstring error;
  const bool installed = ensurePrinter(setup, &error);
  EXPECT_TRUE(installed) << narrow(error);
  if (installed) OpenPrinterW(const_cast<LPWSTR>(setup.printerName.c_str()), &handle_, nullptr);
  EXPECT_NE(handle_, nullptr) << narrow(setup.printerName);
}

TestPrinter::~TestPrinter() {
  if (handle_ != nullptr) ClosePrinter(handle_);
}

}  // namespace vex::test
