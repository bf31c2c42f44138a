// The UI plug-in's dialog helpers on a real display: control ranges, the numeric edit guard
// through real edit controls, the once-only warning and message boxes from vexui.dll's own
// resources (the DLL is loaded as a data file and made the helpers' module for the test), bitmap
// drawing read back pixel by pixel, the driver-page refresh on a real property sheet, the link
// font and the context-help convention. Windows live on a desktop of the tests' own, on a thread
// of their own; modal boxes are answered from a timer of the showing thread. The printer test and
// the hostile-argument tests need no display.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
#include <prsht.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "context_help.h"
#include "dialog_bindings.h"
#include "dialog_helpers.h"
#include "help_table.h"
#include "import_patch.h"
#include "printer_setup.h"
#include "printer_support.h"
#include "property_items.h"
#include "ui_dialog_helpers_test_ids.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace {

using vex::test::patchImport;

using vex::AlertOutcome;
using vex::NumericEditAction;

constexpr COLORREF kBackground = RGB(0, 128, 128);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// ---- Display, desktop and threads ----

bool haveDisplay() {
  wchar_t value[8];
  return GetEnvironmentVariableW(L"DISPLAY", value, 8) > 0;
}

#define REQUIRE_DISPLAY()                                               \
  do {                                                                  \
    if (!haveDisplay()) GTEST_SKIP() << "needs an X display (DISPLAY)"; \
  } while (0)

constexpr wchar_t kDesktopName[] = L"vex-dialog-helper-tests";

// Kept open for the life of the process, so that the desktop (and Wine's process behind it)
// lives from one test to the next.
HDESK testDesktop() {
  static HDESK desktop = CreateDesktopW(kDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  return desktop;
}

// Runs `work` on a new thread of the tests' desktop (a thread with windows cannot change desktop,
// and the test runner's thread may already have some). Each thread gets a handle of its own: the
// platform closes a thread's desktop handle when the thread ends.
void onTestDesktop(const std::function<void()>& work) {
  ASSERT_NE(testDesktop(), nullptr) << GetLastError();
  std::thread thread([&work] {
    HDESK desktop = OpenDesktopW(kDesktopName, 0, FALSE, GENERIC_ALL);
    ASSERT_NE(desktop, nullptr) << GetLastError();
    ASSERT_TRUE(SetThreadDesktop(desktop)) << GetLastError();
    work();
  });
  thread.join();
}

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// ---- Counting hooks in this program's import table (the helpers are linked in) ----

int g_beeps = 0;
BOOL WINAPI countingMessageBeep(UINT) {
  ++g_beeps;
  return TRUE;
}

struct HelpCall {
  HWND window;
  std::wstring file;
  UINT command;
  ULONG_PTR data;
};
std::vector<HelpCall> g_helpCalls;
BOOL WINAPI recordingWinHelp(HWND window, LPCWSTR file, UINT command, ULONG_PTR data) {
  g_helpCalls.push_back({window, file != nullptr ? file : L"", command, data});
  return TRUE;
}

// The box types handed to MessageBoxW.
std::vector<UINT> g_messageBoxTypes;
using MessageBoxFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
MessageBoxFn g_realMessageBox = nullptr;
int WINAPI recordingMessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  g_messageBoxTypes.push_back(type);
  return g_realMessageBox(owner, text, caption, type);
}

// The palettes selected into DCs other than the stock one, by their entries.
std::vector<std::vector<PALETTEENTRY>> g_selectedPalettes;
using SelectPaletteFn = HPALETTE(WINAPI*)(HDC, HPALETTE, BOOL);
SelectPaletteFn g_realSelectPalette = nullptr;
HPALETTE WINAPI recordingSelectPalette(HDC dc, HPALETTE palette, BOOL background) {
  if (palette != nullptr && palette != GetStockObject(DEFAULT_PALETTE)) {
    WORD count = 0;
    GetObjectW(palette, sizeof(count), &count);
    std::vector<PALETTEENTRY> entries(count);
    if (count > 0) GetPaletteEntries(palette, 0, count, entries.data());
    g_selectedPalettes.push_back(entries);
  }
  return g_realSelectPalette(dc, palette, background);
}

// The counting hooks live for each test of this file only: the program's other tests keep the
// real functions.
class UiDialogHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    realBeep_ =
        patchImport("user32.dll", "MessageBeep", reinterpret_cast<void*>(countingMessageBeep));
    realWinHelp_ = patchImport("user32.dll", "WinHelpW", reinterpret_cast<void*>(recordingWinHelp));
    g_realMessageBox = reinterpret_cast<MessageBoxFn>(
        patchImport("user32.dll", "MessageBoxW", reinterpret_cast<void*>(recordingMessageBox)));
    g_realSelectPalette = reinterpret_cast<SelectPaletteFn>(
        patchImport("gdi32.dll", "SelectPalette", reinterpret_cast<void*>(recordingSelectPalette)));
    ASSERT_NE(realBeep_, nullptr);
    ASSERT_NE(realWinHelp_, nullptr);
    ASSERT_NE(g_realMessageBox, nullptr);
    ASSERT_NE(g_realSelectPalette, nullptr);
  }
  void TearDown() override {
    if (realBeep_ != nullptr) patchImport("user32.dll", "MessageBeep", realBeep_);
    if (realWinHelp_ != nullptr) patchImport("user32.dll", "WinHelpW", realWinHelp_);
    if (g_realMessageBox != nullptr) {
      patchImport("user32.dll", "MessageBoxW", reinterpret_cast<void*>(g_realMessageBox));
    }
    if (g_realSelectPalette != nullptr) {
      patchImport("gdi32.dll", "SelectPalette", reinterpret_cast<void*>(g_realSelectPalette));
    }
  }

 private:
  void* realBeep_ = nullptr;
  void* realWinHelp_ = nullptr;
};

// ---- Process-wide state of the plug-in, restored after each test ----

class ModuleStateScope {
 public:
  ModuleStateScope() : saved_(vex::uiModuleState()) {}
  ~ModuleStateScope() {
    vex::UiModuleState& state = vex::uiModuleState();
    state.moduleInstance = saved_.moduleInstance;
    state.isOsVersion6OrLater = saved_.isOsVersion6OrLater;
    state.contextHelpAvailable = saved_.contextHelpAvailable;
    std::memcpy(state.helpFilePath, saved_.helpFilePath, sizeof(state.helpFilePath));
    state.canWritePrinterData = saved_.canWritePrinterData;
    state.pageRefreshFlags = saved_.pageRefreshFlags;
  }
  ModuleStateScope(const ModuleStateScope&) = delete;
  ModuleStateScope& operator=(const ModuleStateScope&) = delete;

 private:
  struct Copy {
    HINSTANCE moduleInstance;
    bool isOsVersion6OrLater;
    bool contextHelpAvailable;
    wchar_t helpFilePath[260];
    bool canWritePrinterData;
    DWORD pageRefreshFlags;
    explicit Copy(const vex::UiModuleState& s)
        : moduleInstance(s.moduleInstance),
          isOsVersion6OrLater(s.isOsVersion6OrLater),
          contextHelpAvailable(s.contextHelpAvailable),
          canWritePrinterData(s.canWritePrinterData),
          pageRefreshFlags(s.pageRefreshFlags) {
      std::memcpy(helpFilePath, s.helpFilePath, sizeof(helpFilePath));
    }
  } saved_;
};

// vexui.dll of this build as a data file, made the helpers' resource module while it lives.
class PluginResources {
 public:
  PluginResources() {
    const std::wstring path = vex::programDirectory() + L"\\vexui.dll";
    module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module_, nullptr) << "vexui.dll not loadable as data, error " << GetLastError();
    vex::uiModuleState().moduleInstance = module_;
  }
  ~PluginResources() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  PluginResources(const PluginResources&) = delete;
  PluginResources& operator=(const PluginResources&) = delete;
  HMODULE get() const { return module_; }

 private:
  ModuleStateScope scope_;  // restores moduleInstance before the module goes
  HMODULE module_ = nullptr;
};

HINSTANCE testModule() { return GetModuleHandleW(nullptr); }

// ---- Window helpers ----

std::wstring windowText(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

std::wstring className(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return buffer;
}

struct DialogSearch {
  HWND found = nullptr;
};

BOOL CALLBACK matchVisibleDialog(HWND window, LPARAM param) {
  if (className(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  reinterpret_cast<DialogSearch*>(param)->found = window;
  return FALSE;
}

// A visible dialog-class window of the current thread.
HWND findThreadDialog() {
  DialogSearch search;
  EnumThreadWindows(GetCurrentThreadId(), matchVisibleDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK collectStatic(HWND child, LPARAM param) {
  if (lstrcmpiW(className(child).c_str(), L"Static") == 0 && !windowText(child).empty()) {
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(windowText(child));
  }
  return TRUE;
}

// Answers the next modal box of this thread from a timer of the thread (the box's modal loop
// runs it): `answer` gets the box and must close it.
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(HWND)> answer) : answer_(std::move(answer)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 30, tick);
  }
  ~ModalAnswer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  ModalAnswer(const ModalAnswer&) = delete;
  ModalAnswer& operator=(const ModalAnswer&) = delete;
  bool answered() const { return answered_; }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalAnswer* self = current_;
    if (self == nullptr || self->answered_ || self->busy_) return;
    HWND box = findThreadDialog();
    if (box == nullptr) return;
    self->busy_ = true;
    self->answered_ = true;
    self->answer_(box);
    self->busy_ = false;
  }
  static inline ModalAnswer* current_ = nullptr;
  std::function<void(HWND)> answer_;
  UINT_PTR timer_ = 0;
  bool answered_ = false;
  bool busy_ = false;
};

// ---- The canvas dialog: a known background and two guarded numeric fields ----

struct Canvas {
  wchar_t savedUnsigned[vex::kNumericSavedChars] = L"";
  wchar_t savedSigned[vex::kNumericSavedChars] = L"";
  bool guarding = true;
  std::vector<NumericEditAction> actions;
};

HBRUSH backgroundBrush() {
  static HBRUSH brush = CreateSolidBrush(kBackground);
  return brush;
}

INT_PTR CALLBACK canvasProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
      return TRUE;
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(backgroundBrush());
    case WM_COMMAND: {
      auto* canvas = reinterpret_cast<Canvas*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
      if (canvas == nullptr || !canvas->guarding) return FALSE;
      const WORD id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      NumericEditAction action = NumericEditAction::keep;
      if (id == IDC_TEST_UNSIGNED) {
        action = vex::guardNumericEdit(dialog, code, id, 72, 1, 600, canvas->savedUnsigned, false);
      } else if (id == IDC_TEST_SIGNED) {
        action = vex::guardNumericEdit(dialog, code, id, 45, -180, 180, canvas->savedSigned, true);
      } else {
        return FALSE;
      }
      if (code == EN_UPDATE) canvas->actions.push_back(action);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

// A shown canvas dialog, destroyed at the end of its scope.
class CanvasWindow {
 public:
  CanvasWindow() {
    dialog_ = CreateDialogParamW(testModule(), MAKEINTRESOURCEW(IDD_TEST_CANVAS), nullptr,
                                 canvasProc, reinterpret_cast<LPARAM>(&canvas_));
    EXPECT_NE(dialog_, nullptr) << "error " << GetLastError();
    if (dialog_ == nullptr) return;
    ShowWindow(dialog_, SW_SHOWNORMAL);
    UpdateWindow(dialog_);
    pumpMessages();
  }
  ~CanvasWindow() {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }
  CanvasWindow(const CanvasWindow&) = delete;
  CanvasWindow& operator=(const CanvasWindow&) = delete;
  HWND get() const { return dialog_; }
  HWND item(int id) const { return GetDlgItem(dialog_, id); }
  Canvas& state() { return canvas_; }

  // Repaints the background (and the visible controls) now.
  void repaint() {
    RedrawWindow(dialog_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pumpMessages();
  }

  POINT origin(int id) const {
    RECT rect{};
    GetWindowRect(item(id), &rect);
    POINT corner{rect.left, rect.top};
    ScreenToClient(dialog_, &corner);
    return corner;
  }

  COLORREF pixel(int x, int y) const {
    HDC dc = GetDC(dialog_);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(dialog_, dc);
    return colour;
  }

 private:
  Canvas canvas_;
  HWND dialog_ = nullptr;
};

// The pixels of a bitmap resource of this program as COLORREFs, row by row from the top.
std::vector<COLORREF> resourcePixels(int bitmapId, int* width, int* height) {
  HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(testModule(), MAKEINTRESOURCEW(bitmapId),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  std::vector<COLORREF> colours;
  if (bitmap == nullptr) return colours;
  BITMAP shape{};
  GetObjectW(bitmap, sizeof(shape), &shape);
  *width = shape.bmWidth;
  *height = shape.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = *width;
  info.bmiHeader.biHeight = -*height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> bits(static_cast<std::size_t>(*width) * *height);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, *height, bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  for (std::uint32_t b : bits) colours.push_back(RGB((b >> 16) & 0xFF, (b >> 8) & 0xFF, b & 0xFF));
  return colours;
}

// The colour table of a bitmap resource of this program, as palette entries.
std::vector<PALETTEENTRY> resourceColourTable(int bitmapId) {
  HRSRC found = FindResourceW(testModule(), MAKEINTRESOURCEW(bitmapId), RT_BITMAP);
  const auto* bytes =
      static_cast<const std::uint8_t*>(LockResource(LoadResource(testModule(), found)));
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
  DWORD count = header->biClrUsed;
  if (count == 0 && header->biBitCount <= 8) count = 1u << header->biBitCount;
  if (header->biBitCount > 8) count = 0;
  std::vector<PALETTEENTRY> entries;
  for (DWORD i = 0; i < count; ++i) {
    const std::uint8_t* quad = bytes + header->biSize + 4 * i;
    entries.push_back(PALETTEENTRY{quad[2], quad[1], quad[0], 0});
  }
  return entries;
}

std::string hex(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof(text), "%06lx", static_cast<unsigned long>(colour));
  return text;
}

// ---- Control ranges ----

enum class RangeCall { enable, show, remove };

std::set<int> idsWhere(const CanvasWindow& canvas, const std::function<bool(HWND)>& test) {
  std::set<int> ids;
  for (int id = IDC_TEST_RANGE_FIRST; id <= IDC_TEST_RANGE_LAST; ++id) {
    HWND control = canvas.item(id);
    if (control != nullptr && test(control)) ids.insert(id);
  }
  return ids;
}

TEST_F(UiDialogHelpers, ControlRanges) {
  REQUIRE_DISPLAY();
  const std::set<int> all{110, 111, 112, 113, 114, 115};
  const struct {
    const char* what;
    std::set<int> disabledBefore;
    std::set<int> hiddenBefore;
    RangeCall call;
    int first;
    int last;
    BOOL flag;
    std::set<int> enabled;
    std::set<int> visible;
    std::set<int> existing;
  } cases[] = {
      {"enable never enables a disabled control",
       {112},
       {},
       RangeCall::enable,
       110,
       115,
       TRUE,
       {110, 111, 113, 114, 115},
       all,
       all},
      {"enable 0 switches the range off",
       {},
       {},
       RangeCall::enable,
       111,
       113,
       FALSE,
       {110, 114, 115},
       all,
       all},
      {"other non-zero values count as enable",
       {113},
       {},
       RangeCall::enable,
       110,
       115,
       7,
       {110, 111, 112, 114, 115},
       all,
       all},
      {"reversed range does nothing", {}, {}, RangeCall::enable, 115, 110, FALSE, all, all, all},
      {"ids beyond 16 bits are clamped",
       {},
       {},
       RangeCall::enable,
       -50,
       0x1FFFF,
       FALSE,
       {},
       all,
       all},
      {"range up to 0xFFFF ends", {}, {}, RangeCall::enable, 0xFFF0, 0xFFFF, FALSE, all, all, all},
      {"show 0 hides and disables",
       {},
       {},
       RangeCall::show,
       112,
       114,
       FALSE,
       {110, 111, 115},
       {110, 111, 115},
       all},
      {"show 1 shows and enables", {112}, {113}, RangeCall::show, 110, 115, TRUE, all, all, all},
      {"show 1 outside the range changes nothing",
       {112},
       {113},
       RangeCall::show,
       114,
       115,
       TRUE,
       {110, 111, 113, 114, 115},
       {110, 111, 112, 114, 115},
       all},
      {"remove destroys the range",
       {},
       {},
       RangeCall::remove,
       111,
       112,
       FALSE,
       {110, 113, 114, 115},
       {110, 113, 114, 115},
       {110, 113, 114, 115}},
      {"remove of absent ids", {}, {}, RangeCall::remove, 200, 300, FALSE, all, all, all},
      {"remove with ids beyond 16 bits",
       {},
       {},
       RangeCall::remove,
       115,
       0x7FFFFFFF,
       FALSE,
       {110, 111, 112, 113, 114},
       {110, 111, 112, 113, 114},
       {110, 111, 112, 113, 114}},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      for (int id : c.disabledBefore) EnableWindow(canvas.item(id), FALSE);
      for (int id : c.hiddenBefore) ShowWindow(canvas.item(id), SW_HIDE);
      switch (c.call) {
        case RangeCall::enable:
          vex::enableControlRange(canvas.get(), c.first, c.last, c.flag);
          break;
        case RangeCall::show:
          vex::showControlRange(canvas.get(), c.first, c.last, c.flag);
          break;
        case RangeCall::remove:
          vex::removeControlRange(canvas.get(), c.first, c.last);
          break;
      }
      EXPECT_EQ(idsWhere(canvas, [](HWND w) { return IsWindowEnabled(w) != FALSE; }), c.enabled)
          << c.what;
      EXPECT_EQ(idsWhere(canvas, [](HWND w) { return IsWindowVisible(w) != FALSE; }), c.visible)
          << c.what;
      EXPECT_EQ(idsWhere(canvas, [](HWND) { return true; }), c.existing) << c.what;
    }
  });
}

TEST_F(UiDialogHelpers, ControlRangesWithoutADialog) {
  // No window at all: nothing to do, nothing to crash on.
  vex::enableControlRange(nullptr, 0, 0xFFFF, FALSE);
  vex::showControlRange(nullptr, 0, 0xFFFF, TRUE);
  vex::removeControlRange(nullptr, 0, 0xFFFF);
  wchar_t saved[vex::kNumericSavedChars] = L"5";
  EXPECT_EQ(vex::guardNumericEdit(nullptr, EN_UPDATE, 1, 0, 0, 9, saved, false),
            NumericEditAction::keep);
  EXPECT_STREQ(saved, L"5");
  vex::notifySheetChanged(nullptr);
  EXPECT_FALSE(vex::drawTransparentBitmap(nullptr, testModule(), IDC_TEST_PICTURE, IDB_TEST_RGB24));
  EXPECT_FALSE(vex::drawFramedDib(nullptr, testModule(), IDB_TEST_RGB24, IDC_TEST_FRAMED));
}

// ---- The numeric edit guard through real edit controls ----

TEST_F(UiDialogHelpers, NumericEditGuardOnRealFields) {
  REQUIRE_DISPLAY();
  const struct {
    const char* what;
    int field;
    std::wstring before;
    int caret;  // where the caret stands before typing
    std::wstring typed;
    std::wstring after;
    int beeps;
    int caretAfter;
  } cases[] = {
      {"minus on a signed field", IDC_TEST_SIGNED, L"", 0, L"-", L"-", 0, 1},
      {"second minus is refused", IDC_TEST_SIGNED, L"", 0, L"--", L"-", 1, 1},
      {"minus on an unsigned field", IDC_TEST_UNSIGNED, L"", 0, L"-", L"", 1, 0},
      {"zero in front of a digit", IDC_TEST_UNSIGNED, L"5", 0, L"0", L"5", 1, 0},
      {"zero alone clamps to the minimum 1", IDC_TEST_UNSIGNED, L"", 0, L"0", L"1", 0, -1},
      {"zero alone on a signed field", IDC_TEST_SIGNED, L"", 0, L"0", L"0", 0, 1},
      {"plus in front on a signed field", IDC_TEST_SIGNED, L"5", 0, L"+", L"+5", 0, 1},
      {"plus on an unsigned field", IDC_TEST_UNSIGNED, L"5", 0, L"+", L"5", 1, 0},
      {"digits up to the maximum", IDC_TEST_UNSIGNED, L"", 0, L"600", L"600", 0, 3},
      {"beyond the maximum", IDC_TEST_UNSIGNED, L"60", 2, L"00", L"600", 0, -1},
      {"below the minimum", IDC_TEST_SIGNED, L"-18", 3, L"1", L"-180", 0, -1},
      {"letter in the middle", IDC_TEST_UNSIGNED, L"12", 1, L"x", L"12", 1, 1},
      {"deleting everything leaves the field empty", IDC_TEST_UNSIGNED, L"72", 2, L"\b\b", L"", 0,
       0},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      HWND field = canvas.item(c.field);
      canvas.state().guarding = false;
      SetWindowTextW(field, c.before.c_str());
      canvas.state().guarding = true;
      SetFocus(field);  // EN_SETFOCUS remembers the text
      SendMessageW(field, EM_SETSEL, c.caret, c.caret);
      g_beeps = 0;
      for (wchar_t key : c.typed) SendMessageW(field, WM_CHAR, key, 1);
      EXPECT_EQ(windowText(field), c.after) << c.what;
      EXPECT_EQ(g_beeps, c.beeps) << c.what;
      if (c.caretAfter >= 0) {
        DWORD start = 0;
        SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        EXPECT_EQ(static_cast<int>(start), c.caretAfter) << c.what;
      }
    }
  });
}

TEST_F(UiDialogHelpers, NumericEditGuardRestoresTheDefaultOnLeaving) {
  REQUIRE_DISPLAY();
  const struct {
    int field;
    std::wstring text;
    std::wstring after;
  } cases[] = {
      {IDC_TEST_UNSIGNED, L"", L"72"},
      {IDC_TEST_SIGNED, L"", L"45"},
      {IDC_TEST_SIGNED, L"-7", L"-7"},
      {IDC_TEST_UNSIGNED, L"3", L"3"},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      HWND field = canvas.item(c.field);
      SetFocus(field);
      canvas.state().guarding = false;
      SetWindowTextW(field, c.text.c_str());
      canvas.state().guarding = true;
      SetFocus(canvas.item(IDC_TEST_OTHER));  // EN_KILLFOCUS
      EXPECT_EQ(windowText(field), c.after) << c.field << " '" << vex::test::narrow(c.text) << "'";
    }
  });
}

TEST_F(UiDialogHelpers, NumericEditGuardRestoringABadSavedTextDoesNotRecurse) {
  REQUIRE_DISPLAY();
  onTestDesktop([&] {
    CanvasWindow canvas;
    ASSERT_NE(canvas.get(), nullptr);
    HWND field = canvas.item(IDC_TEST_UNSIGNED);
    canvas.state().guarding = false;
    SetWindowTextW(field, L"abc");  // a text that the guard itself would refuse
    canvas.state().guarding = true;
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 3, 3);
    g_beeps = 0;
    SendMessageW(field, WM_CHAR, L'x', 1);
    EXPECT_EQ(windowText(field), L"abc");
    EXPECT_EQ(g_beeps, 1);
  });
}

TEST_F(UiDialogHelpers, NumericEditGuardWithoutSavedBufferTakesBackTheKey) {
  REQUIRE_DISPLAY();
  onTestDesktop([&] {
    CanvasWindow canvas;
    ASSERT_NE(canvas.get(), nullptr);
    HWND field = canvas.item(IDC_TEST_UNSIGNED);
    canvas.state().guarding = false;
    SetWindowTextW(field, L"1-2");
    SendMessageW(field, EM_SETSEL, 2, 2);
    g_beeps = 0;
    // As the edit control reports it after "-" was typed at position 1.
    EXPECT_EQ(vex::guardNumericEdit(canvas.get(), EN_UPDATE, IDC_TEST_UNSIGNED, 72, 1, 600, nullptr,
                                    false),
              NumericEditAction::refuse);
    EXPECT_EQ(windowText(field), L"12");
    EXPECT_EQ(g_beeps, 1);
    // Unknown controls and notifications leave everything alone.
    EXPECT_EQ(vex::guardNumericEdit(canvas.get(), EN_UPDATE, 9999, 72, 1, 600, nullptr, false),
              NumericEditAction::keep);
    EXPECT_EQ(vex::guardNumericEdit(canvas.get(), EN_MAXTEXT, IDC_TEST_UNSIGNED, 72, 1, 600,
                                    nullptr, false),
              NumericEditAction::keep);
    EXPECT_EQ(windowText(field), L"12");
  });
}

// ---- Messages from the string table ----

TEST_F(UiDialogHelpers, PluginStringTable) {
  PluginResources resources;
  ASSERT_NE(resources.get(), nullptr);
  const struct {
    UINT id;
    std::wstring text;
  } cases[] = {
      {IDS_GET_PRINTER_OPTIONS, L"获取打印机选件信息"},
      {IDS_INVALID_PASSWORD, L"密码无效。"},
      {IDS_INVALID_JOB_NAME, L"作业名称无效。"},
      {IDS_CAPTION_WARNING, L"警告"},
      {IDS_PRINTER_INIT_EMPTY, L""},
  };
  for (const auto& c : cases) {
    wchar_t text[256] = L"unchanged";
    const int length = LoadStringW(resources.get(), c.id, text, 256);
    EXPECT_EQ(std::wstring(text, length > 0 ? length : 0), c.text) << c.id;
    if (c.text.empty()) {
      EXPECT_EQ(length, 0) << c.id;
      EXPECT_EQ(text[0], L'\0') << c.id;
    }
  }
}

TEST_F(UiDialogHelpers, MessageFromStrings) {
  REQUIRE_DISPLAY();
  const struct {
    const char* what;
    UINT textId;
    UINT captionId;
    UINT type;
    int press;  // the button pressed, 0 when no box may appear
    std::wstring text;
    std::wstring caption;
    int result;
  } cases[] = {
      {"text and caption", IDS_LIMIT_EXCEEDED, IDS_CAPTION_WARNING, MB_OK | MB_ICONEXCLAMATION,
       IDOK, L"注册的数量超出限制，最多为16个。", L"警告", IDOK},
      {"no caption", IDS_INVALID_PASSWORD, 0, MB_OK | MB_ICONHAND, IDOK, L"密码无效。", L"", IDOK},
      {"missing caption string", IDS_INVALID_JOB_NAME, 12345, MB_OK, IDOK, L"作业名称无效。", L"",
       IDOK},
      {"only the low 16 bits of the type", IDS_INVALID_SETTINGS, IDS_CAPTION_ERROR,
       MB_TOPMOST | MB_RIGHT | MB_YESNO, IDNO, L"您的一个或多个设置无效。", L"错误", IDNO},
      {"only the low 16 bits of the type (all high bits)", IDS_INVALID_SETTINGS, 0,
       0xFFFF0000u | MB_OKCANCEL, IDCANCEL, L"您的一个或多个设置无效。", L"", IDCANCEL},
      {"missing text shows nothing", 12345, IDS_CAPTION_WARNING, MB_OK, 0, L"", L"", 0},
      {"empty text string shows nothing", IDS_PRINTER_INIT_EMPTY, 0, MB_OK, 0, L"", L"", 0},
  };
  PluginResources resources;
  ASSERT_NE(resources.get(), nullptr);
  onTestDesktop([&] {
    for (const auto& c : cases) {
      std::wstring caption;
      std::vector<std::wstring> texts;
      int result = -1;
      bool seen = false;
      {
        ModalAnswer answer([&](HWND box) {
          caption = windowText(box);
          EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&texts));
          PostMessageW(box, WM_COMMAND, c.press != 0 ? c.press : IDCANCEL, 0);
        });
        g_messageBoxTypes.clear();
        result = vex::messageFromStrings(nullptr, c.textId, c.captionId, c.type);
        seen = answer.answered();
      }
      EXPECT_EQ(result, c.result) << c.what;
      EXPECT_EQ(seen, c.press != 0) << c.what;
      if (c.press == 0) continue;
      EXPECT_EQ(caption, c.caption) << c.what;
      EXPECT_NE(std::find(texts.begin(), texts.end(), c.text), texts.end()) << c.what;
      // The platform draws some high bits (topmost, right-aligned) the same as none; the type
      // handed over shows them.
      EXPECT_EQ(g_messageBoxTypes, std::vector<UINT>{c.type & 0xFFFF}) << c.what;
    }
  });
}

TEST_F(UiDialogHelpers, MessageFromStringsWithoutModuleShowsNothing) {
  ModuleStateScope scope;
  vex::uiModuleState().moduleInstance = nullptr;
  EXPECT_EQ(vex::messageFromStrings(nullptr, IDS_INVALID_PASSWORD, 0, MB_OK), 0);
}

// ---- The once-only warning ----

class IniFile {
 public:
  IniFile() {
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    wchar_t name[MAX_PATH] = L"";
    GetTempFileNameW(folder, L"h1a", 0, name);
    path_ = name;
  }
  ~IniFile() { DeleteFileW(path_.c_str()); }
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;
  wchar_t* path() { return path_.data(); }
  void setAlert(const wchar_t* value) {
    WritePrivateProfileStringW(L"DisplayAllert", L"AllertFlag1", value, path_.c_str());
  }
  // The raw value, or "<absent>".
  std::wstring alert() const {
    std::vector<wchar_t> value(4096, L'\0');
    GetPrivateProfileStringW(L"DisplayAllert", L"AllertFlag1", L"<absent>", value.data(),
                             static_cast<DWORD>(value.size()), path_.c_str());
    return value.data();
  }

 private:
  std::wstring path_;
};

enum class AlertAnswer { none, ok, uncheckThenOk, cancel, close };

TEST_F(UiDialogHelpers, ShowAlertOnce) {
  REQUIRE_DISPLAY();
  const std::wstring longOnes(1000, L'1');
  const std::wstring longZeros(1000, L'0');
  const struct {
    const char* what;
    const wchar_t* stored;  // null: key absent
    AlertAnswer answer;
    AlertOutcome outcome;
    std::wstring after;
  } cases[] = {
      {"seen before", L"1", AlertAnswer::none, AlertOutcome::notShown, L"1"},
      {"first time, OK with the box checked", nullptr, AlertAnswer::ok,
       AlertOutcome::shownAgainNext, L"<absent>"},
      {"0, OK with the box checked", L"0", AlertAnswer::ok, AlertOutcome::shownAgainNext, L"0"},
      {"0, box unchecked then OK", L"0", AlertAnswer::uncheckThenOk, AlertOutcome::shownSuppressed,
       L"1"},
      {"0, Cancel", L"0", AlertAnswer::cancel, AlertOutcome::shownSuppressed, L"1"},
      {"0, closed from the title bar", L"0", AlertAnswer::close, AlertOutcome::shownSuppressed,
       L"1"},
      {"empty value reads 0", L"", AlertAnswer::ok, AlertOutcome::shownAgainNext, L""},
      {"letters read 0", L"abc", AlertAnswer::uncheckThenOk, AlertOutcome::shownSuppressed, L"1"},
      {"20 digits", L"99999999999999999999", AlertAnswer::none, AlertOutcome::notShown,
       L"99999999999999999999"},
      {"minus one is not 0", L"-1", AlertAnswer::none, AlertOutcome::notShown, L"-1"},
      {"very long value of ones", longOnes.c_str(), AlertAnswer::none, AlertOutcome::notShown,
       longOnes},
      {"very long value of zeros", longZeros.c_str(), AlertAnswer::ok, AlertOutcome::shownAgainNext,
       longZeros},
  };
  PluginResources resources;
  ASSERT_NE(resources.get(), nullptr);
  onTestDesktop([&] {
    for (const auto& c : cases) {
      IniFile ini;
      if (c.stored != nullptr) ini.setAlert(c.stored);
      vex::DocumentContext context{};
      lstrcpynW(context.iniPath, ini.path(), MAX_PATH);
      std::wstring caption;
      bool iconSet = false;
      UINT checkedAtStart = BST_UNCHECKED;
      std::vector<std::wstring> texts;
      AlertOutcome outcome = AlertOutcome::failed;
      bool seen = false;
      {
        ModalAnswer answer([&](HWND box) {
          caption = windowText(box);
          iconSet = SendDlgItemMessageW(box, IDC_ALERT_ICON, STM_GETICON, 0, 0) != 0;
          checkedAtStart = IsDlgButtonChecked(box, IDC_ALERT_SHOW_AGAIN);
          EnumChildWindows(box, collectStatic, reinterpret_cast<LPARAM>(&texts));
          switch (c.answer) {
            case AlertAnswer::uncheckThenOk:
              SendDlgItemMessageW(box, IDC_ALERT_SHOW_AGAIN, BM_CLICK, 0, 0);
              [[fallthrough]];
            case AlertAnswer::ok:
            case AlertAnswer::none:
              SendDlgItemMessageW(box, IDOK, BM_CLICK, 0, 0);
              break;
            case AlertAnswer::cancel:
              SendDlgItemMessageW(box, IDCANCEL, BM_CLICK, 0, 0);
              break;
            case AlertAnswer::close:
              PostMessageW(box, WM_CLOSE, 0, 0);
              break;
          }
        });
        outcome = vex::showAlertOnce(nullptr, &context);
        seen = answer.answered();
      }
      EXPECT_EQ(static_cast<int>(outcome), static_cast<int>(c.outcome)) << c.what;
      EXPECT_EQ(seen, c.answer != AlertAnswer::none) << c.what;
      EXPECT_EQ(ini.alert(), c.after) << c.what;
      if (!seen) continue;
      EXPECT_EQ(caption, L"警告:") << c.what;
      EXPECT_TRUE(iconSet) << c.what;
      EXPECT_EQ(checkedAtStart, static_cast<UINT>(BST_CHECKED)) << c.what;
      ASSERT_FALSE(texts.empty()) << c.what;
      EXPECT_EQ(texts.front().rfind(L"警告: \r\n当打印机共享时", 0), 0u) << c.what;
    }
  });
}

TEST_F(UiDialogHelpers, ShowAlertOnceWithoutWhatItNeeds) {
  IniFile ini;
  ini.setAlert(L"0");
  vex::DocumentContext noPath{};
  vex::DocumentContext good{};
  lstrcpynW(good.iniPath, ini.path(), MAX_PATH);
  const struct {
    const char* what;
    const vex::DocumentContext* context;
    bool pluginModule;  // else this program, which has no dialog 301
  } cases[] = {
      {"null context", nullptr, true},
      {"context without INI path", &noPath, true},
      {"module without the dialog", &good, false},
  };
  for (const auto& c : cases) {
    PluginResources resources;
    if (!c.pluginModule) vex::uiModuleState().moduleInstance = testModule();
    EXPECT_EQ(static_cast<int>(vex::showAlertOnce(nullptr, c.context)),
              static_cast<int>(AlertOutcome::failed))
        << c.what;
    EXPECT_EQ(ini.alert(), L"0") << c.what;
  }
}

// ---- Bitmaps ----

TEST_F(UiDialogHelpers, TransparentBitmapLeavesMagentaPixelsToTheBackground) {
  REQUIRE_DISPLAY();
  const int pictures[] = {IDB_TEST_RGB24, IDB_TEST_INDEXED8, IDB_TEST_INDEXED8_THREE};
  onTestDesktop([&] {
    for (int picture : pictures) {
      int width = 0;
      int height = 0;
      const std::vector<COLORREF> source = resourcePixels(picture, &width, &height);
      ASSERT_FALSE(source.empty()) << picture;
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      const POINT at = canvas.origin(IDC_TEST_PICTURE);
      ASSERT_EQ(canvas.pixel(at.x, at.y), kBackground) << "background before drawing";
      ASSERT_TRUE(vex::drawTransparentBitmap(canvas.get(), testModule(), IDC_TEST_PICTURE, picture))
          << picture;
      GdiFlush();
      int magenta = 0;
      int mismatches = 0;
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const COLORREF wanted = source[y * width + x];
          ASSERT_NE(wanted, kBackground) << "the test picture must differ from the background";
          const COLORREF expected = wanted == kMagenta ? kBackground : wanted;
          if (wanted == kMagenta) ++magenta;
          const COLORREF got = canvas.pixel(at.x + x, at.y + y);
          if (got != expected && ++mismatches <= 5) {
            ADD_FAILURE() << picture << " at " << x << "," << y << ": " << hex(got)
                          << " instead of " << hex(expected);
          }
        }
      }
      EXPECT_GT(magenta, 0) << picture;
      // Nothing beyond the picture.
      EXPECT_EQ(canvas.pixel(at.x + width, at.y), kBackground) << picture;
      EXPECT_EQ(canvas.pixel(at.x, at.y + height), kBackground) << picture;
    }
  });
}

TEST_F(UiDialogHelpers, DrawingRefusesMissingOrDamagedPictures) {
  REQUIRE_DISPLAY();
  const struct {
    const char* what;
    int control;
    int picture;
  } cases[] = {
      {"missing bitmap", IDC_TEST_PICTURE, IDB_TEST_MISSING},
      {"missing control", 4242, IDB_TEST_RGB24},
      {"sides beyond the data", IDC_TEST_PICTURE, IDB_TEST_DAMAGED_SIZE},
      {"colour table beyond 8 bits", IDC_TEST_PICTURE, IDB_TEST_DAMAGED_TABLE},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      g_selectedPalettes.clear();
      EXPECT_FALSE(vex::drawTransparentBitmap(canvas.get(), testModule(), c.control, c.picture))
          << c.what;
      EXPECT_FALSE(vex::drawFramedDib(canvas.get(), testModule(), c.picture, c.control)) << c.what;
      EXPECT_TRUE(g_selectedPalettes.empty()) << c.what;
      const POINT at = canvas.origin(IDC_TEST_PICTURE);
      EXPECT_EQ(canvas.pixel(at.x + 3, at.y + 3), kBackground) << c.what;
    }
  });
}

TEST_F(UiDialogHelpers, FramedDibPaletteColoursAndSunkenFrame) {
  REQUIRE_DISPLAY();
  const int pictures[] = {IDB_TEST_RGB24, IDB_TEST_INDEXED8, IDB_TEST_INDEXED8_THREE};
  onTestDesktop([&] {
    for (int picture : pictures) {
      int width = 0;
      int height = 0;
      const std::vector<COLORREF> source = resourcePixels(picture, &width, &height);
      ASSERT_FALSE(source.empty()) << picture;
      const std::vector<PALETTEENTRY> table = resourceColourTable(picture);
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      g_selectedPalettes.clear();
      ASSERT_TRUE(vex::drawFramedDib(canvas.get(), testModule(), picture, IDC_TEST_FRAMED))
          << picture;
      GdiFlush();

      // A palette only for pictures with a colour table, and it is that table.
      if (table.empty()) {
        EXPECT_TRUE(g_selectedPalettes.empty()) << picture << ": 24-bit picture got a palette";
      } else {
        ASSERT_EQ(g_selectedPalettes.size(), 1u) << picture;
        const std::vector<PALETTEENTRY>& selected = g_selectedPalettes.front();
        ASSERT_EQ(selected.size(), table.size()) << picture;
        for (std::size_t i = 0; i < table.size(); ++i) {
          EXPECT_TRUE(selected[i].peRed == table[i].peRed &&
                      selected[i].peGreen == table[i].peGreen &&
                      selected[i].peBlue == table[i].peBlue && selected[i].peFlags == 0)
              << picture << " entry " << i;
        }
      }

      const POINT control = canvas.origin(IDC_TEST_FRAMED);
      const int left = control.x + 2;
      const int top = control.y + 2;
      int mismatches = 0;
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const COLORREF expected = source[y * width + x];  // magenta is not special here
          const COLORREF got = canvas.pixel(left + x, top + y);
          if (got != expected && ++mismatches <= 5) {
            ADD_FAILURE() << picture << " at " << x << "," << y << ": " << hex(got)
                          << " instead of " << hex(expected);
          }
        }
      }

      const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
      const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
      const COLORREF black = RGB(0, 0, 0);
      const struct {
        const char* where;
        int x;
        int y;
        COLORREF colour;
      } frame[] = {
          {"left, outside", left - 2, top + height / 2, shadow},
          {"left, inside", left - 1, top + height / 2, black},
          {"top, outside", left + width / 2, top - 2, shadow},
          {"top, inside", left + width / 2, top - 1, black},
          {"top-left corner", left - 2, top - 2, shadow},
          {"right", left + width, top + height / 2, highlight},
          {"bottom", left + width / 2, top + height, highlight},
          {"bottom-right corner", left + width, top + height, highlight},
          {"beyond the right", left + width + 1, top + height / 2, kBackground},
          {"beyond the bottom", left + width / 2, top + height + 1, kBackground},
          {"beyond the left", left - 3, top + height / 2, kBackground},
      };
      for (const auto& f : frame) {
        EXPECT_EQ(hex(canvas.pixel(f.x, f.y)), hex(f.colour)) << picture << ": " << f.where;
      }
    }
  });
}

// ---- The sheet: changed notification and the driver-page refresh ----

struct SheetLog {
  std::vector<int> activated;  // page indexes in the order of PSN_SETACTIVE
};
SheetLog* g_sheetLog = nullptr;

INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
    SetWindowLongPtrW(page, GWLP_USERDATA, sheetPage->lParam);
    return TRUE;
  }
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_SETACTIVE) {
    if (g_sheetLog != nullptr) {
      g_sheetLog->activated.push_back(static_cast<int>(GetWindowLongPtrW(page, GWLP_USERDATA)));
    }
    SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
    return TRUE;
  }
  return FALSE;
}

// A modeless property sheet of `pages` pages, destroyed at the end of its scope.
class Sheet {
 public:
  explicit Sheet(int pages) {
    std::vector<HPROPSHEETPAGE> handles;
    for (int i = 0; i < pages; ++i) {
      PROPSHEETPAGEW page{};
      page.dwSize = sizeof(page);
      page.hInstance = testModule();
      page.pszTemplate = MAKEINTRESOURCEW(IDD_TEST_PAGE);
      page.pfnDlgProc = pageProc;
      page.lParam = i;
      handles.push_back(CreatePropertySheetPageW(&page));
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS;
    header.hInstance = testModule();
    header.pszCaption = L"sheet";
    header.nPages = static_cast<UINT>(handles.size());
    header.phpage = handles.data();
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
    EXPECT_NE(sheet_, nullptr);
    pumpMessages();
  }
  ~Sheet() {
    if (sheet_ != nullptr) DestroyWindow(sheet_);
    pumpMessages();
  }
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;
  HWND get() const { return sheet_; }
  HWND currentPage() const {
    return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  int currentIndex() const {
    return static_cast<int>(
        SendMessageW(sheet_, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(currentPage()), 0));
  }

 private:
  HWND sheet_ = nullptr;
};

TEST_F(UiDialogHelpers, RefreshDriverPagesDecisionTable) {
  REQUIRE_DISPLAY();
  const struct {
    const char* what;
    bool canWrite;
    DWORD flagsBefore;
    int startPage;
    bool switched;
    DWORD flagsAfter;
    std::vector<int> activations;  // after the start page was shown
  } cases[] = {
      {"user may change the printer's data", true, 2, 0, false, 2, {}},
      {"nothing changed", false, 0, 0, false, 0, {}},
      {"already refreshed", false, 1, 0, false, 1, {}},
      {"changed but already refreshed", false, 3, 0, false, 3, {}},
      {"changed, from page 0", false, 2, 0, true, 3, {2, 0}},
      {"changed, from page 1", false, 2, 1, true, 3, {2, 1}},
      {"changed, from page 3", false, 2, 3, true, 3, {2, 3}},
      {"other bits are kept", false, 0xF0000002, 0, true, 0xF0000003, {2, 0}},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      ModuleStateScope scope;
      SheetLog log;
      g_sheetLog = &log;
      {
        Sheet sheet(4);
        ASSERT_NE(sheet.get(), nullptr);
        SendMessageW(sheet.get(), PSM_SETCURSEL, c.startPage, 0);
        pumpMessages();
        ASSERT_EQ(sheet.currentIndex(), c.startPage) << c.what;
        vex::uiModuleState().canWritePrinterData = c.canWrite;
        vex::uiModuleState().pageRefreshFlags = c.flagsBefore;
        log.activated.clear();
        EXPECT_EQ(vex::refreshDriverPages(sheet.currentPage()), c.switched) << c.what;
        pumpMessages();
        EXPECT_EQ(vex::uiModuleState().pageRefreshFlags, c.flagsAfter) << c.what;
        EXPECT_EQ(log.activated, c.activations) << c.what;
        EXPECT_EQ(sheet.currentIndex(), c.startPage) << c.what;
        // Once done, a second call does nothing.
        log.activated.clear();
        EXPECT_FALSE(vex::refreshDriverPages(sheet.currentPage())) << c.what;
        EXPECT_TRUE(log.activated.empty()) << c.what;
      }
      g_sheetLog = nullptr;
    }
  });
}

// Every change of the driver's settings refreshes its pages once, in every sheet of a process;
// the driver's document page coming up shows the settings as they are.
TEST_F(UiDialogHelpers, RefreshDriverPagesOncePerChangeInEverySheet) {
  REQUIRE_DISPLAY();
  onTestDesktop([&] {
    ModuleStateScope scope;
    vex::uiModuleState().canWritePrinterData = false;
    vex::uiModuleState().pageRefreshFlags = 0;
    CPSUICBPARAM activated{};
    activated.cbSize = sizeof(activated);
    activated.Reason = CPSUICB_REASON_SETACTIVE;
    OEMCUIPPARAM param{};
    for (const char* sheetName : {"first sheet", "second sheet"}) {
      Sheet sheet(3);
      ASSERT_NE(sheet.get(), nullptr) << sheetName;
      EXPECT_FALSE(vex::refreshDriverPages(sheet.currentPage())) << sheetName << ": no change yet";
      vex::markDriverSettingsChanged();
      EXPECT_TRUE(vex::refreshDriverPages(sheet.currentPage())) << sheetName;
      EXPECT_FALSE(vex::refreshDriverPages(sheet.currentPage())) << sheetName << ": done once";
      vex::markDriverSettingsChanged();
      EXPECT_TRUE(vex::refreshDriverPages(sheet.currentPage())) << sheetName << ": a new change";
      vex::markDriverSettingsChanged();
      vex::documentItemsCallback(&activated, &param);  // the driver's page has reloaded
      EXPECT_FALSE(vex::refreshDriverPages(sheet.currentPage())) << sheetName;
      pumpMessages();
    }
  });
}

TEST_F(UiDialogHelpers, RefreshDriverPagesWithoutASheet) {
  ModuleStateScope scope;
  vex::uiModuleState().canWritePrinterData = false;
  vex::uiModuleState().pageRefreshFlags = vex::kDriverSettingsChanged;
  EXPECT_FALSE(vex::refreshDriverPages(nullptr));
  // Not marked refreshed: the next page that has a sheet still refreshes.
  EXPECT_EQ(vex::uiModuleState().pageRefreshFlags, vex::kDriverSettingsChanged);
}

TEST_F(UiDialogHelpers, NotifySheetChangedEnablesApply) {
  REQUIRE_DISPLAY();
  onTestDesktop([&] {
    Sheet sheet(3);
    ASSERT_NE(sheet.get(), nullptr);
    constexpr int kApplyButton = 0x3021;
    HWND apply = GetDlgItem(sheet.get(), kApplyButton);
    ASSERT_NE(apply, nullptr);
    EXPECT_FALSE(IsWindowEnabled(apply));
    vex::notifySheetChanged(sheet.currentPage());
    EXPECT_TRUE(IsWindowEnabled(apply));
  });
}

// ---- The link font ----

TEST_F(UiDialogHelpers, LinkFont) {
  REQUIRE_DISPLAY();
  onTestDesktop([&] {
    Sheet sheet(3);
    ASSERT_NE(sheet.get(), nullptr);
    CanvasWindow canvas;
    ASSERT_NE(canvas.get(), nullptr);
    auto fontOf = [](HWND window) {
      LOGFONTW font{};
      auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
      if (handle == nullptr) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
      GetObjectW(handle, sizeof(font), &font);
      return font;
    };
    LOGFONTW gui{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    const struct {
      const char* what;
      HWND dialog;
      LONG height;  // of the font it starts from
    } cases[] = {
        {"page of a sheet: the sheet's font", sheet.currentPage(), fontOf(sheet.get()).lfHeight},
        {"top-level dialog: its own font", canvas.get(), fontOf(canvas.get()).lfHeight},
        {"no window: the GUI font", nullptr, gui.lfHeight},
    };
    for (const auto& c : cases) {
      const auto link = vex::createLinkFont(c.dialog);
      ASSERT_TRUE(link) << c.what;
      LOGFONTW font{};
      ASSERT_EQ(GetObjectW(link.get(), sizeof(font), &font), static_cast<int>(sizeof(font)))
          << c.what;
      EXPECT_EQ(font.lfHeight, c.height) << c.what;
      EXPECT_EQ(font.lfUnderline, 1) << c.what;
      EXPECT_EQ(font.lfWeight, 400) << c.what;
      EXPECT_EQ(font.lfItalic, 0) << c.what;
      EXPECT_EQ(font.lfStrikeOut, 0) << c.what;
      EXPECT_EQ(font.lfEscapement, 0) << c.what;
      EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET) << c.what;
      EXPECT_EQ(font.lfPitchAndFamily, 0) << c.what;
      EXPECT_STREQ(font.lfFaceName, L"Verdana") << c.what;
    }
  });
}

// ---- Binding rows ----

INT_PTR CALLBACK plainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST_F(UiDialogHelpers, BindingsWriteBackOnlyWhenNothingIsRefused) {
  REQUIRE_DISPLAY();
  onTestDesktop([&] {
    HWND dialog = CreateDialogParamW(testModule(), MAKEINTRESOURCEW(IDD_TEST_BINDINGS), nullptr,
                                     plainProc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOWNORMAL);
    for (const wchar_t* row : {L"first", L"second", L"third"}) {
      SendDlgItemMessageW(dialog, IDC_TEST_CHOICE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    }
    std::int32_t on = 1, zero = 0, choice = 2, radio = 1, number = 45;
    const vex::Binding rows[] = {
        {IDC_TEST_CHECK, vex::BindingKind::check, &on},
        {IDC_TEST_CHECK_ZERO, vex::BindingKind::checkMeansZero, &zero},
        {IDC_TEST_CHOICE, vex::BindingKind::choice, &choice},
        {IDC_TEST_RADIO, vex::BindingKind::radio, &radio, 0, 2},
        {IDC_TEST_NUMBER, vex::BindingKind::number, &number, -180, 180},
    };
    vex::loadBindings(dialog, rows);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_TEST_CHECK), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_TEST_CHECK_ZERO), BST_CHECKED) << "ticked: option 0";
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_TEST_CHOICE, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_TEST_RADIO + 1), BST_CHECKED);
    EXPECT_EQ(GetDlgItemInt(dialog, IDC_TEST_NUMBER, nullptr, TRUE), 45u);

    // The user changes everything, with a number out of range: nothing is written.
    CheckDlgButton(dialog, IDC_TEST_CHECK, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_TEST_CHECK_ZERO, BST_UNCHECKED);
    SendDlgItemMessageW(dialog, IDC_TEST_CHOICE, CB_SETCURSEL, 0, 0);
    CheckRadioButton(dialog, IDC_TEST_RADIO, IDC_TEST_RADIO + 2, IDC_TEST_RADIO + 2);
    SetDlgItemTextW(dialog, IDC_TEST_NUMBER, L"181");
    EXPECT_FALSE(vex::saveBindings(dialog, rows));
    EXPECT_EQ(std::vector<std::int32_t>({on, zero, choice, radio, number}),
              std::vector<std::int32_t>({1, 0, 2, 1, 45}));
    pumpMessages();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_TEST_NUMBER)) << "the refused row has the focus";

    SetDlgItemTextW(dialog, IDC_TEST_NUMBER, L"-180");
    EXPECT_TRUE(vex::saveBindings(dialog, rows));
    EXPECT_EQ(std::vector<std::int32_t>({on, zero, choice, radio, number}),
              std::vector<std::int32_t>({0, 1, 0, 2, -180}));
    DestroyWindow(dialog);
  });
}

// ---- Context help ----

TEST_F(UiDialogHelpers, ContextHelpButtonByPlatformVersion) {
  REQUIRE_DISPLAY();
  const struct {
    bool version6;
    bool hadButton;
    bool hasButton;
  } cases[] = {
      {true, true, false},
      {true, false, false},
      {false, false, true},
      {false, true, true},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      ModuleStateScope scope;
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      const LONG_PTR style = GetWindowLongPtrW(canvas.get(), GWL_EXSTYLE);
      SetWindowLongPtrW(canvas.get(), GWL_EXSTYLE,
                        c.hadButton ? (style | WS_EX_CONTEXTHELP) : (style & ~WS_EX_CONTEXTHELP));
      vex::uiModuleState().isOsVersion6OrLater = c.version6;
      vex::applyContextHelpStyle(canvas.get());
      const bool hasButton =
          (GetWindowLongPtrW(canvas.get(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
      EXPECT_EQ(hasButton, c.hasButton) << c.version6 << c.hadButton;
    }
  });
}

TEST_F(UiDialogHelpers, ContextHelpRequests) {
  REQUIRE_DISPLAY();
  enum class Item { control, none, destroyed };
  const struct {
    const char* what;
    UINT message;
    bool available;
    const wchar_t* file;
    Item item;
    bool validInfo;
    bool handled;
    int calls;
    UINT command;
  } cases[] = {
      {"F1 on a control", WM_HELP, true, L"C:\\vex\\vexhelp.hlp", Item::control, true, true, 1,
       HELP_WM_HELP},
      {"right click on a control", WM_CONTEXTMENU, true, L"C:\\vex\\vexhelp.hlp", Item::control,
       true, true, 1, HELP_CONTEXTMENU},
      {"help not available", WM_HELP, false, L"C:\\vex\\vexhelp.hlp", Item::control, true, true, 0,
       0},
      {"menu help not available", WM_CONTEXTMENU, false, L"C:\\vex\\vexhelp.hlp", Item::control,
       true, true, 0, 0},
      {"no help file", WM_HELP, true, L"", Item::control, true, true, 0, 0},
      {"no item", WM_HELP, true, L"C:\\vex\\vexhelp.hlp", Item::none, true, true, 0, 0},
      {"destroyed item", WM_HELP, true, L"C:\\vex\\vexhelp.hlp", Item::destroyed, true, true, 0, 0},
      {"no HELPINFO", WM_HELP, true, L"C:\\vex\\vexhelp.hlp", Item::control, false, true, 0, 0},
      {"no clicked window", WM_CONTEXTMENU, true, L"C:\\vex\\vexhelp.hlp", Item::none, true, true,
       0, 0},
      {"other messages are not ours", WM_COMMAND, true, L"C:\\vex\\vexhelp.hlp", Item::control,
       true, false, 0, 0},
  };
  onTestDesktop([&] {
    for (const auto& c : cases) {
      ModuleStateScope scope;
      CanvasWindow canvas;
      ASSERT_NE(canvas.get(), nullptr);
      vex::UiModuleState& state = vex::uiModuleState();
      state.contextHelpAvailable = c.available;
      lstrcpynW(state.helpFilePath, c.file, 260);
      HWND item = nullptr;
      if (c.item == Item::control) item = canvas.item(IDC_TEST_SIGNED);
      if (c.item == Item::destroyed) {
        item = CreateWindowW(L"Static", L"", WS_CHILD, 0, 0, 1, 1, canvas.get(), nullptr, nullptr,
                             nullptr);
        DestroyWindow(item);
      }
      HELPINFO info{};
      info.cbSize = sizeof(info);
      info.iContextType = HELPINFO_WINDOW;
      info.iCtrlId = IDC_TEST_SIGNED;
      info.hItemHandle = item;
      WPARAM wParam = 0;
      LPARAM lParam = 0;
      if (c.message == WM_HELP) {
        lParam = c.validInfo ? reinterpret_cast<LPARAM>(&info) : 0;
      } else {
        wParam = reinterpret_cast<WPARAM>(item);
      }
      g_helpCalls.clear();
      EXPECT_EQ(vex::handleContextHelp(canvas.get(), c.message, wParam, lParam), c.handled)
          << c.what;
      ASSERT_EQ(static_cast<int>(g_helpCalls.size()), c.calls) << c.what;
      if (c.calls == 0) continue;
      const HelpCall& call = g_helpCalls.front();
      EXPECT_EQ(call.window, item) << c.what;
      EXPECT_EQ(call.file, c.file) << c.what;
      EXPECT_EQ(call.command, c.command) << c.what;
      // The one table, as pairs of 32-bit values: OK is topic 3.
      ASSERT_EQ(call.data, reinterpret_cast<ULONG_PTR>(vex::helpContextTable().data())) << c.what;
      const auto* words = reinterpret_cast<const DWORD*>(call.data);
      EXPECT_EQ(words[0], 1u);
      EXPECT_EQ(words[1], 3u);
      EXPECT_EQ(words[2 * vex::kHelpContextRows], 0u);
      EXPECT_EQ(words[2 * vex::kHelpContextRows + 1], 0u);
    }
  });
}

TEST_F(UiDialogHelpers, ContextHelpWithAnUnterminatedHelpPath) {
  ModuleStateScope scope;
  vex::UiModuleState& state = vex::uiModuleState();
  state.contextHelpAvailable = true;
  for (wchar_t& c : state.helpFilePath) c = L'x';
  HWND desktop = GetDesktopWindow();  // a valid window without a display of our own
  g_helpCalls.clear();
  EXPECT_TRUE(
      vex::handleContextHelp(nullptr, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(desktop), 0));
  EXPECT_TRUE(g_helpCalls.empty());
}

// ---- Printers ----

TEST_F(UiDialogHelpers, PrinterIsSharedOrNetwork) {
  vex::PrinterSetup plain = vex::test::ownDriverSetup(L"VEX UI Plain");
  vex::PrinterSetup shared = vex::test::ownDriverSetup(L"VEX UI Shared");
  shared.shared = true;
  shared.shareName = L"h1share";
  vex::test::TestPrinter plainPrinter(plain);
  vex::test::TestPrinter sharedPrinter(shared);
  const struct {
    const char* what;
    HANDLE printer;
    DWORD expected;
  } cases[] = {
      {"local printer", plainPrinter.handle(), 0},
      {"shared printer", sharedPrinter.handle(), PRINTER_ATTRIBUTE_SHARED},
      {"no printer", nullptr, 0},
      {"a handle that is no printer", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7777)), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::printerIsSharedOrNetwork(c.printer), c.expected) << c.what;
  }
}

}  // namespace
