#include "colour_page.h"

#include <shellapi.h>

#include "colour_dialogs.h"
#include "colour_features.h"
#include "colour_rules.h"
#include "config_files.h"
#include "custom_colour_file.h"
#include "dialog_helpers.h"
#include "driver_item_view.h"
#include "driver_settings.h"
#include "private_settings.h"
#include "property_items.h"
#include "support_page.h"
#include "swatch_tool.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {

namespace {

// The page handle the sheet's pages were added with: job options, colour, support.
constexpr int kColourPageHandle = 1;

constexpr int kModeBitmaps[kColourModeCount] = {IDB_MODE_AUTO, IDB_MODE_OFFICE,
                                                IDB_MODE_ADVANCED_PICTURE, IDB_MODE_NO_MATCHING,
                                                IDB_MODE_GREYSCALE};

HANDLE printerOf(const DocumentContext& context) {
  return context.cuiParam != nullptr ? context.cuiParam->hPrinter : nullptr;
}

std::wstring linkTarget(const DocumentContext& context) {
  HANDLE printer = printerOf(context);
  return printer != nullptr ? readModelString(printer, L"TabLinkName") : std::wstring();
}

bool isModeControl(int id) {
  return (id >= IDC_MODE_PICTURE_FIRST && id < IDC_MODE_PICTURE_FIRST + 5) ||
         (id >= IDC_MODE_RADIO_FIRST && id < IDC_MODE_RADIO_FIRST + 5);
}

}  // namespace

ColourPage::ColourPage(DocumentContext& context) : context_(context) {}

std::span<const ColourPage::Route> ColourPage::routes() const {
  static constexpr Route table[] = {
      {IDC_MODE_PICTURE_FIRST + 0, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_PICTURE_FIRST + 1, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_PICTURE_FIRST + 2, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_PICTURE_FIRST + 3, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_PICTURE_FIRST + 4, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_RADIO_FIRST + 0, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_RADIO_FIRST + 1, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_RADIO_FIRST + 2, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_RADIO_FIRST + 3, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_MODE_RADIO_FIRST + 4, BN_CLICKED, &ColourPage::chooseMode},
      {IDC_OFFICE_DETAILS, BN_CLICKED, &ColourPage::officeDetails},
      {IDC_PICTURE_DETAILS, BN_CLICKED, &ColourPage::pictureDetails},
      {IDC_COLOUR_ADVANCED, BN_CLICKED, &ColourPage::advanced},
      {IDC_CALIBRATION_LIST, CBN_SELCHANGE, &ColourPage::calibrationChanged},
      {IDC_COLOUR_SAMPLES, BN_CLICKED, &ColourPage::colourSamples},
      {IDC_COLOUR_LINK_TEXT, STN_CLICKED, &ColourPage::openLink},
      {IDC_COLOUR_LINK_PICTURE, BN_CLICKED, &ColourPage::openLink},
      {IDC_COLOUR_DEFAULTS, BN_CLICKED, &ColourPage::defaults},
  };
  return table;
}

bool ColourPage::onInit() {
  if (!modelNamesSwatchKey(printerOf(context_)))
    removeControlRange(window(), IDC_COLOUR_SAMPLES, IDC_COLOUR_SAMPLES);
  if (featurePresent(context_, colourslot::kCalibration)) {
    fillFeatureList(window(), IDC_CALIBRATION_LIST, context_, colourslot::kCalibration);
  } else {
    removeControlRange(window(), IDC_CALIBRATION_LABEL, IDC_CALIBRATION_LIST);
  }
  loadCustomColourSetting(context_);
  refresh();
  // The driver's pages are to reload what the plug-in's pages set (once per change).
  markDriverSettingsChanged();
  return true;
}

// The pictures, the radio buttons and the enables that follow the mode.
void ColourPage::showMode() {
  const ColourPageView view = colourPageView(context_.itemValue[colourslot::kColourMode]);
  for (std::uint32_t mode = 0; mode < kColourModeCount; ++mode) {
    InvalidateRect(control(IDC_MODE_PICTURE_FIRST + static_cast<int>(mode)), nullptr, FALSE);
  }
  CheckRadioButton(window(), IDC_MODE_RADIO_FIRST, IDC_MODE_RADIO_FIRST + 4,
                   IDC_MODE_RADIO_FIRST + static_cast<int>(view.mode));
  EnableWindow(control(IDC_OFFICE_DETAILS), view.officeDetails);
  EnableWindow(control(IDC_PICTURE_DETAILS), view.pictureDetails);
  EnableWindow(control(IDC_COLOUR_TONER_SAVE), view.tonerSave);
}

void ColourPage::refresh() {
  showMode();
  if (featurePresent(context_, colourslot::kCalibration)) {
    selectListRow(window(), IDC_CALIBRATION_LIST, context_.itemValue[colourslot::kCalibration]);
  }
  handCursor_ = LoadCursorW(nullptr, IDC_HAND);
  if (handCursor_ == nullptr) handCursor_ = LoadCursorW(nullptr, IDC_ARROW);
  if (!linkFont_) linkFont_ = createLinkFont(window());
  const std::wstring link = linkTarget(context_);
  if (!link.empty()) {
    SetDlgItemTextW(window(), IDC_COLOUR_LINK_TEXT, link.c_str());
    showControlRange(window(), IDC_COLOUR_LINK_TEXT, IDC_COLOUR_LINK_TEXT, TRUE);
  } else {
    showControlRange(window(), IDC_COLOUR_LINK_TEXT, IDC_COLOUR_LINK_TEXT, FALSE);
  }
  showControlRange(window(), IDC_COLOUR_LINK_PICTURE, IDC_COLOUR_LINK_PICTURE, TRUE);
  if (sheetHasNoPermission(context_)) {
    enableControlRange(window(), IDC_MODE_PICTURE_FIRST, IDC_COLOUR_MODE_GROUP, FALSE);
    enableControlRange(window(), IDC_COLOUR_ADVANCED - 3, IDC_COLOUR_ADVANCED,
                       FALSE);  // 1212..1215
    enableControlRange(window(), IDC_COLOUR_TONER_SAVE, IDC_COLOUR_TONER_SAVE, FALSE);
    enableControlRange(window(), IDC_COLOUR_DEFAULTS, IDC_COLOUR_DEFAULTS, FALSE);
  }
}

void ColourPage::changed() {
  markDriverSettingsChanged();
  notifySheetChanged(window());
}

void ColourPage::chooseMode() {
  const int id = GetDlgCtrlID(commandControl());
  if (!isModeControl(id)) return;
  const int first = id >= IDC_MODE_RADIO_FIRST ? IDC_MODE_RADIO_FIRST : IDC_MODE_PICTURE_FIRST;
  context_.itemValue[colourslot::kColourMode] = static_cast<DWORD>(id - first);
  showMode();
  changed();
}

void ColourPage::officeDetails() {
  if (showOfficeColourDialog(window(), context_)) changed();
}

void ColourPage::pictureDetails() {
  if (showPictureColourDialog(window(), context_)) changed();
}

void ColourPage::advanced() {
  if (showAdvancedColourDialog(window(), context_)) changed();
}

void ColourPage::calibrationChanged() {
  context_.itemValue[colourslot::kCalibration] =
      selectedListRow(window(), IDC_CALIBRATION_LIST, context_.itemValue[colourslot::kCalibration]);
  changed();
}

void ColourPage::colourSamples() { startColourSampleTool(window(), printerOf(context_)); }

bool ColourPage::hasLink() const { return !linkTarget(context_).empty(); }

void ColourPage::openLink() {
  // Only a web address: the value must not start a program of the configuration file's choosing.
  const std::wstring link = linkTarget(context_);
  if (isWebAddress(link)) {
    ShellExecuteW(window(), nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
}

void ColourPage::defaults() {
  context_.itemValue[colourslot::kColourMode] = kColourModeAuto;
  context_.itemValue[colourslot::kCalibration] = 0;
  refresh();
  changed();
}

bool ColourPage::onSetActive() {
  refresh();
  return true;
}

bool ColourPage::onKillActive() {
  writeBackDocumentItems(&context_);
  // The record keeps the mode the driver's item now holds, for the pages that force the item.
  if (std::uint8_t* record = context_.record()) {
    setU32(record, rec::controlSelection, context_.itemValue[colourslot::kColourMode]);
  }
  storeCustomColourSetting(context_);
  refreshDriverPages(window());
  linkFont_.reset();
  return true;
}

bool ColourPage::onApply() {
  if (context_.comPropSheet != nullptr) {
    context_.comPropSheet(context_.propertySheet, CPSFUNC_SET_RESULT,
                          reinterpret_cast<LPARAM>(context_.pageHandles[kColourPageHandle]),
                          CPSUI_OK);
  }
  linkFont_.reset();
  return true;
}

void ColourPage::onReset() { linkFont_.reset(); }

bool ColourPage::onMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  HINSTANCE module = uiModuleState().moduleInstance;
  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item == nullptr) return false;
      const int id = static_cast<int>(item->CtlID);
      if (id >= IDC_MODE_PICTURE_FIRST && id < IDC_MODE_PICTURE_FIRST + 5) {
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        drawTransparentBitmap(window(), module, id, kModeBitmaps[id - IDC_MODE_PICTURE_FIRST]);
        if ((item->itemState & ODS_FOCUS) != 0) DrawFocusRect(item->hDC, &item->rcItem);
        result = TRUE;
        return true;
      }
      if (id == IDC_COLOUR_LINK_PICTURE) {
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
        drawTransparentBitmap(window(), module, id, IDB_LINK);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_ACTIVATE:
      showMode();
      return false;
    case WM_SETCURSOR: {
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
      if ((id == IDC_COLOUR_LINK_TEXT || id == IDC_COLOUR_LINK_PICTURE) && handCursor_ != nullptr &&
          hasLink()) {
        SetCursor(handCursor_);
        SetWindowLongPtrW(window(), DWLP_MSGRESULT, TRUE);
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_COLOUR_LINK_TEXT) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if (linkFont_) SelectObject(dc, linkFont_.get());
        SetTextColor(dc, RGB(0, 0, 0xFF));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace vex
