// The public device mode that the driver hands the plug-in: DEVMODEW members set by name from
// the job file, and the private record behind it (dmDriverExtra).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex::host {

// The driver's defaults: A4 portrait, colour, one copy, 600 dpi.
DEVMODEW defaultDevMode(const std::wstring& printerName);

// Sets the member called `name` (its platform spelling, e.g. dmColor, dmFormName) from decimal
// text and marks it in dmFields. False with a reason for an unknown name or a bad value.
bool setDevModeField(DEVMODEW& devMode, std::wstring_view name, std::wstring_view value,
                     std::wstring* error);

// The device mode followed by `record` as its driver-extra part, in one block.
std::vector<std::uint8_t> publicDevModeWithRecord(const DEVMODEW& devMode,
                                                  const std::vector<std::uint8_t>& record);

// Page size in points for the document, from dmPaperSize (or dmPaperWidth/dmPaperLength for a
// custom size) and dmOrientation.
struct PageGeometry {
  int width = 595;  // of the paper, portrait
  int height = 842;
  bool landscape = false;
};
PageGeometry pageGeometry(const DEVMODEW& devMode);

}  // namespace vex::host
