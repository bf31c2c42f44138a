// The job-name dialog on a real display: it runs its modal loop on the main thread, as in the
// rendering thread at print time, while a second thread finds it and drives it with window
// messages. MessageBeep and ImmAssociateContext are counted through this program's own import
// table; the dialog code is linked in directly, so it calls them through that table.
// clang-format off
#include <windows.h>
#include <imm.h>  // needs windows.h first
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "import_patch.h"
#include "job_name_dialog.h"
#include "private_settings.h"

namespace {

using vex::test::patchImport;

const std::wstring kDialogTitle = L"作业名称设置";
const std::wstring kEnterJobName = L"输入作业名称";
constexpr int kOk = 1;
constexpr int kLabel = 1005;
constexpr int kField = 1006;
constexpr int kGroup = 1007;
constexpr DWORD kFindMs = 5000;

// ---- A desktop of the tests' own ----

// The windows live on a desktop of their own: Wine starts a desktop process for it with this
// program's DISPLAY, whatever another program without a display left behind on the default
// desktop of the same Wine session. The handle stays open for the life of the process (a
// desktop in use by a thread cannot be closed).
HDESK g_desktop = nullptr;

class OwnDesktop : public ::testing::Environment {
 public:
  void SetUp() override {
    g_desktop = CreateDesktopW(L"vex-gui-tests", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    ASSERT_NE(g_desktop, nullptr) << "CreateDesktopW failed: " << GetLastError();
    ASSERT_TRUE(SetThreadDesktop(g_desktop)) << "SetThreadDesktop failed: " << GetLastError();
  }
};
::testing::Environment* const g_ownDesktop = ::testing::AddGlobalTestEnvironment(new OwnDesktop);

// A thread that works on the tests' desktop.
template <typename Work>
std::thread onTestDesktop(Work work) {
  return std::thread([work] {
    if (g_desktop != nullptr) SetThreadDesktop(g_desktop);
    work();
  });
}

// ---- Counting hooks in the import table ----

std::atomic<int> g_beeps{0};
std::atomic<int> g_otherBeeps{0};  // MessageBeep with another sound than the default
std::atomic<int> g_imeDetaches{0};
std::atomic<int> g_imeOtherCalls{0};
using ImmAssociateContextFn = HIMC(WINAPI*)(HWND, HIMC);
ImmAssociateContextFn g_realImmAssociateContext = nullptr;

BOOL WINAPI countingMessageBeep(UINT type) {
  if (type == 0xFFFFFFFF) {
    ++g_beeps;
  } else {
    ++g_otherBeeps;
  }
  return TRUE;
}

HIMC WINAPI countingImmAssociateContext(HWND window, HIMC context) {
  if (GetDlgCtrlID(window) == kField && context == nullptr) {
    ++g_imeDetaches;
  } else {
    ++g_imeOtherCalls;
  }
  return g_realImmAssociateContext(window, context);
}

// ---- Window helpers (called from the driving thread) ----

bool waitFor(const std::function<bool()>& condition, DWORD ms = kFindMs) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!condition()) {
    if (GetTickCount64() > end) return false;
    Sleep(20);
  }
  return true;
}

std::wstring windowText(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

std::wstring className(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return buffer;
}

struct DialogSearch {
  const std::wstring* title;
  HWND owner;
  HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<DialogSearch*>(param);
  if (className(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  if (GetWindow(window, GW_OWNER) != s->owner) return TRUE;
  if (!s->title->empty() && windowText(window) != *s->title) return TRUE;
  s->found = window;
  return FALSE;
}

// A visible dialog-class window of `thread` with the given owner (and title, unless empty).
HWND findDialog(DWORD thread, const std::wstring& title, HWND owner) {
  DialogSearch search{&title, owner, nullptr};
  EnumThreadWindows(thread, matchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForDialog(DWORD thread, const std::wstring& title, HWND owner) {
  HWND found = nullptr;
  waitFor([&] { return (found = findDialog(thread, title, owner)) != nullptr; });
  return found;
}

BOOL CALLBACK collectStaticText(HWND child, LPARAM param) {
  if (lstrcmpiW(className(child).c_str(), L"Static") == 0) {
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(windowText(child));
  }
  return TRUE;
}

// The texts of a window's children of class Static.
std::vector<std::wstring> staticTexts(HWND window) {
  std::vector<std::wstring> texts;
  EnumChildWindows(window, collectStaticText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

struct Selection {
  DWORD start = 0;
  DWORD end = 0;
};

Selection selection(HWND field) {
  Selection s;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start),
               reinterpret_cast<LPARAM>(&s.end));
  return s;
}

// Keys typed into the field, one WM_CHAR each.
void typeText(HWND field, const std::wstring& text) {
  for (const wchar_t c : text) SendMessageW(field, WM_CHAR, c, 1);
}

void paste(HWND field, const std::wstring& text) {
  SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void setCaret(HWND field, DWORD position) { SendMessageW(field, EM_SETSEL, position, position); }

HWND focusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// Clicks OK without waiting for the click to be handled: the handler may show a modal message
// box that only this thread can close.
void clickOk(HWND dialog) { PostMessageW(GetDlgItem(dialog, kOk), BM_CLICK, 0, 0); }

bool stillOpen(HWND dialog) {
  // Give posted and pending messages a chance to run first.
  Sleep(200);
  return IsWindow(dialog) && IsWindowVisible(dialog);
}

// With VEX_GUI_MARKERS naming a folder (a Windows path), announces a screenshot `name` by
// creating "<name>.ready" there and waits up to 30 s for the script to create "<name>.done".
void screenshotPoint(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"VEX_GUI_MARKERS", folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring base = std::wstring(folder) + L"\\" + name;
  const std::wstring ready = base + L".ready";
  const std::wstring done = base + L".done";
  HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create the screenshot marker";
  CloseHandle(file);
  EXPECT_TRUE(
      waitFor([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
      << "no screenshot taken of " << std::string(base.begin(), base.end());
}

// ---- The dialog template as compiled into the program ----

struct TemplateItem {
  DWORD style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD id = 0;
  WORD classOrdinal = 0;  // 0x80 button, 0x81 edit, 0x82 static
  std::wstring text;
};

struct DialogTemplate {
  WORD version = 0;
  WORD signature = 0;
  DWORD style = 0;
  short cx = 0, cy = 0;
  std::wstring title;
  WORD pointSize = 0;
  std::wstring font;
  std::vector<TemplateItem> items;
  bool complete = false;
};

// Reads a DLGTEMPLATEEX; every read is bounded by the resource's size.
class TemplateReader {
 public:
  TemplateReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <typename T>
  T read() {
    T value{};
    if (!take(sizeof(T))) return value;
    std::memcpy(&value, data_ + offset_ - sizeof(T), sizeof(T));
    return value;
  }
  std::wstring text() {
    std::wstring s;
    for (wchar_t c = read<wchar_t>(); ok_ && c != 0; c = read<wchar_t>()) s.push_back(c);
    return s;
  }
  // A name-or-ordinal field: the ordinal, or 0 with the name in `name`.
  WORD nameOrOrdinal(std::wstring* name) {
    const WORD first = read<WORD>();
    if (first == 0xFFFF) return read<WORD>();
    if (first != 0) {
      offset_ -= sizeof(WORD);
      *name = text();
    }
    return 0;
  }
  void alignTo(std::size_t n) { take((n - offset_ % n) % n); }
  bool ok() const { return ok_; }

 private:
  bool take(std::size_t n) {
    if (!ok_ || n > size_ - offset_) return ok_ = false;
    offset_ += n;
    return true;
  }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
  bool ok_ = true;
};

DialogTemplate parseTemplate(const std::uint8_t* data, std::size_t size) {
  DialogTemplate t;
  TemplateReader r(data, size);
  t.version = r.read<WORD>();
  t.signature = r.read<WORD>();
  r.read<DWORD>();  // help id
  r.read<DWORD>();  // extended style
  t.style = r.read<DWORD>();
  const WORD count = r.read<WORD>();
  r.read<short>();
  r.read<short>();
  t.cx = r.read<short>();
  t.cy = r.read<short>();
  std::wstring name;
  r.nameOrOrdinal(&name);  // menu
  r.nameOrOrdinal(&name);  // class
  t.title = r.text();
  if (t.style & DS_SETFONT) {
    t.pointSize = r.read<WORD>();
    r.read<WORD>();  // weight
    r.read<BYTE>();  // italic
    r.read<BYTE>();  // character set
    t.font = r.text();
  }
  for (WORD i = 0; i < count && r.ok(); ++i) {
    TemplateItem item;
    r.alignTo(4);
    r.read<DWORD>();  // help id
    r.read<DWORD>();  // extended style
    item.style = r.read<DWORD>();
    item.x = r.read<short>();
    item.y = r.read<short>();
    item.cx = r.read<short>();
    item.cy = r.read<short>();
    item.id = r.read<DWORD>();
    std::wstring cls;
    item.classOrdinal = r.nameOrOrdinal(&cls);
    r.nameOrOrdinal(&item.text);
    const WORD extra = r.read<WORD>();
    for (WORD b = 0; b < extra; ++b) r.read<BYTE>();
    t.items.push_back(item);
  }
  t.complete = r.ok() && t.items.size() == count;
  return t;
}

// ---- Running the dialog ----

using Record = std::array<std::uint8_t, vex::kRecordSize>;

Record recordWithName(std::u16string_view name) {
  Record record{};
  vex::psDefaults(record.data());
  vex::setWide(record.data(), vex::rec::jobName, vex::rec::jobNameChars, name);
  return record;
}

std::u16string storedName(const Record& record) {
  return vex::getWide(record.data(), vex::rec::jobName, vex::rec::jobNameChars);
}

class JobNameDialog : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NE(
        patchImport("user32.dll", "MessageBeep", reinterpret_cast<void*>(&countingMessageBeep)),
        nullptr);
    g_realImmAssociateContext = reinterpret_cast<ImmAssociateContextFn>(patchImport(
        "imm32.dll", "ImmAssociateContext", reinterpret_cast<void*>(&countingImmAssociateContext)));
    ASSERT_NE(g_realImmAssociateContext, nullptr);
  }

  void SetUp() override {
    g_beeps = 0;
    g_otherBeeps = 0;
    g_imeDetaches = 0;
    g_imeOtherCalls = 0;
  }

  // Shows the dialog for `record` on this thread while `drive` works it from another one.
  // Whatever the scenario leaves open is closed afterwards, so that a failing scenario cannot
  // hang the test; the return value is runJobNameDialog's.
  bool run(Record& record, const std::function<void(HWND dialog, HWND field)>& drive) {
    const DWORD uiThread = GetCurrentThreadId();
    std::thread driver = onTestDesktop([&] {
      HWND dialog = waitForDialog(uiThread, kDialogTitle, nullptr);
      if (dialog == nullptr) {
        ADD_FAILURE() << "the dialog did not appear within " << kFindMs << " ms (is DISPLAY set?)";
        return;
      }
      drive(dialog, GetDlgItem(dialog, kField));
      if (!waitFor([&] { return !IsWindow(dialog); }, 500)) {
        ADD_FAILURE() << "the scenario left the dialog open";
        closeForcibly(uiThread, dialog);
      }
    });
    const bool result = vex::runJobNameDialog(GetModuleHandleW(nullptr), record.data());
    driver.join();
    return result;
  }

  static void closeForcibly(DWORD uiThread, HWND dialog) {
    for (int attempt = 0; attempt < 3 && IsWindow(dialog); ++attempt) {
      if (HWND box = findDialog(uiThread, L"", dialog)) PostMessageW(box, WM_COMMAND, IDOK, 0);
      SendMessageTimeoutW(GetDlgItem(dialog, kField), WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(L"closing"), SMTO_NORMAL, 2000, nullptr);
      clickOk(dialog);
      waitFor([&] { return !IsWindow(dialog); }, 2000);
    }
    if (IsWindow(dialog)) {
      std::fputs("the job-name dialog cannot be closed; giving up\n", stderr);
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
};

// The resources as the dialog and its message need them: US English resources with Chinese
// texts, in a font that the system links to a Chinese font.
TEST(JobNameDialogResources, DialogTemplateAndMessage) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const WORD usEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
  // Strings are stored in blocks of 16: string 8001 is in block 501.
  EXPECT_NE(FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(8001 / 16 + 1), usEnglish),
            nullptr);
  wchar_t message[64] = {};
  EXPECT_EQ(LoadStringW(module, 8001, message, 64), 6);
  EXPECT_EQ(std::wstring(message), kEnterJobName);

  HRSRC found = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(103), usEnglish);
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
  ASSERT_NE(data, nullptr);
  const DialogTemplate t = parseTemplate(data, SizeofResource(module, found));
  ASSERT_TRUE(t.complete);
  EXPECT_EQ(t.version, 1);
  EXPECT_EQ(t.signature, 0xFFFF);
  const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
  EXPECT_EQ(t.style & style, style);
  EXPECT_EQ(t.style & (WS_CHILD | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  EXPECT_EQ(t.cx, 163);
  EXPECT_EQ(t.cy, 99);
  EXPECT_EQ(t.title, kDialogTitle);
  EXPECT_EQ(t.font, L"MS Shell Dlg");
  EXPECT_EQ(t.pointSize, 9);

  const struct {
    DWORD id;
    short x, y, cx, cy;
    WORD classOrdinal;
    const wchar_t* text;
    DWORD typeMask;  // the part of the style that holds the control's kind
    DWORD type;
    DWORD flags;  // further style bits that must be set
  } expected[] = {
      {kOk, 60, 79, 42, 14, 0x80, L"确定", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP},
      {kGroup, 14, 5, 135, 60, 0x80, L"作业名称设置", BS_TYPEMASK, BS_GROUPBOX, 0},
      {kLabel, 23, 23, 117, 8, 0x82, L"作业名称:", SS_TYPEMASK, SS_LEFT, 0},
      {kField, 23, 38, 117, 12, 0x81, L"", ES_MULTILINE | ES_PASSWORD | ES_READONLY, 0,
       WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
  };
  ASSERT_EQ(t.items.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const TemplateItem& item = t.items[i];
    const auto& e = expected[i];
    EXPECT_EQ(item.id, e.id) << i;
    EXPECT_EQ(item.x, e.x) << e.id;
    EXPECT_EQ(item.y, e.y) << e.id;
    EXPECT_EQ(item.cx, e.cx) << e.id;
    EXPECT_EQ(item.cy, e.cy) << e.id;
    EXPECT_EQ(item.classOrdinal, e.classOrdinal) << e.id;
    EXPECT_EQ(item.text, e.text) << e.id;
    EXPECT_EQ(item.style & e.typeMask, e.type) << e.id;
    EXPECT_EQ(item.style & e.flags, e.flags) << e.id;
    EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE)) << e.id;
  }
}

// The dialog as the resource lays it out, centred on the desktop and above other windows.
TEST_F(JobNameDialog, ShowsTheStoredNameCentredAndTopmost) {
  Record record = recordWithName(u"Quarterly");
  const bool ended = run(record, [](HWND dialog, HWND field) {
    EXPECT_EQ(windowText(field), L"Quarterly");
    EXPECT_EQ(SendMessageW(field, EM_GETLIMITTEXT, 0, 0), 16);

    RECT desktop{};
    RECT window{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    EXPECT_EQ(window.left, desktop.left + (desktop.right - desktop.left) / 2 - width / 2);
    EXPECT_EQ(window.top, desktop.top + (desktop.bottom - desktop.top) / 2 - height / 2);
    EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    for (const LONG bit : {LONG(WS_POPUP), LONG(WS_CAPTION), LONG(WS_SYSMENU)}) {
      EXPECT_EQ(style & bit, bit) << std::hex << bit;
    }
    EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);

    // Client area and controls in dialog units, converted with the dialog's own font.
    RECT client{0, 0, 163, 99};
    MapDialogRect(dialog, &client);
    RECT actualClient{};
    GetClientRect(dialog, &actualClient);
    EXPECT_EQ(actualClient.right, client.right);
    EXPECT_EQ(actualClient.bottom, client.bottom);

    const struct {
      int id;
      RECT units;  // left, top, right, bottom
      const wchar_t* cls;
      const wchar_t* text;
      LONG styleBits;
    } controls[] = {
        {kOk, {60, 79, 102, 93}, L"Button", L"确定", BS_DEFPUSHBUTTON},
        {kGroup, {14, 5, 149, 65}, L"Button", L"作业名称设置", BS_GROUPBOX},
        {kLabel, {23, 23, 140, 31}, L"Static", L"作业名称:", 0},
        {kField, {23, 38, 140, 50}, L"Edit", L"Quarterly", ES_AUTOHSCROLL},
    };
    for (const auto& c : controls) {
      HWND control = GetDlgItem(dialog, c.id);
      ASSERT_NE(control, nullptr) << c.id;
      EXPECT_EQ(lstrcmpiW(className(control).c_str(), c.cls), 0) << c.id;
      EXPECT_EQ(windowText(control), c.text) << c.id;
      EXPECT_EQ(GetWindowLongW(control, GWL_STYLE) & c.styleBits, c.styleBits) << c.id;
      RECT expected = c.units;
      MapDialogRect(dialog, &expected);
      RECT actual{};
      GetWindowRect(control, &actual);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(actual.left, expected.left) << c.id;
      EXPECT_EQ(actual.top, expected.top) << c.id;
      EXPECT_EQ(actual.right, expected.right) << c.id;
      EXPECT_EQ(actual.bottom, expected.bottom) << c.id;
    }
    clickOk(dialog);
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(storedName(record), u"Quarterly");
}

// A quote or a character outside ASCII is taken out again at once, with one beep, and the caret
// stays where it was before the character; the input method is detached from the field.
TEST_F(JobNameDialog, TypedQuoteAndChineseAreRemovedKeepingTheCaret) {
  Record record = recordWithName(u"");
  const DWORD uiThread = GetCurrentThreadId();
  const bool ended = run(record, [&](HWND dialog, HWND field) {
    // Any notification of the field detaches the input method, the focus alone included.
    g_imeDetaches = 0;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    EXPECT_EQ(focusOf(uiThread), field);
    EXPECT_GT(g_imeDetaches, 0);
    typeText(field, L"abcd");
    EXPECT_EQ(windowText(field), L"abcd");
    EXPECT_EQ(g_beeps, 0);

    const struct {
      const char* what;
      DWORD caret;
      bool typed;  // WM_CHAR per character, else one paste
      std::wstring input;
      std::wstring text;
      DWORD caretAfter;
      int beeps;
    } steps[] = {
        {"quote typed at the end", 4, true, L"\"", L"abcd", 4, 1},
        {"quote typed in the middle", 2, true, L"\"", L"abcd", 2, 1},
        {"Chinese character typed at the start", 0, true, L"中", L"abcd", 0, 1},
        {"Chinese character pasted in the middle", 1, false, L"中", L"abcd", 1, 1},
        {"mixed paste keeps the allowed part", 2, false, L"x\"y中z", L"abxyzcd", 5, 1},
        {"tab pasted", 7, false, L"\t", L"abxyzcd", 7, 1},
        {"allowed character, no beep", 7, true, L"!", L"abxyzcd!", 8, 0},
    };
    for (const auto& s : steps) {
      const int before = g_beeps;
      setCaret(field, s.caret);
      if (s.typed) {
        typeText(field, s.input);
      } else {
        paste(field, s.input);
      }
      EXPECT_EQ(windowText(field), s.text) << s.what;
      const Selection after = selection(field);
      EXPECT_EQ(after.start, s.caretAfter) << s.what;
      EXPECT_EQ(after.end, s.caretAfter) << s.what;
      EXPECT_EQ(g_beeps - before, s.beeps) << s.what;
    }
    EXPECT_EQ(g_otherBeeps, 0);
    EXPECT_GT(g_imeDetaches, 0);
    EXPECT_EQ(g_imeOtherCalls, 0);
    clickOk(dialog);
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(storedName(record), u"abxyzcd!");
}

// The field holds 16 characters; a 17th, typed or pasted, is refused.
TEST_F(JobNameDialog, SeventeenthCharacterIsRefused) {
  Record record = recordWithName(u"");
  const bool ended = run(record, [](HWND dialog, HWND field) {
    typeText(field, L"ABCDEFGHIJKLMNOP");
    EXPECT_EQ(windowText(field), L"ABCDEFGHIJKLMNOP");
    typeText(field, L"Q");
    EXPECT_EQ(windowText(field), L"ABCDEFGHIJKLMNOP");
    paste(field, L"Q");
    EXPECT_EQ(windowText(field), L"ABCDEFGHIJKLMNOP");
    clickOk(dialog);
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(storedName(record), u"ABCDEFGHIJKLMNOP");
}

// OK on an empty field shows message 8001 with the stop icon and keeps the dialog, focus back in
// the field; a typed name then ends it. Also where the screenshots are taken.
TEST_F(JobNameDialog, EmptyNameIsRefusedWithMessage) {
  Record record = recordWithName(u"");
  const Record before = record;
  const DWORD uiThread = GetCurrentThreadId();
  const bool ended = run(record, [&](HWND dialog, HWND field) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      clickOk(dialog);
      HWND box = waitForDialog(uiThread, L"", dialog);
      ASSERT_NE(box, nullptr) << "no message box for the empty name";
      const std::vector<std::wstring> texts = staticTexts(box);
      EXPECT_NE(std::find(texts.begin(), texts.end(), kEnterJobName), texts.end());
      EXPECT_FALSE(IsWindowEnabled(dialog)) << "the message box is modal to the dialog";
      if (attempt == 0) screenshotPoint(L"job-name-message");
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
      EXPECT_TRUE(stillOpen(dialog));
      EXPECT_EQ(focusOf(uiThread), field);
    }
    EXPECT_EQ(record, before) << "the refused name changed the record";

    typeText(field, L"Q3 report");
    screenshotPoint(L"job-name-dialog");
    clickOk(dialog);
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(storedName(record), u"Q3 report");
}

// Cancel, Esc and the close box leave the dialog open and the record as it was.
TEST_F(JobNameDialog, CancelEscapeAndCloseBoxDoNothing) {
  Record record = recordWithName(u"Draft");
  const Record before = record;
  const bool ended = run(record, [&](HWND dialog, HWND field) {
    setCaret(field, 5);
    typeText(field, L"X");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(stillOpen(dialog)) << "IDCANCEL";
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(stillOpen(dialog)) << "WM_CLOSE";
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(stillOpen(dialog)) << "close box";
    PostMessageW(field, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    EXPECT_TRUE(stillOpen(dialog)) << "Esc";
    EXPECT_EQ(record, before);
    clickOk(dialog);
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(storedName(record), u"DraftX");
}

// Text put into the field from outside the keyboard does not reach the record unfiltered.
TEST_F(JobNameDialog, SetTextCannotSmuggleForbiddenCharacters) {
  Record record = recordWithName(u"");
  const bool ended = run(record, [](HWND dialog, HWND field) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\"b\r\nc中"));
    clickOk(dialog);
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(storedName(record), u"abc");
}

// A record from the device mode holds any bytes: the dialog shows only what the field accepts.
TEST_F(JobNameDialog, HostileStoredNameIsShownFiltered) {
  const struct {
    const char* what;
    std::u16string stored;  // written into the field's 17 characters, no terminator if 17
    std::wstring shown;
  } cases[] = {
      {"quote and line break", u"a\"b\r\n@PJL X", L"ab@PJL X"},
      {"Chinese", u"中文name", L"name"},
      {"17 characters without terminator", u"ABCDEFGHIJKLMNOPQ", L"ABCDEFGHIJKLMNOP"},
      {"17 characters, some forbidden", u"\"BCDEFGHIJKLMNOPQ", L"BCDEFGHIJKLMNOPQ"},
  };
  for (const auto& c : cases) {
    Record record = recordWithName(u"");
    for (std::size_t i = 0; i < c.stored.size() && i < vex::rec::jobNameChars; ++i) {
      vex::setU16(record.data(), vex::rec::jobName + 2 * i, c.stored[i]);
    }
    std::wstring shown;
    const bool ended = run(record, [&](HWND dialog, HWND field) {
      shown = windowText(field);
      clickOk(dialog);
    });
    EXPECT_TRUE(ended) << c.what;
    EXPECT_EQ(shown, c.shown) << c.what;
    EXPECT_EQ(storedName(record), std::u16string(c.shown.begin(), c.shown.end())) << c.what;
    EXPECT_EQ(g_beeps, 0) << c.what;
  }
}

TEST_F(JobNameDialog, FailsWithoutARecordOrADialogResource) {
  EXPECT_FALSE(vex::runJobNameDialog(GetModuleHandleW(nullptr), nullptr));
  Record record = recordWithName(u"Kept");
  // A module without dialog 103.
  EXPECT_FALSE(vex::runJobNameDialog(GetModuleHandleW(L"kernel32.dll"), record.data()));
  EXPECT_EQ(storedName(record), u"Kept");
}

// Message boxes from the string table: the text, the caption when one is asked for, the system's
// default caption otherwise.
TEST_F(JobNameDialog, StringMessageTakesTextAndCaptionFromTheStringTable) {
  const DWORD uiThread = GetCurrentThreadId();
  const struct {
    UINT captionId;
    std::wstring caption;
  } cases[] = {{8001, kEnterJobName}, {0, L"Error"}};
  for (const auto& c : cases) {
    std::wstring caption;
    std::vector<std::wstring> texts;
    std::thread driver = onTestDesktop([&] {
      HWND box = waitForDialog(uiThread, L"", nullptr);
      if (box == nullptr) {
        ADD_FAILURE() << "no message box";
        return;
      }
      caption = windowText(box);
      texts = staticTexts(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    const int answer = vex::showStringMessage(nullptr, 8001, c.captionId, MB_ICONHAND);
    driver.join();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(caption, c.caption) << c.captionId;
    EXPECT_NE(std::find(texts.begin(), texts.end(), kEnterJobName), texts.end()) << c.captionId;
  }
}

}  // namespace
