#include "colour_dialogs.h"

#include <commctrl.h>

#include <array>
#include <vector>

#include "colour_features.h"
#include "colour_rules.h"
#include "config_files.h"
#include "custom_colour_file.h"
#include "dialog_bindings.h"
#include "dialog_helpers.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {

namespace {

using namespace colourslot;

// A detail dialog changed what the driver's items will receive.
void markChanged(HWND page) {
  markDriverSettingsChanged();
  notifySheetChanged(page);
}

// ---- Office colour details (118) ----

class OfficeColourDialog final : public UiDialog<OfficeColourDialog> {
 public:
  OfficeColourDialog(HWND owner, DocumentContext& context) : owner_(owner), context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_TARGET_COLOR_LIST, CBN_SELCHANGE, &OfficeColourDialog::targetChanged},
        {IDC_BLACK_RADIO_FIRST + 0, BN_CLICKED, &OfficeColourDialog::blackChanged},
        {IDC_BLACK_RADIO_FIRST + 1, BN_CLICKED, &OfficeColourDialog::blackChanged},
        {IDC_BLACK_RADIO_FIRST + 2, BN_CLICKED, &OfficeColourDialog::blackChanged},
        {IDC_RENDER_STYLE_LIST, CBN_SELCHANGE, &OfficeColourDialog::styleChanged},
        {IDC_USER_SETTING_CHECK, BN_CLICKED, &OfficeColourDialog::userSettingTicked},
        {IDC_USER_SETTING_LIST, CBN_SELCHANGE, &OfficeColourDialog::userSettingChosen},
        {IDC_COLOUR_DEFAULTS, BN_CLICKED, &OfficeColourDialog::defaults},
        {IDOK, BN_CLICKED, &OfficeColourDialog::accept},
        {IDCANCEL, BN_CLICKED, &OfficeColourDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    fillFeatureList(window(), IDC_TARGET_COLOR_LIST, context_, kTargetColor);
    hasStyle_ = featurePresent(context_, kRenderStyle);
    hasBlack_ = featurePresent(context_, kBlackSubstitution);
    hasConfiguration_ = configFilePath()[0] != L'\0';
    if (!hasStyle_) {
      removeControlRange(window(), IDC_SIMULATION_GROUP, IDC_USER_SETTING_LIST);
    } else {
      fillFeatureList(window(), IDC_RENDER_STYLE_LIST, context_, kRenderStyle);
      for (const CustomColourItem& item : customColourItems(context_)) {
        const std::wstring name(item.name.begin(), item.name.end());
        const LRESULT row = SendDlgItemMessageW(window(), IDC_USER_SETTING_LIST, CB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(name.c_str()));
        if (row < 0) break;
        SendDlgItemMessageW(window(), IDC_USER_SETTING_LIST, CB_SETITEMDATA, row, item.itemData);
        itemData_.push_back(item.itemData);
      }
      if (itemData_.empty() && !hasConfiguration_) {
        removeControlRange(window(), IDC_USER_SETTING_CHECK, IDC_USER_SETTING_LIST);
      }
    }
    target_ = context_.itemValue[kTargetColor];
    style_ = context_.itemValue[kRenderStyle];
    black_ = context_.itemValue[kBlackSubstitution];
    selection_ = context_.itemValue[kCustomColourSlot];
    refresh();
    return true;
  }

  void refresh() {
    selectListRow(window(), IDC_TARGET_COLOR_LIST, target_);
    if (hasBlack_ && black_ <= 2) {
      CheckRadioButton(window(), IDC_BLACK_RADIO_FIRST, IDC_BLACK_RADIO_FIRST + 2,
                       IDC_BLACK_RADIO_FIRST + static_cast<int>(black_));
    }
    if (hasStyle_) {
      selectListRow(window(), IDC_RENDER_STYLE_LIST, style_);
      if (hasConfiguration_) {
        const UserSettingView view = userSettingView(selection_, itemData_);
        selection_ = view.selection;
        SendDlgItemMessageW(window(), IDC_USER_SETTING_LIST, CB_SETCURSEL,
                            static_cast<WPARAM>(view.row), 0);
        EnableWindow(control(IDC_RENDER_STYLE_LIST), view.styleListEnabled);
        EnableWindow(control(IDC_USER_SETTING_LIST), view.userListEnabled);
        EnableWindow(control(IDC_USER_SETTING_CHECK), view.checkEnabled);
        CheckDlgButton(window(), IDC_USER_SETTING_CHECK,
                       view.checked ? BST_CHECKED : BST_UNCHECKED);
      }
    }
    if (sheetHasNoPermission(context_)) EnableWindow(control(IDC_COLOUR_DEFAULTS), FALSE);
  }

  void drawPicture() {
    const bool grey = context_.itemValue[kColourMode] == kColourModeGreyscale;
    drawFramedDib(window(), uiModuleState().moduleInstance,
                  grey ? IDB_COLOUR_SETTINGS_GREY : IDB_COLOUR_SETTINGS, IDC_OFFICE_PICTURE);
  }

  bool onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
    if (message == WM_DRAWITEM) {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item == nullptr || item->CtlID != IDC_OFFICE_PICTURE) return false;
      FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
      drawPicture();
      result = TRUE;
      return true;
    }
    if (message == WM_ACTIVATE) InvalidateRect(control(IDC_OFFICE_PICTURE), nullptr, FALSE);
    return false;
  }

  void targetChanged() {
    target_ = selectedListRow(window(), IDC_TARGET_COLOR_LIST, target_);
    markChanged(owner_);
  }
  void blackChanged() {
    black_ = static_cast<DWORD>(GetDlgCtrlID(commandControl()) - IDC_BLACK_RADIO_FIRST);
  }
  void styleChanged() {
    style_ = selectedListRow(window(), IDC_RENDER_STYLE_LIST, style_);
    refresh();
    markChanged(owner_);
  }
  void userSettingTicked() {
    selection_ = withCustomColourInUse(
        selection_, IsDlgButtonChecked(window(), IDC_USER_SETTING_CHECK) == BST_CHECKED);
    refresh();
    markChanged(owner_);
  }
  void userSettingChosen() {
    const LRESULT row = SendDlgItemMessageW(window(), IDC_USER_SETTING_LIST, CB_GETCURSEL, 0, 0);
    if (row < 0 || static_cast<std::size_t>(row) >= itemData_.size()) return;
    selection_ = (selection_ & 0xFFFF0000u) | itemData_[static_cast<std::size_t>(row)];
    markChanged(owner_);
  }
  void defaults() {
    target_ = style_ = black_ = selection_ = 0;
    refresh();
    markChanged(owner_);
  }
  void accept() {
    context_.itemValue[kTargetColor] = target_;
    if (hasBlack_) context_.itemValue[kBlackSubstitution] = black_;
    if (hasStyle_) context_.itemValue[kRenderStyle] = style_;
    context_.itemValue[kCustomColourSlot] = selection_;
    markChanged(owner_);
    end(1);
  }
  void cancel() { end(0); }

  HWND owner_;
  DocumentContext& context_;
  bool hasStyle_ = false;
  bool hasBlack_ = false;
  bool hasConfiguration_ = false;
  std::vector<std::uint16_t> itemData_;
  DWORD target_ = 0, style_ = 0, black_ = 0, selection_ = 0;
};

// ---- Advanced picture details (119) ----

// The twelve values the dialog shows, with the list each selection drives.
struct PictureValue {
  int slot;
  int listId;  // 0: not a list
};
constexpr PictureValue kPictureValues[] = {
    {kMatchingMethod, 0},
    {kCmykProfile, 0},
    {kRgbProfile, IDC_RGB_PROFILE_LIST},
    {kCmykInputProfile, IDC_CMYK_INPUT_LIST},
    {kCmykLinkProfile, IDC_CMYK_LINK_LIST},
    {kOutProfile, IDC_OUT_PROFILE_LIST},
    {kSimProfile, IDC_SIM_PROFILE_LIST},
    {kPureBlack, 0},
    {kPreserveBlack, 0},
    {kColourMatch, 0},
    {kBlackSubGrey, IDC_BLACK_SUB_LIST},
    {kRenderDict, IDC_RENDER_DICT_LIST},
};
constexpr std::size_t kPictureValueCount = std::size(kPictureValues);
constexpr int kFlowBitmaps[4] = {IDB_FLOW_PROFILE, IDB_FLOW_PROFILE, IDB_FLOW_SIMULATION,
                                 IDB_FLOW_LINK_PROFILE};
constexpr DWORD kFinestPrecision = 2;

class PictureColourDialog final : public UiDialog<PictureColourDialog> {
 public:
  PictureColourDialog(HWND owner, DocumentContext& context) : owner_(owner), context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_MATCHING_RADIO_FIRST + 0, BN_CLICKED, &PictureColourDialog::methodChosen},
        {IDC_MATCHING_RADIO_FIRST + 1, BN_CLICKED, &PictureColourDialog::methodChosen},
        {IDC_MATCHING_RADIO_FIRST + 2, BN_CLICKED, &PictureColourDialog::methodChosen},
        {IDC_MATCHING_RADIO_FIRST + 3, BN_CLICKED, &PictureColourDialog::methodChosen},
        {IDC_CMYK_RADIO_FIRST + 0, BN_CLICKED, &PictureColourDialog::cmykChosen},
        {IDC_CMYK_RADIO_FIRST + 1, BN_CLICKED, &PictureColourDialog::cmykChosen},
        {IDC_RGB_PROFILE_LIST, CBN_SELCHANGE, &PictureColourDialog::listChanged},
        {IDC_SIM_PROFILE_LIST, CBN_SELCHANGE, &PictureColourDialog::listChanged},
        {IDC_RENDER_DICT_LIST, CBN_SELCHANGE, &PictureColourDialog::listChanged},
        {IDC_CMYK_INPUT_LIST, CBN_SELCHANGE, &PictureColourDialog::listChanged},
        {IDC_CMYK_LINK_LIST, CBN_SELCHANGE, &PictureColourDialog::listChanged},
        {IDC_OUT_PROFILE_LIST, CBN_SELCHANGE, &PictureColourDialog::listChanged},
        {IDC_BLACK_SUB_LIST, CBN_SELCHANGE, &PictureColourDialog::blackSubChanged},
        {IDC_PURE_BLACK_CHECK, BN_CLICKED, &PictureColourDialog::pureBlackTicked},
        {IDC_PRESERVE_BLACK_CHECK, BN_CLICKED, &PictureColourDialog::preserveBlackTicked},
        {IDC_COLOUR_DEFAULTS, BN_CLICKED, &PictureColourDialog::defaults},
        {IDOK, BN_CLICKED, &PictureColourDialog::accept},
        {IDCANCEL, BN_CLICKED, &PictureColourDialog::cancel},
    };
    return table;
  }

 private:
  DWORD& value(int slot) {
    for (std::size_t i = 0; i < kPictureValueCount; ++i) {
      if (kPictureValues[i].slot == slot) return values_[i];
    }
    return values_[0];  // not reached: every slot used here is in the table
  }

  bool onInit() override {
    for (std::size_t i = 0; i < kPictureValueCount; ++i) {
      values_[i] = context_.itemValue[kPictureValues[i].slot];
      if (kPictureValues[i].listId != 0) {
        fillFeatureList(window(), kPictureValues[i].listId, context_, kPictureValues[i].slot);
      }
    }
    SendDlgItemMessageW(window(), IDC_PRECISION_TRACKBAR, TBM_SETRANGE, TRUE, MAKELPARAM(0, 2));
    refresh();
    return true;
  }

  void refresh() {
    const DWORD method = value(kMatchingMethod);
    const PictureDetailsView view =
        pictureDetailsView(method, value(kCmykProfile), value(kOutProfile), value(kPreserveBlack));
    showControlRange(window(), IDC_INPUT_GROUP, IDC_PRESERVE_BLACK_CHECK, view.profileControls);
    showControlRange(window(), IDC_CMYK_INPUT_LIST, IDC_CMYK_LINK_LIST, view.cmykControls);
    showControlRange(window(), IDC_SIM_PROFILE_LABEL, IDC_SIM_PROFILE_LIST,
                     view.simulationControls);
    for (int i = 0; i < 4; ++i) {
      HWND picture = control(IDC_FLOW_PICTURE_FIRST + i);
      ShowWindow(picture, view.flow[i] ? SW_SHOW : SW_HIDE);
      if (view.flow[i]) InvalidateRect(picture, nullptr, FALSE);
    }
    if (view.cmykRadio) {
      CheckRadioButton(window(), IDC_CMYK_RADIO_FIRST, IDC_CMYK_RADIO_FIRST + 1,
                       IDC_CMYK_RADIO_FIRST + static_cast<int>(*view.cmykRadio));
    }
    if (method <= 3) {
      CheckRadioButton(window(), IDC_MATCHING_RADIO_FIRST, IDC_MATCHING_RADIO_FIRST + 3,
                       IDC_MATCHING_RADIO_FIRST + static_cast<int>(method));
    }
    EnableWindow(control(IDC_PRESERVE_BLACK_CHECK), view.preserveBlackEnabled);
    EnableWindow(control(IDC_CMYK_INPUT_LIST), view.cmykInputEnabled);
    EnableWindow(control(IDC_CMYK_LINK_LIST), view.linkEnabled);
    CheckDlgButton(window(), IDC_PRESERVE_BLACK_CHECK,
                   view.preserveBlackTicked ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(window(), IDC_PRECISION_TRACKBAR, TBM_SETPOS, TRUE,
                        std::min<DWORD>(value(kColourMatch), kFinestPrecision));
    CheckDlgButton(window(), IDC_PURE_BLACK_CHECK,
                   value(kPureBlack) == 0 ? BST_CHECKED : BST_UNCHECKED);
    for (std::size_t i = 0; i < kPictureValueCount; ++i) {
      if (kPictureValues[i].listId != 0) {
        selectListRow(window(), kPictureValues[i].listId, values_[i]);
      }
    }
    if (!view.renderDictEnabled) {
      enableControlRange(window(), IDC_RENDER_DICT_LABEL, IDC_RENDER_DICT_LIST, FALSE);
    }
    if (sheetHasNoPermission(context_)) EnableWindow(control(IDC_COLOUR_DEFAULTS), FALSE);
  }

  bool onMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
    switch (message) {
      case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item == nullptr) return false;
        const int index = static_cast<int>(item->CtlID) - IDC_FLOW_PICTURE_FIRST;
        if (index < 0 || index >= 4) return false;
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        drawTransparentBitmap(window(), uiModuleState().moduleInstance,
                              static_cast<int>(item->CtlID), kFlowBitmaps[index]);
        result = TRUE;
        return true;
      }
      case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) != control(IDC_PRECISION_TRACKBAR)) return false;
        value(kColourMatch) = static_cast<DWORD>(
            SendDlgItemMessageW(window(), IDC_PRECISION_TRACKBAR, TBM_GETPOS, 0, 0));
        result = TRUE;
        return true;
      case WM_ACTIVATE:
        refresh();
        return false;
      default:
        return false;
    }
  }

  int commandId() const { return GetDlgCtrlID(commandControl()); }
  void methodChosen() {
    value(kMatchingMethod) = static_cast<DWORD>(commandId() - IDC_MATCHING_RADIO_FIRST);
    refresh();
  }
  void cmykChosen() {
    value(kCmykProfile) = static_cast<DWORD>(commandId() - IDC_CMYK_RADIO_FIRST);
    refresh();
  }
  void listChanged() {
    for (std::size_t i = 0; i < kPictureValueCount; ++i) {
      if (kPictureValues[i].listId == commandId()) {
        values_[i] = selectedListRow(window(), kPictureValues[i].listId, values_[i]);
      }
    }
    refresh();
  }
  void blackSubChanged() {
    value(kBlackSubGrey) = selectedListRow(window(), IDC_BLACK_SUB_LIST, value(kBlackSubGrey));
  }
  void pureBlackTicked() {
    value(kPureBlack) = IsDlgButtonChecked(window(), IDC_PURE_BLACK_CHECK) == BST_CHECKED ? 0 : 1;
  }
  void preserveBlackTicked() {
    value(kPreserveBlack) =
        IsDlgButtonChecked(window(), IDC_PRESERVE_BLACK_CHECK) == BST_CHECKED ? 0 : 1;
  }
  void defaults() {
    values_.fill(0);
    value(kColourMatch) = kFinestPrecision;
    refresh();
  }
  void accept() {
    for (std::size_t i = 0; i < kPictureValueCount; ++i) {
      context_.itemValue[kPictureValues[i].slot] = values_[i];
    }
    markChanged(owner_);
    end(1);
  }
  void cancel() { end(0); }

  HWND owner_;
  DocumentContext& context_;
  std::array<DWORD, kPictureValueCount> values_{};
};

// ---- Advanced colour (200) ----

class AdvancedColourDialog final : public UiDialog<AdvancedColourDialog> {
 public:
  AdvancedColourDialog(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_COLOUR_DEFAULTS, BN_CLICKED, &AdvancedColourDialog::defaults},
        {IDOK, BN_CLICKED, &AdvancedColourDialog::accept},
        {IDCANCEL, BN_CLICKED, &AdvancedColourDialog::cancel},
    };
    return table;
  }

 private:
  bool onInit() override {
    hasHalftone_ = featurePresent(context_, kAlwaysPrinterHalftone);
    hasOverprint_ = featurePresent(context_, kOverPrint);
    hasScreen_ = featurePresent(context_, kScreenObo);
    hasSeparation_ = featurePresent(context_, kSeparationOrder);
    showControlRange(window(), IDC_BLACK_OVERPRINT, IDC_BLACK_OVERPRINT, hasOverprint_);
    showControlRange(window(), IDC_GREY_GRAPHICS, IDC_GREY_GRAPHICS, hasScreen_);
    showControlRange(window(), IDC_PRINTER_HALFTONE, IDC_PRINTER_HALFTONE, hasHalftone_);
    if (hasHalftone_ && context_.itemValue[kResolution] == 0) {
      EnableWindow(control(IDC_PRINTER_HALFTONE), FALSE);
    }
    if (hasSeparation_) {
      fillFeatureList(window(), IDC_SEPARATION_LIST, context_, kSeparationOrder);
    } else {
      showControlRange(window(), IDC_SEPARATION_LABEL, IDC_SEPARATION_LIST, FALSE);
    }
    for (std::size_t i = 0; i < kRowCount; ++i) values_[i] = context_.itemValue[kRowSlots[i]];
    const auto shown = rows();
    loadBindings(window(), shown);
    if (context_.itemValue[kColourMode] == kColourModeGreyscale) {
      enableControlRange(window(), IDC_SEPARATION_LABEL, IDC_SEPARATION_LIST, FALSE);
    }
    return true;
  }

  // The rows of the features the driver has; values_ follows kRowSlots.
  static constexpr std::size_t kRowCount = 4;
  static constexpr int kRowSlots[kRowCount] = {kAlwaysPrinterHalftone, kOverPrint, kScreenObo,
                                               kSeparationOrder};
  std::vector<Binding> rows() {
    std::vector<Binding> shown;
    if (hasHalftone_) {
      shown.push_back({IDC_PRINTER_HALFTONE, BindingKind::checkMeansZero, &values_[0]});
    }
    if (hasOverprint_) shown.push_back({IDC_BLACK_OVERPRINT, BindingKind::check, &values_[1]});
    if (hasScreen_) shown.push_back({IDC_GREY_GRAPHICS, BindingKind::checkMeansZero, &values_[2]});
    if (hasSeparation_) shown.push_back({IDC_SEPARATION_LIST, BindingKind::choice, &values_[3]});
    return shown;
  }

  void defaults() {
    if (hasOverprint_) CheckDlgButton(window(), IDC_BLACK_OVERPRINT, BST_UNCHECKED);
    if (hasScreen_) CheckDlgButton(window(), IDC_GREY_GRAPHICS, BST_CHECKED);
    if (hasHalftone_) CheckDlgButton(window(), IDC_PRINTER_HALFTONE, BST_CHECKED);
    if (hasSeparation_) SendDlgItemMessageW(window(), IDC_SEPARATION_LIST, CB_SETCURSEL, 0, 0);
  }
  void accept() {
    const auto shown = rows();
    if (!saveBindings(window(), shown)) return;
    for (std::size_t i = 0; i < kRowCount; ++i) {
      if (featurePresent(context_, kRowSlots[i])) {
        context_.itemValue[kRowSlots[i]] = static_cast<DWORD>(values_[i]);
      }
    }
    end(1);
  }
  void cancel() { end(0); }

  DocumentContext& context_;
  bool hasHalftone_ = false, hasOverprint_ = false, hasScreen_ = false, hasSeparation_ = false;
  std::int32_t values_[kRowCount] = {};
};

}  // namespace

bool showOfficeColourDialog(HWND owner, DocumentContext& context) {
  OfficeColourDialog dialog(owner, context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_OFFICE_COLOUR, owner) == 1;
}

bool showPictureColourDialog(HWND owner, DocumentContext& context) {
  PictureColourDialog dialog(owner, context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_PICTURE_COLOUR, owner) == 1;
}

bool showAdvancedColourDialog(HWND owner, DocumentContext& context) {
  AdvancedColourDialog dialog(context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_ADVANCED_COLOUR, owner) == 1;
}

}  // namespace vex
