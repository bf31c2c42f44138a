// The support page with the support-page resource library: when the library is taken (both
// configuration keys, a bare name that loads) and when it is not, what the library holds, and the
// page itself in a property sheet on the display, with its framed picture drawn.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
#include <prsht.h>
// clang-format on

#include "support_page.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config_files.h"
#include "printer_setup.h"
#include "printer_support.h"
#include "ui_module_state.h"

namespace {

constexpr wchar_t kAddress[] = L"https://support.vex.example/demo";

// The process keeps the library once it is loaded; each case starts without it.
void forgetLibrary() {
  HMODULE& library = vex::uiModuleState().resourceLibrary;
  if (library != nullptr) FreeLibrary(library);
  library = nullptr;
}

HMODULE libraryFor(const wchar_t* printerName, const wchar_t* address, const wchar_t* name) {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(printerName);
  setup.modelOverrides = {{L"AskVexURL", address}, {L"AskVexRES", name}};
  setup.pluginFiles = {L"vexui.dll", L"vexsupport.dll"};
  vex::test::TestPrinter printer(setup);
  wchar_t ini[vex::kPathChars] = L"";
  EXPECT_TRUE(vex::findDriverFiles(printer.handle(), ini));
  return vex::supportPageLibrary(printer.handle(), ini);
}

TEST(SupportPage, LibraryOnlyWithBothKeysAndABareNameThatLoads) {
  const struct {
    const wchar_t* printer;
    const wchar_t* address;
    const wchar_t* name;
    bool loads;
  } cases[] = {
      {L"VEX Support No Library", kAddress, L"", false},
      {L"VEX Support No Address", L"", L"vexsupport.dll", false},
      {L"VEX Support Missing", kAddress, L"vexabsent.dll", false},
      {L"VEX Support Outside", kAddress, L"..\\vexsupport.dll", false},
      {L"VEX Support Present", kAddress, L"vexsupport.dll", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.printer));
    forgetLibrary();
    const HMODULE library = libraryFor(c.printer, c.address, c.name);
    EXPECT_EQ(library != nullptr, c.loads);
    EXPECT_EQ(vex::uiModuleState().resourceLibrary, library);
  }
  // Loaded once per process: the next sheet gets the same module.
  const HMODULE first = vex::uiModuleState().resourceLibrary;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(libraryFor(L"VEX Support Present", kAddress, L"vexsupport.dll"), first);
  forgetLibrary();
}

TEST(SupportPage, LibraryHoldsTheTemplateIconAndPictures) {
  forgetLibrary();
  const HMODULE library = libraryFor(L"VEX Support Present", kAddress, L"vexsupport.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(FindResourceW(library, MAKEINTRESOURCEW(vex::kSupportPageTemplate), RT_DIALOG),
            nullptr);
  EXPECT_NE(LoadImageW(library, MAKEINTRESOURCEW(vex::kSupportPageIcon), IMAGE_ICON, 16, 16, 0),
            nullptr);
  for (int bitmap : {1100, 1003}) {
    EXPECT_NE(FindResourceW(library, MAKEINTRESOURCEW(bitmap), RT_BITMAP), nullptr) << bitmap;
  }
  forgetLibrary();
}

TEST(SupportPage, OnlyWebAddressesGoToTheShell) {
  const struct {
    const wchar_t* address;
    bool web;
  } cases[] = {
      {L"https://support.vex.example/", true},
      {L"HTTP://vex.example", true},
      {L"http://", false},
      {L"C:\\Windows\\system32\\calc.exe", false},
      {L"file:///C:/x.exe", false},
      {L"", false},
      {L" https://vex.example", false},
      {L"javascript:alert(1)", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::isWebAddress(c.address), c.web) << vex::test::narrow(c.address);
  }
  EXPECT_EQ(vex::folderOf(L"C:\\drivers\\3\\VEXDEMO.INI"), L"C:\\drivers\\3\\");
  EXPECT_EQ(vex::folderOf(L"VEXDEMO.INI"), L"");
}

TEST(SupportPage, PageShowsItsControlsAndDrawsThePicture) {
  wchar_t display[8];
  if (GetEnvironmentVariableW(L"DISPLAY", display, 8) == 0) GTEST_SKIP() << "needs DISPLAY";
  forgetLibrary();
  const HMODULE library = libraryFor(L"VEX Support Present", kAddress, L"vexsupport.dll");
  ASSERT_NE(library, nullptr);

  vex::DocumentContext context;
  vex::SupportPage page(context);
  PROPSHEETPAGEW sheetPage{};
  sheetPage.dwSize = sizeof(sheetPage);
  sheetPage.dwFlags = PSP_USEHICON;
  sheetPage.hInstance = library;
  sheetPage.pszTemplate = MAKEINTRESOURCEW(vex::kSupportPageTemplate);
  sheetPage.hIcon = static_cast<HICON>(
      LoadImageW(library, MAKEINTRESOURCEW(vex::kSupportPageIcon), IMAGE_ICON, 16, 16, 0));
  sheetPage.pfnDlgProc = vex::DialogBase::pageProcedure;
  sheetPage.lParam = reinterpret_cast<LPARAM>(static_cast<vex::DialogBase*>(&page));
  HPROPSHEETPAGE handle = CreatePropertySheetPageW(&sheetPage);
  ASSERT_NE(handle, nullptr);
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_MODELESS;
  header.pszCaption = L"Support page test";
  header.nPages = 1;
  header.phpage = &handle;
  const HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  ASSERT_NE(sheet, nullptr);
  const HWND window = page.window();
  ASSERT_NE(window, nullptr);
  for (int id : {1001, 1002, 1101}) EXPECT_NE(GetDlgItem(window, id), nullptr) << id;

  // Let the page paint, then read the picture's area back: a drawn picture has many colours,
  // an empty static one.
  MSG message;
  for (int i = 0; i < 50; ++i) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
  RECT rect{};
  GetWindowRect(GetDlgItem(window, 1001), &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  HDC dc = GetDC(window);
  std::set<COLORREF> colours;
  for (int y = rect.top + 4; y < rect.top + 80; y += 3) {
    for (int x = rect.left + 4; x < rect.left + 120; x += 3) colours.insert(GetPixel(dc, x, y));
  }
  ReleaseDC(window, dc);
  EXPECT_GE(colours.size(), 4u) << "the framed picture was not drawn";
  DestroyWindow(sheet);
  forgetLibrary();
}

}  // namespace
