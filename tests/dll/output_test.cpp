// WritePrinter: where the job's bytes go for each effective job type, and the cancelled secure
// job whose output is dropped until the next document begins.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fake_driver_support.h"
#include "plugin_support.h"
#include "printer_setup.h"

namespace {

using vex::test::FakeDriver;

std::string readFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct PrinterKind {
  const wchar_t* name;
  std::vector<std::pair<std::wstring, std::wstring>> overrides;
  std::vector<std::wstring> plugins;
};

// One printer per kind, installed once for the test program.
const wchar_t* ensureKind(const PrinterKind& kind) {
  vex::PrinterSetup setup;
  setup.printerName = kind.name;
  setup.driverName = std::wstring(kind.name) + L" PS";
  setup.modelOverrides = kind.overrides;
  setup.pluginFiles = kind.plugins;
  std::wstring error;
  EXPECT_TRUE(vex::ensurePrinter(setup, &error)) << std::string(error.begin(), error.end());
  return kind.name;
}

// No job-information library: where the bytes go does not depend on it, and with one each
// document would wait for a printing application's name that nobody publishes here. The sample
// model names one, and the driver folder holds it once any other test installed it.
const std::pair<std::wstring, std::wstring> kNoJobInfo{L"JobInfoDll", L""};
const PrinterKind kPlain{L"VEX Output Plain", {kNoJobInfo}, {L"vexps.dll"}};
const PrinterKind kCryptoModel{
    L"VEX Output Crypto", {{L"CryptoDll", L"crypto.dll"}, kNoJobInfo}, {L"vexps.dll"}};
const PrinterKind kCardModel{L"VEX Output Card",
                             {{L"CARD_DLL", L"test_card_yes.dll"}, kNoJobInfo},
                             {L"vexps.dll", L"test_card_yes.dll"}};
const PrinterKind kNoCardModel{L"VEX Output No Card",
                               {{L"CARD_DLL", L"test_card_no.dll"}, kNoJobInfo},
                               {L"vexps.dll", L"test_card_no.dll"}};

// A document on a real printer: the spooler job writes into a file, the plug-in sits between.
class Document {
 public:
  Document(const PrinterKind& kind, FakeDriver& driver, IPrintOemPS2* plugin)
      : driver_(driver), plugin_(plugin) {
    const wchar_t* name = ensureKind(kind);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int documents = 0;
    output_ = std::wstring(temp) + L"vex-output-test-" + std::to_wstring(++documents) + L".prn";
    DeleteFileW(output_.c_str());
    EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(name), &printer_, nullptr));
    DOC_INFO_1W info{const_cast<LPWSTR>(L"output test"), const_cast<LPWSTR>(output_.c_str()),
                     const_cast<LPWSTR>(L"RAW")};
    jobId_ = StartDocPrinterW(printer_, 1, reinterpret_cast<BYTE*>(&info));
    EXPECT_NE(jobId_, 0u) << "StartDocPrinterW failed, error " << GetLastError();
    driver.devobj()->hPrinter = printer_;
    EXPECT_EQ(plugin->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof(hooks_), &hooks_), S_OK);
    PDEVOEM pdev = nullptr;
    EXPECT_EQ(plugin->EnablePDEV(driver.devobj(), const_cast<PWSTR>(name), 0, nullptr, 0, nullptr,
                                 0, nullptr, driver.driverTable(), &pdev),
              S_OK);
    driver.devobj()->pdevOEM = pdev;
    surface_.dhpdev = reinterpret_cast<DHPDEV>(driver.devobj());
    startDoc();
  }
  ~Document() {
    plugin_->DisablePDEV(driver_.devobj());
    if (printer_ != nullptr) ClosePrinter(printer_);
    DeleteFileW(output_.c_str());
  }
  void startDoc() {
    for (ULONG i = 0; i < hooks_.c; ++i) {
      if (hooks_.pdrvfn[i].iFunc == INDEX_DrvStartDoc) {
        auto hook =
            reinterpret_cast<PFN_DrvStartDoc>(reinterpret_cast<void*>(hooks_.pdrvfn[i].pfn));
        EXPECT_TRUE(hook(&surface_, const_cast<LPWSTR>(L"output test"), jobId_));
      }
    }
  }
  HRESULT write(const std::string& bytes, DWORD* written) {
    return plugin_->WritePrinter(driver_.devobj(), const_cast<char*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size()), written);
  }
  void beginStream() {
    DWORD result = 0;
    EXPECT_EQ(plugin_->Command(driver_.devobj(), PSINJECT_BEGINSTREAM, nullptr, 0, &result), S_OK);
  }
  // Ends the spooler job and returns what reached the file.
  std::string finish() {
    EndDocPrinter(printer_);
    return readFile(output_);
  }

 private:
  FakeDriver& driver_;
  IPrintOemPS2* plugin_;
  HANDLE printer_ = nullptr;
  DWORD jobId_ = 0;
  std::wstring output_;
  DRVENABLEDATA hooks_{};
  SURFOBJ surface_{};
};

class RenderOutput : public testing::Test {
 protected:
  void SetUp() override {
    plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);
  }
  void TearDown() override {
    if (plugin) plugin->Release();
  }
  vex::test::RenderModule module;
  IPrintOemPS2* plugin = nullptr;
  FakeDriver driver;
};

struct RoutingCase {
  const char* what;
  const PrinterKind* printer;
  const char* jobType;   // null: the driver does not know the feature
  const char* jobLimit;  // null: likewise
  bool reachesSpooler;
};

TEST_F(RenderOutput, EffectiveJobTypeDecidesWhereBytesGo) {
  const RoutingCase cases[] = {
      {"normal job", &kPlain, "Normal", "False", true},
      {"features unknown to the driver", &kPlain, nullptr, nullptr, true},
      {"secure job, no crypto library", &kPlain, "Secure", "True", true},
      {"job limit with crypto library", &kCryptoModel, "Normal", "True", false},
      {"crypto library without job limit", &kCryptoModel, "Secure", "False", true},
      {"chip job chosen directly", &kPlain, "Secure_Chip", "False", false},
      {"IC-card printer, secure job", &kCardModel, "Secure", "False", false},
      {"IC-card printer, normal job", &kCardModel, "Normal", "False", true},
      {"card library answering no", &kNoCardModel, "Spool", "False", true},
      {"value compared whole", &kPlain, "Secure_Chip2", "False", true},
  };
  for (const RoutingCase& c : cases) {
    SCOPED_TRACE(c.what);
    driver.features.clear();
    if (c.jobType) driver.features["VXJob_Type"] = c.jobType;
    if (c.jobLimit) driver.features["VXJobLimit"] = c.jobLimit;
    Document document(*c.printer, driver, plugin);
    document.beginStream();
    DWORD written = 12345;
    EXPECT_EQ(document.write("%!PS-Adobe-3.0\n", &written), S_OK);
    // An encrypted job takes the bytes too, but collects them for its header: none leaves in
    // clear.
    EXPECT_EQ(written, 15u);
    EXPECT_EQ(document.finish(), c.reachesSpooler ? "%!PS-Adobe-3.0\n" : "");
  }
}

TEST_F(RenderOutput, CancelledSecureJobDropsItsOutputUntilTheNextStream) {
  driver.features = {{"VXJob_Type", "Secure_Chip"}, {"VXJobLimit", "False"}};
  {
    // No crypto library: once the language switch ends the header, the job cannot be
    // encrypted and is cancelled; that write and every later one are dropped.
    Document document(kPlain, driver, plugin);
    document.beginStream();
    for (const char* chunk :
         {"@PJL ENTER LANGUAGE=POSTSCRIPT\n", "secret page\n", "secret page\n"}) {
      DWORD written = 7;
      EXPECT_EQ(document.write(chunk, &written), S_OK);
      EXPECT_EQ(written, 7u) << "dropped bytes are not reported as written";
    }
    EXPECT_EQ(document.finish(), "");
  }
  // The next document is a plain one: its stream begins, and its bytes reach the spooler.
  driver.features["VXJob_Type"] = "Normal";
  Document next(kPlain, driver, plugin);
  next.beginStream();
  DWORD written = 0;
  EXPECT_EQ(next.write("%!PS\n", &written), S_OK);
  EXPECT_EQ(written, 5u);
  EXPECT_EQ(next.finish(), "%!PS\n");
}

// A ResetDC within an encrypted secure document brings another device mode (here one whose job
// type is Normal): the rest of the document is still never sent in clear. The next stream
// begins a new document, evaluated afresh.
TEST_F(RenderOutput, EncryptedDocumentStaysEncryptedAcrossResetPdev) {
  for (const char* later : {"Normal", "Secure", "Spool"}) {
    SCOPED_TRACE(later);
    driver.features = {{"VXJob_Type", "Secure_Chip"}, {"VXJobLimit", "False"}};
    {
      Document document(kPlain, driver, plugin);
      document.beginStream();
      DWORD written = 0;
      EXPECT_EQ(document.write("secret page 1\n", &written), S_OK);
      driver.features["VXJob_Type"] = later;
      EXPECT_EQ(plugin->ResetPDEV(driver.devobj(), driver.devobj()), S_OK);
      EXPECT_EQ(document.write("secret page 2\n", &written), S_OK);
      EXPECT_EQ(written, 14u);
      EXPECT_EQ(document.finish(), "");
    }
    Document next(kPlain, driver, plugin);
    next.beginStream();
    DWORD written = 0;
    EXPECT_EQ(next.write("%!PS\n", &written), S_OK);
    EXPECT_EQ(next.finish(), "%!PS\n");
  }
}

// The job type cannot change within a document: the driver is asked once per document, not for
// every chunk of output.
TEST_F(RenderOutput, JobTypeIsAskedOncePerDocument) {
  driver.features = {{"VXJob_Type", "Normal"}, {"VXJobLimit", "True"}};
  Document document(kCryptoModel, driver, plugin);
  driver.features["VXJobLimit"] = "False";
  driver.settingsAsked.clear();
  document.beginStream();  // the header asks for it too
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    DWORD written = 0;
    const std::string chunk = "chunk " + std::to_string(i) + "\n";
    ASSERT_EQ(document.write(chunk, &written), S_OK);
    expected += chunk;
  }
  EXPECT_EQ(std::count(driver.settingsAsked.begin(), driver.settingsAsked.end(), "VXJob_Type"), 1);
  EXPECT_EQ(document.finish(), expected);
}

}  // namespace
