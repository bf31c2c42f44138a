// Full paths of the files a configuration names: the printer-driver directory, "\3", "\" and
// the bare file name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vex {

struct DriverFilePath {
  bool ok = false;
  std::u16string path;  // on failure: what the buffer holds (directory, and "\3" when it fit)
};

// Builds the path as it would be in a buffer of `capacityBytes` bytes (terminator included).
// Fails when the directory does not fit, when the whole path does not fit, or when `fileName`
// is not a bare file name (empty, or holding a path separator, a drive colon or a ".." step): a
// configuration value must not lead outside the driver's own folder.
DriverFilePath composeDriverFilePath(std::u16string_view driverDirectory,
                                     std::u16string_view fileName, std::size_t capacityBytes);

bool isBareFileName(std::u16string_view name);

// The PPD beside the plug-in INI file: the same path with its 3-letter extension replaced by
// "PPD". Empty when the path does not end in a 3-letter extension.
std::u16string ppdPathFor(std::u16string_view iniPath);

}  // namespace vex
