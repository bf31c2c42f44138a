// The driver's property-sheet side: the common-UI calls that hand the plug-in the option tree,
// the property-sheet calls through which it adds its pages, the sheet itself with the driver's
// page, and what the sheet leaves behind (public device mode, private record, a dump).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dialog_script.h"
#include "oem/oem_platform.h"
#include "ui_session.h"

namespace vex::uihost {

enum class Press { None, Apply, Ok, Cancel };

struct SheetRequest {
  bool document = true;  // document sheet, else printer sheet
  Press press = Press::None;
  std::wstring pressButton;  // a push button of the driver page to click
  int page = -1;             // the page to switch to (0: the driver's page)
  std::vector<std::pair<std::string, std::string>> selects;  // --select ITEM=OPTION
  // --raw-select: an item's selection as a damaged device mode would leave it (any 32-bit
  // number, the option count not checked), set before the plug-in sees the tree.
  std::vector<std::pair<std::string, std::string>> rawSelects;
  std::vector<std::pair<std::string, std::string>> refusals;  // --refuse KEYWORD=OPTION
  std::wstring ppdPath;                                       // empty: the printer's data file
  std::wstring outRecord;
  std::wstring outDevmode;
  std::wstring dumpPath;
  DWORD screenshotWaitMs = 0;
  bool noPermission = false;     // DM_NOPERMISSION in OEMUIPSPARAM.dwFlags
  bool driverPagesOnly = false;  // the sheet as the driver shows it without the plug-in
  int layout = 0;                // the driver's page-layout byte of the document's device mode
  std::vector<std::pair<std::string, std::string>> installable;  // --option KEY=VALUE
  bool testDialogs = false;
  bool script = false;  // play `steps` against the sheet
  std::vector<Step> steps;
  std::wstring controlsPath;  // --dump-controls
  std::wstring artifactsDir;  // screenshots of the script's `shot` steps
};

// The driver's public device mode as the core driver keeps it: the public part and the core
// driver's private part behind it (the plug-in's record travels beside it, as pOEMDM).
constexpr std::size_t kCoreDriverExtra = 176;
constexpr std::size_t kDevmodePsDialectOffset = 344;  // the PostScript output option
constexpr std::size_t kDevmodeLayoutOffset = 356;     // the page-layout value, 0 to 6
struct FullDevmode {
  DEVMODEW pub;
  BYTE driverExtra[kCoreDriverExtra];
};
static_assert(offsetof(FullDevmode, driverExtra) == sizeof(DEVMODEW));
static_assert(kDevmodeLayoutOffset < sizeof(FullDevmode));

// Runs the whole sheet and closes the session (the OEM heap must outlive the plug-in object);
// throws HostError. `record` is the private record the sheet starts from.
void runSheet(const SheetRequest& request, UiSession& session, HANDLE printer,
              const std::wstring& printerName, std::vector<std::uint8_t> record);

}  // namespace vex::uihost
