// The document-properties context as the pages use it: what it owns goes with the plug-in
// object, and what the pages read from the driver through it (feature settings, option names in
// order, number ranges).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "driver_settings.h"
#include "driver_tree_support.h"
#include "printer_support.h"
#include "private_settings.h"
#include "property_items.h"
#include "sheet_watermarks.h"
#include "ui_module_state.h"

// Every C++ allocation of this test program, the statically linked plug-in code included, is
// counted: what is still allocated is the difference.
namespace {
std::atomic<long> g_liveAllocations{0};

void* countedAllocation(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) ++g_liveAllocations;
  return block;
}
void countedRelease(void* block) {
  if (block == nullptr) return;
  --g_liveAllocations;
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
  if (void* block = countedAllocation(size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return countedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return countedAllocation(size);
}
void operator delete(void* block) noexcept { countedRelease(block); }
void operator delete[](void* block) noexcept { countedRelease(block); }
void operator delete(void* block, std::size_t) noexcept { countedRelease(block); }
void operator delete[](void* block, std::size_t) noexcept { countedRelease(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { countedRelease(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { countedRelease(block); }

namespace {

using vex::test::BoundTree;
using vex::test::DriverTree;
using vex::test::TreeItem;

constexpr wchar_t kPrinter[] = L"VEX UI Page Context";

vex::PrinterSetup contextPrinter() {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(kPrinter);
  setup.dependentFiles = {L"VEXDEMO.CAP", L"VXPAGES.INI", L"VXPAGES.FNT", L"VEXDEMO.PPD"};
  setup.extraFiles = {
      {L"VXPAGES.INI",
       "[OEMFiles]\r\nOEMConfigFile1=vexui.dll\r\n[DependentFiles]\r\nWMFONT=VXPAGES.FNT\r\n"
       "[Watermark]\r\nWTMK001=72,0,45,0,0,12632256,Draft,Font,0,0,0,3,0,0,0,0\r\n"
       "WTMK002=60,1,30,0,0,255,Copy,Font,700,1,0,3,2,1,0,0\r\n"},
      {L"VXPAGES.FNT", "[PrinterFont]\r\nDefaultNo=2\r\n"}};
  return setup;
}

std::vector<TreeItem> pageTree() {
  return {
      {1, "", {}, L"Orientation", 0, {L"Portrait", L"Landscape"}, 0},
      {0, "VXOverlay", {}, L"Overlay", 0, {L"Off", L"On", L"Form"}, 0},
  };
}

// One sheet's life with everything the pages may keep: the tree bound twice (the second binding
// replaces the first context), the watermark list loaded and committed, overlay blocks.
void oneSheet(HANDLE printer) {
  DriverTree tree(pageTree());
  BoundTree bound(tree, printer, kPrinter);
  ASSERT_EQ(bound.second(), S_OK);
  ASSERT_NE(bound.context(), nullptr);
  ASSERT_TRUE(vex::loadSheetWatermarks(*bound.context()));
  ASSERT_EQ(bound.bindAgain(), S_OK);
  vex::DocumentContext& context = *bound.context();
  ASSERT_TRUE(vex::loadSheetWatermarks(context));
  ASSERT_EQ(context.watermarks.count(), 2u);
  context.watermarks.currentIndex = 2;
  vex::commitSheetWatermarks(context);
  EXPECT_EQ(vex::getU32(tree.record().data(), vex::rec::watermarkIndex), 2u);
  EXPECT_FALSE(context.watermarkFontFile.empty());
  context.overlays.store = std::make_unique<vex::OverlayStore>();
  for (int i = 0; i < 3; ++i) {
    context.overlays.definitions[i] = std::make_unique<vex::OverlayDefinition>();
  }
  // The plug-in object goes with `bound`, the driver's heap with `tree`.
}

TEST(UiPageContext, WhatThePagesKeepGoesWithThePluginObject) {
  vex::test::TestPrinter printer(contextPrinter());
  oneSheet(printer.handle());  // the first sheet of the process fills lasting caches
  const long before = g_liveAllocations.load();
  for (int i = 0; i < 3; ++i) oneSheet(printer.handle());
  EXPECT_EQ(g_liveAllocations.load(), before) << "allocations left behind by three sheets";
}

TEST(UiPageContext, TheDocumentContextKnowsWhetherTheStandardUiIsHidden) {
  vex::test::TestPrinter printer(contextPrinter());
  for (bool hidden : {false, true}) {
    DriverTree tree(pageTree());
    auto* plugin = new vex::UiPlugin();
    if (hidden) plugin->HideStandardUI(OEMCUIP_DOCPROP);
    OEMCUIPPARAM& param = tree.param(printer.handle(), kPrinter);
    ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    OPTITEM none{};
    param.pOEMOptItems = &none;
    ASSERT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    ASSERT_NE(plugin->sheets().pageContext, nullptr);
    EXPECT_EQ(plugin->sheets().pageContext->hideStandardUiQueried, hidden ? 1 : 0);
    plugin->Release();
  }
}

TEST(UiPageContext, BindingTheTreeProbesWhetherThePrinterDataIsWritable) {
  vex::test::TestPrinter printer(contextPrinter());
  vex::uiModuleState().canWritePrinterData = false;
  {
    DriverTree tree(pageTree());
    BoundTree bound(tree, printer.handle(), kPrinter);
    ASSERT_EQ(bound.second(), S_OK);
  }
  EXPECT_TRUE(vex::uiModuleState().canWritePrinterData);
  DWORD type = 0;
  DWORD tick = 0;
  DWORD size = 0;
  EXPECT_EQ(GetPrinterDataW(printer.handle(), const_cast<wchar_t*>(L"W_TEST"), &type,
                            reinterpret_cast<BYTE*>(&tick), sizeof(tick), &size),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, sizeof(DWORD));
  // A printer the user cannot write to (here: no printer at all) is not writable.
  EXPECT_FALSE(vex::probePrinterDataWrite(nullptr));
}

TEST(UiPageContext, ASheetStartsWithAnEmptyContext) {
  const vex::DocumentContext context;
  for (DWORD index : context.itemIndex) ASSERT_EQ(index, vex::kNoItem);
  for (DWORD value : context.itemValue) ASSERT_EQ(value, 0u);
  EXPECT_EQ(context.overlays.store, nullptr);
  EXPECT_FALSE(context.watermarks.loaded);
  EXPECT_EQ(context.record(), nullptr);
}

// ---- What the pages read from the driver ----

TEST(UiPageContext, DriverSettingsAreReadWithinTheirBound) {
  DriverTree tree(pageTree());
  vex::DocumentContext context;
  const std::string full(64, 'F');
  tree.answer("VXHDD", "True");
  tree.answer("PageSize", "A4");
  tree.answer("Duplex", "");
  tree.answer("VXFinisher", full.substr(0, 62));  // with its two zeros: exactly the bound
  tree.answer("VXPunchUnit", full);               // needs 66 bytes: the driver refuses
  EXPECT_FALSE(vex::readDriverSetting(context, "VXHDD")) << "no UI object yet";
  context.cuiParam = &tree.param(nullptr, kPrinter);
  const struct {
    const char* keyword;
    std::optional<std::string> value;
  } cases[] = {
      {"VXHDD", "True"},
      {"PageSize", "A4"},
      {"Duplex", ""},
      {"VXFinisher", full.substr(0, 62)},
      {"VXPunchUnit", std::nullopt},
      {"VXJobLimit", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::readDriverSetting(context, c.keyword), c.value) << c.keyword;
  }
}

// A driver that answers with no terminator anywhere in the buffer.
BOOL APIENTRY fillWholeBuffer(PVOID, PCSTR, PVOID output, DWORD size, PDWORD needed, PDWORD) {
  std::memset(output, 'X', size);
  *needed = size;
  return TRUE;
}

TEST(UiPageContext, ADriverThatFillsTheWholeBufferIsCutAtTheBound) {
  OEMUIPROCS procs{};
  procs.DrvGetDriverSetting = fillWholeBuffer;
  OEMUIOBJ object{sizeof(OEMUIOBJ), &procs};
  OEMCUIPPARAM param{};
  param.poemuiobj = &object;
  vex::DocumentContext context;
  context.cuiParam = &param;
  EXPECT_EQ(vex::readDriverSetting(context, "VXHDD"), std::string(vex::kDriverSettingBytes, 'X'));
}

TEST(UiPageContext, EveryOptionKeepsItsRow) {
  const std::wstring longName(300, L'n');
  std::vector<OPTPARAM> params(6);
  const LPWSTR texts[] = {const_cast<LPWSTR>(L"Plain"),
                          reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(423)),
                          nullptr,
                          reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(9999)),
                          const_cast<LPWSTR>(longName.c_str()),
                          const_cast<LPWSTR>(L"Last")};
  for (std::size_t k = 0; k < params.size(); ++k) {
    params[k].cbSize = sizeof(OPTPARAM);
    params[k].pData = texts[k];
  }
  OPTTYPE type{};
  type.cbSize = sizeof(type);
  type.Type = TVOT_LISTBOX;
  type.Count = static_cast<WORD>(params.size());
  type.pOptParam = params.data();
  OPTITEM item{};
  item.cbSize = sizeof(item);
  item.pOptType = &type;

  // The driver's procedures are this program's, so its string table names them.
  DriverTree tree(pageTree());
  vex::DocumentContext context;
  context.cuiParam = &tree.param(nullptr, kPrinter);
  const HMODULE driver = vex::driverModuleOf(context);
  EXPECT_EQ(driver, GetModuleHandleW(nullptr));
  const std::vector<std::wstring> expected = {
      L"Plain", L"Mirror image", L"", vex::missingOptionName(9999), longName.substr(0, 128),
      L"Last"};
  EXPECT_EQ(vex::optionNames(item, driver), expected);
  EXPECT_EQ(vex::optionNames(item, nullptr)[1], vex::missingOptionName(423));
  item.pOptType = nullptr;
  EXPECT_TRUE(vex::optionNames(item, driver).empty());
}

TEST(UiPageContext, NumberItemRanges) {
  OPTPARAM params[2] = {};
  params[1].IconID = static_cast<ULONG_PTR>(static_cast<LONG_PTR>(-10));
  params[1].lParam = 400;
  OPTTYPE type{};
  type.cbSize = sizeof(type);
  type.Count = 2;
  type.pOptParam = params;
  OPTITEM item{};
  item.pOptType = &type;
  const struct {
    BYTE type;
    WORD count;
    bool hasRange;
  } cases[] = {{TVOT_UDARROW, 2, true},  {TVOT_TRACKBAR, 2, true}, {TVOT_SCROLLBAR, 2, true},
               {TVOT_UDARROW, 1, false}, {TVOT_LISTBOX, 2, false}, {TVOT_COMBOBOX, 2, false}};
  for (const auto& c : cases) {
    type.Type = c.type;
    type.Count = c.count;
    const auto range = vex::numberItemRange(item);
    ASSERT_EQ(range.has_value(), c.hasRange) << int(c.type) << "/" << c.count;
    if (range) {
      EXPECT_EQ(range->minimum, -10);
      EXPECT_EQ(range->maximum, 400);
    }
  }
  type.Type = TVOT_UDARROW;
  type.Count = 2;
  EXPECT_TRUE(vex::setNumberItemMaximum(item, 999));
  EXPECT_EQ(vex::numberItemRange(item)->maximum, 999);
  type.pOptParam = nullptr;
  EXPECT_FALSE(vex::numberItemRange(item));
  EXPECT_FALSE(vex::setNumberItemMaximum(item, 999));
}

}  // namespace
