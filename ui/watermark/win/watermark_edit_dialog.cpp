#include "watermark_edit_dialog.h"

#include <commdlg.h>
#include <imm.h>

#include <string>

#include "dialog_helpers.h"
#include "text_convert.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"
#include "watermark_dialog_rules.h"
#include "watermark_font_dialog.h"
#include "watermark_preview_draw.h"
#include "watermark_profile.h"

namespace vex {
namespace {

constexpr int kMinSize = 1;
constexpr int kMaxSize = 600;
constexpr int kDefaultSize = 72;
constexpr int kMinAngle = -180;
constexpr int kMaxAngle = 180;
constexpr int kDefaultAngle = 45;
constexpr int kOffsetChars = 5;
constexpr int kPositionCount = 7;
constexpr int kFieldChars = 16;  // more than a numeric field holds
constexpr int kStringChars = 64;

std::wstring controlText(HWND control, int chars) {
  std::wstring text(static_cast<std::size_t>(chars) + 1, L'\0');
  const int length = GetWindowTextW(control, text.data(), chars + 1);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

void detachInputMethod(HWND dialog, int id) {
  HWND field = GetDlgItem(dialog, id);
  if (field != nullptr) ImmAssociateContext(field, nullptr);
}

// WM_HSCROLL as the scroll bar itself would send it for a released thumb.
void sendThumbPosition(HWND dialog, int barId, int position) {
  HWND bar = GetDlgItem(dialog, barId);
  if (bar == nullptr) return;
  SendMessageW(dialog, WM_HSCROLL,
               MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(static_cast<std::int16_t>(position))),
               reinterpret_cast<LPARAM>(bar));
}

class WatermarkEditDialog final : public UiDialog<WatermarkEditDialog> {
 public:
  explicit WatermarkEditDialog(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_WM_TEXT, kAnyNotification, &WatermarkEditDialog::textNotified},
        {IDC_WM_SIZE, kAnyNotification, &WatermarkEditDialog::sizeNotified},
        {IDC_WM_ANGLE, kAnyNotification, &WatermarkEditDialog::angleNotified},
        {IDC_WM_OFFSET_X, kAnyNotification, &WatermarkEditDialog::offsetNotified},
        {IDC_WM_OFFSET_Y, kAnyNotification, &WatermarkEditDialog::offsetNotified},
        {IDC_WM_FRAME_NONE, BN_CLICKED, &WatermarkEditDialog::frameChosen},
        {IDC_WM_FRAME_CIRCLE, BN_CLICKED, &WatermarkEditDialog::frameChosen},
        {IDC_WM_FRAME_SINGLE, BN_CLICKED, &WatermarkEditDialog::frameChosen},
        {IDC_WM_FRAME_DOUBLE, BN_CLICKED, &WatermarkEditDialog::frameChosen},
        {IDC_WM_POSITION, CBN_SELCHANGE, &WatermarkEditDialog::positionChosen},
        {IDC_WM_FONT, BN_CLICKED, &WatermarkEditDialog::chooseFont},
        {IDC_WM_COLOR, BN_CLICKED, &WatermarkEditDialog::chooseColour},
        {IDOK, kAnyNotification, &WatermarkEditDialog::accept},
        {IDCANCEL, kAnyNotification, &WatermarkEditDialog::cancel},
    };
    return table;
  }

 private:
  WatermarkList& list() { return context_.watermarks; }
  WatermarkDefinition& working() { return context_.watermarks.working; }
  const WatermarkDefinition& current() const {
    const WatermarkList& l = context_.watermarks;
    return l.definitions[l.currentIndex <= l.count() ? l.currentIndex : 0];
  }

  bool onInit() override {
    HWND dialog = window();
    SendDlgItemMessageW(dialog, IDC_WM_TEXT, EM_LIMITTEXT, kWatermarkTextChars, 0);
    SetScrollRange(control(IDC_WM_SIZE_BAR), SB_CTL, kMinSize, kMaxSize, FALSE);
    SetScrollRange(control(IDC_WM_ANGLE_BAR), SB_CTL, kMinAngle, kMaxAngle, FALSE);
    for (int id : {IDC_WM_OFFSET_X, IDC_WM_OFFSET_Y}) {
      SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, kOffsetChars, 0);
    }
    for (int id : {IDC_WM_OFFSET_X_SPIN, IDC_WM_OFFSET_Y_SPIN}) {
      SendDlgItemMessageW(dialog, id, UDM_SETRANGE32, static_cast<WPARAM>(-kMaxWatermarkOffset),
                          kMaxWatermarkOffset);
    }
    HWND positions = control(IDC_WM_POSITION);
    for (int position = 0; position < kPositionCount; ++position) {
      wchar_t name[kStringChars] = L"";
      LoadStringW(uiModuleState().moduleInstance, IDS_POSITION_FIRST + position, name,
                  kStringChars);
      const LRESULT at = SendMessageW(positions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      if (at >= 0) SendMessageW(positions, CB_SETITEMDATA, at, position);
    }
    selectWatermark(list(), list().currentIndex);
    filling_ = true;
    fillWatermarkControls(dialog, context_, surface_);
    filling_ = false;
    readControls();
    enableOk();
    redraw();
    return true;
  }

  bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
    if (message == WM_HSCROLL) {
      scrolled(LOWORD(wParam), static_cast<std::int16_t>(HIWORD(wParam)),
               reinterpret_cast<HWND>(lParam));
      result = 0;
      return true;
    }
    if (message == WM_DRAWITEM && wParam == IDC_WM_PREVIEW) {
      readControls();
      redraw();
      result = TRUE;
      return true;
    }
    return false;
  }

  void redraw() { drawWatermarkPreview(window(), IDC_WM_PREVIEW, context_, surface_); }

  void enableOk() { EnableWindow(control(IDOK), !working().text.empty()); }

  // The controls into the working copy. Re-entered through the fields' own notifications while
  // it rewrites them; the inner call has nothing to add.
  void readControls() {
    if (reading_ || filling_) return;
    reading_ = true;
    WatermarkDefinition& w = working();
    w.text = toU16(controlText(control(IDC_WM_TEXT), static_cast<int>(kWatermarkTextChars)));
    std::int32_t number = 0;
    w.fontSize = readSizeField(toU16(controlText(control(IDC_WM_SIZE), kFieldChars)), &number)
                     ? number
                     : current().fontSize;
    w.angle = readAngleField(toU16(controlText(control(IDC_WM_ANGLE), kFieldChars)), &number)
                  ? static_cast<std::int16_t>(number)
                  : current().angle;
    readOffset(IDC_WM_OFFSET_X, IDC_WM_OFFSET_X_SPIN, w.offsetX);
    readOffset(IDC_WM_OFFSET_Y, IDC_WM_OFFSET_Y_SPIN, w.offsetY);
    reading_ = false;
  }

  void readOffset(int fieldId, int spinId, std::int32_t& offset) {
    HWND field = control(fieldId);
    const std::wstring text = controlText(field, kFieldChars);
    const OffsetField filtered = filterOffsetField(toU16(text));
    if (!filtered.hasValue) return;
    offset = filtered.value;
    SendDlgItemMessageW(window(), spinId, UDM_SETPOS32, 0, filtered.value);
    // The field shows what was taken: the dropped characters go, a number beyond the limits
    // becomes the limit; the caret goes after what remains.
    if (!filtered.dropped && !filtered.clamped) return;
    const std::wstring shown =
        filtered.clamped ? std::to_wstring(filtered.value) : toWide(filtered.kept);
    SetWindowTextW(field, shown.c_str());
    const int end = GetWindowTextLengthW(field);
    SendMessageW(field, EM_SETSEL, end, end);
  }

  void textNotified() {
    detachInputMethod(window(), IDC_WM_TEXT);
    if (commandNotification() != EN_UPDATE) return;
    readControls();
    redraw();
    enableOk();
  }

  void numberNotified(int fieldId, int barId, int defaultValue, int minimum, int maximum,
                      bool isSigned) {
    detachInputMethod(window(), IDC_WM_SIZE);
    detachInputMethod(window(), IDC_WM_ANGLE);
    const WORD code = commandNotification();
    guardNumericEdit(window(), code, fieldId, defaultValue, minimum, maximum, context_.savedText,
                     isSigned);
    if (code == EN_CHANGE) {
      BOOL ok = FALSE;
      const int value = static_cast<int>(GetDlgItemInt(window(), fieldId, &ok, isSigned));
      if (ok) SetScrollPos(control(barId), SB_CTL, value, TRUE);
    }
    readControls();
    redraw();
  }
  void sizeNotified() {
    numberNotified(IDC_WM_SIZE, IDC_WM_SIZE_BAR, kDefaultSize, kMinSize, kMaxSize, false);
  }
  void angleNotified() {
    numberNotified(IDC_WM_ANGLE, IDC_WM_ANGLE_BAR, kDefaultAngle, kMinAngle, kMaxAngle, true);
  }

  void offsetNotified() {
    detachInputMethod(window(), IDC_WM_OFFSET_X);
    detachInputMethod(window(), IDC_WM_OFFSET_Y);
    readControls();
    redraw();
  }

  void scrolled(int code, std::int16_t thumb, HWND bar) {
    const bool isSize = bar == control(IDC_WM_SIZE_BAR);
    if (!isSize && bar != control(IDC_WM_ANGLE_BAR)) return;
    const int minimum = isSize ? kMinSize : kMinAngle;
    const int maximum = isSize ? kMaxSize : kMaxAngle;
    const int position = scrollPosition(code, GetScrollPos(bar, SB_CTL), thumb, minimum, maximum);
    if (code != SB_ENDSCROLL) SetScrollPos(bar, SB_CTL, position, TRUE);
    SetDlgItemInt(window(), isSize ? IDC_WM_SIZE : IDC_WM_ANGLE, static_cast<UINT>(position),
                  isSize ? FALSE : TRUE);
    readControls();
    redraw();
  }

  void frameChosen() {
    working().frameStyle = static_cast<std::int16_t>(commandId() - IDC_WM_FRAME_NONE);
    readControls();
    redraw();
  }

  void positionChosen() {
    HWND positions = control(IDC_WM_POSITION);
    const LRESULT row = SendMessageW(positions, CB_GETCURSEL, 0, 0);
    if (row < 0) return;
    working().position = static_cast<std::int16_t>(SendMessageW(positions, CB_GETITEMDATA, row, 0));
    working().offsetX = 0;
    working().offsetY = 0;
    SetDlgItemInt(window(), IDC_WM_OFFSET_X, 0, TRUE);
    SetDlgItemInt(window(), IDC_WM_OFFSET_Y, 0, TRUE);
    readControls();
    redraw();
  }

  void chooseFont() {
    if (showWatermarkFontDialog(window(), context_) != IDOK) return;
    sendThumbPosition(window(), IDC_WM_SIZE_BAR, working().fontSize);
    readControls();
    redraw();
  }

  void chooseColour() {
    IniWatermarkProfile ini(context_.iniPath);
    LoadCustomColors(ini);
    CHOOSECOLORW chooser{};
    chooser.lStructSize = sizeof(chooser);
    chooser.hwndOwner = window();
    chooser.rgbResult = working().color;
    chooser.lpCustColors = reinterpret_cast<COLORREF*>(customColors().data());
    chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (ChooseColorW(&chooser)) working().color = chooser.rgbResult & 0x00FFFFFF;
    SaveCustomColors(ini);  // kept even when the chooser was cancelled
    readControls();
    redraw();
  }

  void accept() {
    readControls();
    ResolveWatermarkFont(working(), context_.watermarkFontFile);
    end(IDOK);
  }
  void cancel() { end(IDCANCEL); }

  WORD commandId() const { return static_cast<WORD>(GetDlgCtrlID(commandControl())); }

  DocumentContext& context_;
  PreviewSurface surface_;
  bool reading_ = false;
  bool filling_ = false;
};

}  // namespace

void fillWatermarkControls(HWND dialog, const DocumentContext& context, PreviewSurface& surface) {
  const WatermarkList& list = context.watermarks;
  const WatermarkDefinition& w = list.working;
  HWND names = GetDlgItem(dialog, IDC_WM_LIST);
  if (names != nullptr) {
    SendMessageW(names, LB_RESETCONTENT, 0, 0);
    for (const WatermarkDefinition& definition : list.definitions) {
      const std::wstring text = toWide(definition.text);
      SendMessageW(names, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(names, LB_SETCURSEL, list.currentIndex, 0);
  }
  if (GetDlgItem(dialog, IDC_WM_TEXT) != nullptr) {
    const std::wstring text = list.currentIndex == 0 ? std::wstring() : toWide(w.text);
    SetDlgItemTextW(dialog, IDC_WM_TEXT, text.c_str());
  }
  // The size first: the angle's message reads the fields again.
  const std::int32_t angle = w.angle;
  const std::int32_t offsetX = w.offsetX;
  const std::int32_t offsetY = w.offsetY;
  sendThumbPosition(dialog, IDC_WM_SIZE_BAR, w.fontSize);
  sendThumbPosition(dialog, IDC_WM_ANGLE_BAR, angle);
  if (GetDlgItem(dialog, IDC_WM_FIRST_PAGE) != nullptr) {
    CheckDlgButton(dialog, IDC_WM_FIRST_PAGE, w.firstPageOnly != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
  if (GetDlgItem(dialog, IDC_WM_OFFSET_X) != nullptr) {
    SetDlgItemInt(dialog, IDC_WM_OFFSET_X, static_cast<UINT>(offsetX), TRUE);
    SendDlgItemMessageW(dialog, IDC_WM_OFFSET_X_SPIN, UDM_SETPOS32, 0, offsetX);
  }
  if (GetDlgItem(dialog, IDC_WM_OFFSET_Y) != nullptr) {
    SetDlgItemInt(dialog, IDC_WM_OFFSET_Y, static_cast<UINT>(offsetY), TRUE);
    SendDlgItemMessageW(dialog, IDC_WM_OFFSET_Y_SPIN, UDM_SETPOS32, 0, offsetY);
  }
  HWND positions = GetDlgItem(dialog, IDC_WM_POSITION);
  if (positions != nullptr) {
    const LRESULT rows = SendMessageW(positions, CB_GETCOUNT, 0, 0);
    LRESULT chosen = -1;
    for (LRESULT row = 0; row < rows; ++row) {
      if (SendMessageW(positions, CB_GETITEMDATA, row, 0) == w.position) chosen = row;
    }
    SendMessageW(positions, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
  }
  if (GetDlgItem(dialog, IDC_WM_FRAME_NONE) != nullptr) {
    const int frame = w.frameStyle >= 0 && w.frameStyle <= 3 ? w.frameStyle : 0;
    CheckRadioButton(dialog, IDC_WM_FRAME_NONE, IDC_WM_FRAME_DOUBLE, IDC_WM_FRAME_NONE + frame);
  }
  if (GetDlgItem(dialog, IDC_WM_BACKGROUND) != nullptr) {
    CheckDlgButton(dialog, IDC_WM_BACKGROUND, w.asBackground != 0 ? BST_CHECKED : BST_UNCHECKED);
  }
  drawWatermarkPreview(dialog, IDC_WM_PREVIEW, context, surface);
}

INT_PTR showWatermarkEditDialog(HWND owner, DocumentContext& context) {
  if (context.watermarks.definitions.empty()) return IDCANCEL;
  WatermarkEditDialog dialog(context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_WATERMARK_EDIT, owner);
}

}  // namespace vex
