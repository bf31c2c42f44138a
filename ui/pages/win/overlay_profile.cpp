#include "overlay_profile.h"

#include <vector>

#include "ui_module_state.h"

namespace vex {
namespace {

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

std::int32_t IniOverlayProfile::readNumber(std::u16string_view section, std::u16string_view key) {
  return static_cast<std::int32_t>(
      GetPrivateProfileIntW(wide(section).c_str(), wide(key).c_str(), 0, path_.c_str()));
}

std::u16string IniOverlayProfile::readText(std::u16string_view section, std::u16string_view key,
                                           std::size_t maxChars) {
  std::vector<wchar_t> buffer(maxChars + 1, L'\0');
  const DWORD length =
      GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"", buffer.data(),
                               static_cast<DWORD>(buffer.size()), path_.c_str());
  return std::u16string(buffer.begin(), buffer.begin() + (length < maxChars ? length : maxChars));
}

void IniOverlayProfile::write(std::u16string_view section, std::u16string_view key,
                              std::u16string_view value) {
  WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(),
                             path_.c_str());
}

void loadSheetOverlays(DocumentContext& context) {
  IniOverlayProfile profile(context.iniPath);
  loadOverlaysForDialog(context.overlays, profile, context.record());
}

void acceptSheetOverlays(DocumentContext& context) {
  IniOverlayProfile profile(context.iniPath);
  acceptOverlayDialog(context.overlays, profile, context.record(),
                      uiModuleState().canWritePrinterData);
}

void cancelSheetOverlays(DocumentContext& context) { cancelOverlayDialog(context.overlays); }

bool commitSheetOverlays(DocumentContext& context) {
  IniOverlayProfile profile(context.iniPath);
  return commitOverlaysOnApply(context.overlays, profile, uiModuleState().canWritePrinterData);
}

}  // namespace vex
