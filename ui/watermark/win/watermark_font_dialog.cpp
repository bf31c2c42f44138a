#include "watermark_font_dialog.h"

#include <imm.h>

#include <string>
#include <vector>

#include "text_convert.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"
#include "watermark_dialog_rules.h"
#include "watermark_profile.h"

namespace vex {
namespace {

constexpr int kFontNameChars = 30;
constexpr int kStyleNameChars = 5;
constexpr int kSizeChars = 5;
constexpr int kStyleCount = 4;
constexpr int kSizeCount = 16;
// A font file with more entries than this is cut: the list is filled again on every choice.
constexpr int kMaxFonts = 999;
constexpr int kStringChars = 64;

std::wstring moduleString(UINT id) {
  wchar_t text[kStringChars] = L"";
  const int length = LoadStringW(uiModuleState().moduleInstance, id, text, kStringChars);
  return length > 0 ? boundedWide(text, kStringChars) : std::wstring();
}

// The font file's "PrinterFont" entries 1, 2, 3 ... up to the first missing or empty one, read
// in one call: reading them key by key costs a search of the whole file each, and the list is
// filled again on every choice. A section beyond the buffer is cut, and so is the list.
constexpr DWORD kSectionChars = 65536;

std::vector<std::u16string> readFontEntries(const std::wstring& fontFile) {
  std::vector<std::u16string> entries;
  if (fontFile.empty()) return entries;
  std::vector<wchar_t> section(kSectionChars, L'\0');
  const DWORD length =
      GetPrivateProfileSectionW(L"PrinterFont", section.data(), kSectionChars, fontFile.c_str());
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  std::size_t start = 0;
  for (std::size_t i = 0; i < length && i < section.size(); ++i) {
    if (section[i] != L'\0') continue;
    const std::wstring_view line(section.data() + start, i - start);
    start = i + 1;
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) continue;
    pairs.emplace_back(std::wstring(line.substr(0, equals)),
                       std::wstring(line.substr(equals + 1, kProfileValueChars)));
  }
  for (int key = 1; key <= kMaxFonts; ++key) {
    const std::wstring name = std::to_wstring(key);
    std::u16string value;
    for (const auto& [k, v] : pairs) {
      if (k == name) {
        value = toU16(v);
        break;  // the first of equal keys, as the profile functions answer
      }
    }
    if (value.empty()) break;
    entries.push_back(std::move(value));
  }
  return entries;
}

std::wstring fieldText(HWND control) {
  wchar_t text[kSizeChars + 8] = L"";
  GetWindowTextW(control, text, kSizeChars + 8);
  return boundedWide(text, kSizeChars + 8);
}

class WatermarkFontDialog final : public UiDialog<WatermarkFontDialog> {
 public:
  explicit WatermarkFontDialog(DocumentContext& context)
      : context_(context), fonts_(readFontEntries(context.watermarkFontFile)) {
    takeValues();
  }

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_WMF_FONTS, LBN_SELCHANGE, &WatermarkFontDialog::fontChosen},
        {IDC_WMF_STYLES, LBN_SELCHANGE, &WatermarkFontDialog::styleChosen},
        {IDC_WMF_SIZES, LBN_SELCHANGE, &WatermarkFontDialog::sizeChosen},
        {IDC_WMF_SIZE, kAnyNotification, &WatermarkFontDialog::sizeTyped},
        {IDOK, kAnyNotification, &WatermarkFontDialog::accept},
        {IDCANCEL, kAnyNotification, &WatermarkFontDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    SendDlgItemMessageW(window(), IDC_WMF_FONT_NAME, EM_LIMITTEXT, kFontNameChars, 0);
    SendDlgItemMessageW(window(), IDC_WMF_STYLE_NAME, EM_LIMITTEXT, kStyleNameChars, 0);
    SendDlgItemMessageW(window(), IDC_WMF_SIZE, EM_LIMITTEXT, kSizeChars, 0);
    fillFonts();
    HWND styles = control(IDC_WMF_STYLES);
    for (int row = 0; row < kStyleCount; ++row) {
      const std::wstring name = moduleString(IDS_FONT_STYLE_FIRST + row);
      const LRESULT at =
          SendMessageW(styles, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      if (at >= 0) SendMessageW(styles, LB_SETITEMDATA, at, row);
    }
    showStyle(fontStyleRow(weight_, italic_));
    HWND sizes = control(IDC_WMF_SIZES);
    for (int row = 0; row < kSizeCount; ++row) {
      const std::wstring name = moduleString(IDS_FONT_SIZE_FIRST + row);
      const LRESULT at =
          SendMessageW(sizes, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      if (at >= 0) SendMessageW(sizes, LB_SETITEMDATA, at, row);
    }
    const std::int32_t size = size_;
    SendMessageW(sizes, LB_SETCURSEL, static_cast<WPARAM>(fontSizeRow(size)), 0);
    SetDlgItemInt(window(), IDC_WMF_SIZE, static_cast<UINT>(size), TRUE);
    size_ = size;  // the field's own notification must not change what was there
    return true;
  }

  void takeValues() {
    const WatermarkDefinition& working = context_.watermarks.working;
    fontIndex_ = working.fontIndex;
    size_ = working.fontSize;
    weight_ = working.fontWeight;
    italic_ = working.italic;
  }

  // The fonts of the font file, up to the first missing or empty entry.
  void fillFonts() {
    HWND list = control(IDC_WMF_FONTS);
    // Drawn once when it is full: a visible list redrawn after each of a thousand rows takes
    // seconds.
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_INITSTORAGE, fonts_.size(), fonts_.size() * 32 * sizeof(wchar_t));
    std::wstring current;
    for (int key = 1; key <= static_cast<int>(fonts_.size()); ++key) {
      const std::wstring name = toWide(fontEntryField(fonts_[key - 1], 1));
      const LRESULT at =
          SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      if (at >= 0) SendMessageW(list, LB_SETITEMDATA, at, key - 1);
      if (key - 1 == fontIndex_) current = name;
    }
    if (fontIndex_ >= 0) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(fontIndex_), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextW(window(), IDC_WMF_FONT_NAME, current.c_str());
  }

  void showStyle(int row) {
    SendDlgItemMessageW(window(), IDC_WMF_STYLES, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    SetDlgItemTextW(window(), IDC_WMF_STYLE_NAME, moduleString(IDS_FONT_STYLE_FIRST + row).c_str());
  }

  void fontChosen() {
    HWND list = control(IDC_WMF_FONTS);
    const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (row < 0) return;
    fontIndex_ = static_cast<std::int32_t>(SendMessageW(list, LB_GETITEMDATA, row, 0));
    fillFonts();
  }

  void styleChosen() {
    HWND list = control(IDC_WMF_STYLES);
    const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (row < 0 || row >= kStyleCount) return;
    const int style = static_cast<int>(SendMessageW(list, LB_GETITEMDATA, row, 0)) & 3;
    weight_ = fontStyleWeight(style);
    italic_ = fontStyleItalic(style);
    SetDlgItemTextW(window(), IDC_WMF_STYLE_NAME,
                    moduleString(IDS_FONT_STYLE_FIRST + style).c_str());
  }

  void sizeChosen() {
    HWND list = control(IDC_WMF_SIZES);
    const LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (row < 0 || row >= kSizeCount) return;
    size_ = kFontDialogSizes[row];
    SetDlgItemInt(window(), IDC_WMF_SIZE, static_cast<UINT>(size_), TRUE);
  }

  void sizeTyped() {
    HWND field = control(IDC_WMF_SIZE);
    ImmAssociateContext(field, nullptr);
    size_ = typedFontSize(toU16(fieldText(field)));
    SendDlgItemMessageW(window(), IDC_WMF_SIZES, LB_SETCURSEL,
                        static_cast<WPARAM>(fontSizeRow(size_)), 0);
  }

  void accept() {
    WatermarkDefinition& working = context_.watermarks.working;
    working.fontIndex = fontIndex_;
    working.fontSize = size_;
    working.fontWeight = weight_;
    working.italic = italic_;
    end(IDOK);
  }
  void cancel() {
    takeValues();
    end(IDCANCEL);
  }

  DocumentContext& context_;
  const std::vector<std::u16string> fonts_;
  std::int32_t fontIndex_ = 0;
  std::int32_t size_ = 0;
  std::int32_t weight_ = 0;
  std::uint8_t italic_ = 0;
};

}  // namespace

INT_PTR showWatermarkFontDialog(HWND owner, DocumentContext& context) {
  WatermarkFontDialog dialog(context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_WATERMARK_FONT, owner);
}

}  // namespace vex
