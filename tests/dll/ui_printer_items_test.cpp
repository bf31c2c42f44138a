// The printer tree as the plug-in binds it: the installable options, the collapsed group, the
// plug-in's push button and the printer callback.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_tree_support.h"
#include "printer_support.h"
#include "property_items.h"
#include "ui_module_state.h"
#include "ui_module_support.h"
#include "ui_plugin.h"

namespace {

using vex::test::DriverTree;
using vex::test::TreeItem;

constexpr wchar_t kPrinter[] = L"VEX UI Printer Items";

enum : DWORD { kGroup, kHdd, kDuplex, kTray, kMemory, kFinisher, kMpf, kPunch, kJobLimit, kOther,
               kJobLimitCase, kCount };

std::vector<TreeItem> printerTree() {
  std::vector<TreeItem> items(kCount);
  items[kGroup] = {0, "", {}, L"", 64798, {}, 0};
  items[kHdd] = {0, "VXHDD", {}, L"Storage", 0, {L"Installed", L"Not installed"}, 0};
  items[kDuplex] = {0, "VXOptionDuplex", {}, L"Duplex unit", 0, {L"Installed", L"Not installed"}, 1};
  items[kTray] = {0, "VXOptionTray", {}, L"Trays", 0, {L"0", L"1", L"2", L"3", L"4"}, 0};
  items[kMemory] = {0, "InstalledMemory", {}, L"Memory", 0, {L"128 MB", L"256 MB", L"512 MB"}, 0};
  items[kFinisher] = {0, "VXFinisher", {}, L"Finisher", 0, {L"No", L"Yes"}, 0};
  items[kMpf] = {0, "VXOptionMPF", {}, L"MPF", 0, {L"No", L"Yes"}, 0};
  items[kPunch] = {0, "VXPunchUnit", {}, L"Punch unit", 0, {L"No", L"Yes"}, 0};
  items[kJobLimit] = {0, "VXJobLimit", {}, L"Job limit", 0, {L"Off", L"On"}, 0};
  items[kOther] = {0, "VXStaple", {}, L"Staple", 0, {L"No", L"Yes"}, 0};
  items[kJobLimitCase] = {0, "VXjobLimit", {}, L"job limit", 0, {L"Off", L"On"}, 0};
  return items;
}

vex::PrinterSetup printerWithoutNetworkLibrary() {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(kPrinter);
  setup.modelOverrides = {{L"NetExtDLL", L""}};
  return setup;
}

struct PrinterBound {
  PrinterBound(DriverTree& tree, HANDLE printer)
      : plugin(new vex::UiPlugin()), param(tree.param(printer, kPrinter)) {
    first = plugin->CommonUIProp(OEMCUIP_PRNPROP, &param);
    oemItems.resize(param.cOEMOptItems);
    param.pOEMOptItems = oemItems.data();
    second = plugin->CommonUIProp(OEMCUIP_PRNPROP, &param);
  }
  ~PrinterBound() { plugin->Release(); }
  LONG callback(WORD reason, OPTITEM* current) {
    CPSUICBPARAM block{};
    block.cbSize = sizeof(block);
    block.Reason = reason;
    block.pCurItem = current;
    return param.OEMCUIPCallback(&block, &param);
  }
  vex::UiPlugin* plugin;
  OEMCUIPPARAM& param;
  std::vector<OPTITEM> oemItems;
  HRESULT first = E_UNEXPECTED;
  HRESULT second = E_UNEXPECTED;
};

TEST(UiPrinterItems, OnePushButtonIsAddedAndTheOptionsGetTheirHelp) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  DriverTree tree(printerTree());
  PrinterBound bound(tree, printer.handle());
  ASSERT_EQ(bound.first, S_OK);
  ASSERT_EQ(bound.second, S_OK);
  ASSERT_EQ(bound.oemItems.size(), 1u);
  EXPECT_EQ(bound.param.OEMCUIPCallback, &vex::printerItemsCallback);
  ASSERT_NE(bound.plugin->sheets().printerPageContext, nullptr);
  EXPECT_EQ(bound.plugin->sheets().printerPageContext->cuiParam, &bound.param);
  ASSERT_NE(bound.plugin->sheets().pageContext.get(), nullptr) << "the pages' context comes too";

  const OPTITEM& button = bound.oemItems[0];
  EXPECT_EQ(button.cbSize, sizeof(OPTITEM));
  EXPECT_EQ(button.Level, 2);
  EXPECT_EQ(button.UserItemID, 2);
  EXPECT_EQ(button.HelpIndex, 2210u);
  EXPECT_EQ(button.Flags & (OPTIF_CALLBACK | OPTIF_HAS_POIEXT),
            static_cast<DWORD>(OPTIF_CALLBACK | OPTIF_HAS_POIEXT));
  EXPECT_NE(button.Flags & OPTIF_HIDE, 0u) << "no network library: no button";
  ASSERT_NE(button.pOptType, nullptr);
  EXPECT_EQ(button.pOptType->Type, TVOT_PUSHBUTTON);
  EXPECT_EQ(button.pOptType->Count, 1);
  EXPECT_EQ(button.pOptType->BegCtrlID, 1);
  EXPECT_EQ(button.pOptType->Style,
            OTS_PUSH_INCL_SETUP_TITLE | OTS_PUSH_NO_DOT_DOT_DOT | OTS_PUSH_ENABLE_ALWAYS);
  EXPECT_EQ(button.pOptType->pOptParam[1].lParam, 9999);
  ASSERT_NE(button.pName, nullptr);

  struct Case {
    DWORD item;
    DWORD help;
    BYTE userItemId;
  };
  for (const Case& c : {Case{kHdd, 2213, 3}, Case{kDuplex, 2204, 5}, Case{kTray, 2203, 6},
                        Case{kMemory, 2207, 7}, Case{kFinisher, 2206, 8}, Case{kMpf, 2209, 9},
                        Case{kPunch, 2211, 10}, Case{kJobLimit, 2212, 11}, Case{kOther, 0, 0},
                        Case{kJobLimitCase, 0, 0}}) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(tree.item(c.item).HelpIndex, c.help);
    EXPECT_EQ(tree.item(c.item).UserItemID, c.userItemId);
    EXPECT_EQ(tree.item(c.item).pOIExt != nullptr, c.help != 0);
    EXPECT_EQ(tree.item(c.item).Flags & OPTIF_HIDE, 0u) << "the printer tree hides nothing";
  }
  EXPECT_NE(tree.item(kGroup).Flags & OPTIF_COLLAPSE, 0u);
  EXPECT_EQ(tree.item(kHdd).Flags & OPTIF_COLLAPSE, 0u);
}

TEST(UiPrinterItems, JobLimitIsSwitchedOnWhereverItStands) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  DriverTree tree(printerTree());
  PrinterBound bound(tree, printer.handle());
  ASSERT_EQ(bound.second, S_OK);
  EXPECT_EQ(bound.callback(CPSUICB_REASON_SEL_CHANGED, &tree.item(kJobLimit)),
            CPSUICB_ACTION_OPTIF_CHANGED);
  EXPECT_EQ(tree.item(kJobLimit).Sel, 1);
  ASSERT_EQ(tree.calls().size(), 1u);
  EXPECT_EQ(tree.calls()[0].mode, 2u);
  tree.clearCalls();
  EXPECT_EQ(bound.callback(CPSUICB_REASON_SEL_CHANGED, &tree.item(kOther)), CPSUICB_ACTION_NONE);
  EXPECT_EQ(bound.callback(CPSUICB_REASON_SEL_CHANGED, nullptr), CPSUICB_ACTION_NONE);
  EXPECT_TRUE(tree.calls().empty());
}

// Where the driver's standard UI is hidden, an older platform leaves job limitation alone.
TEST(UiPrinterItems, JobLimitByHiddenStandardUiAndPlatformVersion) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  vex::UiModuleState& state = vex::uiModuleState();
  const bool savedProbe = state.versionProbeDone;
  const bool savedVersion6 = state.isOsVersion6OrLater;
  const struct {
    bool hidden;
    bool version6;
    bool switched;
  } cases[] = {{true, false, false}, {true, true, true}, {false, false, true}, {false, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "hidden " << c.hidden << ", version 6 " << c.version6);
    state.versionProbeDone = true;
    state.isOsVersion6OrLater = c.version6;
    DriverTree tree(printerTree());
    auto* plugin = new vex::UiPlugin();
    if (c.hidden) plugin->HideStandardUI(OEMCUIP_PRNPROP);
    {
      OEMCUIPPARAM& param = tree.param(printer.handle(), kPrinter);
      std::vector<OPTITEM> items(1);
      ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
      param.pOEMOptItems = items.data();
      param.cOEMOptItems = 1;
      ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
      ASSERT_NE(plugin->sheets().pageContext.get(), nullptr);
      EXPECT_EQ(plugin->sheets().pageContext->hideStandardUiQueried, c.hidden ? 1 : 0);
      CPSUICBPARAM block{};
      block.cbSize = sizeof(block);
      block.Reason = CPSUICB_REASON_SEL_CHANGED;
      block.pCurItem = &tree.item(kJobLimit);
      EXPECT_EQ(param.OEMCUIPCallback(&block, &param),
                c.switched ? CPSUICB_ACTION_OPTIF_CHANGED : CPSUICB_ACTION_NONE);
      EXPECT_EQ(tree.item(kJobLimit).Sel, c.switched ? 1 : 0);
      EXPECT_EQ(tree.calls().size(), c.switched ? 1u : 0u);
    }
    plugin->Release();
  }
  state.versionProbeDone = savedProbe;
  state.isOsVersion6OrLater = savedVersion6;
}

TEST(UiPrinterItems, ApplyKeepsThePushButtonsSelectionInThePrinterData) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  DriverTree tree(printerTree());
  PrinterBound bound(tree, printer.handle());
  ASSERT_EQ(bound.second, S_OK);
  bound.oemItems[0].Sel = 5;
  vex::uiModuleState().applyPending = false;
  EXPECT_EQ(bound.callback(CPSUICB_REASON_APPLYNOW, nullptr), 0);
  EXPECT_TRUE(vex::uiModuleState().applyPending);
  DWORD type = 0, value = 0, needed = 0;
  ASSERT_EQ(GetPrinterDataW(printer.handle(), const_cast<wchar_t*>(L"OEMUI_VALUE"), &type,
                            reinterpret_cast<BYTE*>(&value), sizeof(value), &needed),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 5u);
  // The activation right after an apply only consumes the flag.
  EXPECT_EQ(bound.callback(CPSUICB_REASON_SETACTIVE, nullptr), 0);
  EXPECT_FALSE(vex::uiModuleState().applyPending);
}

TEST(UiPrinterItems, ThePushButtonIsDisabledWhenNoLibraryAnswers) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  DriverTree tree(printerTree());
  PrinterBound bound(tree, printer.handle());
  ASSERT_EQ(bound.second, S_OK);
  OPTITEM& button = bound.oemItems[0];
  EXPECT_EQ(bound.callback(7, &button), 0);
  EXPECT_NE(button.Flags & OPTIF_DISABLED, 0u);
  EXPECT_NE(button.Flags & OPTIF_CHANGED, 0u);
  // Pressed anyway: the discovery finds nothing and no item changes.
  EXPECT_EQ(bound.callback(CPSUICB_REASON_SEL_CHANGED, &button), CPSUICB_ACTION_OPTIF_CHANGED);
  EXPECT_TRUE(tree.calls().empty());
}

TEST(UiPrinterItems, TheDllNamesItsPushButtonFromItsStrings) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  vex::test::UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  DriverTree tree(printerTree());
  OEMCUIPPARAM& param = tree.param(printer.handle(), kPrinter);
  ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
  ASSERT_EQ(param.cOEMOptItems, 1u);
  OPTITEM button{};
  param.pOEMOptItems = &button;
  ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
  ASSERT_NE(button.pName, nullptr);
  EXPECT_EQ(std::wstring(button.pName), L"获取打印机选件信息");
  EXPECT_EQ(plugin->Release(), 0u);
}

}  // namespace

namespace {

LONG_PTR CALLBACK noComPropSheet(HANDLE, UINT, LPARAM, LPARAM) { return 0; }

TEST(UiPrinterItems, TheSheetsHandlesGoWithThePrinterContext) {
  vex::test::TestPrinter printer(printerWithoutNetworkLibrary());
  DriverTree tree(printerTree());
  PrinterBound bound(tree, printer.handle());
  ASSERT_EQ(bound.second, S_OK);
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof(info);
  info.Version = PROPSHEETUI_INFO_VERSION;
  info.Reason = PROPSHEETUI_REASON_INIT;
  info.hComPropSheet = reinterpret_cast<HANDLE>(0x1234);
  info.pfnComPropSheet = noComPropSheet;
  info.lParamInit = 77;
  EXPECT_EQ(bound.plugin->DevicePropertySheets(&info, 0), S_OK);
  EXPECT_EQ(info.Result, 1);
  const vex::PrinterContext& context = *bound.plugin->sheets().printerPageContext;
  EXPECT_EQ(context.propertySheet, info.hComPropSheet);
  EXPECT_EQ(context.comPropSheet, &noComPropSheet);
  EXPECT_EQ(context.initParam, 77);
}

}  // namespace
