// The colour page in a real property sheet with a test tree that binds the custom-calibration
// slot (the feature bridge binds no feature to it, so only such a tree shows its controls), and
// what leaving and applying the page write into the driver's items, the record and the sheet.
#include <gtest/gtest.h>
#include <windows.h>
// The property-sheet declarations need the platform's types first.
#include <prsht.h>

#include <string>
#include <vector>

#include "colour_page.h"
#include "custom_colour_file.h"
#include "driver_tree_support.h"
#include "printer_setup.h"
#include "private_settings.h"
#include "ui_module_state.h"

namespace {

using vex::test::DriverTree;
using vex::test::TreeItem;

constexpr int kModeSlot = 11;
constexpr int kCalibrationSlot = 22;

bool haveDisplay() {
  wchar_t value[8];
  return GetEnvironmentVariableW(L"DISPLAY", value, 8) > 0;
}

// What the page reports to the common sheet.
struct SheetCalls {
  LPARAM handle = 0;
  LPARAM result = -1;
  int setResults = 0;
};
SheetCalls g_sheet;
LONG_PTR CALLBACK recordSheetCall(HANDLE, UINT function, LPARAM first, LPARAM second) {
  if (function == CPSFUNC_SET_RESULT) {
    g_sheet.handle = first;
    g_sheet.result = second;
    ++g_sheet.setResults;
  }
  return 1;
}

std::vector<TreeItem> colourTree() {
  return {
      {6, "", {}, L"Colour", 0, {L"Monochrome", L"Colour"}, 1},
      {0, "VXControl", {}, L"Colour Mode", 0, {L"Auto", L"Office", L"Picture", L"Raw", L"Grey"}, 1},
      {0, "", {}, L"Calibration", 0, {L"Off", L"Lab", L"Custom"}, 2},
  };
}

class ColourPageSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveDisplay()) GTEST_SKIP() << "needs an X display (DISPLAY)";
    savedModule_ = vex::uiModuleState().moduleInstance;
    resources_ = LoadLibraryExW((vex::programDirectory() + L"\\vexui.dll").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(resources_, nullptr) << "vexui.dll not loadable as data";
    vex::uiModuleState().moduleInstance = resources_;
    g_sheet = {};
  }
  void TearDown() override {
    if (sheet_ != nullptr) DestroyWindow(sheet_);
    vex::uiModuleState().moduleInstance = savedModule_;
    if (resources_ != nullptr) FreeLibrary(resources_);
  }

  // The context as the plug-in keeps it for the tree, with the calibration slot bound.
  void bind(DriverTree& tree) {
    context_.cuiParam = &tree.param(nullptr, L"VEX Colour Page Test");
    context_.itemIndex[kModeSlot] = 1;
    context_.itemValue[kModeSlot] = 1;
    context_.itemIndex[kCalibrationSlot] = 2;
    context_.itemValue[kCalibrationSlot] = 2;
    context_.comPropSheet = recordSheetCall;
    context_.pageHandles[1] = reinterpret_cast<HANDLE>(0xC0105);
  }

  HWND open(vex::ColourPage& page) {
    PROPSHEETPAGEW block{};
    block.dwSize = sizeof(block);
    block.hInstance = resources_;
    block.pszTemplate = MAKEINTRESOURCEW(111);
    block.pfnDlgProc = vex::DialogBase::pageProcedure;
    block.lParam = reinterpret_cast<LPARAM>(&page);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_MODELESS | PSH_PROPSHEETPAGE;
    header.pszCaption = L"Colour page test";
    header.nPages = 1;
    header.ppsp = &block;
    sheet_ = reinterpret_cast<HWND>(PropertySheetW(&header));
    return sheet_ != nullptr ? PropSheet_GetCurrentPageHwnd(sheet_) : nullptr;
  }

  vex::DocumentContext context_;
  HWND sheet_ = nullptr;
  HMODULE resources_ = nullptr;
  HINSTANCE savedModule_ = nullptr;
};

LRESULT rows(HWND page, int id) { return SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0); }
LRESULT selected(HWND page, int id) { return SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0); }
void choose(HWND page, int id, int row) {
  SendDlgItemMessageW(page, id, CB_SETCURSEL, row, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
void click(HWND page, int id) { SendDlgItemMessageW(page, id, BM_CLICK, 0, 0); }

TEST_F(ColourPageSheet, ABoundCalibrationSlotShowsItsOptionsAndFollowsDefaults) {
  DriverTree tree(colourTree());
  vex::setU32(tree.record().data(), vex::rec::customColorNumber, 0x00010105);
  bind(tree);
  vex::ColourPage page(context_);
  HWND window = open(page);
  ASSERT_NE(window, nullptr);

  ASSERT_NE(GetDlgItem(window, 1612), nullptr) << "the calibration label";
  ASSERT_NE(GetDlgItem(window, 1613), nullptr) << "the calibration list";
  EXPECT_EQ(rows(window, 1613), 3);
  EXPECT_EQ(selected(window, 1613), 2);
  EXPECT_EQ(GetDlgItem(window, 1614), nullptr) << "no model names a colour-sample tool";
  EXPECT_EQ(context_.itemValue[vex::kCustomColourSlot], 0x00010105u) << "loaded from the record";
  EXPECT_EQ(IsDlgButtonChecked(window, 1606), BST_CHECKED);

  choose(window, 1613, 1);
  EXPECT_EQ(context_.itemValue[kCalibrationSlot], 1u);
  click(window, 10000);
  EXPECT_EQ(context_.itemValue[kCalibrationSlot], 0u);
  EXPECT_EQ(context_.itemValue[kModeSlot], 0u);
  EXPECT_EQ(selected(window, 1613), 0);
  EXPECT_EQ(IsDlgButtonChecked(window, 1605), BST_CHECKED);
}

TEST_F(ColourPageSheet, LeavingAndApplyingWriteTheItemTheRecordAndTheResult) {
  DriverTree tree(colourTree());
  std::uint8_t* record = tree.record().data();
  vex::setU32(record, vex::rec::customColorNumber, 0x00010105);  // in use, but no file is named
  vex::setU16(record, vex::rec::customColorTLength, 7);
  vex::setU16(record, vex::rec::customColorVLength, 9);
  vex::setI16(record, vex::rec::colorMode, 3);
  bind(tree);
  vex::ColourPage page(context_);
  HWND window = open(page);
  ASSERT_NE(window, nullptr);

  click(window, 1609);
  EXPECT_EQ(context_.itemValue[kModeSlot], 4u);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, 1506))) << "no toner saving in greyscale";
  PropSheet_Apply(sheet_);

  EXPECT_EQ(tree.item(1).Sel, 4) << "the driver's colour-mode item";
  EXPECT_EQ(vex::getU32(record, vex::rec::controlSelection), 4u);
  EXPECT_EQ(vex::getU32(record, vex::rec::customColorNumber), 0x00010105u);
  EXPECT_EQ(vex::getU16(record, vex::rec::customColorTLength), 0u) << "no file: no data";
  EXPECT_EQ(vex::getU16(record, vex::rec::customColorVLength), 0u);
  EXPECT_EQ(vex::getU16(record, vex::rec::colorMode), 0u) << "slot 51, which no page sets";
  EXPECT_EQ(g_sheet.setResults, 1);
  EXPECT_EQ(g_sheet.handle, static_cast<LPARAM>(0xC0105));
  EXPECT_EQ(g_sheet.result, CPSUI_OK);
}

}  // namespace
