#include "outside_library.h"

#include "config_files.h"

namespace vex {

OutsideLibrary loadConfiguredLibrary(HANDLE printer, const wchar_t* key) {
  const std::wstring name = readModelString(printer, key);
  if (name.empty()) return OutsideLibrary();
  const std::wstring path = driverFilePath(name);
  if (path.empty()) return OutsideLibrary();
  return OutsideLibrary(path);
}

}  // namespace vex
