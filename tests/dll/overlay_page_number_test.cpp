// The page's own number: when the document's setup wrote the overlay form block, or a
// watermark is selected, each page's setup begins with the line that gives the page's number
// (ahead of the watermark call); pages are counted per document and over ResetPDEV; EPS output
// without a watermark and documents with neither get no such line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_driver_support.h"
#include "plugin_support.h"
#include "private_settings.h"

namespace {

using vex::test::FakeDriver;

const std::string kWatermarkCall = "findresource /getwmmatrix";

std::string numberLine(int page) {
  return "globaldict /VX@PageNumber " + std::to_string(page) + " put\r\n";
}

class OverlayPageNumber : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
    record.assign(vex::kRecordSize, 0);
    watermark(true);
    enable(driver);
  }
  void TearDown() override {
    for (FakeDriver* d : enabled) plugin->DisablePDEV(d->devobj());
    if (plugin) plugin->Release();
  }
  void watermark(bool on) { vex::setU32(record.data(), vex::rec::watermarkIndex, on ? 1 : 0); }
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
  // Checks page `page` of the document: its number line first when `numbered`, then the
  // watermark call when one is selected, and nothing else of either.
  void expectPage(FakeDriver& on, int page, bool numbered = true) {
    const std::string written = inject(on, PSINJECT_ENDPAGESETUP);
    std::string rest = written;
    if (numbered) {
      ASSERT_EQ(written.substr(0, numberLine(page).size()), numberLine(page)) << written;
      rest = written.substr(numberLine(page).size());
    }
    EXPECT_EQ(rest.find("VX@PageNumber"), std::string::npos) << "one number per page: " << written;
    const bool watermarked = vex::getU32(record.data(), vex::rec::watermarkIndex) != 0;
    EXPECT_EQ(rest.find(kWatermarkCall) != std::string::npos, watermarked) << written;
    if (!watermarked) {
      EXPECT_EQ(rest, "");
    }
  }

  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  FakeDriver driver;
  FakeDriver other;  // a second PDEV of the driver, for ResetPDEV
  std::vector<BYTE> record;
  std::vector<FakeDriver*> enabled;
};

TEST_F(OverlayPageNumber, ThreePagesWhenTheFormBlockOrAWatermarkIsWritten) {
  const struct {
    const char* what;
    BYTE dialect;
    const char* overlay;  // null: the driver does not know the feature
    bool watermark;
    bool numbered;
  } cases[] = {
      {"overlays in use", 0, "Use", false, true},
      {"overlays in use, EPS output", 2, "Use", false, false},
      {"overlays not in use", 0, "None", false, false},
      {"value compared whole", 0, "Used", false, false},
      {"feature unknown to the driver", 0, nullptr, false, false},
      {"a watermark, no overlays", 0, "None", true, true},
      {"a watermark, EPS output", 2, "Use", true, true},
      {"overlays and a watermark", 0, "Use", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    driver.dialect = c.dialect;
    driver.features.clear();
    if (c.overlay) driver.features["VXOverlay"] = c.overlay;
    watermark(c.watermark);
    startDocument(driver);
    EXPECT_EQ(driver.injected.find("OVList") != std::string::npos,
              c.overlay != nullptr && std::string(c.overlay) == "Use" && c.dialect != 2)
        << "the form block";
    for (int page = 1; page <= 3; ++page) expectPage(driver, page, c.numbered);
    inject(driver, PSINJECT_ENDSTREAM);
    driver.injected.clear();
  }
}

// Pages are counted per document: a new stream starts at 1. A ResetDC within the document
// moves it to another PDEV, whose settings may no longer select overlays: the printer still
// holds the document's overlay list, so the pages go on being numbered where they left off.
TEST_F(OverlayPageNumber, CountedPerDocumentAndOverResetPdev) {
  watermark(false);
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

  // And one without overlays after it: no numbers, though the last document had them.
  other.features["VXOverlay"] = "None";
  startDocument(other);
  expectPage(other, 1, false);
}

}  // namespace
