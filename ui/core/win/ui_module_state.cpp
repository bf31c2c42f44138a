#include "ui_module_state.h"

#include <string>
#include <vector>

namespace vex {

UiModuleState& uiModuleState() {
  static UiModuleState state;
  return state;
}

bool isNewHelpViewer(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return false;
  std::vector<BYTE> data(size, 0);
  if (!GetFileVersionInfoW(path, 0, size, data.data())) return false;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  return HIWORD(info->dwProductVersionMS) >= 6;
}

void runVersionProbe() {
  UiModuleState& state = uiModuleState();
  if (state.versionProbeDone) return;
  state.versionProbeDone = true;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExW(&version) || version.dwMajorVersion < 6) return;
  state.isOsVersion6OrLater = true;
  wchar_t windows[MAX_PATH] = L"";
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring helpViewer = std::wstring(windows, length) + L"\\WINHLP32.EXE";
  if (isNewHelpViewer(helpViewer.c_str())) state.contextHelpAvailable = false;
}

bool isOsVersion6OrLater() {
  runVersionProbe();
  return uiModuleState().isOsVersion6OrLater;
}

bool contextHelpAvailable() {
  runVersionProbe();
  return uiModuleState().contextHelpAvailable;
}

void markDriverSettingsChanged() {
  DWORD& flags = uiModuleState().pageRefreshFlags;
  flags = (flags | kDriverSettingsChanged) & ~kPagesRefreshed;
}

void markDriverPagesCurrent() { uiModuleState().pageRefreshFlags |= kPagesRefreshed; }

}  // namespace vex
