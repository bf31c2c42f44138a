// The stand-in's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vex::host {

struct CommandLine {
  std::wstring jobPath;
  std::wstring outPath;
  std::wstring pluginPath;  // empty: vexps.dll beside the program
  bool noPlugin = false;
  std::wstring injectedPath;  // also write what the plug-in injects into this file
  std::optional<std::uint64_t> benchBytes;
  bool noMerge = false;  // hand the job's record to the plug-in without the merge
};

inline constexpr wchar_t kUsage[] =
    L"usage: render-host.exe --job JOB.ini --out JOB.prn [--no-plugin] [--plugin PATH] "
    L"[--injected FILE] [--no-merge] [--bench BYTES]";

// Throws HostFailure (bad input) with the reason; `--help` throws with the usage and code 0.
CommandLine parseCommandLine(int argc, wchar_t** argv);

}  // namespace vex::host
