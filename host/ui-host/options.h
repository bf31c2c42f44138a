// The command line of ui-host.exe (see docs/ui-host.md).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vex::uihost {

enum class Command { Defaults, Record, StartDoc, QueryFilter };

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
    L"  queryfilter [--allocated N]";

}  // namespace vex::uihost
