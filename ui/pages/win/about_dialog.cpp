#include "about_dialog.h"

#include <string>

#include "about_texts.h"
#include "config_files.h"
#include "dialog_helpers.h"
#include "driver_paths.h"
#include "job_password_dialog.h"
#include "text_convert.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"
#include "unique_handle.h"

namespace vex {
namespace {

// A PPD is a text file of some hundred kilobytes; a larger one is read only this far.
constexpr DWORD kMaxPpdBytes = 4u << 20;

std::string readFileBytes(const std::wstring& path, DWORD maxBytes) {
  if (path.empty()) return {};
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string bytes;
  char chunk[16384];
  DWORD read = 0;
  while (bytes.size() < maxBytes && ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) &&
         read != 0) {
    bytes.append(chunk, std::min<std::size_t>(read, maxBytes - bytes.size()));
  }
  return bytes;
}

std::wstring fromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int chars =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (chars <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), chars);
  return wide;
}

std::u16string versionValue(const wchar_t* path, const wchar_t* key, std::size_t chars) {
  std::wstring buffer(chars + 1, L'\0');
  const DWORD length = GetPrivateProfileStringW(L"Version", key, L"", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), path);
  buffer.resize(std::min<std::size_t>(length, chars));
  return toU16(buffer);
}

class AboutDialog final : public UiDialog<AboutDialog> {
 public:
  explicit AboutDialog(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDOK, kAnyNotification, &AboutDialog::accept},
        {IDCANCEL, kAnyNotification, &AboutDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    HANDLE printer = contextPrinter(context_);
    // The PPD lies beside the plug-in INI file under the INI file's own name.
    const std::u16string iniPath = toU16(boundedWide(context_.iniPath, kPathChars));
    const std::string ppd = readFileBytes(toWide(ppdPathFor(iniPath)), kMaxPpdBytes);
    const std::string ppdVersion = ppdFileVersion(findPpdPiece(ppd, "FileVersion"));
    const std::string copyright = ppdCopyright(findPpdPiece(ppd, "Copyright"));

    VersionValues values;
    wchar_t versionPath[kPathChars] = L"";
    if (printer != nullptr && findVersionFile(printer, versionPath)) {
      values.optionVer = versionValue(versionPath, L"OptionVer", kOptionVerChars);
      values.driverVer = versionValue(versionPath, L"DriverVer", kDriverVerChars);
      values.internalVer = versionValue(versionPath, L"InternalVer", kInternalVerChars);
    }
    internalVersion_ = toWide(values.internalVer);

    SetDlgItemTextW(window(), IDC_ABOUT_DRIVER_NAME,
                    printer != nullptr ? printerDriverName(printer).c_str() : L"");
    SetDlgItemTextW(window(), IDC_ABOUT_DRIVER_VERSION, toWide(driverVersionText(values)).c_str());
    SetDlgItemTextW(window(), IDC_ABOUT_PPD_VERSION, fromAnsi(ppdVersion).c_str());
    SetDlgItemTextW(window(), IDC_ABOUT_COPYRIGHT, fromAnsi(copyright).c_str());
    return true;
  }

  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
    if (message == WM_DRAWITEM && wParam == IDC_ABOUT_EMBLEM) {
      drawTransparentBitmap(window(), uiModuleState().moduleInstance, IDC_ABOUT_EMBLEM, IDB_ABOUT);
      result = TRUE;
      return true;
    }
    if (message == WM_LBUTTONDBLCLK) {
      const bool bothKeys = (wParam & MK_CONTROL) != 0 && (wParam & MK_SHIFT) != 0;
      if (bothKeys) {
        drawInternalVersion(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      }
      result = 0;
      return true;
    }
    return false;
  }

  Band clientRectOf(int id) const {
    RECT rect{};
    HWND item = control(id);
    if (item == nullptr || !GetWindowRect(item, &rect)) return {};
    MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
  }

  // Drawn on the dialog's surface: the next repaint takes it away again.
  void drawInternalVersion(long x, long y) {
    if (internalVersion_.empty() || !strictlyInside(clientRectOf(IDC_ABOUT_DRIVER_VERSION), x, y)) {
      return;
    }
    RECT client{};
    GetClientRect(window(), &client);
    const Band band = internalVersionBand(client.right, clientRectOf(IDC_ABOUT_COPYRIGHT).bottom);
    RECT rect{band.left, band.top, band.right, band.bottom};
    HDC dc = GetDC(window());
    if (dc == nullptr) return;
    HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window(), WM_GETFONT, 0, 0)));
    const int mode = SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, internalVersion_.c_str(), static_cast<int>(internalVersion_.size()), &rect,
              DT_SINGLELINE | DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    SetBkMode(dc, mode);
    SelectObject(dc, font);
    ReleaseDC(window(), dc);
  }

  void accept() { end(1); }
  void cancel() { end(0); }

  DocumentContext& context_;
  std::wstring internalVersion_;
};

}  // namespace

void showAboutDialog(HWND owner, DocumentContext& context) {
  HINSTANCE module = uiModuleState().moduleInstance;
  if (module == nullptr) return;
  AboutDialog dialog(context);
  dialog.runModal(module, IDD_ABOUT, owner);
}

}  // namespace vex
