// The about box's hidden internal version on a real display: a double click on the driver
// version with Ctrl and Shift held draws it in the band below the copyright text; without both
// keys, or outside the version, nothing is drawn. The box runs modally with vexui.dll's own
// template (the DLL loaded as a data file); a timer of the box's thread plays the clicks and
// reads the band's pixels back.
#include "about_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "config_files.h"
#include "host_files.h"
#include "printer_setup.h"
#include "printer_support.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"

namespace {

struct Probe {
  std::vector<COLORREF> before, shiftOnly, outside, bothKeys, repainted;
  bool found = false;
};
Probe* g_probe = nullptr;

std::vector<COLORREF> bandPixels(HWND dialog) {
  RECT client{}, copyright{};
  GetClientRect(dialog, &client);
  GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_COPYRIGHT), &copyright);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&copyright), 2);
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(dialog);
  for (LONG y = copyright.bottom + 2; y < copyright.bottom + 22; ++y) {
    for (LONG x = 10; x < client.right - 10; x += 2) pixels.push_back(GetPixel(dc, x, y));
  }
  ReleaseDC(dialog, dc);
  return pixels;
}

void settle(HWND dialog) {
  UpdateWindow(dialog);
  MSG message;
  for (int i = 0; i < 20; ++i) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
}

LPARAM pointAt(HWND dialog, int id, bool inside) {
  RECT rect{};
  GetWindowRect(GetDlgItem(dialog, id), &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  const LONG x = inside ? (rect.left + rect.right) / 2 : rect.left;  // the edge is outside
  const LONG y = (rect.top + rect.bottom) / 2;
  return MAKELPARAM(x, y);
}

void CALLBACK playClicks(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND dialog = FindWindowW(L"#32770", L"关于");
  if (dialog == nullptr || g_probe == nullptr) return;
  Probe& probe = *g_probe;
  probe.found = true;
  settle(dialog);
  probe.before = bandPixels(dialog);
  const LPARAM version = pointAt(dialog, IDC_ABOUT_DRIVER_VERSION, true);
  SendMessageW(dialog, WM_LBUTTONDBLCLK, MK_SHIFT, version);
  probe.shiftOnly = bandPixels(dialog);
  SendMessageW(dialog, WM_LBUTTONDBLCLK, MK_CONTROL | MK_SHIFT,
               pointAt(dialog, IDC_ABOUT_DRIVER_VERSION, false));
  probe.outside = bandPixels(dialog);
  SendMessageW(dialog, WM_LBUTTONDBLCLK, MK_CONTROL | MK_SHIFT, version);
  probe.bothKeys = bandPixels(dialog);
  InvalidateRect(dialog, nullptr, TRUE);
  settle(dialog);
  probe.repainted = bandPixels(dialog);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST(AboutDialog, InternalVersionOnlyWithCtrlShiftDoubleClickOnTheVersion) {
  wchar_t display[8];
  if (GetEnvironmentVariableW(L"DISPLAY", display, 8) == 0) GTEST_SKIP() << "needs DISPLAY";
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX About Test"));
  ASSERT_NE(printer.handle(), nullptr);

  vex::UiModuleState& state = vex::uiModuleState();
  const HINSTANCE saved = state.moduleInstance;
  const std::wstring path = vex::programDirectory() + L"\\vexui.dll";
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  state.moduleInstance = module;

  vex::DocumentContext context;
  OEMUIPSPARAM param{};
  param.cbSize = sizeof(param);
  param.hPrinter = printer.handle();
  context.uiParam = &param;
  ASSERT_TRUE(vex::findDriverFiles(printer.handle(), context.iniPath));

  Probe probe;
  g_probe = &probe;
  SetTimer(nullptr, 0, 300, playClicks);
  vex::showAboutDialog(nullptr, context);
  g_probe = nullptr;
  state.moduleInstance = saved;
  FreeLibrary(module);

  ASSERT_TRUE(probe.found) << "the about box did not come up";
  ASSERT_FALSE(probe.before.empty());
  EXPECT_EQ(probe.shiftOnly, probe.before) << "Shift alone drew something";
  EXPECT_EQ(probe.outside, probe.before) << "a click on the version's edge drew something";
  EXPECT_NE(probe.bothKeys, probe.before) << "the internal version was not drawn";
  EXPECT_EQ(probe.repainted, probe.before) << "the drawing outlived a repaint";
}

}  // namespace
