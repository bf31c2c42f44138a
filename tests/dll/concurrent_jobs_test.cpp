// Two encrypted secure documents rendered at once on two threads of one process, each on its own
// printer, PDEV and plug-in object, their calls interleaved step by step: each job decrypts with
// its own password to exactly its own pages, its header names its own printing application,
// and no page leaves in clear.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app_name_producer.h"
#include "fake_driver_support.h"
#include "plugin_support.h"
#include "printer_setup.h"
#include "private_settings.h"
#include "secure_stream_support.h"

namespace {

using vex::test::FakeDriver;

std::string readFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lets two threads take turns: step k of thread t runs at turn 2k + t.
class Turns {
 public:
  void wait(int turn) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return turn_ >= turn; });
  }
  void pass() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++turn_;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int turn_ = 0;
};

// The password blob of the record, as the UI plug-in stores it.
std::vector<BYTE> obscuredPassword(const std::string& password) {
  HMODULE crypto = LoadLibraryW(L"vexcrypto.dll");
  if (crypto == nullptr) return {};
  using EncryptFn = int(__cdecl*)(const char*, DWORD, BYTE*, DWORD*);
  auto encrypt = reinterpret_cast<EncryptFn>(
      reinterpret_cast<void*>(GetProcAddress(crypto, "EncryptPassword")));
  std::vector<BYTE> blob(vex::rec::encryptedPasswordCapacity);
  DWORD length = static_cast<DWORD>(blob.size());
  const bool ok =
      encrypt != nullptr &&
      encrypt(password.c_str(), static_cast<DWORD>(password.size()), blob.data(), &length) != 0;
  FreeLibrary(crypto);
  if (!ok) return {};
  blob.resize(length);
  return blob;
}

// One document of one thread, from StartDocPrinter to EndDocPrinter, as the driver calls the
// plug-in for it.
class SecureDocument {
 public:
  SecureDocument(const wchar_t* printerName, const std::wstring& application,
                 const std::string& password, std::vector<std::string> pages)
      : printerName_(printerName),
        application_(application),
        password_(password),
        pages_(std::move(pages)) {
    driver_.features = {{"VXJob_Type", "Secure_Chip"}, {"VXJobLimit", "False"}};
    record_.assign(vex::kRecordSize, 0);
    const std::vector<BYTE> blob = obscuredPassword(password);
    std::memcpy(record_.data() + vex::rec::encryptedPassword, blob.data(), blob.size());
    vex::setU32(record_.data(), vex::rec::encryptedPasswordLength,
                static_cast<std::uint32_t>(blob.size()));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    output_ = std::wstring(temp) + L"vex-concurrent-" + printerName + L".prn";
    DeleteFileW(output_.c_str());
  }
  ~SecureDocument() { DeleteFileW(output_.c_str()); }

  // The steps of the document; each notes what failed into failures().
  std::vector<void (SecureDocument::*)()> steps() const {
    std::vector<void (SecureDocument::*)()> all = {
        &SecureDocument::open, &SecureDocument::beginStream, &SecureDocument::languageSwitch};
    for (std::size_t i = 0; i < pages_.size(); ++i) all.push_back(&SecureDocument::nextPage);
    all.push_back(&SecureDocument::endStream);
    all.push_back(&SecureDocument::close);
    return all;
  }
  const std::vector<std::string>& failures() const { return failures_; }
  const std::string& job() const { return job_; }
  const std::string& sent() const { return sent_; }
  const std::string& header() const { return header_; }

 private:
  void open() {
    plugin_ = module_.createPlugin();
    if (plugin_ == nullptr || plugin_->PublishDriverInterface(&driver_) != S_OK) {
      return fail("no plug-in");
    }
    driver_.devobj()->pOEMDM = record_.data();
    if (!OpenPrinterW(const_cast<LPWSTR>(printerName_.c_str()), &printer_, nullptr)) {
      return fail("OpenPrinterW");
    }
    DOC_INFO_1W info{const_cast<LPWSTR>(L"concurrent"), const_cast<LPWSTR>(output_.c_str()),
                     const_cast<LPWSTR>(L"RAW")};
    jobId_ = StartDocPrinterW(printer_, 1, reinterpret_cast<BYTE*>(&info));
    if (jobId_ == 0) return fail("StartDocPrinterW");
    // The printing application's name for the job's header, as the UI plug-in publishes it;
    // without it the header would wait out the hand-off's bound.
    std::wstring error;
    if (!producer_.publish(printerName_, L"", false, jobId_,
                           vex::ApplicationNameProducer::sectionBytes(application_), true,
                           &error)) {
      return fail("application name not published");
    }
    driver_.devobj()->hPrinter = printer_;
    if (plugin_->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof(hooks_), &hooks_) != S_OK) {
      return fail("EnableDriver");
    }
    PDEVOEM pdev = nullptr;
    if (plugin_->EnablePDEV(driver_.devobj(), const_cast<PWSTR>(printerName_.c_str()), 0, nullptr,
                            0, nullptr, 0, nullptr, driver_.driverTable(), &pdev) != S_OK) {
      return fail("EnablePDEV");
    }
    driver_.devobj()->pdevOEM = pdev;
    surface_.dhpdev = reinterpret_cast<DHPDEV>(driver_.devobj());
    auto startDoc = hook<PFN_DrvStartDoc>(INDEX_DrvStartDoc);
    if (startDoc == nullptr || !startDoc(&surface_, const_cast<LPWSTR>(L"concurrent"), jobId_)) {
      fail("DrvStartDoc");
    }
  }
  void beginStream() {
    command(PSINJECT_BEGINSTREAM);
    header_ = driver_.injected;
  }
  void languageSwitch() { write("@PJL ENTER LANGUAGE=POSTSCRIPT\r\n%!PS-Adobe-3.0\n"); }
  void nextPage() { write(pages_[page_++]); }
  void endStream() {
    command(PSINJECT_ENDSTREAM);
    write("\x1b%-12345X@PJL EOJ\r\n");  // the trailer, as the driver passes it back
  }
  void close() {
    auto endDoc = hook<PFN_DrvEndDoc>(INDEX_DrvEndDoc);
    if (endDoc == nullptr || !endDoc(&surface_, 0)) fail("DrvEndDoc");
    plugin_->DisablePDEV(driver_.devobj());
    plugin_->DisableDriver();
    plugin_->Release();
    EndDocPrinter(printer_);
    ClosePrinter(printer_);
    job_ = readFile(output_);
  }

  template <typename F>
  F hook(ULONG index) const {
    for (ULONG i = 0; i < hooks_.c; ++i) {
      if (hooks_.pdrvfn[i].iFunc == index) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(hooks_.pdrvfn[i].pfn));
      }
    }
    return nullptr;
  }
  void command(DWORD index) {
    DWORD result = 0;
    if (plugin_->Command(driver_.devobj(), index, nullptr, 0, &result) != S_OK) {
      fail("Command " + std::to_string(index));
    }
  }
  void write(const std::string& bytes) {
    DWORD written = 0;
    if (plugin_->WritePrinter(driver_.devobj(), const_cast<char*>(bytes.data()),
                              static_cast<DWORD>(bytes.size()), &written) != S_OK ||
        written != bytes.size()) {
      fail("WritePrinter");
    }
    sent_ += bytes;
  }
  void fail(const std::string& what) { failures_.push_back(what); }

  std::wstring printerName_;
  std::wstring application_;
  vex::ApplicationNameProducer producer_;
  std::string password_;
  std::vector<std::string> pages_;
  std::size_t page_ = 0;
  vex::test::RenderModule module_;
  IPrintOemPS2* plugin_ = nullptr;
  FakeDriver driver_;
  std::vector<BYTE> record_;
  HANDLE printer_ = nullptr;
  DWORD jobId_ = 0;
  std::wstring output_;
  DRVENABLEDATA hooks_{};
  SURFOBJ surface_{};
  std::vector<std::string> failures_;
  std::string job_;
  std::string sent_;
  std::string header_;
};

const wchar_t* ensureCryptoPrinter(const wchar_t* name) {
  vex::PrinterSetup setup;
  setup.printerName = name;
  setup.driverName = std::wstring(name) + L" PS";
  setup.modelOverrides = {{L"CryptoDll", L"vexcrypto.dll"}, {L"JobInfoDll", L"vexjobinfo.dll"}};
  setup.pluginFiles = {L"vexps.dll", L"vexcrypto.dll", L"vexjobinfo.dll"};
  std::wstring error;
  EXPECT_TRUE(vex::ensurePrinter(setup, &error)) << std::string(error.begin(), error.end());
  return name;
}

std::vector<std::string> pagesOf(const std::string& owner) {
  std::vector<std::string> pages;
  for (int i = 1; i <= 4; ++i) {
    pages.push_back("%%Page: " + std::to_string(i) + "\n(" + owner + " page " + std::to_string(i) +
                    ") show showpage\n");
  }
  return pages;
}

TEST(ConcurrentJobs, TwoSecureDocumentsOnTwoThreadsKeepTheirOwnStreams) {
  SecureDocument first(ensureCryptoPrinter(L"VEX Concurrent First"), L"FIRST-APP", "first-4321",
                       pagesOf("FIRST-OWNER"));
  SecureDocument second(ensureCryptoPrinter(L"VEX Concurrent Second"), L"SECOND-APP", "second-8765",
                        pagesOf("SECOND-OWNER"));
  Turns turns;
  auto run = [&turns](SecureDocument* document, int thread) {
    int step = 0;
    for (auto action : document->steps()) {
      turns.wait(2 * step + thread);
      (document->*action)();
      turns.pass();
      ++step;
    }
  };
  std::thread a(run, &first, 0);
  std::thread b(run, &second, 1);
  a.join();
  b.join();

  const struct {
    const char* what;
    const SecureDocument* document;
    const char* password;
    const char* own;
    const char* other;
    const char* ownApplication;
    const char* otherApplication;
  } cases[] = {{"first", &first, "first-4321", "FIRST-OWNER", "SECOND-OWNER",
                "ApplicationName=FIRST-APP\"", "ApplicationName=SECOND-APP\""},
               {"second", &second, "second-8765", "SECOND-OWNER", "FIRST-OWNER",
                "ApplicationName=SECOND-APP\"", "ApplicationName=FIRST-APP\""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(c.document->failures().empty()) << c.document->failures().front();
    // Each header names the application of its own job.
    EXPECT_NE(c.document->header().find(c.ownApplication), std::string::npos)
        << c.document->header();
    EXPECT_EQ(c.document->header().find(c.otherApplication), std::string::npos)
        << c.document->header();
    const vex::test::DecryptedJob job = vex::test::decryptSecureJob(c.document->job(), c.password);
    ASSERT_TRUE(job.ok) << job.error;
    EXPECT_EQ(job.plaintext, c.document->sent());
    EXPECT_EQ(job.outside.find(c.own), std::string::npos) << "a page in clear";
    EXPECT_EQ(job.outside.find(c.other), std::string::npos) << "the other job's page in clear";
    EXPECT_EQ(job.plaintext.find(c.other), std::string::npos);
  }
}

}  // namespace
