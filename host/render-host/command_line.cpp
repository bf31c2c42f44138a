#include "command_line.h"

#include <string_view>

#include "report.h"

namespace vex::host {
namespace {

// Bytes for --bench: a decimal count with an optional K, M or G (binary multiples).
std::uint64_t parseByteCount(std::wstring_view text) {
  std::uint64_t value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    if (value > (UINT64_MAX - 9) / 10) failWith(ExitCode::kBadInput, L"--bench: number too large");
    value = value * 10 + static_cast<std::uint64_t>(text[i] - L'0');
  }
  if (i == 0)
    failWith(ExitCode::kBadInput,
             L"--bench needs a byte count, got \"" + std::wstring(text) + L"\"");
  std::uint64_t unit = 1;
  if (i < text.size()) {
    switch (text[i]) {
      case L'K':
      case L'k':
        unit = 1ull << 10;
        break;
      case L'M':
      case L'm':
        unit = 1ull << 20;
        break;
      case L'G':
      case L'g':
        unit = 1ull << 30;
        break;
      default:
        failWith(ExitCode::kBadInput, L"--bench: unknown unit in \"" + std::wstring(text) + L"\"");
    }
    if (i + 1 != text.size()) {
      failWith(ExitCode::kBadInput, L"--bench: trailing text in \"" + std::wstring(text) + L"\"");
    }
  }
  constexpr std::uint64_t kMax = 16ull << 30;
  if (value == 0 || value > kMax / unit) {
    failWith(ExitCode::kBadInput, L"--bench: the byte count must be 1 to 16G");
  }
  return value * unit;
}

}  // namespace

CommandLine parseCommandLine(int argc, wchar_t** argv) {
  CommandLine line;
  auto valueOf = [&](int& i, std::wstring_view option) -> std::wstring {
    if (i + 1 >= argc)
      failWith(ExitCode::kBadInput, std::wstring(option) + L" needs a value\n" + kUsage);
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    std::wstring_view arg = argv[i];
    if (arg == L"--job") {
      line.jobPath = valueOf(i, arg);
    } else if (arg == L"--out") {
      line.outPath = valueOf(i, arg);
    } else if (arg == L"--plugin") {
      line.pluginPath = valueOf(i, arg);
    } else if (arg == L"--injected") {
      line.injectedPath = valueOf(i, arg);
    } else if (arg == L"--no-plugin") {
      line.noPlugin = true;
    } else if (arg == L"--no-merge") {
      line.noMerge = true;
    } else if (arg == L"--bench") {
      line.benchBytes = parseByteCount(valueOf(i, arg));
    } else if (arg == L"--help" || arg == L"-h") {
      failWith(ExitCode::kOk, kUsage);
    } else {
      failWith(ExitCode::kBadInput, L"unknown argument \"" + std::wstring(arg) + L"\"\n" + kUsage);
    }
  }
  if (line.jobPath.empty() || line.outPath.empty()) {
    failWith(ExitCode::kBadInput, std::wstring(L"--job and --out are required\n") + kUsage);
  }
  if (line.noPlugin && !line.pluginPath.empty()) {
    failWith(ExitCode::kBadInput, L"--no-plugin and --plugin exclude each other");
  }
  if (line.noPlugin && line.benchBytes) {
    failWith(ExitCode::kBadInput, L"--bench runs with and without the plug-in; drop --no-plugin");
  }
  return line;
}

}  // namespace vex::host
