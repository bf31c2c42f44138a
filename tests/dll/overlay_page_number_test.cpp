// The page's own number for the overlays: when the document's setup wrote the overlay form
// block, each page's setup begins with the line that hands the page's number to @VXFormDict,
// ahead of the watermark call; pages are counted per document and over ResetPDEV; EPS output
// and documents without overlays get no such line. The watermark call follows the line that
// tells the watermark procedures the pages before this one, whatever the overlays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_driver_support.h"
#include "plugin_support.h"
#include "private_settings.h"

namespace {

using vex::test::FakeDriver;

const std::string kLineHead =
    "userdict /@VXFormDict 2 copy known { get /PageNo 2 copy known { get 0 ";
const std::string kLineTail = " put } { pop pop } ifelse } { pop pop } ifelse\r\n";
const std::string kWatermarkCall = "findresource /getwmmatrix";

std::string watermarkLine(int page) {
  return "userdict /VX@WMG 2 copy known { get 0 " + std::to_string(page - 1) +
         " put } { pop pop } ifelse\r\n";
}

std::string numberLine(int page) { return kLineHead + std::to_string(page) + kLineTail; }

class OverlayPageNumber : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    record.assign(vex::kRecordSize, 0);
    vex::setU32(record.data(), vex::rec::watermarkIndex, 1);  // a watermark on every page
    enable(driver);
  }
  void TearDown() override {
    for (FakeDriver* d : enabled) plugin->DisablePDEV(d->devobj());
    if (plugin) plugin->Release();
  }
  void enable(FakeDriver& d) {
    PDEVOEM pdev = nullptr;
    ASSERT_EQ(plugin->EnablePDEV(d.devobj(), const_cast<PWSTR>(L"page numbers"), 0, nullptr, 0,
                                 nullptr, 0, nullptr, d.driverTable(), &pdev),
              S_OK);
    d.devobj()->pdevOEM = pdev;
    d.devobj()->pOEMDM = record.data();
    enabled.push_back(&d);
  }
  // What the plug-in writes at one injection point on `on`'s PDEV (every write goes through
  // the published helper, `driver`).
  std::string inject(FakeDriver& on, DWORD point) {
    const std::size_t before = driver.injected.size();
    DWORD result = 1;
    EXPECT_EQ(plugin->Command(on.devobj(), point, nullptr, 0, &result), S_OK) << point;
    EXPECT_EQ(result, 0u) << point;
    return driver.injected.substr(before);
  }
  void startDocument(FakeDriver& on) {
    for (DWORD point : {PSINJECT_BEGINSTREAM, PSINJECT_BEGINPROLOG, PSINJECT_BEGINSETUP}) {
      inject(on, point);
    }
  }
  // Checks page `page` of the document: the overlays' number line when `numbered`, then the
  // watermark procedures' line and the watermark call.
  void expectPage(FakeDriver& on, int page, bool numbered = true) {
    const std::string written = inject(on, PSINJECT_ENDPAGESETUP);
    std::string rest = written;
    if (numbered) {
      ASSERT_EQ(written.substr(0, numberLine(page).size()), numberLine(page)) << written;
      rest = written.substr(numberLine(page).size());
    }
    EXPECT_EQ(rest.find("PageNo"), std::string::npos) << "one number line per page: " << written;
    ASSERT_EQ(rest.substr(0, watermarkLine(page).size()), watermarkLine(page)) << written;
    EXPECT_NE(rest.find(kWatermarkCall), std::string::npos) << "watermark call lost: " << written;
  }

  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  FakeDriver driver;
  FakeDriver other;  // a second PDEV of the driver, for ResetPDEV
  std::vector<BYTE> record;
  std::vector<FakeDriver*> enabled;
};

TEST_F(OverlayPageNumber, ThreePagesOnlyWhenTheFormBlockIsWritten) {
  const struct {
    const char* what;
    BYTE dialect;
    const char* overlay;  // null: the driver does not know the feature
    bool numbered;
  } cases[] = {
      {"overlays in use", 0, "Use", true},
      {"overlays in use, EPS output", 2, "Use", false},
      {"overlays not in use", 0, "None", false},
      {"value compared whole", 0, "Used", false},
      {"feature unknown to the driver", 0, nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    driver.dialect = c.dialect;
    driver.features.clear();
    if (c.overlay) driver.features["VXOverlay"] = c.overlay;
    startDocument(driver);
    EXPECT_EQ(driver.injected.find("OVList") != std::string::npos, c.numbered)
        << "the form block is written exactly when pages are numbered";
    for (int page = 1; page <= 3; ++page) expectPage(driver, page, c.numbered);
    inject(driver, PSINJECT_ENDSTREAM);
    driver.injected.clear();
  }
}

// Pages are counted per document: a new stream starts at 1. A ResetDC within the document
// moves it to another PDEV, whose settings may no longer select overlays: the printer still
// holds the document's overlay list, so the pages go on being numbered where they left off.
TEST_F(OverlayPageNumber, CountedPerDocumentAndOverResetPdev) {
  driver.features["VXOverlay"] = "Use";
  startDocument(driver);
  expectPage(driver, 1);
  expectPage(driver, 2);
  enable(other);
  other.features["VXOverlay"] = "None";
  ASSERT_EQ(plugin->ResetPDEV(driver.devobj(), other.devobj()), S_OK);
  expectPage(other, 3);
  expectPage(other, 4);
  inject(other, PSINJECT_ENDSTREAM);

  // The next document on that PDEV, again with overlays: numbered from 1.
  other.features["VXOverlay"] = "Use";
  startDocument(other);
  expectPage(other, 1);
  expectPage(other, 2);
  inject(other, PSINJECT_ENDSTREAM);

  // And one without overlays after it: no overlay numbers, though the last document had them.
  other.features["VXOverlay"] = "None";
  startDocument(other);
  expectPage(other, 1, false);
}

// Without a watermark and without overlays a page's setup gets nothing from the plug-in.
TEST_F(OverlayPageNumber, NothingWithoutWatermarkOrOverlays) {
  vex::setU32(record.data(), vex::rec::watermarkIndex, 0);
  driver.features["VXOverlay"] = "None";
  startDocument(driver);
  EXPECT_EQ(inject(driver, PSINJECT_ENDPAGESETUP), "");
  driver.features["VXOverlay"] = "Use";
  inject(driver, PSINJECT_ENDSTREAM);
  startDocument(driver);
  EXPECT_EQ(inject(driver, PSINJECT_ENDPAGESETUP), numberLine(1));
}

}  // namespace
