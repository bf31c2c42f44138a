// The command line of ui-host.exe (see docs/ui-host.md).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vex::uihost {

enum class Command { Defaults, Record, StartDoc, QueryFilter, DocSheet, PrnSheet, PrinterEvent };

enum class SheetPress { None, Apply, Ok, Cancel };

struct Options {
  std::wstring printerName = L"VEX Demo Color";
  std::wstring driverName = L"VEX Demo Color PS";
  std::wstring shareName;  // non-empty: a shared printer
  std::vector<std::pair<std::wstring, std::wstring>> modelOverrides;
  std::vector<std::wstring> files;
  bool install = true;
  std::wstring pluginPath;  // empty: vexui.dll beside the program

  Command command = Command::Defaults;
  std::wstring outPath;
  std::wstring inPath;
  std::vector<std::pair<std::string, std::wstring>> fields;  // --set name=value
  std::uint32_t jobId = 0;
  bool signalReady = false;
  std::uint32_t lingerSeconds = 0;
  bool occupyChannel = false;
  std::uint32_t filterElements = 1;

  // docsheet and prnsheet
  bool show = false;
  SheetPress press = SheetPress::None;
  std::wstring pressButton;
  int page = -1;
  std::vector<std::pair<std::string, std::string>> selects;     // --select ITEM=OPTION
  std::vector<std::pair<std::string, std::string>> rawSelects;  // --raw-select KEYWORD=N
  std::vector<std::pair<std::string, std::string>> refusals;    // --refuse KEYWORD=OPTION
  std::wstring recordPath;  // --record: the record the sheet starts from
  std::wstring outRecord;
  std::wstring outDevmode;
  std::wstring dumpPath;
  std::wstring ppdPath;
  std::uint32_t screenshotWaitMs = 0;
  std::wstring scriptPath;       // --script: the dialog script played against the sheet
  std::wstring controlsPath;     // --dump-controls: the controls of the window in front
  std::wstring artifactsDir;     // --artifacts: the screenshots' folder
  bool testDialogs = false;      // --test-dialogs: the driver page's test affordance
  bool noPermission = false;     // --no-permission: DM_NOPERMISSION in the sheet's flags
  bool driverPagesOnly = false;  // --driver-pages-only: the plug-in takes no part in the sheet
  int layout = 0;                // --layout: the driver's page-layout byte (document sheet)
  std::vector<std::pair<std::string, std::string>> installable;  // --option KEY=VALUE

  // printerevent
  std::uint32_t event = 0;
  std::uint32_t eventFlags = 0;
};

// Throws UsageError with the reason.
Options parseOptions(int argc, wchar_t** argv);

struct UsageError {
  std::wstring message;
};

inline constexpr wchar_t kUsage[] =
    L"usage: ui-host.exe [--printer NAME] [--driver NAME] [--share NAME] [--model KEY=VALUE]...\n"
    L"                   [--files A,B] [--no-install] [--plugin PATH] COMMAND ...\n"
    L"  defaults --out FILE\n"
    L"  record --out FILE [--in FILE] [--set FIELD=VALUE]...\n"
    L"  startdoc --job ID [--ready] [--linger SECONDS] [--occupy-channel]\n"
    L"  queryfilter [--allocated N]\n"
    L"  docsheet [--show] [--press apply|ok|cancel] [--record FILE] [--out-record FILE]\n"
    L"           [--out-devmode FILE] [--dump FILE] [--refuse K=O]... [--select I=O]...\n"
    L"           [--page N] [--press-button NAME] [--ppd FILE] [--screenshot-wait MS]\n"
    L"           [--option KEY=VALUE]... [--layout 0..6] [--no-permission]\n"
    L"           [--driver-pages-only] [--raw-select KEYWORD=N]...\n"
    L"           [--script FILE] [--dump-controls FILE] [--artifacts DIR] [--test-dialogs]\n"
    L"  prnsheet [--show] [--press apply|ok|cancel] [--press-button NAME] [--page N]\n"
    L"           [--dump FILE] [--refuse K=O]... [--select I=O]... [--ppd FILE]\n"
    L"           [--screenshot-wait MS] [--no-permission]\n"
    L"           [--script FILE] [--dump-controls FILE] [--artifacts DIR] [--test-dialogs]\n"
    L"  printerevent --event N [--flags F]";

}  // namespace vex::uihost
