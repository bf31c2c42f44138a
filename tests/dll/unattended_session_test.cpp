// Where no user can answer a window of the rendering process (a window station that is not the
// interactive one, as a spooler's service session has), the plug-in shows neither the job-name
// dialog nor the crypto library's password window: the job is cancelled as a failed secure job
// is, and nothing of it reaches the spooler.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fake_driver_support.h"
#include "plugin_support.h"
#include "printer_setup.h"
#include "private_settings.h"

namespace {

using vex::test::FakeDriver;

std::string readFile(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The process runs in a window station of its own, which no user sees, for the object's life.
class UnattendedStation {
 public:
  UnattendedStation()
      : original_(GetProcessWindowStation()),
        station_(CreateWindowStationW(L"VexUnattended", 0, WINSTA_ALL_ACCESS, nullptr)) {
    EXPECT_NE(station_, nullptr);
    EXPECT_TRUE(station_ != nullptr && SetProcessWindowStation(station_));
  }
  ~UnattendedStation() {
    SetProcessWindowStation(original_);
    if (station_ != nullptr) CloseWindowStation(station_);
  }

 private:
  HWINSTA original_;
  HWINSTA station_;
};

const wchar_t* ensurePrinter(const wchar_t* name, bool crypto) {
  vex::PrinterSetup setup;
  setup.printerName = name;
  setup.driverName = std::wstring(name) + L" PS";
  if (crypto) {
    setup.modelOverrides = {{L"CryptoDll", L"vexcrypto.dll"}};
    setup.pluginFiles = {L"vexps.dll", L"vexcrypto.dll"};
  } else {
    setup.pluginFiles = {L"vexps.dll"};
  }
  std::wstring error;
  EXPECT_TRUE(vex::ensurePrinter(setup, &error)) << std::string(error.begin(), error.end());
  return name;
}

TEST(UnattendedSession, QuestionsNobodyCanAnswerCancelTheJob) {
  const struct {
    const char* what;
    const wchar_t* printer;
    bool crypto;
    const char* jobType;
    std::uint32_t jobNameRequired;
    std::uint32_t cryptoFlag;  // ask for the password at print time
  } cases[] = {
      {"job name of a Secure job", L"VEX Unattended Name", false, "Secure", 1, 0},
      {"job name of a Spool job", L"VEX Unattended Name", false, "Spool", 1, 0},
      {"password of an encrypted job", L"VEX Unattended Crypto", true, "Secure_Chip", 0, 1},
  };
  vex::test::RenderModule module;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const wchar_t* name = ensurePrinter(c.printer, c.crypto);
    FakeDriver driver;
    driver.features = {{"VXJob_Type", c.jobType}, {"VXJobLimit", "False"}};
    std::vector<BYTE> record(vex::kRecordSize, 0);
    vex::setU32(record.data(), vex::rec::jobNameRequired, c.jobNameRequired);
    vex::setU32(record.data(), vex::rec::cryptoFlag, c.cryptoFlag);
    driver.devobj()->pOEMDM = record.data();
    IPrintOemPS2* plugin = module.createPlugin();
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(plugin->PublishDriverInterface(&driver), S_OK);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring output = std::wstring(temp) + L"vex-unattended.prn";
    DeleteFileW(output.c_str());
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(name), &printer, nullptr));
    DOC_INFO_1W info{const_cast<LPWSTR>(L"unattended"), const_cast<LPWSTR>(output.c_str()),
                     const_cast<LPWSTR>(L"RAW")};
    const DWORD jobId = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&info));
    ASSERT_NE(jobId, 0u);
    driver.devobj()->hPrinter = printer;
    DRVENABLEDATA hooks{};
    ASSERT_EQ(plugin->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof hooks, &hooks), S_OK);
    PDEVOEM pdev = nullptr;
    ASSERT_EQ(plugin->EnablePDEV(driver.devobj(), const_cast<PWSTR>(name), 0, nullptr, 0, nullptr,
                                 0, nullptr, driver.driverTable(), &pdev),
              S_OK);
    driver.devobj()->pdevOEM = pdev;
    {
      UnattendedStation unattended;
      DWORD result = 0;
      EXPECT_EQ(plugin->Command(driver.devobj(), PSINJECT_BEGINSTREAM, nullptr, 0, &result), S_OK);
      // The driver passes the header back through WritePrinter, then the document follows.
      for (const std::string& chunk :
           {driver.injected, std::string("@PJL ENTER LANGUAGE=POSTSCRIPT\r\n"),
            std::string("%!PS-Adobe-3.0\n(unattended page) show showpage\n")}) {
        DWORD written = 0;
        EXPECT_EQ(plugin->WritePrinter(driver.devobj(), const_cast<char*>(chunk.data()),
                                       static_cast<DWORD>(chunk.size()), &written),
                  S_OK);
      }
    }
    plugin->DisablePDEV(driver.devobj());
    plugin->Release();
    EndDocPrinter(printer);
    ClosePrinter(printer);
    EXPECT_EQ(readFile(output), "") << "the cancelled job reached the spooler";
    DeleteFileW(output.c_str());
  }
}

}  // namespace
