#include "overlay_dialog.h"

#include <algorithm>
#include <bitset>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "define_overlay_dialog.h"
#include "dialog_helpers.h"
#include "driver_settings.h"
#include "overlay_dialog_rules.h"
#include "overlay_profile.h"
#include "property_items.h"
#include "ui_dialog.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace vex {
namespace {

constexpr int kFormCreationOption = 2;  // the mode whose choice is explained (message 10022)
constexpr std::uint16_t kCustomPages = 4;
constexpr int kStringChars = 256;

std::wstring toWide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring loadString(UINT id) {
  wchar_t text[kStringChars] = L"";
  LoadStringW(uiModuleState().moduleInstance, id, text, kStringChars);
  return text;
}

// Both list views share one replacement procedure; the list view's own is kept once.
WNDPROC listViewProcedure = nullptr;

// Repaints rows across the whole client width: the area to paint is widened to the right edge
// before the list view paints it.
LRESULT CALLBACK fullWidthRows(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    RECT update{};
    RECT client{};
    if (GetUpdateRect(list, &update, FALSE) && GetClientRect(list, &client)) {
      update.right = client.right;
      InvalidateRect(list, &update, FALSE);
    }
  }
  return CallWindowProcW(listViewProcedure, list, message, wParam, lParam);
}

void subclassList(HWND list) {
  if (list == nullptr) return;
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&fullWidthRows)));
  if (listViewProcedure == nullptr && previous != &fullWidthRows) listViewProcedure = previous;
}

// The rows of a list view in the given state, in order.
std::vector<int> rowsWith(HWND list, UINT state) {
  std::vector<int> rows;
  int row = -1;
  while ((row = static_cast<int>(
              SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), state))) >= 0) {
    rows.push_back(row);
    if (rows.size() > kMaxOverlays) break;
  }
  return rows;
}

void clearSelection(HWND list) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
}

class OverlayDialog final : public UiDialog<OverlayDialog> {
 public:
  explicit OverlayDialog(DocumentContext& context) : context_(context) {}

  std::span<const Route> routes() const {
    static constexpr Route table[] = {
        {IDC_OVERLAY_MODE, CBN_SELCHANGE, &OverlayDialog::modeChanged},
        {IDC_OVERLAY_ADD, BN_CLICKED, &OverlayDialog::addChosen},
        {IDC_OVERLAY_REMOVE, BN_CLICKED, &OverlayDialog::removeChosen},
        {IDC_OVERLAY_NEW, BN_CLICKED, &OverlayDialog::newDefinition},
        {IDC_OVERLAY_EDIT, BN_CLICKED, &OverlayDialog::editDefinition},
        {IDC_OVERLAY_DELETE, BN_CLICKED, &OverlayDialog::deleteDefinitions},
        {IDOK, BN_CLICKED, &OverlayDialog::accept},
        {IDCANCEL, BN_CLICKED, &OverlayDialog::cancel},
    };
    return table;
  }

 private:
  bool canWrite() const { return uiModuleState().canWritePrinterData; }
  bool noPermission() const {
    return context_.uiParam != nullptr && (context_.uiParam->dwFlags & DM_NOPERMISSION) != 0;
  }
  OverlayStore& store() { return *context_.overlays.store; }
  HWND chosenList() const { return control(IDC_OVERLAY_CHOSEN); }
  HWND definedList() const { return control(IDC_OVERLAY_DEFINED); }

  const OPTITEM* overlayItem() const {
    const POEMCUIPPARAM param = context_.cuiParam;
    const DWORD index = context_.itemIndex[kOverlaySlot];
    if (param == nullptr || param->pDrvOptItems == nullptr || index == kNoItem ||
        index >= param->cDrvOptItems) {
      return nullptr;
    }
    return &param->pDrvOptItems[index];
  }

  bool onInit() override {
    fillModes();
    prepareList(chosenList());
    prepareList(definedList());
    showLimit(IDC_OVERLAY_CHOSEN_LIMIT, kMaxSelectedOverlays);
    showLimit(IDC_OVERLAY_DEFINED_LIMIT, kMaxOverlays);
    try {
      loadSheetOverlays(context_);
    } catch (const std::bad_alloc&) {
      context_.overlays.release();  // the state is switched only after a whole load
    }
    if (!context_.overlays.store) {
      end(0);
      return true;
    }
    if (!canWrite()) removeControlRange(window(), IDC_OVERLAY_NEW, IDC_OVERLAY_DELETE);
    SendDlgItemMessageW(window(), IDC_OVERLAY_MODE, CB_SETCURSEL, context_.itemValue[kOverlaySlot],
                        0);
    fillLists();
    updateButtons();
    return true;
  }

  // The options of "VXOverlay" in the item's order; a user who may change the printer's data
  // is not offered the last one.
  void fillModes() {
    const OPTITEM* item = overlayItem();
    if (item == nullptr) return;
    std::vector<std::wstring> names = optionNames(*item, driverModuleOf(context_));
    if (canWrite() && !names.empty()) names.pop_back();
    for (const std::wstring& name : names) {
      SendDlgItemMessageW(window(), IDC_OVERLAY_MODE, CB_ADDSTRING, 0,
                          reinterpret_cast<LPARAM>(name.c_str()));
    }
  }

  void prepareList(HWND list) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    subclassList(list);
    RECT client{};
    GetClientRect(list, &client);
    const int width = (client.right - client.left) / 2 - 2;
    const UINT titles[] = {IDS_OVERLAY_COLUMN, IDS_PAGES_COLUMN};
    for (int column = 0; column < 2; ++column) {
      std::wstring title = loadString(titles[column]);
      LVCOLUMNW info{};
      info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
      info.fmt = LVCFMT_LEFT;
      info.cx = width;
      info.pszText = title.data();
      info.iSubItem = column;
      SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    }
  }

  void showLimit(int id, std::size_t limit) {
    wchar_t text[kStringChars] = L"";
    std::swprintf(text, kStringChars, loadString(IDS_AT_MOST).c_str(), static_cast<int>(limit));
    SetDlgItemTextW(window(), id, text);
  }

  // ---- Lists ----

  void addRow(HWND list, int row, const OverlayDefinition& definition) {
    std::wstring name = toWide(slotText(definition.name));
    std::wstring pages =
        definition.pageMode == kCustomPages
            ? toWide(slotText(definition.customPages))
            : loadString(IDS_PAGE_MODE_FIRST + std::min<int>(definition.pageMode, 4));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = name.data();
    const int at =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return;
    item.iItem = at;
    item.iSubItem = 1;
    item.pszText = pages.data();
    SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
  }

  void fillDefined() {
    SendMessageW(definedList(), LVM_DELETEALLITEMS, 0, 0);
    const std::size_t count = std::min<std::size_t>(store().overlayCount, kMaxOverlays);
    for (std::size_t i = 0; i < count; ++i) {
      if (const OverlayDefinition* definition = context_.overlays.definitions[i].get()) {
        addRow(definedList(), static_cast<int>(i), *definition);
      }
    }
    disableWithoutPermission();
  }

  void fillChosen() {
    SendMessageW(chosenList(), LVM_DELETEALLITEMS, 0, 0);
    const std::size_t count = std::min<std::size_t>(store().selectedCount, kMaxSelectedOverlays);
    for (std::size_t k = 0; k < count; ++k) {
      const std::uint16_t index = store().selected[k];
      const OverlayDefinition* definition =
          index < kMaxOverlays ? context_.overlays.definitions[index].get() : nullptr;
      if (definition != nullptr) addRow(chosenList(), static_cast<int>(k), *definition);
    }
    disableWithoutPermission();
  }

  void fillLists() {
    fillDefined();
    fillChosen();
  }

  void disableWithoutPermission() {
    if (!noPermission()) return;
    enableControlRange(window(), IDC_OVERLAY_MODE, IDC_OVERLAY_DELETE, FALSE);
    enableControlRange(window(), IDC_DEFAULTS, IDC_DEFAULTS, FALSE);
  }

  std::vector<std::uint16_t> selectedDefinitions() const {
    std::vector<std::uint16_t> rows;
    for (const int row : rowsWith(definedList(), LVNI_SELECTED)) {
      rows.push_back(static_cast<std::uint16_t>(row));
    }
    return rows;
  }

  void updateButtons() {
    if (noPermission()) return;
    const std::vector<std::uint16_t> defined = selectedDefinitions();
    const OverlayButtons buttons =
        overlayButtons(store(), defined, rowsWith(chosenList(), LVNI_SELECTED).size());
    EnableWindow(control(IDC_OVERLAY_REMOVE), buttons.remove);
    EnableWindow(control(IDC_OVERLAY_NEW), buttons.create);
    EnableWindow(control(IDC_OVERLAY_ADD), buttons.add);
    EnableWindow(control(IDC_OVERLAY_EDIT), buttons.edit);
    EnableWindow(control(IDC_OVERLAY_DELETE), buttons.erase);
  }

  void focusNew() {
    if (HWND button = control(IDC_OVERLAY_NEW)) SetFocus(button);
  }

  bool onNotify(const NMHDR& header, LRESULT& result) override {
    if (!context_.overlays.store) return false;
    const bool chosen = header.idFrom == IDC_OVERLAY_CHOSEN;
    if (!chosen && header.idFrom != IDC_OVERLAY_DEFINED) return false;
    switch (header.code) {
      case LVN_ITEMCHANGED:
        updateButtons();
        break;
      case NM_SETFOCUS:
        clearSelection(chosen ? definedList() : chosenList());
        break;
      case NM_DBLCLK:
        if (!chosen && canWrite() && !rowsWith(definedList(), LVNI_SELECTED).empty()) {
          editDefinition();
        }
        break;
      default:
        return false;
    }
    result = 0;
    return true;
  }

  // ---- Commands ----

  void modeChanged() {
    const LRESULT row = SendDlgItemMessageW(window(), IDC_OVERLAY_MODE, CB_GETCURSEL, 0, 0);
    if (row == kFormCreationOption) {
      messageFromStrings(window(), IDS_FORM_CREATION_NOTE, IDS_CAPTION_INFORMATION,
                         MB_OK | MB_ICONINFORMATION);
    }
  }

  void addChosen() {
    addChosenOverlays(store(), selectedDefinitions());
    fillChosen();
    clearSelection(definedList());
    updateButtons();
    focusNew();
  }

  void removeChosen() {
    std::bitset<kMaxSelectedOverlays> marked;
    for (const int row : rowsWith(chosenList(), LVNI_SELECTED)) {
      if (row < static_cast<int>(kMaxSelectedOverlays)) marked.set(static_cast<std::size_t>(row));
    }
    removeChosenOverlays(store(), marked);
    fillChosen();
    clearSelection(chosenList());
    updateButtons();
    focusNew();
  }

  void newDefinition() {
    if (store().overlayCount >= kMaxOverlays) return;
    const std::wstring name = loadString(IDS_NEW_OVERLAY);
    if (appendOverlayDefinition(context_.overlays, std::u16string(name.begin(), name.end())) ==
        nullptr) {
      return;
    }
    if (showDefineOverlayDialog(window(), context_)) {
      acceptNewOverlay(context_.overlays);
      fillDefined();
    } else {
      discardNewOverlay(context_.overlays);
    }
    updateButtons();
  }

  void editDefinition() {
    const std::vector<std::uint16_t> rows = selectedDefinitions();
    if (rows.empty() || rows.front() >= store().overlayCount) return;
    const std::uint16_t index = rows.front();
    std::unique_ptr<OverlayDefinition>& edited = context_.overlays.definitions[index];
    if (!edited) return;
    auto copy = std::make_unique<OverlayDefinition>(*edited);
    context_.overlays.editedDefinition = index;
    if (showDefineOverlayDialog(window(), context_)) {
      fillLists();
      clearSelection(definedList());
    } else {
      edited = std::move(copy);  // the edited block goes, the copy takes its place
    }
    updateButtons();
    focusNew();
  }

  void deleteDefinitions() {
    std::bitset<kMaxOverlays> marked;
    for (const std::uint16_t row : selectedDefinitions()) {
      if (row < kMaxOverlays) marked.set(row);
    }
    removeOverlayDefinitions(context_.overlays, marked);
    fillLists();
    clearSelection(chosenList());
    updateButtons();
    focusNew();
  }

  void accept() {
    const LRESULT mode = SendDlgItemMessageW(window(), IDC_OVERLAY_MODE, CB_GETCURSEL, 0, 0);
    if (mode >= 0) context_.itemValue[kOverlaySlot] = static_cast<DWORD>(mode);
    writeBackDocumentItems(&context_);
    markDriverSettingsChanged();
    acceptSheetOverlays(context_);
    end(1);
  }

  void cancel() {
    cancelSheetOverlays(context_);
    end(0);
  }

  DocumentContext& context_;
};

}  // namespace

bool showOverlayDialog(HWND owner, DocumentContext& context) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  OverlayDialog dialog(context);
  return dialog.runModal(uiModuleState().moduleInstance, IDD_OVERLAY, owner) == 1;
}

void commitOverlaySettings(DocumentContext& context) {
  bool committed = false;
  try {
    committed = commitSheetOverlays(context);
  } catch (...) {
    context.overlays.release();  // out of memory: the main copy stays as it was
  }
  if (committed && context.comPropSheet != nullptr) {
    context.comPropSheet(context.propertySheet, CPSFUNC_SET_RESULT,
                         reinterpret_cast<LPARAM>(context.pageHandles[0]), CPSUI_OK);
  }
}

}  // namespace vex
