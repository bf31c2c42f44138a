#include "driver_page.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cwchar>

#include "resource.h"
#include "test_dialogs.h"

namespace vex::uihost {
namespace {

// The common UI's reason when the page has built its items (the same number as
// CPSUICB_REASON_OPTITEM_SETFOCUS in the cross headers).
constexpr WORD kReasonOptItemsCreated = 7;
constexpr std::size_t kMaxText = 256;  // texts of the plug-in's items are read with this bound

bool isListType(const OPTITEM& item) {
  if (item.pOptType == nullptr) return false;
  switch (item.pOptType->Type) {
    case TVOT_2STATES:
    case TVOT_3STATES:
    case TVOT_LISTBOX:
    case TVOT_COMBOBOX:
    case TVOT_CHKBOX:
      return true;
    default:
      return false;
  }
}

bool isPushButton(const OPTITEM& item) {
  return item.pOptType != nullptr && item.pOptType->Type == TVOT_PUSHBUTTON;
}

std::wstring paramText(const OPTPARAM& param) { return optionText(param); }

std::wstring listText(HWND list, int row, int column) {
  wchar_t text[kMaxText] = L"";
  ListView_GetItemText(list, row, column, text, static_cast<int>(kMaxText));
  return text;
}

}  // namespace

std::string utf8(std::wstring_view text) {
  if (text.empty()) return "";
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
  }
  return out;
}

HPROPSHEETPAGE DriverPage::create() {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(page);
  page.dwFlags = PSP_USETITLE;
  page.hInstance = GetModuleHandleW(nullptr);
  page.pszTemplate = MAKEINTRESOURCEW(IDD_DRIVER_PAGE);
  page.pfnDlgProc = proc;
  page.pszTitle = MAKEINTRESOURCEW(titleId_);
  page.lParam = reinterpret_cast<LPARAM>(this);
  return CreatePropertySheetPageW(&page);
}

INT_PTR CALLBACK DriverPage::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<DriverPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->window_ = hwnd;
  }
  auto* self = reinterpret_cast<DriverPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  return self != nullptr ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR DriverPage::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      init();
      return TRUE;
    case WM_COMMAND:
      if (testButtons_ && HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDC_TEST_DIALOG) {
        owner_.note(runTestDialog(GetParent(window_)));
      } else if (testButtons_ && HIWORD(wParam) == BN_CLICKED &&
                 LOWORD(wParam) == IDC_TEST_MESSAGE) {
        owner_.note(runTestMessage(GetParent(window_)));
      } else if (LOWORD(wParam) == IDC_SETTING && HIWORD(wParam) == CBN_SELCHANGE) {
        onSelChange();
      } else if (LOWORD(wParam) >= IDC_FIRST_BUTTON && HIWORD(wParam) == BN_CLICKED) {
        onButton(LOWORD(wParam) - IDC_FIRST_BUTTON);
      }
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == list_ && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (!filling_ && (change->uNewState & LVIS_SELECTED) != 0) {
          fillCombo(static_cast<int>(change->lParam));
        }
        return TRUE;
      }
      if (header->hwndFrom == list_ && header->code == NM_CUSTOMDRAW) {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        LRESULT result = CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
          result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
          const int index = static_cast<int>(draw->nmcd.lItemlParam);
          if (index >= 0 && static_cast<DWORD>(index) < owner_.tree().totalCount() &&
              (owner_.tree().items()[index].Flags & OPTIF_DISABLED) != 0) {
            draw->clrText = GetSysColor(COLOR_GRAYTEXT);  // disabled items are shown greyed
          }
        }
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      OPTITEM* first = owner_.tree().items();
      switch (header->code) {
        case PSN_SETACTIVE:
          react(owner_.notify(CPSUICB_REASON_SETACTIVE, window_, first, 0));
          SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
          return TRUE;
        case PSN_KILLACTIVE:
          react(owner_.notify(CPSUICB_REASON_KILLACTIVE, window_, first, 0));
          SetWindowLongPtrW(window_, DWLP_MSGRESULT, FALSE);
          return TRUE;
        case PSN_APPLY:
          react(owner_.notify(CPSUICB_REASON_APPLYNOW, window_, first, 0));
          owner_.applied();
          SetWindowLongPtrW(window_, DWLP_MSGRESULT, PSNRET_NOERROR);
          return TRUE;
        default:
          return FALSE;
      }
    }
    case WM_DESTROY:
      lastReadBack_ = readBack();
      window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void DriverPage::init() {
  list_ = GetDlgItem(window_, IDC_ITEMS);
  combo_ = GetDlgItem(window_, IDC_SETTING);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT);
  RECT box{};
  GetClientRect(list_, &box);
  const int width = box.right - box.left - GetSystemMetrics(SM_CXVSCROLL);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(L"Item");
  column.cx = width * 11 / 20;
  ListView_InsertColumn(list_, 0, &column);
  column.pszText = const_cast<wchar_t*>(L"Setting");
  column.cx = width - column.cx;
  ListView_InsertColumn(list_, 1, &column);

  // The common UI tells the driver (and so the plug-in) once the items exist, and draws them
  // as they stand afterwards.
  OptionTree& tree = owner_.tree();
  bool told = false;
  for (DWORD i = 0; i < tree.pluginCount(); ++i) {
    OPTITEM& item = tree.pluginItems()[i];
    if ((item.Flags & OPTIF_CALLBACK) == 0) continue;
    owner_.notify(kReasonOptItemsCreated, window_, &item, item.Sel);
    told = true;
  }
  if (!told) owner_.notify(kReasonOptItemsCreated, window_, tree.items(), 0);
  refresh();
  if (testButtons_) makeTestButtons();
}

// Below the push-button items' rows: the test affordance is never mistaken for an item.
void DriverPage::makeTestButtons() {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
  const struct {
    int id;
    const wchar_t* caption;
    int x;
  } buttons[] = {{IDC_TEST_DIALOG, L"Test Dialog...", 7},
                 {IDC_TEST_MESSAGE, L"Test Message...", 128}};
  for (const auto& b : buttons) {
    RECT box{b.x, 200, b.x + 117, 214};
    MapDialogRect(window_, &box);
    HWND button = CreateWindowExW(
        0, L"BUTTON", b.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, box.left,
        box.top, box.right - box.left, box.bottom - box.top, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), GetModuleHandleW(nullptr), nullptr);
    if (button != nullptr) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void DriverPage::react(LONG action) {
  if (action == CPSUICB_ACTION_OPTIF_CHANGED || action == CPSUICB_ACTION_REINIT_ITEMS) refresh();
}

void DriverPage::refresh() {
  const int keep = selectedItem();
  makeButtons();
  fillRows();
  int row = keep >= 0 ? rowOfItem(keep) : -1;
  if (row < 0 && ListView_GetItemCount(list_) > 0) row = 0;
  if (row >= 0) {
    ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = row;
    ListView_GetItem(list_, &lv);
    fillCombo(static_cast<int>(lv.lParam));
  } else {
    ComboBox_ResetContent(combo_);
    EnableWindow(combo_, FALSE);
  }
}

std::wstring DriverPage::shownSelection(const OPTITEM& item) const {
  if (item.pOptType == nullptr) return L"";
  const OPTTYPE& type = *item.pOptType;
  if (type.Type == TVOT_UDARROW || type.Type == TVOT_TRACKBAR || type.Type == TVOT_SCROLLBAR) {
    std::wstring text = std::to_wstring(item.Sel);
    if (type.Count > 0) text += L" " + paramText(type.pOptParam[0]);
    return text;
  }
  if (!isListType(item)) return L"";
  if (item.Sel < 0 || item.Sel >= type.Count) return L"(none)";
  return paramText(type.pOptParam[item.Sel]);
}

void DriverPage::fillRows() {
  filling_ = true;
  ListView_DeleteAllItems(list_);
  OptionTree& tree = owner_.tree();
  int row = 0;
  for (DWORD i = 0; i < tree.totalCount(); ++i) {
    const OPTITEM& item = tree.items()[i];
    if ((item.Flags & OPTIF_HIDE) != 0 || isPushButton(item)) continue;
    std::wstring name = itemName(item);
    LVITEMW lv{};
    lv.mask = LVIF_TEXT | LVIF_PARAM;
    lv.iItem = row;
    lv.pszText = name.data();
    lv.lParam = static_cast<LPARAM>(i);
    ListView_InsertItem(list_, &lv);
    std::wstring selection = shownSelection(item);
    ListView_SetItemText(list_, row, 1, selection.data());
    ++row;
  }
  filling_ = false;
}

void DriverPage::fillCombo(int index) {
  ComboBox_ResetContent(combo_);
  OptionTree& tree = owner_.tree();
  if (index < 0 || static_cast<DWORD>(index) >= tree.totalCount()) return;
  const OPTITEM& item = tree.items()[index];
  if (!isListType(item)) {
    const std::wstring shown = shownSelection(item);
    if (!shown.empty()) ComboBox_SetCurSel(combo_, ComboBox_AddString(combo_, shown.c_str()));
    EnableWindow(combo_, FALSE);
    return;
  }
  const OPTTYPE& type = *item.pOptType;
  for (WORD j = 0; j < type.Count; ++j) {
    if ((type.pOptParam[j].Flags & OPTPF_HIDE) != 0) continue;
    const int at = ComboBox_AddString(combo_, paramText(type.pOptParam[j]).c_str());
    ComboBox_SetItemData(combo_, at, j);
    if (j == item.Sel) ComboBox_SetCurSel(combo_, at);
  }
  EnableWindow(combo_, (item.Flags & OPTIF_DISABLED) == 0);
}

void DriverPage::makeButtons() {
  for (HWND button : buttons_) DestroyWindow(button);
  buttons_.clear();
  buttonItems_.clear();
  OptionTree& tree = owner_.tree();
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0));
  for (DWORD i = 0; i < tree.totalCount(); ++i) {
    const OPTITEM& item = tree.items()[i];
    if (!isPushButton(item) || (item.Flags & OPTIF_HIDE) != 0) continue;
    const int k = static_cast<int>(buttons_.size());
    RECT box{7 + (k % 2) * 121, 182 + (k / 2) * 17, 7 + (k % 2) * 121 + 117,
             182 + (k / 2) * 17 + 14};
    MapDialogRect(window_, &box);
    std::wstring caption = itemName(item);
    if ((item.pOptType->Style & OTS_PUSH_NO_DOT_DOT_DOT) == 0) caption += L"...";
    HWND button = CreateWindowExW(
        0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, box.left,
        box.top, box.right - box.left, box.bottom - box.top, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FIRST_BUTTON + k)),
        GetModuleHandleW(nullptr), nullptr);
    if (button == nullptr) continue;
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EnableWindow(button, (item.Flags & OPTIF_DISABLED) == 0);
    buttons_.push_back(button);
    buttonItems_.push_back(static_cast<int>(i));
  }
}

int DriverPage::selectedItem() const {
  if (list_ == nullptr) return -1;
  const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (row < 0) return -1;
  LVITEMW lv{};
  lv.mask = LVIF_PARAM;
  lv.iItem = row;
  ListView_GetItem(list_, &lv);
  return static_cast<int>(lv.lParam);
}

int DriverPage::rowOfItem(int index) const {
  LVFINDINFOW find{};
  find.flags = LVFI_PARAM;
  find.lParam = index;
  return ListView_FindItem(list_, -1, &find);
}

void DriverPage::onSelChange() {
  const int index = selectedItem();
  const int at = ComboBox_GetCurSel(combo_);
  if (index < 0 || at < 0) return;
  OPTITEM& item = owner_.tree().items()[index];
  if (!isListType(item)) return;
  const LONG sel = static_cast<LONG>(ComboBox_GetItemData(combo_, at));
  if (sel == item.Sel) return;
  if ((item.pOptType->pOptParam[sel].Flags & OPTPF_DISABLED) != 0) {
    fillCombo(index);  // a disabled option cannot be chosen
    return;
  }
  const LONG old = item.Sel;
  item.Sel = sel;
  item.Flags |= OPTIF_CHANGED;
  std::wstring selection = shownSelection(item);
  ListView_SetItemText(list_, rowOfItem(index), 1, selection.data());
  PropSheet_Changed(GetParent(window_), window_);
  if ((item.Flags & OPTIF_CALLBACK) != 0) {
    react(owner_.notify(CPSUICB_REASON_SEL_CHANGED, window_, &item, old));
  }
}

void DriverPage::onButton(int k) {
  if (k < 0 || static_cast<std::size_t>(k) >= buttonItems_.size()) return;
  OPTITEM& item = owner_.tree().items()[buttonItems_[static_cast<std::size_t>(k)]];
  if ((item.Flags & OPTIF_CALLBACK) != 0) {
    react(owner_.notify(CPSUICB_REASON_SEL_CHANGED, window_, &item, item.Sel));
  }
}

bool DriverPage::select(std::string_view key, std::string_view option, std::wstring* error) {
  OptionTree& tree = owner_.tree();
  OPTITEM* item = tree.findKeyword(key);
  for (DWORD i = 0; item == nullptr && i < tree.totalCount(); ++i) {
    if (utf8(itemName(tree.items()[i])) == key) item = &tree.items()[i];
  }
  const std::wstring wideKey = fromLatin1(key);
  if (item == nullptr) {
    *error = L"no item " + wideKey;
    return false;
  }
  const int index = tree.indexOf(item);
  const int row = rowOfItem(index);
  if (row < 0) {
    *error = L"item " + wideKey + L" is not on the driver page";
    return false;
  }
  ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  fillCombo(index);
  if (!IsWindowEnabled(combo_)) {
    *error = L"item " + wideKey + L" cannot be changed on the page";
    return false;
  }
  LONG wanted = tree.findOption(*item, option);
  if (wanted < 0 && isListType(*item)) {
    for (WORD j = 0; j < item->pOptType->Count; ++j) {
      if (utf8(paramText(item->pOptType->pOptParam[j])) == option) wanted = j;
    }
  }
  const int count = ComboBox_GetCount(combo_);
  for (int at = 0; at < count; ++at) {
    if (static_cast<LONG>(ComboBox_GetItemData(combo_, at)) != wanted) continue;
    ComboBox_SetCurSel(combo_, at);
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_SETTING, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo_));
    return true;
  }
  *error = L"option " + fromLatin1(option) + L" of " + wideKey + L" is not offered on the page";
  return false;
}

bool DriverPage::pressButton(const std::wstring& name, std::wstring* error) {
  OptionTree& tree = owner_.tree();
  // "#N" names the N-th button of the page (1 = the first), whatever its text.
  std::size_t wanted = 0;
  if (name.size() > 1 && name[0] == L'#') wanted = std::wcstoul(name.c_str() + 1, nullptr, 10);
  for (std::size_t k = 0; k < buttons_.size(); ++k) {
    if (wanted != 0 ? k + 1 != wanted : itemName(tree.items()[buttonItems_[k]]) != name) continue;
    if (!IsWindowEnabled(buttons_[k])) {
      *error = L"button " + name + L" is disabled";
      return false;
    }
    SendMessageW(buttons_[k], BM_CLICK, 0, 0);
    return true;
  }
  *error = L"no button " + name + L" on the driver page";
  return false;
}

std::string DriverPage::readBack() {
  if (window_ == nullptr) return lastReadBack_;
  std::string out;
  const int keep = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  const int rows = ListView_GetItemCount(list_);
  for (int row = 0; row < rows; ++row) {
    ListView_SetItemState(list_, row, LVIS_SELECTED, LVIS_SELECTED);
    LVITEMW lv{};
    lv.mask = LVIF_PARAM;
    lv.iItem = row;
    ListView_GetItem(list_, &lv);
    // A choice whose combo box is greyed is shown disabled; number and group items never
    // offer one.
    const bool choice = isListType(owner_.tree().items()[lv.lParam]);
    out += "row \"" + utf8(listText(list_, row, 0)) + "\" = \"" + utf8(listText(list_, row, 1)) +
           "\"" + (choice && !IsWindowEnabled(combo_) ? " disabled" : "") + "\n  options:";
    const int count = ComboBox_GetCount(combo_);
    for (int at = 0; at < count; ++at) {
      wchar_t text[kMaxText] = L"";
      if (ComboBox_GetLBTextLen(combo_, at) < static_cast<int>(kMaxText)) {
        ComboBox_GetLBText(combo_, at, text);
      }
      out += std::string(at ? " |" : "") + " " + utf8(text);
    }
    out += "\n";
  }
  if (keep >= 0) ListView_SetItemState(list_, keep, LVIS_SELECTED, LVIS_SELECTED);
  for (HWND button : buttons_) {
    wchar_t text[kMaxText] = L"";
    GetWindowTextW(button, text, static_cast<int>(kMaxText));
    out += "button \"" + utf8(text) + "\"" + (IsWindowEnabled(button) ? "" : " disabled") + "\n";
  }
  return out;
}

}  // namespace vex::uihost
