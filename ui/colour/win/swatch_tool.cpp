#include "swatch_tool.h"

#include <shellapi.h>

#include <array>

#include "colour_rules.h"
#include "config_files.h"
#include "dialog_helpers.h"
#include "ui_resource_ids.h"
#include "unique_handle.h"

namespace vex {

bool modelNamesSwatchKey(HANDLE printer) {
  std::array<wchar_t, 2> first{};
  return printer != nullptr &&
         readModelString(printer, L"SwatchRegPath", first.data(), first.size()) != 0;
}

std::optional<std::wstring> swatchRegistryPath(HANDLE printer) {
  if (printer == nullptr) return std::nullopt;
  std::array<wchar_t, kModelStringChars> buffer{};
  const std::size_t length =
      readModelString(printer, L"SwatchRegPath", buffer.data(), buffer.size());
  // A value that fills the buffer may have been cut.
  if (length == 0 || length >= buffer.size() - 1) return std::nullopt;
  return std::wstring(buffer.data(), length);
}

std::optional<std::wstring> swatchProgram(const std::wstring& registryPath) {
  RegistryKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, registryPath.c_str(), 0, KEY_READ, key.out()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::array<std::uint8_t, kSwatchInstallBytes> data{};
  DWORD type = 0;
  DWORD size = static_cast<DWORD>(data.size());
  const LSTATUS status =
      RegQueryValueExW(key.get(), L"install", nullptr, &type, data.data(), &size);
  const std::size_t stored = std::min<std::size_t>(size, data.size());
  const auto folder =
      swatchInstallFolder(type, std::span(data.data(), stored), status == ERROR_SUCCESS);
  if (!folder) return std::nullopt;
  const std::u16string program = swatchProgramPath(*folder);
  return std::wstring(program.begin(), program.end());
}

bool startColourSampleTool(HWND page, HANDLE printer) {
  const auto path = swatchRegistryPath(printer);
  const auto program = path ? swatchProgram(*path) : std::nullopt;
  if (!program) {
    messageFromStrings(page, IDS_NEED_COLOUR_SAMPLE_TOOL, IDS_CAPTION_ERROR, MB_ICONEXCLAMATION);
    return false;
  }
  ShellExecuteW(page, nullptr, program->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return true;
}

}  // namespace vex
