#include "window_inspect.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <vector>

#include "driver_page.h"

namespace vex::uihost {
namespace {

constexpr int kMaxTextChars = 4096;
constexpr int kMessageTextId = 0xFFFF;  // the static that holds a message box's text

bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
  return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                             kReadTimeoutMs, result) != 0;
}

bool isClass(HWND window, const char* name) {
  return _stricmp(className(window).c_str(), name) == 0;
}

std::vector<HWND> children(HWND parent) {
  std::vector<HWND> out;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr && out.size() < 4096;
       child = GetWindow(child, GW_HWNDNEXT)) {
    out.push_back(child);
  }
  return out;
}

// Every descendant, level by level: a control's own children (a combo box's edit) come after
// the dialog's controls.
std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> all = children(parent);
  for (std::size_t i = 0; i < all.size() && all.size() < 4096; ++i) {
    for (HWND child : children(all[i])) all.push_back(child);
  }
  return all;
}

// A message box holds its text (the one static with id 0xFFFF), at most an icon besides, and
// standard buttons; a dialog of statics without ids has several statics with that id.
bool isMessageBox(HWND dialog) {
  int texts = 0;
  int statics = 0;
  for (HWND child : children(dialog)) {
    const int id = GetDlgCtrlID(child);
    if (isClass(child, "Static")) {
      ++statics;
      if (id == kMessageTextId) ++texts;
    } else if (!isClass(child, "Button") || id < IDOK || id > IDCONTINUE) {
      return false;
    }
  }
  return texts == 1 && statics <= 2;
}

struct Candidates {
  HWND sheet;
  std::vector<HWND> windows;  // in Z order, topmost first
};

BOOL CALLBACK collect(HWND window, LPARAM lParam) {
  auto* c = reinterpret_cast<Candidates*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && window != c->sheet && IsWindowVisible(window) &&
      IsWindowEnabled(window) && isClass(window, "#32770")) {
    c->windows.push_back(window);
  }
  return TRUE;
}

}  // namespace

std::string quotedText(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

namespace {

BOOL CALLBACK findPending(HWND window, LPARAM lParam) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  const HWND owner = GetWindow(window, GW_OWNER);
  if (process == GetCurrentProcessId() && !IsWindowVisible(window) && IsWindowEnabled(window) &&
      owner != nullptr && !IsWindowEnabled(owner) && isClass(window, "#32770")) {
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool modalPending() {
  bool pending = false;
  EnumWindows(findPending, reinterpret_cast<LPARAM>(&pending));
  return pending;
}

std::wstring wideText(const std::string& text) {
  if (text.empty()) return L"";
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  }
  return out;
}

std::string className(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return utf8(name);
}

Front findFront(HWND sheet) {
  Candidates c{sheet, {}};
  EnumWindows(collect, reinterpret_cast<LPARAM>(&c));
  Front front;
  // The front one owns no other candidate: a message box over a dialog over the sheet.
  for (HWND window : c.windows) {
    bool owns = false;
    for (HWND other : c.windows) {
      if (other != window && GetWindow(other, GW_OWNER) == window) owns = true;
    }
    if (owns) continue;
    front.window = front.top = window;
    front.kind = isMessageBox(window) ? FrontKind::MessageBox : FrontKind::Dialog;
    return front;
  }
  DWORD_PTR page = 0;
  if (sheet != nullptr && IsWindow(sheet) && send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, &page) &&
      page != 0) {
    front.kind = FrontKind::Page;
    front.window = reinterpret_cast<HWND>(page);
    front.top = sheet;
  }
  return front;
}

// A page is named by its tab, as the user sees it (its template's caption may differ).
std::optional<std::string> pageTitle(const Front& front) {
  DWORD_PTR index = 0;
  DWORD_PTR tab = 0;
  if (!send(front.top, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(front.window), 0, &index) ||
      static_cast<LRESULT>(index) < 0 || !send(front.top, PSM_GETTABCONTROL, 0, 0, &tab) ||
      tab == 0) {
    return std::nullopt;
  }
  wchar_t text[256] = L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 255;
  DWORD_PTR ok = 0;
  if (!send(reinterpret_cast<HWND>(tab), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item),
            &ok) ||
      ok == 0) {
    return std::nullopt;
  }
  return utf8(std::wstring(text, wcsnlen(text, 256)));
}

std::string describeFront(const Front& front) {
  std::optional<std::string> title =
      front.kind == FrontKind::Page ? pageTitle(front) : std::nullopt;
  if (!title) title = windowText(front.window);
  const std::string caption = quotedText(title.value_or("?"));
  switch (front.kind) {
    case FrontKind::MessageBox:
      return "message box " + caption;
    case FrontKind::Dialog:
      return "dialog " + caption;
    case FrontKind::Page:
      return "page " + caption;
    default:
      return "no window";
  }
}

HWND findControl(const Front& front, int id) {
  if (front.window == nullptr) return nullptr;
  for (HWND child : descendants(front.window)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  if (front.kind == FrontKind::Page) {
    for (HWND child : children(front.top)) {  // the sheet's OK, Cancel, Apply and tabs
      if (GetDlgCtrlID(child) == id) return child;
    }
  }
  return nullptr;
}

std::optional<std::string> windowText(HWND window) {
  DWORD_PTR length = 0;
  if (window == nullptr || !send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return std::nullopt;
  if (length > kMaxTextChars) length = kMaxTextChars;
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) {
    return std::nullopt;
  }
  return utf8(std::wstring(text.data(), wcsnlen(text.data(), text.size())));
}

std::optional<int> checkState(HWND window) {
  if (!isClass(window, "Button")) return std::nullopt;
  switch (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON:
      break;
    default:
      return std::nullopt;
  }
  DWORD_PTR state = 0;
  if (!send(window, BM_GETCHECK, 0, 0, &state)) return std::nullopt;
  return static_cast<int>(state);
}

std::optional<int> rowCount(HWND window) {
  DWORD_PTR count = 0;
  UINT message = isClass(window, "ListBox")      ? LB_GETCOUNT
                 : isClass(window, "ComboBox")   ? CB_GETCOUNT
                 : isClass(window, WC_LISTVIEWA) ? LVM_GETITEMCOUNT
                                                 : 0;
  if (message == 0 || !send(window, message, 0, 0, &count)) return std::nullopt;
  return static_cast<int>(static_cast<LRESULT>(count));
}

std::optional<int> currentRow(HWND window) {
  DWORD_PTR row = 0;
  bool ok = false;
  if (isClass(window, "ListBox")) {
    ok = send(window, LB_GETCURSEL, 0, 0, &row);
  } else if (isClass(window, "ComboBox")) {
    ok = send(window, CB_GETCURSEL, 0, 0, &row);
  } else if (isClass(window, WC_LISTVIEWA)) {
    ok = send(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED, &row);
  }
  if (!ok) return std::nullopt;
  const int value = static_cast<int>(static_cast<LRESULT>(row));
  return value < 0 ? -1 : value;
}

std::optional<std::string> rowText(HWND window, int row) {
  const std::optional<int> rows = rowCount(window);
  if (!rows || row < 0 || row >= *rows) return std::nullopt;
  std::vector<wchar_t> text(kMaxTextChars + 1, L'\0');
  DWORD_PTR result = 0;
  if (isClass(window, WC_LISTVIEWA)) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = text.data();
    item.cchTextMax = kMaxTextChars;
    if (!send(window, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item), &result)) {
      return std::nullopt;
    }
  } else {
    const bool list = isClass(window, "ListBox");
    DWORD_PTR length = 0;
    if (!send(window, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, row, 0, &length) ||
        static_cast<LRESULT>(length) < 0 || length > kMaxTextChars) {
      return std::nullopt;
    }
    if (!send(window, list ? LB_GETTEXT : CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text.data()),
              &result)) {
      return std::nullopt;
    }
  }
  return utf8(std::wstring(text.data(), wcsnlen(text.data(), text.size())));
}

std::string dumpControls(const Front& front) {
  if (front.kind == FrontKind::None) return "window none\n";
  std::string out = "window " + describeFront(front) +
                    " top=" + quotedText(windowText(front.top).value_or("?")) + "\n";
  std::vector<HWND> controls = descendants(front.window);
  if (front.kind == FrontKind::Page) {
    for (HWND child : children(front.top)) {
      if (child != front.window && !isClass(child, "#32770")) controls.push_back(child);
    }
  }
  for (HWND control : controls) {
    RECT box{};
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, front.window, reinterpret_cast<POINT*>(&box), 2);
    const std::optional<int> checked = checkState(control);
    out += "control id=" + std::to_string(GetDlgCtrlID(control)) +
           " class=" + quotedText(className(control)) +
           " text=" + quotedText(windowText(control).value_or("?")) +
           " enabled=" + (IsWindowEnabled(control) ? "1" : "0") +
           " visible=" + (IsWindowVisible(control) ? "1" : "0") +
           " checked=" + (checked ? std::to_string(*checked) : "-") +
           " rect=" + std::to_string(box.left) + "," + std::to_string(box.top) + "," +
           std::to_string(box.right) + "," + std::to_string(box.bottom);
    if (const std::optional<int> rows = rowCount(control)) {
      out += " rows=" + std::to_string(*rows) +
             " selected=" + std::to_string(currentRow(control).value_or(-1));
    }
    out += "\n";
  }
  return out;
}

}  // namespace vex::uihost
