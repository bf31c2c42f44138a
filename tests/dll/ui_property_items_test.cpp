// The document tree as the plug-in binds it: slots, hiding, help, papers, the write-back to the
// driver and the document callback. The plug-in object is the statically linked one, so that the
// tests can read the context it builds; one case goes through vexui.dll.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_tree_support.h"
#include "printer_support.h"
#include "private_settings.h"
#include "property_items.h"
#include "ui_module_state.h"
#include "ui_module_support.h"
#include "ui_plugin.h"

namespace {

using vex::DocumentContext;
using vex::kNoItem;
using vex::test::DriverTree;
using vex::test::TreeItem;

constexpr wchar_t kPrinter[] = L"VEX UI Items";

std::string itemsIni(const std::string& hidePaperName) {
  return "[OEMFiles]\r\nOEMConfigFile1=vexui.dll\r\n[DependentFiles]\r\nHELP=VXITEMS.HLP\r\n"
         "[Plg_Feature]\r\nHidePaperName=" +
         hidePaperName + "\r\n";
}

vex::PrinterSetup itemsPrinter(const std::wstring& name, const std::string& hidePaperName,
                               const wchar_t* compression = L"0") {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(name);
  setup.dependentFiles = {L"VEXDEMO.CAP", L"VXITEMS.INI", L"VEXDEMO.PPD"};
  setup.extraFiles = {{L"VXITEMS.INI", itemsIni(hidePaperName)}};
  setup.modelOverrides = {{L"Compression", compression}};
  return setup;
}

// Index of each item in the tree below.
enum : DWORD {
  kOrientation, kCopies, kForm, kNup, kStaple, kPunch, kBin, kTone, kStapleCase, kOverlay,
  kFollower, kMirror, kNegative, kControl, kNoUserData, kCount
};

std::vector<TreeItem> documentTree(bool withJobType = false) {
  std::vector<TreeItem> items(kCount);
  items[kOrientation] = {1, "", {}, L"Orientation", 0, {L"Portrait", L"Landscape"}, 1};
  items[kCopies] = {3, "", {}, L"Copies", 0, {}, 3};
  items[kForm] = {9, "", {}, L"Paper", 0, {L"A4", L"A5", L"Letter", L"Legal", L"B5"}, 0};
  items[kNup] = {16, "", {}, L"Pages per sheet", 0, {L"1", L"2", L"4"}, 2};
  items[kStaple] = {0, "VXStaple", {}, L"Staple", 0, {L"None", L"One", L"Two"}, 0};
  items[kPunch] = {0, "VXPunch", {}, L"Punch", 0, {L"None", L"Two"}, 0};
  items[kBin] = {14, "OutputBin", {}, L"Output bin", 0, {L"Upper", L"Lower"}, 1};
  items[kTone] = {0, "VXTone", {}, L"Tone", 0, {L"Normal", L"Light"}, 0};
  items[kStapleCase] = {0, "VXSTAPLE", {}, L"Staple?", 0, {L"A", L"B"}, 1};
  items[kOverlay] = {0, "VXOverlay", {}, L"Overlay", 0, {L"Off", L"On", L"Form"}, 0};
  items[kFollower] = {0, "", 25, L"PostScript output", 0, {L"Speed", L"Portable", L"Form"}, 0};
  items[kMirror] = {0, "", {}, L"", 423, {L"No", L"Yes"}, 1};
  items[kNegative] = {0, "", {}, L"", 424, {L"No", L"Yes"}, 0};
  items[kControl] = {0, "VXControl", {}, L"Control", 0, {L"Auto", L"Colour", L"Mono"}, 2};
  items[kNoUserData] = {0, "", {}, L"Plain", 0, {L"x"}, 0};
  if (withJobType) {
    items.push_back({0, "VXJob_Type", {}, L"Job type", 0, {L"Normal", L"Secure"}, 1});
  }
  return items;
}

// A statically linked plug-in object with its common-UI calls done for a tree.
class BoundTree : public vex::test::BoundTree {
 public:
  BoundTree(DriverTree& tree, HANDLE printer, DWORD mode = OEMCUIP_DOCPROP)
      : vex::test::BoundTree(tree, printer, kPrinter, mode) {}
};

TEST(UiPropertyItems, OtherModesAreRefusedWithoutTouchingTheTree) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5"));
  for (DWORD mode : {0u, 3u, 4u, 0xFFFFFFFFu}) {
    DriverTree tree(documentTree());
    auto* plugin = new vex::UiPlugin();
    OEMCUIPPARAM& param = tree.param(printer.handle(), kPrinter);
    param.cOEMOptItems = 77;
    SetLastError(0);
    EXPECT_EQ(plugin->CommonUIProp(mode, &param), E_FAIL) << mode;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << mode;
    EXPECT_EQ(param.cOEMOptItems, 77u);
    EXPECT_EQ(param.pOEMUserData, nullptr);
    EXPECT_EQ(plugin->sheets().oemHeap, nullptr) << "nothing allocated";
    EXPECT_EQ(tree.item(kStaple).Flags, 0u);
    plugin->Release();
  }
}

TEST(UiPropertyItems, APrinterWithoutPluginFilesIsNotBound) {
  vex::PrinterSetup bare = vex::test::ownDriverSetup(L"VEX UI Items Bare");
  bare.dependentFiles = {L"VEXDEMO.PPD"};
  vex::test::TestPrinter printer(bare);
  DriverTree tree(documentTree());
  BoundTree bound(tree, printer.handle());
  EXPECT_EQ(bound.first(), E_FAIL);
  EXPECT_EQ(bound.second(), E_FAIL);
  EXPECT_EQ(bound.context(), nullptr);
  EXPECT_EQ(tree.item(kStaple).Flags, 0u);
}

struct BindingCase {
  DWORD item;
  bool hidden;
  DWORD help;
  int slot;  // -1: none
  bool valueRecorded;
};

TEST(UiPropertyItems, TheDocumentTreeIsBoundByIdentifierNameAndKeyword) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  DriverTree tree(documentTree());
  BoundTree bound(tree, printer.handle());
  ASSERT_EQ(bound.first(), S_OK);
  ASSERT_EQ(bound.second(), S_OK);
  EXPECT_EQ(bound.reported(), 0u);
  ASSERT_NE(bound.context(), nullptr);
  const DocumentContext& context = *bound.context();
  EXPECT_EQ(bound.param().OEMCUIPCallback, &vex::documentItemsCallback);
  EXPECT_NE(bound.param().pOEMUserData, nullptr);

  const BindingCase cases[] = {
      {kOrientation, false, 0, 26, false}, {kCopies, true, 0, 29, true},
      {kForm, false, 0, -1, false},        {kNup, false, 0, 40, false},
      {kStaple, true, 822, 32, true},      {kPunch, true, 823, 41, true},
      {kBin, true, 808, 31, true},         {kTone, false, 1302, -1, false},
      {kStapleCase, false, 0, -1, false},  {kOverlay, true, 0, 38, true},
      {kFollower, false, 0, 45, false},    {kMirror, true, 0, 36, true},
      {kNegative, true, 0, 37, true},      {kControl, true, 0, 11, true},
      {kNoUserData, false, 0, -1, false},
  };
  for (const BindingCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "item " << c.item);
    const OPTITEM& item = tree.item(c.item);
    EXPECT_EQ((item.Flags & OPTIF_HIDE) != 0, c.hidden);
    EXPECT_EQ(item.HelpIndex, c.help);
    EXPECT_EQ((item.Flags & OPTIF_HAS_POIEXT) != 0, c.help != 0);
    if (c.help != 0) {
      ASSERT_NE(item.pOIExt, nullptr);
      EXPECT_EQ(item.pOIExt->cbSize, sizeof(OIEXT));
      const std::wstring help = item.pOIExt->pHelpFile;
      EXPECT_EQ(help.substr(help.size() - 14), L"\\3\\VXITEMS.HLP") << vex::test::narrow(help);
    }
    if (c.slot >= 0) {
      EXPECT_EQ(context.itemIndex[c.slot], c.item);
      EXPECT_EQ(context.itemValue[c.slot], c.valueRecorded ? static_cast<DWORD>(item.Sel) : 0u);
    }
  }
  // All help items share one extension.
  EXPECT_EQ(tree.item(kStaple).pOIExt, tree.item(kTone).pOIExt);
  EXPECT_EQ(context.itemIndex[28], kNoItem) << "no job type in this tree";
  EXPECT_EQ(context.itemIndex[55], kNoItem) << "compression bit 0 is clear";
  EXPECT_EQ(context.itemIndex[0], kNoItem);
  EXPECT_EQ(context.cuiParam, &bound.param());
  EXPECT_NE(std::wstring(context.iniPath).find(L"VXITEMS.INI"), std::wstring::npos);

  for (const wchar_t* paper : {L"A5", L"Legal"}) {
    EXPECT_NE(tree.option(kForm, paper).Flags & OPTPF_HIDE, 0) << vex::test::narrow(paper);
  }
  for (const wchar_t* paper : {L"A4", L"Letter", L"B5"}) {
    EXPECT_EQ(tree.option(kForm, paper).Flags & OPTPF_HIDE, 0) << vex::test::narrow(paper);
  }
}

TEST(UiPropertyItems, PaperNamesBeyondTwelveOrTooLongAreIgnored) {
  const std::string tooLong(64, 'B');
  vex::test::TestPrinter printer(
      itemsPrinter(L"VEX UI Papers", "1,2,3,4,5,6,7,8,9,10,11,A4,Letter," + tooLong + ",B5"));
  DriverTree tree(documentTree());
  BoundTree bound(tree, printer.handle());
  ASSERT_EQ(bound.second(), S_OK);
  EXPECT_NE(tree.option(kForm, L"A4").Flags & OPTPF_HIDE, 0) << "the twelfth name";
  EXPECT_EQ(tree.option(kForm, L"Letter").Flags & OPTPF_HIDE, 0) << "the thirteenth name";
  EXPECT_EQ(tree.option(kForm, L"B5").Flags & OPTPF_HIDE, 0);
}

TEST(UiPropertyItems, EmptyPiecesCountAndTheWholeValueIsRead) {
  struct Case {
    const char* what;
    std::string value;
    bool a4Hidden;
  } cases[] = {
      // Eleven pieces, then "A4" from character 275 on: beyond a 261-character read.
      {"a twelfth name late in a long value", [] {
         std::string value;
         for (int i = 0; i < 11; ++i) value += std::string(24, static_cast<char>('a' + i)) + ",";
         return value + "A4";
       }(), true},
      {"empty pieces are among the twelve", ",,,,,,,,,,,,A4", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::wstring name = L"VEX UI Papers " + std::to_wstring(++n);
    vex::test::TestPrinter printer(itemsPrinter(name, c.value));
    DriverTree tree(documentTree());
    BoundTree bound(tree, printer.handle());
    ASSERT_EQ(bound.second(), S_OK) << c.what;
    EXPECT_EQ((tree.option(kForm, L"A4").Flags & OPTPF_HIDE) != 0, c.a4Hidden) << c.what;
  }
}

TEST(UiPropertyItems, CompressionBitZeroOffersTheCompressionSlot) {
  vex::test::TestPrinter printer(itemsPrinter(L"VEX UI Items Compression", "", L"1281"));
  DriverTree tree(documentTree());
  BoundTree bound(tree, printer.handle());
  ASSERT_NE(bound.context(), nullptr);
  EXPECT_EQ(bound.context()->itemIndex[55], 0u);
}

// The slots of the items that the write-back offered to the driver, in order.
std::vector<int> offeredSlots(const DriverTree& tree, const DocumentContext& context) {
  std::vector<int> slots;
  for (const vex::test::UpdateCall& call : tree.calls()) {
    for (int slot = 0; slot < vex::kSlotCount; ++slot) {
      if (context.itemIndex[slot] == call.index && slot != 45) {
        slots.push_back(slot);
        break;
      }
    }
  }
  return slots;
}

TEST(UiPropertyItems, WriteBackFollowsTheDriversOrder) {
  struct Case {
    DWORD staple, punch;
    std::vector<int> finisher;
  };
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  for (const Case& c : {Case{0, 0, {32, 41, 31}}, Case{2, 0, {31, 32, 41}},
                        Case{0, 1, {31, 32, 41}}}) {
    SCOPED_TRACE(testing::Message() << c.staple << "/" << c.punch);
    DriverTree tree(documentTree());
    BoundTree bound(tree, printer.handle());
    DocumentContext& context = *bound.context();
    context.itemValue[32] = c.staple;
    context.itemValue[41] = c.punch;
    vex::writeBackDocumentItems(&context);
    // Slots in the write-back order that this tree has: 11, 29, 36, 37, the finisher, then 38.
    std::vector<int> expected = {11, 29, 36, 37};
    expected.insert(expected.end(), c.finisher.begin(), c.finisher.end());
    expected.push_back(38);
    EXPECT_EQ(offeredSlots(tree, context), expected);
    for (const vex::test::UpdateCall& call : tree.calls()) {
      EXPECT_EQ(call.mode, 1u);
      EXPECT_FALSE(call.hiddenDuringCall) << "the driver sees the item unhidden";
      EXPECT_NE(tree.item(call.index).Flags & OPTIF_HIDE, 0u) << "hidden again afterwards";
      EXPECT_NE(tree.item(call.index).Flags & OPTIF_CHANGED, 0u);
    }
    EXPECT_EQ(static_cast<DWORD>(tree.item(kStaple).Sel), c.staple);
  }
}

TEST(UiPropertyItems, WithoutAJobTypeItemTheSlotIsSkipped) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  for (bool withJobType : {false, true}) {
    DriverTree tree(documentTree(withJobType));
    BoundTree bound(tree, printer.handle());
    DocumentContext& context = *bound.context();
    context.itemValue[28] = 1;
    vex::writeBackDocumentItems(&context);
    const std::vector<int> slots = offeredSlots(tree, context);
    EXPECT_EQ(std::count(slots.begin(), slots.end(), 28), withJobType ? 1 : 0);
    EXPECT_EQ(context.itemIndex[28], withJobType ? static_cast<DWORD>(kCount) : kNoItem);
  }
}

TEST(UiPropertyItems, OverlayFormSetsTheFollowingItem) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  for (DWORD overlay : {0u, 1u, 2u}) {
    DriverTree tree(documentTree());
    BoundTree bound(tree, printer.handle());
    bound.context()->itemValue[38] = overlay;
    vex::writeBackDocumentItems(bound.context());
    EXPECT_EQ(tree.item(kFollower).Sel, overlay == 2 ? 2 : 0) << overlay;
    EXPECT_EQ(tree.calls().back().index, overlay == 2 ? kFollower : kOverlay) << overlay;
  }
}

TEST(UiPropertyItems, ARefusedValueReturnsToTheDriversSelection) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  DriverTree tree(documentTree());
  BoundTree bound(tree, printer.handle());
  DocumentContext& context = *bound.context();
  tree.refuse(kControl, 1);
  context.itemValue[11] = 1;  // refused
  context.itemValue[31] = 0;  // accepted
  vex::writeBackDocumentItems(&context);
  EXPECT_EQ(context.itemValue[11], 2u);
  EXPECT_EQ(tree.item(kControl).Sel, 2);
  EXPECT_EQ(context.itemValue[31], 0u);
  EXPECT_EQ(tree.item(kBin).Sel, 0);
  // An item the tree does not have is never offered.
  DWORD value = 5;
  EXPECT_FALSE(vex::updateDriverItem(&bound.param(), kNoItem, value, 1));
  EXPECT_FALSE(vex::updateDriverItem(&bound.param(), 5000, value, 1));
  EXPECT_EQ(value, 5u);
}

TEST(UiPropertyItems, TheDocumentCallbackKeepsNupOrientationAndThePluginValue) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  DriverTree tree(documentTree());
  BoundTree bound(tree, printer.handle());
  OEMCUIPPARAM& param = bound.param();
  tree.item(kNup).Sel = 2;
  tree.item(kOrientation).Sel = 1;
  CPSUICBPARAM callback{};
  callback.cbSize = sizeof(callback);
  callback.Reason = CPSUICB_REASON_APPLYNOW;
  EXPECT_EQ(param.OEMCUIPCallback(&callback, &param), 0);
  EXPECT_EQ(vex::getU8(tree.record().data(), vex::rec::nupSelection), 2);
  EXPECT_EQ(vex::getU8(tree.record().data(), vex::rec::orientationSelection), 1);

  vex::uiModuleState().pageRefreshFlags = 0;
  callback.Reason = CPSUICB_REASON_SETACTIVE;
  EXPECT_EQ(param.OEMCUIPCallback(&callback, &param), 0);
  EXPECT_EQ(vex::uiModuleState().pageRefreshFlags, vex::kPagesRefreshed);
  vex::uiModuleState().pageRefreshFlags = 0;
}

TEST(UiPropertyItems, HostileTreesAreReadWithinBounds) {
  vex::test::TestPrinter printer(itemsPrinter(L"VEX UI Items Hostile", std::string(4000, ',') + "A4"));
  std::vector<TreeItem> items = documentTree();
  items.push_back({0, std::string(5000, 'V'), {}, L"Long keyword", 0, {L"a"}, 0});
  items.push_back({0, "VXStaple", {}, std::wstring(9000, L'n'), 0, {std::wstring(9000, L'o')}, 0});
  DriverTree tree(items);
  // Broken blocks the driver might hand over.
  USERDATA shortData{};
  shortData.dwSize = 4;
  shortData.pKeyWordName = const_cast<PSTR>("VXStaple");
  OPTTYPE noParams{};
  noParams.Count = 40;
  tree.item(kNoUserData).UserData = reinterpret_cast<ULONG_PTR>(&shortData);
  tree.item(kTone).pOptType = &noParams;
  tree.item(kForm).pOptType->pOptParam[1].pData = nullptr;
  tree.item(kForm).pOptType->pOptParam[2].pData = MAKEINTRESOURCEW(7);
  tree.item(kOrientation).pName = nullptr;
  BoundTree bound(tree, printer.handle());
  ASSERT_EQ(bound.second(), S_OK);
  EXPECT_EQ(tree.item(kNoUserData).Flags & OPTIF_HIDE, 0u) << "too short to hold a keyword";
  EXPECT_EQ(tree.item(kCount).Flags, 0u) << "an over-long keyword is nobody's";
  EXPECT_NE(tree.item(kCount + 1).Flags & OPTIF_HIDE, 0u);
  EXPECT_EQ(tree.option(kForm, L"A4").Flags & OPTPF_HIDE, 0) << "4000 commas hold 12 empty names";
}

TEST(UiPropertyItems, TheDllBindsTheTreeToo) {
  vex::test::TestPrinter printer(itemsPrinter(kPrinter, "A5,Legal"));
  vex::test::UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  DriverTree tree(documentTree());
  OEMCUIPPARAM& param = tree.param(printer.handle(), kPrinter);
  ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
  EXPECT_EQ(param.cOEMOptItems, 0u);
  OPTITEM none{};
  param.pOEMOptItems = &none;
  ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
  EXPECT_NE(tree.item(kStaple).Flags & OPTIF_HIDE, 0u);
  EXPECT_EQ(tree.item(kStaple).HelpIndex, 822u);
  EXPECT_NE(tree.option(kForm, L"Legal").Flags & OPTPF_HIDE, 0);
  EXPECT_EQ(plugin->Release(), 0u);
}

}  // namespace
