// The graphics entry points the plug-in hooks: the table it hands the driver and the forwarding
// to the driver's own functions.
#include <gtest/gtest.h>

#include "fake_driver_support.h"
#include "plugin_support.h"

namespace {

using vex::test::driverCalls;
using vex::test::FakeDriver;

class RenderHooks : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    ASSERT_EQ(plugin->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof(hooks), &hooks), S_OK);
    PDEVOEM pdev = nullptr;
    ASSERT_EQ(plugin->EnablePDEV(driver.devobj(), const_cast<PWSTR>(L"VEX Demo Color"), 0,
                                 nullptr, 0, nullptr, 0, nullptr, driver.driverTable(), &pdev),
              S_OK);
    ASSERT_NE(pdev, nullptr);
    driver.devobj()->pdevOEM = pdev;
    surface.dhpdev = reinterpret_cast<DHPDEV>(driver.devobj());
    surface.iType = STYPE_DEVICE;
    driverCalls().clear();
  }
  void TearDown() override {
    if (plugin == nullptr) return;
    EXPECT_EQ(plugin->DisablePDEV(driver.devobj()), S_OK);
    EXPECT_EQ(plugin->DisableDriver(), S_OK);
    plugin->Release();
  }
  template <typename F>
  F hook(ULONG index) {
    for (ULONG i = 0; i < hooks.c; ++i) {
      if (hooks.pdrvfn[i].iFunc == index) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(hooks.pdrvfn[i].pfn));
      }
    }
    return nullptr;
  }

  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  FakeDriver driver;
  DRVENABLEDATA hooks{};
  SURFOBJ surface{};
};

TEST_F(RenderHooks, TableListsTheHookedFunctionsInOrder) {
  const ULONG expected[] = {12, 19, 18, 20, 69, 70, 74, 71, 68, 23, 14, 15, 16, 33,
                            32, 24, 35, 34, 26, 27, 28, 53, 47, 37, 64, 65, 76};
  EXPECT_EQ(hooks.iDriverVersion, 0x00010000u);
  ASSERT_EQ(hooks.c, 27u);
  for (ULONG i = 0; i < hooks.c; ++i) {
    EXPECT_EQ(hooks.pdrvfn[i].iFunc, expected[i]) << "row " << i;
    EXPECT_NE(hooks.pdrvfn[i].pfn, nullptr) << "row " << i;
  }
}

TEST_F(RenderHooks, HooksForwardEveryArgumentAndTheResult) {
  auto bitBlt = hook<PFN_DrvBitBlt>(INDEX_DrvBitBlt);
  EXPECT_TRUE(bitBlt(&surface, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, 0xCCAA));
  auto textOut = hook<PFN_DrvTextOut>(INDEX_DrvTextOut);
  EXPECT_TRUE(textOut(&surface, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                      nullptr, 0x0D0D));
  auto glyphMode = hook<PFN_DrvGetGlyphMode>(INDEX_DrvGetGlyphMode);
  const DHPDEV dhpdev = reinterpret_cast<DHPDEV>(driver.devobj());
  EXPECT_EQ(glyphMode(dhpdev, nullptr), 7u);
  auto fontData = hook<PFN_DrvQueryFontData>(INDEX_DrvQueryFontData);
  EXPECT_EQ(fontData(dhpdev, nullptr, 0, 0, nullptr, nullptr, 99), 42);
  ASSERT_EQ(driverCalls().size(), 4u);
  EXPECT_EQ(driverCalls()[0].index, INDEX_DrvBitBlt);
  EXPECT_EQ(driverCalls()[0].first, &surface);
  EXPECT_EQ(driverCalls()[0].last, 0xCCAAu);
  EXPECT_EQ(driverCalls()[1].last, 0x0D0Du);
  EXPECT_EQ(driverCalls()[2].first, static_cast<void*>(dhpdev));
  EXPECT_EQ(driverCalls()[3].last, 99u);
}

TEST_F(RenderHooks, RealizeBrushAnswersWithoutTheDriver) {
  auto realize = hook<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush);
  EXPECT_TRUE(realize(nullptr, &surface, nullptr, nullptr, nullptr, 0));
  EXPECT_TRUE(driverCalls().empty());
}

TEST_F(RenderHooks, SendPageOfEitherSurfaceAddsNothingToTheJob) {
  auto sendPage = hook<PFN_DrvSendPage>(INDEX_DrvSendPage);
  for (USHORT type : {STYPE_BITMAP, STYPE_DEVICE}) {
    surface.iType = type;
    EXPECT_TRUE(sendPage(&surface));
  }
  EXPECT_EQ(driver.injected, "");
  ASSERT_EQ(driverCalls().size(), 2u);
  EXPECT_EQ(driverCalls()[0].index, INDEX_DrvSendPage);
}

TEST_F(RenderHooks, StartDocForwardsTheJobId) {
  auto startDoc = hook<PFN_DrvStartDoc>(INDEX_DrvStartDoc);
  EXPECT_TRUE(startDoc(&surface, const_cast<LPWSTR>(L"report.pdf"), 77));
  ASSERT_EQ(driverCalls().size(), 1u);
  EXPECT_EQ(driverCalls()[0].last, 77u);
}

// The driver did not supply the function, or a call arrives without a surface or PDEV: the hook
// reports failure instead of jumping through a null pointer.
TEST_F(RenderHooks, CallsThatCannotBeForwardedFail) {
  auto copyBits = hook<PFN_DrvCopyBits>(INDEX_DrvCopyBits);  // not in the fake driver's table
  EXPECT_FALSE(copyBits(&surface, nullptr, nullptr, nullptr, nullptr, nullptr));
  auto startPage = hook<PFN_DrvStartPage>(INDEX_DrvStartPage);
  EXPECT_FALSE(startPage(nullptr));
  SURFOBJ orphan{};
  EXPECT_FALSE(startPage(&orphan));
  auto fontMgmt = hook<PFN_DrvFontManagement>(INDEX_DrvFontManagement);
  EXPECT_EQ(fontMgmt(nullptr, nullptr, 0, 0, nullptr, 0, nullptr), 0u);
  EXPECT_TRUE(driverCalls().empty());
}

}  // namespace
