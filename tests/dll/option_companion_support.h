// The simulated printers of the network and USB extension companions for the DLL tests, and
// the OEMCUIPPARAM with a driver memory item that the discovery routines read.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "oem/oem_platform.h"

namespace vex::test {

// A folder of the test's own under the temporary folder, emptied and removed at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// A printer known to a companion library: a new device file `deviceText` in `folder`, named for
// `printerName` in the library's INI file beside the test program (`iniName`: "vexnetext.ini" or
// "vexusbext.ini"). The INI entry is removed at the end.
class SimulatedPrinter {
 public:
  SimulatedPrinter(const wchar_t* iniName, const std::wstring& printerName,
                   const TempFolder& folder, const std::string& deviceText);
  ~SimulatedPrinter();
  SimulatedPrinter(const SimulatedPrinter&) = delete;
  SimulatedPrinter& operator=(const SimulatedPrinter&) = delete;

 private:
  std::wstring ini_;
  std::wstring printer_;
};

// The companion INI beside the test program.
std::wstring companionIni(const wchar_t* iniName);

void writeTextFile(const std::wstring& path, const std::string& text);
std::string readTextFile(const std::wstring& path);  // empty when missing

// A driver item tree with the memory item (UserItemID 7) among other items.
class DriverItems {
 public:
  // `texts`: the memory item's option texts (nullptr = an option without a text).
  explicit DriverItems(const std::vector<const wchar_t*>& texts);
  DriverItems(const DriverItems&) = delete;  // the items point into the object
  DriverItems& operator=(const DriverItems&) = delete;
  OPTITEM* items() { return items_.data(); }
  DWORD count() const { return static_cast<DWORD>(items_.size()); }
  OPTITEM& memoryItem() { return items_[1]; }

 private:
  std::vector<std::wstring> storage_;
  std::vector<OPTPARAM> params_;
  OPTTYPE type_{};
  std::vector<OPTITEM> items_;
};

// `printerName` must outlive the parameter block (it is not copied).
OEMCUIPPARAM cuiParam(const wchar_t* printerName, DriverItems* items);

}  // namespace vex::test
