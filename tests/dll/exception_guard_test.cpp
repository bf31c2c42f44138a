// The exception guard of Command with an outside library inside an injection point: what the
// library leaves unhandled, of any exception code, ends that injection point as its failure and
// the job goes on; what the library raises and handles itself is not taken from it.
#include <gtest/gtest.h>

#include <string>

#include "app_name_producer.h"
#include "fake_driver_support.h"
#include "plugin_support.h"
#include "printer_setup.h"

namespace {

using vex::test::FakeDriver;

// A started document on a printer whose job-information library is the echo library; the
// library acts on the words of the printer's name.
class LibraryDocument {
 public:
  LibraryDocument(const std::wstring& printerName, FakeDriver& driver, IPrintOemPS2* plugin)
      : driver_(driver), plugin_(plugin) {
    vex::PrinterSetup setup;
    setup.printerName = printerName;
    setup.driverName = printerName + L" PS";
    setup.modelOverrides = {{L"JobInfoDll", L"test_jobinfo_echo.dll"}};
    setup.pluginFiles = {L"vexps.dll", L"test_jobinfo_echo.dll"};
    std::wstring error;
    EXPECT_TRUE(vex::ensurePrinter(setup, &error)) << std::string(error.begin(), error.end());
    EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(printerName.c_str()), &printer_, nullptr));
    // The printing application's name is there before the header asks for it, as the UI
    // plug-in publishes it: without it the header would wait out the hand-off's bound.
    EXPECT_TRUE(producer_.publish(printerName, L"", false, kJobId,
                                  vex::ApplicationNameProducer::sectionBytes(L"guard test"), true,
                                  &error))
        << std::string(error.begin(), error.end());
    driver.devobj()->hPrinter = printer_;
    EXPECT_EQ(plugin->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof(hooks_), &hooks_), S_OK);
    PDEVOEM pdev = nullptr;
    EXPECT_EQ(plugin->EnablePDEV(driver.devobj(), const_cast<PWSTR>(printerName.c_str()), 0,
                                 nullptr, 0, nullptr, 0, nullptr, driver.driverTable(), &pdev),
              S_OK);
    driver.devobj()->pdevOEM = pdev;
    surface_.dhpdev = reinterpret_cast<DHPDEV>(driver.devobj());
    for (ULONG i = 0; i < hooks_.c; ++i) {
      if (hooks_.pdrvfn[i].iFunc == INDEX_DrvStartDoc) {
        auto startDoc =
            reinterpret_cast<PFN_DrvStartDoc>(reinterpret_cast<void*>(hooks_.pdrvfn[i].pfn));
        EXPECT_TRUE(startDoc(&surface_, const_cast<LPWSTR>(L"guard test"), kJobId));
      }
    }
  }
  ~LibraryDocument() {
    plugin_->DisablePDEV(driver_.devobj());
    driver_.devobj()->pdevOEM = nullptr;
    if (printer_ != nullptr) ClosePrinter(printer_);
  }

 private:
  static constexpr DWORD kJobId = 1;
  FakeDriver& driver_;
  IPrintOemPS2* plugin_;
  HANDLE printer_ = nullptr;
  vex::ApplicationNameProducer producer_;
  DRVENABLEDATA hooks_{};
  SURFOBJ surface_{};
};

TEST(ExceptionGuard, OutsideLibraryExceptionsInsideAnInjectionPoint) {
  const struct {
    const wchar_t* printer;
    HRESULT beginStream;
    DWORD result;
    const char* headerHas;  // null: the library's line is not in the header
  } cases[] = {
      // Unhandled, non-continuable software exception: the injection point fails.
      // The library's own fault, handled inside it: the header has its answer.
      {L"VEX Guard Probe", S_OK, 0, "|probe=1\r\n"},
      {L"VEX Guard Plain", S_OK, 0, "@PJL COMMENT REQUEST version=2"},
      {L"VEX Guard Raise", S_FALSE, 574, nullptr},
  };
  vex::test::RenderModule module;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.printer, c.printer + wcslen(c.printer)));
    FakeDriver driver;
    IPrintOemPS2* plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    {
      LibraryDocument document(c.printer, driver, plugin);
      DWORD result = 0xFFFF;
      EXPECT_EQ(plugin->Command(driver.devobj(), PSINJECT_BEGINSTREAM, nullptr, 0, &result),
                c.beginStream);
      EXPECT_EQ(result, c.result);
      if (c.headerHas != nullptr) {
        EXPECT_NE(driver.injected.find(c.headerHas), std::string::npos) << driver.injected;
        EXPECT_NE(driver.injected.find("|app=guard test|"), std::string::npos) << driver.injected;
      } else {
        EXPECT_EQ(driver.injected.find("REQUEST"), std::string::npos) << driver.injected;
      }
      // The job goes on: the later injection points are handled as usual.
      driver.injected.clear();
      for (DWORD point : {PSINJECT_BEGINPROLOG, PSINJECT_ENDSTREAM}) {
        result = 0xFFFF;
        EXPECT_EQ(plugin->Command(driver.devobj(), point, nullptr, 0, &result), S_OK) << point;
        EXPECT_EQ(result, 0u);
      }
      EXPECT_NE(driver.injected.find("@PJL EOJ"), std::string::npos);
    }
    plugin->Release();
  }
}

}  // namespace
