#include "support_page.h"

#include <shellapi.h>

#include "config_files.h"
#include "dialog_helpers.h"
#include "driver_paths.h"
#include "job_password_dialog.h"
#include "text_convert.h"
#include "ui_module_state.h"

namespace vex {
namespace {

constexpr int kPictureControl = 1001;
constexpr int kSupportButton = 1002;
constexpr int kEmblemControl = 1101;
constexpr int kPictureBitmap = 1100;
constexpr int kEmblemBitmap = 1003;

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  const std::size_t length = wcslen(prefix);
  return text.size() > length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

}  // namespace

std::wstring folderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L'\\');
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

bool isWebAddress(const std::wstring& address) {
  return startsWithNoCase(address, L"http://") || startsWithNoCase(address, L"https://");
}

HMODULE supportPageLibrary(HANDLE printer, const wchar_t* pluginIniPath) {
  UiModuleState& state = uiModuleState();
  if (printer == nullptr || pluginIniPath == nullptr) return nullptr;
  const std::wstring address = readModelString(printer, L"AskVexURL");
  const std::wstring name = readModelString(printer, L"AskVexRES");
  if (address.empty() || name.empty()) return nullptr;
  if (state.resourceLibrary != nullptr) return state.resourceLibrary;
  if (!isBareFileName(toU16(name))) return nullptr;
  const std::wstring folder = folderOf(boundedWide(pluginIniPath, kPathChars));
  if (folder.empty()) return nullptr;
  const std::wstring path = folder + name;
  if (path.size() >= kPathChars) return nullptr;
  state.resourceLibrary = LoadLibraryW(path.c_str());
  return state.resourceLibrary;
}

std::span<const SupportPage::Route> SupportPage::routes() const {
  static constexpr Route table[] = {
      {kSupportButton, BN_CLICKED, &SupportPage::openSupportAddress},
  };
  return table;
}

bool SupportPage::onInit() {
  drawPicture();
  markDriverPagesCurrent();
  return true;
}

bool SupportPage::onSetActive() {
  drawPicture();
  return true;
}

bool SupportPage::onMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  if (message == WM_ACTIVATE) {
    drawPicture();
    return false;
  }
  if (message != WM_DRAWITEM) return false;
  if (wParam == kPictureControl) {
    drawPicture();
  } else if (wParam == kEmblemControl) {
    drawTransparentBitmap(window(), uiModuleState().resourceLibrary, kEmblemControl, kEmblemBitmap);
  } else {
    return false;
  }
  result = TRUE;
  return true;
}

void SupportPage::drawPicture() {
  HINSTANCE library = uiModuleState().resourceLibrary;
  if (library != nullptr) drawFramedDib(window(), library, kPictureBitmap, kPictureControl);
}

void SupportPage::openSupportAddress() {
  const std::wstring address = readModelString(contextPrinter(context_), L"AskVexURL");
  if (!isWebAddress(address)) return;
  ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vex
