// The spooler side of installing: the driver entry and the printer, each changed only when it
// differs from what is asked.
#pragma once

#include <string>
#include <vector>

namespace vex {

struct DriverSpec {
  std::wstring name;
  std::wstring driverFile;  // bare names of files in the driver directory's "3" folder
  std::wstring configFile;
  std::wstring dataFile;
  std::vector<std::wstring> dependentFiles;
};

// Adds the driver (level 3, this process's environment) unless an identical entry exists.
bool installDriver(const DriverSpec& spec, std::wstring* error);

struct PrinterSpec {
  std::wstring name;
  std::wstring driverName;
  bool shared = false;
  std::wstring shareName;
};

// Creates the printer on port "FILE:" with print processor "WinPrint" and datatype "RAW", or
// brings an existing one in line (another driver or port: recreated; sharing: changed).
bool installPrinter(const PrinterSpec& spec, std::wstring* error);

}  // namespace vex
