#include "swatch_registration.h"

#include <windows.h>

#include <optional>

#include "host_files.h"
#include "ini_text.h"
#include "printer_setup.h"

namespace vex {

namespace {

constexpr std::size_t kMaxConfigBytes = 1u << 20;

std::wstring widen(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int chars =
      MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
  if (chars > 0) {
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), chars);
  }
  return out;
}

}  // namespace

bool registerSampleSwatchTool(const std::wstring& configPath, const std::wstring& driverName,
                              std::wstring* error) {
  const std::wstring folder = programDirectory();
  if (folder.empty() || !fileExists(joinPath(folder, L"swatch.exe"))) return true;
  std::string text;
  DWORD code = 0;
  if (!readWholeFile(configPath, kMaxConfigBytes, &text, &code)) return true;  // no sample file
  std::optional<std::string> model = iniValue(text, "Capability", toAnsi(driverName));
  if (!model || model->empty()) {
    auto first = firstIniEntry(text, "Capability");
    if (!first) return true;
    model = first->second;
  }
  const std::optional<std::string> path = iniValue(text, *model, "SwatchRegPath");
  if (!path || path->empty()) return true;
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, widen(*path).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    status =
        RegSetValueExW(key, L"install", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS) {
    if (error) *error = L"cannot register the colour-sample tool under HKLM\\" + widen(*path);
    return false;
  }
  return true;
}

}  // namespace vex
