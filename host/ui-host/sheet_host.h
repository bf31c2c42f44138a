// The driver's property-sheet side: the common-UI calls that hand the plug-in the option tree,
// the property-sheet calls through which it adds its pages, the sheet itself with the driver's
// page, and what the sheet leaves behind (public device mode, private record, a dump).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "oem/oem_platform.h"
#include "ui_session.h"

namespace vex::uihost {

enum class Press { None, Apply, Ok, Cancel };

struct SheetRequest {
  bool document = true;  // document sheet, else printer sheet
  Press press = Press::None;
  std::wstring pressButton;  // a push button of the driver page to click
  int page = -1;             // the page to switch to (0: the driver's page)
  std::vector<std::pair<std::string, std::string>> selects;   // --select ITEM=OPTION
  std::vector<std::pair<std::string, std::string>> refusals;  // --refuse KEYWORD=OPTION
  std::wstring ppdPath;                                       // empty: the printer's data file
  std::wstring outRecord;
  std::wstring outDevmode;
  std::wstring dumpPath;
  DWORD screenshotWaitMs = 0;
};

// Runs the whole sheet and closes the session (the OEM heap must outlive the plug-in object);
// throws HostError. `record` is the private record the sheet starts from.
void runSheet(const SheetRequest& request, UiSession& session, HANDLE printer,
              const std::wstring& printerName, std::vector<std::uint8_t> record);

}  // namespace vex::uihost
