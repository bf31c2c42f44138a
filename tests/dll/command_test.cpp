// Command: the injection points, the EPS rule and the guard against faults.
#include <gtest/gtest.h>

#include "fake_driver_support.h"
#include "plugin_support.h"

namespace {

using vex::test::FakeDriver;

constexpr DWORD kPoints[] = {PSINJECT_BEGINSTREAM, PSINJECT_BEGINPROLOG, PSINJECT_BEGINSETUP,
                             PSINJECT_ENDPAGESETUP, PSINJECT_ENDSTREAM, PSINJECT_PSADOBE,
                             PSINJECT_PAGESATEND};

class RenderCommand : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
  }
  void TearDown() override {
    if (plugin) plugin->Release();
  }
  HRESULT command(DWORD index, DWORD* result) {
    return plugin->Command(driver.devobj(), index, nullptr, 0, result);
  }

  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  FakeDriver driver;
};

TEST_F(RenderCommand, EveryInjectionPointSucceedsForPlainAndEpsOutput) {
  for (BYTE dialect : {BYTE(0), BYTE(2)}) {
    driver.dialect = dialect;
    for (DWORD point : kPoints) {
      DWORD result = 0xFFFF;
      EXPECT_EQ(command(point, &result), S_OK) << point;
      EXPECT_EQ(result, 0u) << point;
    }
  }
}

TEST_F(RenderCommand, EpsCheckAsksForTheDialect) {
  DWORD result = 0;
  ASSERT_EQ(command(PSINJECT_BEGINSETUP, &result), S_OK);
  ASSERT_FALSE(driver.settingsAsked.empty());
  EXPECT_EQ(driver.settingsAsked.front(), "#2");
}

TEST_F(RenderCommand, PublishingKeepsTheFirstHelper) {
  FakeDriver other;
  EXPECT_EQ(plugin->PublishDriverInterface(&other), S_OK);
  EXPECT_EQ(other.refCount, 1u) << "a second helper must not be taken";
  IUnknown* noHelper = nullptr;
  IPrintOemPS2* fresh = module.createPlugin();
  ASSERT_NE(fresh, nullptr);
  struct NotADriver : IUnknown {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
  } notADriver;
  EXPECT_EQ(fresh->PublishDriverInterface(&notADriver), E_FAIL);
  EXPECT_EQ(fresh->PublishDriverInterface(noHelper), E_FAIL);
  fresh->Release();
  const ULONG before = driver.refCount;
  EXPECT_EQ(plugin->DisableDriver(), S_OK);
  EXPECT_EQ(driver.refCount, before - 1) << "DisableDriver releases the helper";
}

// A fault inside an injection point ends that injection point and is reported as its failure;
// the driver (here: the test program) keeps running.
TEST_F(RenderCommand, FaultsInsideAnInjectionPointAreReportedNotRaised) {
  for (auto fault : {FakeDriver::Fault::AccessViolation, FakeDriver::Fault::DivideByZero}) {
    driver.settingFault = fault;
    for (DWORD point : {PSINJECT_BEGINSTREAM, PSINJECT_BEGINSETUP, PSINJECT_ENDSTREAM}) {
      DWORD result = 0;
      EXPECT_EQ(command(point, &result), S_FALSE) << point;
      EXPECT_EQ(result, 574u) << "ERROR_UNHANDLED_EXCEPTION";
    }
  }
  driver.settingFault = FakeDriver::Fault::None;
  DWORD result = 1;
  EXPECT_EQ(command(PSINJECT_BEGINSTREAM, &result), S_OK);
  EXPECT_EQ(result, 0u);
}

TEST_F(RenderCommand, MissingDevobjFails) {
  DWORD result = 0;
  EXPECT_EQ(plugin->Command(nullptr, PSINJECT_BEGINSTREAM, nullptr, 0, &result), S_FALSE);
  EXPECT_EQ(result, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(RenderCommand, GetPdevAdjustmentIsNotImplemented) {
  BOOL done = FALSE;
  EXPECT_EQ(plugin->GetPDEVAdjustment(driver.devobj(), 1, nullptr, 0, &done), E_NOTIMPL);
}

TEST_F(RenderCommand, WritePrinterProbeSucceeds) {
  DWORD written = 5;
  EXPECT_EQ(plugin->WritePrinter(nullptr, nullptr, 0, &written), S_OK);
  EXPECT_EQ(written, 5u);
}

}  // namespace
