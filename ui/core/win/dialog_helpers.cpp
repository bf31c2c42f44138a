#include "dialog_helpers.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "dib_layout.h"
#include "gdi_handles.h"
#include "no_throw.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {
namespace {

constexpr int kLastControlId = 0xFFFF;  // control ids are 16-bit

// Calls `apply` for each existing control of the range. The counter is wider than the ids, so
// that a range ending at 0xFFFF ends.
template <typename Apply>
void forEachControl(HWND dialog, int firstId, int lastId, Apply apply) {
  if (dialog == nullptr) return;
  if (firstId < 0) firstId = 0;
  if (lastId > kLastControlId) lastId = kLastControlId;
  for (int id = firstId; id <= lastId; ++id) {
    HWND control = GetDlgItem(dialog, id);
    if (control != nullptr) apply(control);
  }
}

// The control's top-left corner in the dialog's client coordinates.
bool controlOrigin(HWND dialog, int controlId, POINT* origin) {
  if (dialog == nullptr || !IsWindow(dialog)) return false;
  HWND control = GetDlgItem(dialog, controlId);
  RECT rect{};
  if (control == nullptr || !GetWindowRect(control, &rect)) return false;
  POINT corner{rect.left, rect.top};
  if (!ScreenToClient(dialog, &corner)) return false;
  *origin = corner;
  return true;
}

// ---- The once-only warning ----

constexpr wchar_t kAlertSection[] = L"DisplayAllert";
constexpr long kJobNameAlert = 1;

// Dialog 301: OK ends with 1 while "show this message next time" is still ticked, else 0.
class AlertDialog final : public UiDialog<AlertDialog> {
 public:
  std::span<const Route> routes() const {
    static constexpr Route table[] = {{IDOK, kAnyNotification, &AlertDialog::accept},
                                      {IDCANCEL, kAnyNotification, &AlertDialog::cancel}};
    return table;
  }

 private:
  bool onInit() override {
    HICON icon = LoadIconW(uiModuleState().moduleInstance, MAKEINTRESOURCEW(IDI_VEX));
    if (icon != nullptr) {
      SendDlgItemMessageW(window(), IDC_ALERT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    CheckDlgButton(window(), IDC_ALERT_SHOW_AGAIN, BST_CHECKED);
    return true;
  }
  void accept() { end(IsDlgButtonChecked(window(), IDC_ALERT_SHOW_AGAIN) == BST_CHECKED ? 1 : 0); }
  void cancel() { end(0); }
};

// ---- Bitmaps ----

// Whether a 0x00RRGGBB pixel of a 32-bit DIB row is the transparent colour.
bool isMagenta(std::uint32_t pixel) { return (pixel & 0x00FFFFFF) == 0x00FF00FF; }

// A bitmap resource with the layout of its parts, checked against its size.
struct DibResource {
  const std::uint8_t* bytes = nullptr;
  DibLayout layout;
};

DibResource findDib(HINSTANCE module, int bitmapId) {
  DibResource dib;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(bitmapId), RT_BITMAP);
  if (found == nullptr) return dib;
  HGLOBAL loaded = LoadResource(module, found);
  dib.bytes = static_cast<const std::uint8_t*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  dib.layout = dibLayout(dib.bytes, SizeofResource(module, found), kMaxPictureSide);
  return dib;
}

BITMAPINFO topDown32(LONG width, LONG height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// A logical palette of the DIB colour table's entries (blue, green, red, reserved each).
HPALETTE paletteFromTable(const std::uint8_t* table, std::uint32_t entries) {
  std::vector<BYTE> block(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(entries);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint8_t* quad = table + 4 * i;
    logical->palPalEntry[i] = PALETTEENTRY{quad[2], quad[1], quad[0], 0};
  }
  return CreatePalette(logical);
}

void fillLine(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  const RECT rect{left, top, right, bottom};
  FillRect(dc, &rect, brush);
}

// ---- The numeric edit guard ----

constexpr int kEditReadChars = 256;  // more than any numeric field holds

}  // namespace

void enableControlRange(HWND dialog, int firstId, int lastId, BOOL enable) {
  forEachControl(dialog, firstId, lastId, [enable](HWND control) {
    EnableWindow(control, enable != FALSE && IsWindowEnabled(control));
  });
}

void showControlRange(HWND dialog, int firstId, int lastId, BOOL show) {
  forEachControl(dialog, firstId, lastId, [show](HWND control) {
    ShowWindow(control, show != FALSE ? SW_SHOW : SW_HIDE);
    EnableWindow(control, show != FALSE);
  });
}

void removeControlRange(HWND dialog, int firstId, int lastId) {
  forEachControl(dialog, firstId, lastId, [](HWND control) { DestroyWindow(control); });
}

int messageFromStrings(HWND owner, UINT textId, UINT captionId, UINT type) {
  HINSTANCE module = uiModuleState().moduleInstance;
  if (module == nullptr) return 0;
  wchar_t text[kMessageTextChars] = L"";
  if (LoadStringW(module, textId, text, kMessageTextChars) <= 0) return 0;
  // No caption id: an empty caption rather than the platform's default title ("Error").
  wchar_t caption[kMessageCaptionChars] = L"";
  if (captionId != 0) LoadStringW(module, captionId, caption, kMessageCaptionChars);
  return MessageBoxW(owner, text, caption, type & 0xFFFF);
}

DWORD printerIsSharedOrNetwork(HANDLE printer) {
  if (printer == nullptr) return 0;
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W)) return 0;
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[needed]);
  if (!buffer) return 0;
  if (!GetPrinterW(printer, 2, buffer.get(), needed, &needed)) return 0;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.get());
  return info->Attributes & (PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK);
}

AlertOutcome showAlertOnce(HWND owner, const DocumentContext* context) {
  if (context == nullptr || context->iniPath[0] == L'\0') {
    return AlertOutcome::failed;
  }
  wchar_t key[32];
  std::swprintf(key, 32, L"AllertFlag%ld", kJobNameAlert);
  // Read as text and parsed here: the value is the user's file and may hold anything.
  wchar_t value[32] = L"";
  GetPrivateProfileStringW(kAlertSection, key, L"0", value, 32, context->iniPath);
  const std::u16string text(value, value + std::wcslen(value));
  if (readLeadingInteger(text) != 0) return AlertOutcome::notShown;

  HINSTANCE module = uiModuleState().moduleInstance;
  if (module == nullptr) return AlertOutcome::failed;
  AlertDialog dialog;
  const INT_PTR result = dialog.runModal(module, IDD_ALERT, owner);
  if (result == 1) return AlertOutcome::shownAgainNext;
  if (result != 0) return AlertOutcome::failed;  // -1: the dialog could not be made
  WritePrivateProfileStringW(kAlertSection, key, L"1", context->iniPath);
  return AlertOutcome::shownSuppressed;
}

namespace {

BOOL drawTransparent(HWND dialog, HINSTANCE module, int controlId, int bitmapId) {
  POINT origin{};
  if (!controlOrigin(dialog, controlId, &origin)) return FALSE;
  // Checked first: the platform's loader trusts the sizes that a damaged header states.
  if (!findDib(module, bitmapId).layout.valid) return FALSE;
  GdiObject<HBITMAP> picture(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!picture) return FALSE;
  BITMAP shape{};
  if (GetObjectW(picture.get(), sizeof(shape), &shape) != sizeof(shape)) return FALSE;
  const LONG width = shape.bmWidth;
  const LONG height = shape.bmHeight < 0 ? -shape.bmHeight : shape.bmHeight;
  if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide) {
    return FALSE;
  }

  WindowDc screen(dialog);
  if (screen.get() == nullptr) return FALSE;
  // The picture's pixels as 32-bit rows, whatever its own depth.
  BITMAPINFO info = topDown32(width, height);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  if (GetDIBits(screen.get(), picture.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS) !=
      height) {
    return FALSE;
  }

  // Mask: set (white) where the picture is magenta; rows of a monochrome bitmap are whole words.
  const std::size_t maskStride = (static_cast<std::size_t>(width) + 15) / 16 * 2;
  std::vector<BYTE> maskBits(maskStride * height, 0);
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * width + x];
      if (!isMagenta(pixel)) continue;
      maskBits[y * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
      pixel = 0;  // black in the colour copy: OR leaves the background as it is
    }
  }
  GdiObject<HBITMAP> mask(CreateBitmap(width, height, 1, 1, maskBits.data()));
  void* copyBits = nullptr;
  GdiObject<HBITMAP> copy(
      CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &copyBits, nullptr, 0));
  if (!mask || !copy || copyBits == nullptr) return FALSE;
  std::memcpy(copyBits, pixels.data(), pixels.size() * sizeof(pixels[0]));
  GdiFlush();

  MemoryDc memory(screen.get());
  if (memory.get() == nullptr) return FALSE;
  // A monochrome source takes the destination's text colour for 0 and background for 1.
  const COLORREF oldText = SetTextColor(screen.get(), RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(screen.get(), RGB(255, 255, 255));
  BOOL drawn = FALSE;
  {
    Selected selected(memory.get(), mask.get());
    drawn = selected.ok() &&
            BitBlt(screen.get(), origin.x, origin.y, width, height, memory.get(), 0, 0, SRCAND);
  }
  if (drawn) {
    Selected selected(memory.get(), copy.get());
    drawn = selected.ok() &&
            BitBlt(screen.get(), origin.x, origin.y, width, height, memory.get(), 0, 0, SRCPAINT);
  }
  SetTextColor(screen.get(), oldText);
  SetBkColor(screen.get(), oldBack);
  return drawn;
}

BOOL drawFramed(HWND dialog, HINSTANCE module, int bitmapId, int controlId) {
  POINT origin{};
  if (!controlOrigin(dialog, controlId, &origin)) return FALSE;
  const DibResource dib = findDib(module, bitmapId);
  const DibLayout& layout = dib.layout;
  if (!layout.valid) return FALSE;
  const std::uint8_t* bytes = dib.bytes;
  const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes);

  WindowDc screen(dialog);
  HDC dc = screen.get();
  if (dc == nullptr) return FALSE;

  // The colour table as a logical palette, for displays that have one.
  GdiObject<HPALETTE> palette(
      layout.paletteEntries > 0
          ? paletteFromTable(bytes + layout.colourTableOffset, layout.paletteEntries)
          : nullptr);
  if (layout.paletteEntries > 0 && !palette) return FALSE;
  HPALETTE oldPalette = nullptr;
  if (palette) {
    oldPalette = SelectPalette(dc, palette.get(), FALSE);
    RealizePalette(dc);
  }

  const int left = origin.x + 2;
  const int top = origin.y + 2;
  const int width = layout.width;
  const int rows = layout.height < 0 ? -layout.height : layout.height;
  const int drawnRows = SetDIBitsToDevice(dc, left, top, width, rows, 0, 0, 0, rows,
                                          bytes + layout.bitsOffset, info, DIB_RGB_COLORS);

  // The sunken frame: two lines on the left and top (button shadow outside, black inside), one
  // button-highlight line on the right and bottom, touching the picture.
  const int right = left + width;
  const int bottom = top + rows;
  HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
  HBRUSH highlight = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  fillLine(dc, left - 2, top - 2, left - 1, bottom, shadow);
  fillLine(dc, left - 2, top - 2, right, top - 1, shadow);
  fillLine(dc, left - 1, top - 1, left, bottom, black);
  fillLine(dc, left - 1, top - 1, right, top, black);
  fillLine(dc, right, top - 2, right + 1, bottom + 1, highlight);
  fillLine(dc, left - 2, bottom, right + 1, bottom + 1, highlight);

  if (palette) SelectPalette(dc, oldPalette, FALSE);
  return drawnRows > 0 ? TRUE : FALSE;
}

}  // namespace

// Both run inside dialog procedures: no exception may leave them.
BOOL drawTransparentBitmap(HWND dialog, HINSTANCE module, int controlId, int bitmapId) {
  return noThrow<BOOL>(FALSE, [&] { return drawTransparent(dialog, module, controlId, bitmapId); });
}

BOOL drawFramedDib(HWND dialog, HINSTANCE module, int bitmapId, int controlId) {
  return noThrow<BOOL>(FALSE, [&] { return drawFramed(dialog, module, bitmapId, controlId); });
}

void notifySheetChanged(HWND page) {
  HWND sheet = page != nullptr ? GetParent(page) : nullptr;
  if (sheet != nullptr) SendMessageW(sheet, PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

bool refreshDriverPages(HWND page) {
  UiModuleState& state = uiModuleState();
  if (state.canWritePrinterData) return false;
  if ((state.pageRefreshFlags & kPagesRefreshed) != 0) return false;
  if ((state.pageRefreshFlags & kDriverSettingsChanged) == 0) return false;
  HWND sheet = page != nullptr ? GetParent(page) : nullptr;
  if (sheet == nullptr) return false;
  state.pageRefreshFlags |= kPagesRefreshed;
  const auto current = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  const LRESULT index = SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(current), 0);
  SendMessageW(sheet, PSM_SETCURSEL, 2, 0);
  // A sheet that cannot name its current page stays on page 2 rather than on a guess.
  if (index >= 0) SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  return true;
}

namespace {

NumericEditAction guardEdit(HWND dialog, WORD notification, int controlId, int defaultValue,
                            int minimum, int maximum, wchar_t* savedText, bool isSigned) {
  HWND field = dialog != nullptr ? GetDlgItem(dialog, controlId) : nullptr;
  if (field == nullptr) return NumericEditAction::keep;
  switch (notification) {
    case EN_SETFOCUS:
    case EN_CHANGE:
      if (savedText != nullptr) GetWindowTextW(field, savedText, kNumericSavedChars);
      return NumericEditAction::keep;
    case EN_KILLFOCUS:
      if (GetWindowTextLengthW(field) == 0) {
        SetDlgItemInt(dialog, controlId, static_cast<UINT>(defaultValue), isSigned);
      }
      return NumericEditAction::keep;
    case EN_UPDATE:
      break;
    default:
      return NumericEditAction::keep;
  }
  wchar_t text[kEditReadChars] = L"";
  const int length = GetWindowTextW(field, text, kEditReadChars);
  DWORD caret = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&caret), 0);
  const std::u16string typed(text, text + (length > 0 ? length : 0));
  const NumericEditDecision decision = decideNumericEdit(typed, caret, isSigned, minimum, maximum);

  // Rewriting the field sends it another EN_UPDATE, with the caret at 0: nothing to judge then.
  switch (decision.action) {
    case NumericEditAction::refuse: {
      MessageBeep(0xFFFFFFFF);
      if (savedText != nullptr) {
        // The buffer is the caller's: never read past its size.
        const std::wstring saved(savedText, wcsnlen(savedText, kNumericSavedChars - 1));
        SetWindowTextW(field, saved.c_str());
      } else {
        // Nothing remembered: take back just the character typed.
        std::wstring without(text, static_cast<std::size_t>(length > 0 ? length : 0));
        const std::size_t at = caret <= without.size() ? caret : without.size();
        if (at > 0) without.erase(at - 1, 1);
        SetWindowTextW(field, without.c_str());
      }
      const WPARAM back = caret > 0 ? caret - 1 : 0;
      SendMessageW(field, EM_SETSEL, back, static_cast<LPARAM>(back));
      break;
    }
    case NumericEditAction::clampToMin:
    case NumericEditAction::clampToMax:
      SetDlgItemInt(dialog, controlId, static_cast<UINT>(decision.value), isSigned);
      break;
    case NumericEditAction::keep:
      break;
  }
  return decision.action;
}

}  // namespace

NumericEditAction guardNumericEdit(HWND dialog, WORD notification, int controlId, int defaultValue,
                                   int minimum, int maximum, wchar_t* savedText, bool isSigned) {
  return noThrow(NumericEditAction::keep, [&] {
    return guardEdit(dialog, notification, controlId, defaultValue, minimum, maximum, savedText,
                     isSigned);
  });
}

GdiObject<HFONT> createLinkFont(HWND dialog) {
  LOGFONTW font{};
  bool haveFont = false;
  // The sheet's font; a dialog without a parent that has one falls back to its own, then to the
  // GUI font, so that the link is never drawn in the system font.
  HWND parent = dialog != nullptr ? GetParent(dialog) : nullptr;
  for (HWND source : {parent, dialog}) {
    if (source == nullptr || haveFont) continue;
    auto handle = reinterpret_cast<HFONT>(SendMessageW(source, WM_GETFONT, 0, 0));
    haveFont = handle != nullptr && GetObjectW(handle, sizeof(font), &font) == sizeof(font);
  }
  if (!haveFont) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  font.lfEscapement = 0;
  font.lfOrientation = 0;
  font.lfWeight = FW_NORMAL;
  font.lfItalic = FALSE;
  font.lfUnderline = TRUE;
  font.lfStrikeOut = FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = 0;
  font.lfClipPrecision = 0;
  font.lfQuality = 0;
  font.lfPitchAndFamily = 0;
  lstrcpynW(font.lfFaceName, L"Verdana", LF_FACESIZE);
  return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

}  // namespace vex
