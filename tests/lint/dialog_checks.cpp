#include "dialog_checks.h"

#include <commctrl.h>  // after windows.h, which dialog_checks.h brings

#include <algorithm>
#include <cstring>
#include <map>

namespace vexlint {

// Dialog 118 (user settings) labels its list "用户设置(&U):" and its reset button "默认值(&U)".
const std::vector<KnownMnemonicPair> kKnownMnemonicPairs = {
    {118, L"用户设置(&U):", L"默认值(&U)"},
};

namespace {

bool isClass(const Control& c, const wchar_t* name) {
  return _wcsicmp(c.className.c_str(), name) == 0;
}

DWORD buttonType(const Control& c) { return c.style & BS_TYPEMASK; }
DWORD staticType(const Control& c) { return c.style & SS_TYPEMASK; }

bool isGroupBox(const Control& c) { return isClass(c, L"Button") && buttonType(c) == BS_GROUPBOX; }

bool isRadio(const Control& c) {
  return isClass(c, L"Button") &&
         (buttonType(c) == BS_RADIOBUTTON || buttonType(c) == BS_AUTORADIOBUTTON);
}

bool isCheckOrRadioType(DWORD type) {
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return true;
    default:
      return false;
  }
}

// A check box or radio button drawn with its box (not BS_PUSHLIKE).
bool isCheckOrRadio(const Control& c) {
  return isClass(c, L"Button") && !(c.style & BS_PUSHLIKE) && isCheckOrRadioType(buttonType(c));
}

bool isPushButton(const Control& c) {
  if (!isClass(c, L"Button")) return false;
  DWORD type = buttonType(c);
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ||
         ((c.style & BS_PUSHLIKE) && isCheckOrRadioType(type));
}

bool isTextStatic(const Control& c) {
  if (!isClass(c, L"Static")) return false;
  switch (staticType(c)) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
      return true;
    default:
      return false;
  }
}

// Frames drawn around other controls: a control inside one is not an overlap.
bool isFrame(const Control& c) {
  if (isGroupBox(c)) return true;
  if (!isClass(c, L"Static")) return false;
  switch (staticType(c)) {
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME:
    case SS_ETCHEDFRAME:
      return true;
    default:
      return false;
  }
}

// Controls that take keyboard input and must be reachable with Tab. An up-down control is not
// one: its buddy edit is.
bool takesInput(const Control& c) {
  static const wchar_t* const kInputClasses[] = {
      L"Edit",
      L"ComboBox",
      L"ComboBoxEx32",
      L"ListBox",
      L"SysListView32",
      L"SysTreeView32",
      L"msctls_trackbar32",
      L"msctls_hotkey32",
      L"SysDateTimePick32",
      L"SysIPAddress32",
      L"RichEdit20W",
      L"RICHEDIT50W",
      L"SysTabControl32",
  };
  for (const wchar_t* name : kInputClasses) {
    if (isClass(c, name)) return true;
  }
  return isClass(c, L"Button") && !isGroupBox(c) && buttonType(c) != BS_USERBUTTON;
}

// An up-down control sits over the border of the edit it is attached to, by design.
bool isBuddyPair(const Control& upDown, const Control& buddy) {
  return isClass(upDown, UPDOWN_CLASSW) &&
         reinterpret_cast<HWND>(SendMessageW(upDown.hwnd, UDM_GETBUDDY, 0, 0)) == buddy.hwnd;
}

bool contains(const RECT& outer, const RECT& inner) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

std::wstring rectText(const RECT& r) {
  return L"(" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " +
         std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L")";
}

// The letter after the first single '&' of a caption, upper-cased; 0 for none ("&&" is a
// literal ampersand).
wchar_t mnemonicOf(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    wchar_t letter[2] = {text[i + 1], 0};
    CharUpperBuffW(letter, 1);
    return letter[0];
  }
  return 0;
}

bool hasMnemonicText(const Control& c) {
  if (isClass(c, L"Button"))
    return buttonType(c) != BS_OWNERDRAW && !(c.style & (BS_BITMAP | BS_ICON));
  return isTextStatic(c) && !(c.style & SS_NOPREFIX);
}

bool knownPair(int dialogId, const std::wstring& a, const std::wstring& b) {
  for (const KnownMnemonicPair& pair : kKnownMnemonicPairs) {
    if (pair.dialogId != dialogId) continue;
    if ((a == pair.first && b == pair.second) || (a == pair.second && b == pair.first)) return true;
  }
  return false;
}

// A device context of a control with the control's font selected (its dialog's when the
// control has none), released on every path.
class ControlDc {
 public:
  explicit ControlDc(HWND control) : control_(control), dc_(GetDC(control)) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (font == nullptr) {
      font = reinterpret_cast<HFONT>(SendMessageW(GetParent(control), WM_GETFONT, 0, 0));
    }
    old_ = SelectObject(dc_, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
  }
  ~ControlDc() {
    SelectObject(dc_, old_);
    ReleaseDC(control_, dc_);
  }
  ControlDc(const ControlDc&) = delete;
  ControlDc& operator=(const ControlDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND control_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// The extent of a text as DrawTextW lays it out in the control's font: one line, or lines
// broken to fit `width` when `flags` has DT_WORDBREAK.
SIZE textExtent(HWND control, const std::wstring& text, UINT flags, int width) {
  ControlDc dc(control);
  RECT r{0, 0, std::max(width, 1), 0};
  DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// The gap between a check box's box and its text: half the width of '0' in the control's font,
// as the button draws it.
int checkBoxGap(HWND control) {
  ControlDc dc(control);
  INT zero = 0;
  GetCharWidth32W(dc.get(), L'0', L'0', &zero);
  return zero / 2;
}

void checkOverlaps(const std::vector<Control>& controls, std::vector<Finding>& findings) {
  for (size_t i = 0; i < controls.size(); ++i) {
    for (size_t j = i + 1; j < controls.size(); ++j) {
      const Control& a = controls[i];
      const Control& b = controls[j];
      RECT common;
      if (!IntersectRect(&common, &a.rect, &b.rect)) continue;
      if ((isFrame(a) && contains(a.rect, b.rect)) || (isFrame(b) && contains(b.rect, a.rect))) {
        continue;
      }
      if (isBuddyPair(a, b) || isBuddyPair(b, a)) continue;
      findings.push_back({"overlap",
                          {a.id, b.id},
                          describe(a) + L" " + rectText(a.rect) + L" and " + describe(b) + L" " +
                              rectText(b.rect) + L" overlap"});
    }
  }
}

void checkInsideDialog(HWND dialog, const std::vector<Control>& controls,
                       std::vector<Finding>& findings) {
  RECT client;
  GetClientRect(dialog, &client);
  for (const Control& c : controls) {
    if (contains(client, c.rect)) continue;
    findings.push_back({"outside",
                        {c.id},
                        describe(c) + L" " + rectText(c.rect) +
                            L" reaches outside the dialog's client area " + rectText(client)});
  }
}

void checkTextFits(const std::vector<Control>& controls, std::vector<Finding>& findings) {
  for (const Control& c : controls) {
    if (c.text.empty()) continue;
    RECT area;
    GetClientRect(c.hwnd, &area);
    UINT flags = DT_EXPANDTABS;
    bool wraps = false;
    if (isTextStatic(c)) {
      if (c.style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS))
        continue;  // cut by design
      DWORD type = staticType(c);
      wraps =
          (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) && !(c.style & SS_CENTERIMAGE);
      if (c.style & SS_NOPREFIX) flags |= DT_NOPREFIX;
    } else if (isPushButton(c)) {
      if (c.style & (BS_BITMAP | BS_ICON)) continue;
      // The push button's 3-D frame and the label's inset take two edges on each side.
      InflateRect(&area, -2 * GetSystemMetrics(SM_CXEDGE), -2 * GetSystemMetrics(SM_CYEDGE));
      wraps = (c.style & BS_MULTILINE) != 0;
    } else if (isCheckOrRadio(c)) {
      if (c.style & (BS_BITMAP | BS_ICON)) continue;
      area.right -= GetSystemMetrics(SM_CXMENUCHECK) + checkBoxGap(c.hwnd);
      wraps = (c.style & BS_MULTILINE) != 0;
    } else {
      continue;
    }
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    SIZE need = textExtent(c.hwnd, c.text, flags | (wraps ? DT_WORDBREAK : DT_SINGLELINE), width);
    if (need.cx <= width && need.cy <= height) continue;
    // A wrapped text that fails is easier to mend knowing its one-line width too.
    std::wstring oneLine;
    if (wraps) {
      SIZE line = textExtent(c.hwnd, c.text, flags | DT_SINGLELINE, width);
      oneLine = L" (one line: " + std::to_wstring(line.cx) + L" px)";
    }
    findings.push_back({"text-fit",
                        {c.id},
                        describe(c) + L": the text needs " + std::to_wstring(need.cx) + L"x" +
                            std::to_wstring(need.cy) + L" px" + oneLine + L", the control has " +
                            std::to_wstring(width) + L"x" + std::to_wstring(height) + L" px"});
  }
}

void checkMnemonics(const std::vector<Control>& controls, int dialogId,
                    std::vector<Finding>& findings) {
  std::map<wchar_t, const Control*> seen;
  for (const Control& c : controls) {
    if (!hasMnemonicText(c)) continue;
    wchar_t letter = mnemonicOf(c.text);
    if (letter == 0) continue;
    auto [it, first] = seen.emplace(letter, &c);
    if (first || knownPair(dialogId, it->second->text, c.text)) continue;
    findings.push_back({"mnemonic",
                        {it->second->id, c.id},
                        describe(*it->second) + L" and " + describe(c) + L" share the mnemonic '" +
                            std::wstring(1, letter) + L"'"});
  }
}

void checkTabStops(const std::vector<Control>& controls, std::vector<Finding>& findings) {
  size_t groupStart = 0;
  for (size_t i = 0; i < controls.size(); ++i) {
    const Control& c = controls[i];
    if (c.style & WS_GROUP) groupStart = i;
    if (!takesInput(c) || (c.style & WS_TABSTOP)) continue;
    if (!isRadio(c)) {
      findings.push_back({"tab-stop", {c.id}, describe(c) + L" takes input but has no WS_TABSTOP"});
      continue;
    }
    // Tab reaches a radio group through its first button; the group is reported there once.
    size_t firstRadio = groupStart;
    while (!isRadio(controls[firstRadio])) ++firstRadio;
    if (firstRadio != i) continue;
    findings.push_back({"tab-stop",
                        {c.id},
                        describe(c) + L" is the first radio button of its group and has no "
                                      L"WS_TABSTOP: Tab cannot reach the group"});
  }
}

std::wstring shortened(const std::wstring& text) {
  std::wstring out;
  for (wchar_t ch : text) {
    if (ch == L'\r') continue;
    if (ch == L'\n') {
      out += L"\\n";
    } else {
      out += ch;
    }
    if (out.size() >= 40) return out + L"...";
  }
  return out;
}

INT_PTR CALLBACK inertProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The hidden top-level window that holds property pages.
HWND pageHost() {
  static HWND host = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"VexLintPageHost";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"page", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 600, 500,
                           nullptr, nullptr, wc.hInstance, nullptr);
  }();
  return host;
}

}  // namespace

std::wstring describe(const Control& control) {
  return L"control " + std::to_wstring(control.id) + L" \"" + shortened(control.text) + L"\" (" +
         control.className + L")";
}

std::vector<Control> childControls(HWND dialog) {
  std::vector<Control> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    Control c;
    c.hwnd = child;
    c.id = GetDlgCtrlID(child);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    c.className = name;
    int length = GetWindowTextLengthW(child);
    if (length > 0 && !isClass(c, L"Edit")) {  // an edit's text is its content, not a caption
      c.text.resize(static_cast<size_t>(length) + 1);
      c.text.resize(static_cast<size_t>(GetWindowTextW(child, c.text.data(), length + 1)));
    }
    c.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
    c.exStyle = static_cast<DWORD>(GetWindowLongW(child, GWL_EXSTYLE));
    GetWindowRect(child, &c.rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
    controls.push_back(std::move(c));
  }
  return controls;
}

std::vector<Finding> checkDialog(HWND dialog, int dialogId) {
  std::vector<Control> controls = childControls(dialog);
  std::vector<Finding> findings;
  checkOverlaps(controls, findings);
  checkInsideDialog(dialog, controls, findings);
  checkTextFits(controls, findings);
  checkMnemonics(controls, dialogId, findings);
  checkTabStops(controls, findings);
  return findings;
}

std::vector<Finding> lintTemplate(const void* data, size_t size, HINSTANCE module, int dialogId,
                                  const std::function<void(HWND)>& whileUp) {
  // DLGTEMPLATEEX: dlgVer 1, signature 0xFFFF, helpID, exStyle, style at 12, then 5 more
  // fields; DLGTEMPLATE: style at 0, 18 bytes. Our own copy, hidden whatever the template says.
  std::vector<BYTE> copy(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
  WORD words[2] = {};
  if (size >= 4) std::memcpy(words, copy.data(), 4);
  bool extended = words[0] == 1 && words[1] == 0xFFFF;
  size_t styleAt = extended ? 12 : 0;
  if (size < (extended ? 26u : 18u)) {
    return {{"create", {}, L"the template has only " + std::to_wstring(size) + L" bytes"}};
  }
  DWORD style;
  std::memcpy(&style, copy.data() + styleAt, sizeof style);
  bool page = (style & (WS_CHILD | DS_CONTROL)) != 0;
  if (page) {  // as a property sheet makes a page of it
    style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME);
    style |= WS_CHILD | DS_CONTROL;
  }
  style &= ~WS_VISIBLE;
  std::memcpy(copy.data() + styleAt, &style, sizeof style);

  // The pages use the common controls (list views, trackbars, up-down controls).
  static const bool commonControls = [] {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                     ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                                     ICC_INTERNET_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  (void)commonControls;
  HWND parent = page ? pageHost() : nullptr;
  SetLastError(0);
  HWND dialog = CreateDialogIndirectParamW(
      module, reinterpret_cast<const DLGTEMPLATE*>(copy.data()), parent, inertProcedure, 0);
  if (dialog == nullptr) {
    return {{"create",
             {},
             L"CreateDialogIndirectParamW failed with error " + std::to_wstring(GetLastError())}};
  }
  std::vector<Finding> findings = checkDialog(dialog, dialogId);
  if (whileUp) whileUp(dialog);
  DestroyWindow(dialog);
  return findings;
}

}  // namespace vexlint
