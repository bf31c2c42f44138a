// The dialog lint against templates built here, each with one fault or none: every case must
// give exactly the finding it expects, through the same routine that checks the plug-ins.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_checks.h"
#include "lint_display.h"

namespace {

struct Item {
  const wchar_t* className;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  short x, y, cx, cy;
  int id;
  const wchar_t* text;
};

constexpr DWORD kTab = WS_TABSTOP;
Item edit(int id, short x, short y, short cx, DWORD style = kTab) {
  return {L"Edit", style | WS_BORDER | ES_AUTOHSCROLL, x, y, cx, 12, id, L""};
}
Item label(int id, short x, short y, short cx, short cy, const wchar_t* text, DWORD style = 0) {
  return {L"Static", SS_LEFT | WS_GROUP | style, x, y, cx, cy, id, text};
}
Item button(int id, short x, short y, short cx, const wchar_t* text) {
  return {L"Button", BS_PUSHBUTTON | kTab, x, y, cx, 14, id, text};
}
Item check(int id, short x, short y, short cx, const wchar_t* text) {
  return {L"Button", BS_AUTOCHECKBOX | kTab, x, y, cx, 10, id, text};
}
Item radio(int id, short y, DWORD style) {
  return {L"Button", BS_AUTORADIOBUTTON | style, 10, y, 80, 10, id, L"选项"};
}
Item group(int id, short x, short y, short cx, short cy) {
  return {L"Button", BS_GROUPBOX, x, y, cx, cy, id, L"分组"};
}

void put(std::vector<BYTE>& out, const void* data, size_t size) {
  const BYTE* bytes = static_cast<const BYTE*>(data);
  out.insert(out.end(), bytes, bytes + size);
}
template <typename T>
void put(std::vector<BYTE>& out, T value) {
  put(out, &value, sizeof value);
}
void putText(std::vector<BYTE>& out, const wchar_t* text) {
  put(out, text, (wcslen(text) + 1) * sizeof(wchar_t));
}

// A DLGTEMPLATEEX of 200 x 120 units in the plug-ins' dialog font, with the items in order: a
// dialog, or a property page.
constexpr DWORD kDialogStyle = DS_SHELLFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPageStyle = DS_SHELLFONT | DS_CONTROL | WS_CHILD | WS_CAPTION;

std::vector<BYTE> dialogTemplate(const std::vector<Item>& items, DWORD style) {
  std::vector<BYTE> t;
  put<WORD>(t, 1);
  put<WORD>(t, 0xFFFF);
  put<DWORD>(t, 0);
  put<DWORD>(t, 0);
  put<DWORD>(t, style);
  put<WORD>(t, static_cast<WORD>(items.size()));
  for (short v : {0, 0, 200, 120}) put<short>(t, v);
  put<WORD>(t, 0);  // no menu
  put<WORD>(t, 0);  // the dialog class
  putText(t, L"测试");
  put<WORD>(t, 9);
  put<WORD>(t, FW_NORMAL);
  put<BYTE>(t, 0);
  put<BYTE>(t, DEFAULT_CHARSET);
  putText(t, L"MS Shell Dlg");
  for (const Item& item : items) {
    while (t.size() % 4 != 0) t.push_back(0);
    put<DWORD>(t, 0);
    put<DWORD>(t, 0);
    put<DWORD>(t, item.style | WS_CHILD | WS_VISIBLE);
    for (short v : {item.x, item.y, item.cx, item.cy}) put<short>(t, v);
    put<DWORD>(t, static_cast<DWORD>(item.id));
    putText(t, item.className);
    putText(t, item.text);
    put<WORD>(t, 0);  // no creation data
  }
  return t;
}

struct Case {
  const char* name;
  int dialogId;
  std::vector<Item> items;
  const char* rule;  // nullptr: the template is clean
  std::vector<int> ids;
  DWORD style = kDialogStyle;
};

const wchar_t kLong[] = L"作业名称设置作业名称设置";

const std::vector<Case> kCases = {
    {"two edits overlap", 1, {edit(10, 10, 10, 80), edit(11, 50, 15, 80)}, "overlap", {10, 11}},
    {"edit inside a group box", 1, {group(20, 5, 5, 150, 40), edit(10, 15, 20, 100)}, nullptr, {}},
    {"edit inside an etched frame",
     1,
     {{L"Static", SS_ETCHEDFRAME, 5, 5, 150, 40, 20, L""}, edit(10, 15, 20, 100)},
     nullptr,
     {}},
    {"group box across an edit",
     1,
     {group(20, 5, 5, 100, 40), edit(10, 60, 20, 100)},
     "overlap",
     {20, 10}},
    {"edit beyond the dialog", 1, {edit(10, 150, 10, 80)}, "outside", {10}},
    {"one-line static too narrow", 1, {label(10, 10, 10, 40, 8, kLong)}, "text-fit", {10}},
    {"two-line static too short",
     1,
     {label(10, 10, 10, 40, 16, L"作业名称设置作业名称设置作业名称设置作业名称设置")},
     "text-fit",
     {10}},
    {"two-line static that holds its text", 1, {label(10, 10, 10, 60, 30, kLong)}, nullptr, {}},
    {"push button too narrow", 1, {button(10, 10, 10, 30, kLong)}, "text-fit", {10}},
    {"check box whose box leaves too little room",
     1,
     {check(10, 10, 10, 18, L"确定")},
     "text-fit",
     {10}},
    {"static as wide as that check box", 1, {label(10, 10, 10, 18, 8, L"确定")}, nullptr, {}},
    {"check boxes share a letter",
     1,
     {check(10, 10, 10, 80, L"&Alpha"), check(11, 10, 30, 80, L"&apple")},
     "mnemonic",
     {10, 11}},
    {"a static's mnemonic counts",
     1,
     {label(10, 10, 10, 80, 8, L"名称(&N):"), button(11, 10, 30, 60, L"新建(&N)")},
     "mnemonic",
     {10, 11}},
    {"known pair of dialog 118",
     118,
     {label(10, 10, 10, 80, 8, L"用户设置(&U):"), button(11, 10, 30, 60, L"默认值(&U)")},
     nullptr,
     {}},
    {"the same pair in another dialog",
     119,
     {label(10, 10, 10, 80, 8, L"用户设置(&U):"), button(11, 10, 30, 60, L"默认值(&U)")},
     "mnemonic",
     {10, 11}},
    {"&& and SS_NOPREFIX make no mnemonic",
     1,
     {label(10, 10, 10, 80, 8, L"A && B"), label(11, 10, 25, 80, 8, L"&A", SS_NOPREFIX),
      button(12, 10, 40, 60, L"&A")},
     nullptr,
     {}},
    {"edit without tab stop", 1, {edit(10, 10, 10, 80, 0)}, "tab-stop", {10}},
    {"disabled edit without tab stop", 1, {edit(10, 10, 10, 80, WS_DISABLED)}, "tab-stop", {10}},
    {"radio group entered at its first button",
     1,
     {radio(10, 10, WS_GROUP | kTab), radio(11, 25, 0), radio(12, 40, 0)},
     nullptr,
     {}},
    {"radio group without tab stop",
     1,
     {label(9, 10, 0, 80, 8, L"方向"), radio(10, 10, 0), radio(11, 25, 0)},
     "tab-stop",
     {10}},
    {"list view without tab stop",
     1,
     {{L"SysListView32", LVS_REPORT | WS_BORDER, 10, 10, 120, 50, 10, L""}},
     "tab-stop",
     {10}},
    {"trackbar without tab stop",
     1,
     {{L"msctls_trackbar32", 0, 10, 10, 120, 15, 10, L""}},
     "tab-stop",
     {10}},
    // A drop-down list is as tall as its field, whatever the template gives for the list.
    {"drop-down list above an edit",
     1,
     {{L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | kTab, 10, 10, 80, 80, 10, L""},
      edit(11, 10, 30, 80)},
     nullptr,
     {}},
    {"up-down control on its edit",
     1,
     {edit(10, 10, 10, 60),
      {L"msctls_updown32", UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 0, 0, 11, L""}},
     nullptr,
     {}},
    {"up-down over an edit it does not belong to",
     1,
     {edit(10, 10, 10, 80), {L"msctls_updown32", 0, 60, 10, 10, 12, 11, L""}},
     "overlap",
     {10, 11}},
    {"property page with two edits overlapping",
     1,
     {edit(10, 10, 10, 80), edit(11, 50, 15, 80)},
     "overlap",
     {10, 11},
     kPageStyle},
    {"control of an unknown class",
     1,
     {{L"VexNoSuchClass", 0, 10, 10, 20, 20, 10, L""}},
     "create",
     {}},
};

class Lint : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(vexlint::haveDisplay()) << "no DISPLAY; run under scripts/test or start Xvfb";
    ASSERT_TRUE(vexlint::cjkFontLinked())
        << "the prefix lacks the CJK font link; run scripts/setup";
    ASSERT_TRUE(vexlint::useOwnDesktop(L"vex-dialog-lint-test"));
  }
};

TEST_F(Lint, EachBadTemplateGivesItsOneFinding) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<BYTE> t = dialogTemplate(c.items, c.style);
    std::vector<vexlint::Finding> found =
        vexlint::lintTemplate(t.data(), t.size(), GetModuleHandleW(nullptr), c.dialogId);
    std::string seen;
    for (const vexlint::Finding& f : found) {
      seen += f.rule + ":";
      for (int id : f.controlIds) seen += " " + std::to_string(id);
      seen += " (" + vexlint::utf8(f.detail) + ")\n";
    }
    if (c.rule == nullptr) {
      EXPECT_TRUE(found.empty()) << seen;
      continue;
    }
    ASSERT_EQ(found.size(), 1u) << seen;
    EXPECT_EQ(found[0].rule, c.rule) << seen;
    EXPECT_EQ(found[0].controlIds, c.ids) << seen;
  }
}

TEST_F(Lint, TooShortTemplateIsAFinding) {
  const BYTE stub[10] = {1, 0, 0xFF, 0xFF};
  std::vector<vexlint::Finding> found =
      vexlint::lintTemplate(stub, sizeof stub, GetModuleHandleW(nullptr), 1);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].rule, "create");
}

}  // namespace
