#include "driver_paths.h"

namespace vex {

bool isBareFileName(std::u16string_view name) {
  if (name.empty() || name == u"." || name == u"..") return false;
  for (char16_t c : name) {
    if (c == u'\\' || c == u'/' || c == u':' || c == u'\0') return false;
  }
  return true;
}

DriverFilePath composeDriverFilePath(std::u16string_view driverDirectory,
                                     std::u16string_view fileName, std::size_t capacityBytes) {
  DriverFilePath result;
  const std::size_t capacity = capacityBytes / 2;  // characters, terminator included
  if (driverDirectory.empty() || driverDirectory.size() + 1 > capacity) return result;
  result.path.assign(driverDirectory);
  if (result.path.size() + 2 + 1 > capacity) return result;
  result.path += u"\\3";
  if (!isBareFileName(fileName)) return result;
  if (result.path.size() + 1 + fileName.size() + 1 > capacity) return result;
  result.path += u'\\';
  result.path += fileName;
  result.ok = true;
  return result;
}

std::u16string ppdPathFor(std::u16string_view iniPath) {
  const std::size_t dot = iniPath.find_last_of(u'.');
  if (dot == std::u16string_view::npos || iniPath.size() - dot != 4) return {};
  const std::size_t separator = iniPath.find_last_of(u"\\/");
  if (separator != std::u16string_view::npos && separator > dot) return {};
  return std::u16string(iniPath.substr(0, dot + 1)) + u"PPD";
}

}  // namespace vex
