// Installable-option discovery through the network and USB extension companions, on printers
// of the platform's spooler whose configuration names them. The companions answer as the
// simulated printers' device files say and write their data files from them.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>
#include <winspool.h>

#include <array>
#include <string>
#include <vector>

#include "extension_libraries.h"
#include "host_files.h"
#include "option_companion_support.h"
#include "option_discovery.h"
#include "printer_support.h"
#include "ui_module_state.h"

namespace {

using vex::test::DriverItems;
using vex::test::SimulatedPrinter;
using vex::test::TempFolder;
using vex::test::TestPrinter;
using Result = std::array<DWORD, 8>;

constexpr DWORD kUntouched = 0xEEEE;
const Result kUntouchedResult = {kUntouched, kUntouched, kUntouched, kUntouched,
                                 kUntouched, kUntouched, kUntouched, kUntouched};

vex::PrinterSetup setupWith(const std::wstring& name,
                            std::vector<std::pair<std::wstring, std::wstring>> overrides) {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(name);
  setup.modelOverrides = std::move(overrides);
  return setup;
}

bool setPort(HANDLE printer, const wchar_t* port) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> block(needed, 0);
  if (needed == 0 || !GetPrinterW(printer, 2, block.data(), needed, &needed)) return false;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(block.data());
  info->pPortName = const_cast<wchar_t*>(port);
  info->pSecurityDescriptor = nullptr;
  return SetPrinterW(printer, 2, block.data(), 0) != FALSE;
}

std::wstring appDataFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
  return std::wstring(folder) + L"\\" + name;
}

// The companions' call log, fresh for each test.
class CallLog {
 public:
  CallLog() : folder_(L"vex-discovery-log") {
    path_ = folder_.file(L"calls.log");
    for (const wchar_t* ini : {L"vexnetext.ini", L"vexusbext.ini"}) {
      WritePrivateProfileStringW(L"Log", L"File", path_.c_str(),
                                 vex::test::companionIni(ini).c_str());
    }
  }
  ~CallLog() {
    for (const wchar_t* ini : {L"vexnetext.ini", L"vexusbext.ini"}) {
      WritePrivateProfileStringW(L"Log", nullptr, nullptr, vex::test::companionIni(ini).c_str());
    }
    DeleteFileW(path_.c_str());
  }
  std::string text() const { return vex::test::readTextFile(path_); }

 private:
  TempFolder folder_;
  std::wstring path_;
};

class OptionDiscovery : public ::testing::Test {
 protected:
  void SetUp() override {
    vex::UiModuleState& state = vex::uiModuleState();
    savedProbe_ = state.versionProbeDone;
    savedVersion6_ = state.isOsVersion6OrLater;
    // Job limitation counts only before version 6: the tests choose the platform.
    state.versionProbeDone = true;
    state.isOsVersion6OrLater = false;
  }
  void TearDown() override {
    vex::uiModuleState().versionProbeDone = savedProbe_;
    vex::uiModuleState().isOsVersion6OrLater = savedVersion6_;
  }

  bool savedProbe_ = false;
  bool savedVersion6_ = false;
  CallLog log_;
};

const std::vector<const wchar_t*> kMemoryTexts = {L"64 MB", L"256MB",  L"128 MB",
                                                  nullptr,  L"256 MB", L"512 MB"};

// ---- the push button (network) -----------------------------------------------------------------

TEST_F(OptionDiscovery, PushButtonReadsTheNetworkDataFile) {
  TestPrinter printer(setupWith(L"VEX UI net", {{L"NetExtDLL", L"vexnetext.dll"}}));
  TempFolder folder(L"vex-net");
  const struct {
    const char* name;
    std::string answers;
    std::string options;
    bool version6;
    BOOL returned;
    Result expected;
  } cases[] = {
      {"0x25, memory 256, punch, job limitation",
       "",
       "Installed=37\r\nRandom Access Memory=256\r\nSD Card=0\r\nPunchType=2\r\n"
       "JobLimitationMode=1\r\n",
       false,
       1,
       {1, 0, 3, 4, 0, 0, 1, 0}},
      {"returns GetDataFileName's answer",
       "GetDataFileName=5\r\n",
       "Installed=127\r\nRandom Access Memory=64\r\nSD Card=1\r\nPunchType=0\r\n"
       "JobLimitationMode=0\r\n",
       false,
       5,
       {0, 0, 4, 0, 1, 1, 0, 1}},
      {"version 6: job limit always 1",
       "",
       "Installed=0\r\nJobLimitationMode=1\r\n",
       true,
       1,
       {1, 1, 0, 0, 0, 0, 0, 1}},
      {"missing keys read as 0", "", "Installed=2\r\n", false, 1, {1, 1, 2, 0, 0, 0, 0, 1}},
      {"negative values",
       "",
       "Installed=-1\r\nRandom Access Memory=-5\r\nSD Card=-1\r\n"
       "PunchType=-2\r\nJobLimitationMode=-1\r\n",
       false,
       1,
       {0, 0, 4, 0, 1, 1, 1, 0}},
      {"huge and non-numeric values",
       "",
       "Installed=abc\r\nRandom Access Memory=99999999999999999999\r\nSD Card=zz\r\n"
       "PunchType=\r\n",
       false,
       1,
       {1, 1, 0, 0, 0, 0, 0, 1}},
      {"memory 128 matches the third text",
       "",
       "Random Access Memory=128\r\n",
       false,
       1,
       {1, 1, 0, 2, 0, 0, 0, 1}},
      {"memory 25 matches 256MB less MB",
       "",
       "Random Access Memory=25\r\n",
       false,
       1,
       {1, 1, 0, 1, 0, 0, 0, 1}},
      {"ReadPrinterOptionFlag32 answers 2: still enough",
       "ReadPrinterOptionFlag32=2\r\n",
       "Installed=1\r\n",
       false,
       1,
       {1, 1, 1, 0, 0, 0, 0, 1}},
      {"ReadPrinterOptionFlag32 answers 0", "ReadPrinterOptionFlag32=0\r\n", "Installed=1\r\n",
       false, 0, kUntouchedResult},
      {"GetDataFileName answers 0", "GetDataFileName=0\r\n", "Installed=1\r\n", false, 0,
       kUntouchedResult},
      {"no section for the printer", "WriteSection=0\r\n", "Installed=1\r\n", false, 0,
       kUntouchedResult},
      {"data file missing", "WriteSection=0\r\nDataFile=no-such-folder\\net.dat\r\n",
       "Installed=1\r\n", false, 0, kUntouchedResult},
      {"unterminated data file name", "GetDataFileName=unterminated\r\n", "Installed=1\r\n", false,
       0, kUntouchedResult},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedPrinter device(
        L"vexnetext.ini", L"VEX UI net", folder,
        "[Answers]\r\nDataFile=net.dat\r\n" + c.answers + "[Options]\r\n" + c.options);
    vex::uiModuleState().isOsVersion6OrLater = c.version6;
    DriverItems items(kMemoryTexts);
    OEMCUIPPARAM param = vex::test::cuiParam(L"VEX UI net", &items);
    Result result = kUntouchedResult;
    EXPECT_EQ(vex::networkDiscovery(&param, nullptr, result.data()), c.returned) << log_.text();
    EXPECT_EQ(result, c.expected);
  }
  // The push button's flags reach the library with the printer's name.
  EXPECT_NE(log_.text().find("ReadPrinterOptionFlag32 00800080 VEX UI net\r\n"), std::string::npos)
      << log_.text();
}

TEST_F(OptionDiscovery, PushButtonWithoutLibraryEntryOrPrinterFindsNothing) {
  TestPrinter bare(setupWith(L"VEX UI net bare", {{L"NetExtDLL", L"vexnetext_bare.dll"}}));
  TestPrinter none(setupWith(L"VEX UI net none", {{L"NetExtDLL", L"vexusbext.dll"}}));
  TestPrinter unset(setupWith(L"VEX UI net unset", {{L"NetExtDLL", L""}}));
  TestPrinter path(setupWith(L"VEX UI net path", {{L"NetExtDLL", L"..\\vexnetext.dll"}}));
  TestPrinter unknown(setupWith(L"VEX UI net unknown", {{L"NetExtDLL", L"vexnetext.dll"}}));
  TempFolder folder(L"vex-net-missing");
  const std::string device = "[Answers]\r\nDataFile=net.dat\r\n[Options]\r\nInstalled=1\r\n";
  SimulatedPrinter d1(L"vexnetext.ini", L"VEX UI net bare", folder, device);
  SimulatedPrinter d2(L"vexnetext.ini", L"VEX UI net none", folder, device);
  SimulatedPrinter d3(L"vexnetext.ini", L"VEX UI net unset", folder, device);
  SimulatedPrinter d4(L"vexnetext.ini", L"VEX UI net path", folder, device);
  for (const wchar_t* name : {L"VEX UI net bare", L"VEX UI net none", L"VEX UI net unset", L"VEX UI net path",
                              L"VEX UI net unknown", L"VEX UI no such printer", L""}) {
    SCOPED_TRACE(vex::test::narrow(name));
    DriverItems items(kMemoryTexts);
    OEMCUIPPARAM param = vex::test::cuiParam(name, &items);
    Result result = kUntouchedResult;
    EXPECT_EQ(vex::networkDiscovery(&param, nullptr, result.data()), FALSE);
    EXPECT_EQ(result, kUntouchedResult);
  }
  Result result = kUntouchedResult;
  EXPECT_EQ(vex::networkDiscovery(nullptr, nullptr, result.data()), FALSE);
  OEMCUIPPARAM noName{};
  EXPECT_EQ(vex::networkDiscovery(&noName, nullptr, result.data()), FALSE);
  EXPECT_EQ(result, kUntouchedResult);
  EXPECT_EQ(log_.text().find("VEX UI net path"), std::string::npos)
      << "a configured path is not loaded";
}

TEST_F(OptionDiscovery, MemoryItemTreesOfAnyShape) {
  TestPrinter printer(setupWith(L"VEX UI net", {{L"NetExtDLL", L"vexnetext.dll"}}));
  TempFolder folder(L"vex-net-tree");
  SimulatedPrinter device(L"vexnetext.ini", L"VEX UI net", folder,
                          "[Answers]\r\nDataFile=net.dat\r\n[Options]\r\n"
                          "Random Access Memory=256\r\n");
  struct Tree {
    const char* name;
    std::vector<const wchar_t*> texts;
    int shape;  // 0 as built, 1 no option type, 2 no option list, 3 no items, 4 no memory item
    DWORD memoryIndex;
  } trees[] = {
      {"256 MB is the fifth text", kMemoryTexts, 0, 4},
      {"null texts and resource numbers",
       {nullptr, reinterpret_cast<const wchar_t*>(42), L"256 MB"},
       0,
       2},
      {"no option type", kMemoryTexts, 1, 0},
      {"no option list", kMemoryTexts, 2, 0},
      {"no items at all", kMemoryTexts, 3, 0},
      {"no memory item", kMemoryTexts, 4, 0},
      {"no options", {}, 0, 0},
  };
  for (const Tree& t : trees) {
    SCOPED_TRACE(t.name);
    DriverItems items(t.texts);
    OEMCUIPPARAM param = vex::test::cuiParam(L"VEX UI net", &items);
    if (t.shape == 1) items.memoryItem().pOptType = nullptr;
    if (t.shape == 2) items.memoryItem().pOptType->pOptParam = nullptr;
    if (t.shape == 3) param.pDrvOptItems = nullptr;
    if (t.shape == 4) items.memoryItem().UserItemID = 8;
    Result result = kUntouchedResult;
    EXPECT_EQ(vex::networkDiscovery(&param, nullptr, result.data()), 1) << log_.text();
    EXPECT_EQ(result[3], t.memoryIndex);
    EXPECT_EQ(result[0], 1u) << "the rest of the values are still computed";
  }
}

// ---- page activation (network port, USB port) --------------------------------------------------

TEST_F(OptionDiscovery, PageActivationOnANetworkPort) {
  TestPrinter printer(setupWith(L"VEX UI net", {{L"NetExtDLL", L"vexnetext.dll"}}));
  ASSERT_TRUE(setPort(printer.handle(), L"FILE:"));
  TempFolder folder(L"vex-local-net");
  const struct {
    const char* name;
    std::string answers;
    bool found;
  } cases[] = {
      {"every answer yes", "", true},
      {"IsValidPort no", "IsValidPort=0\r\n", false},
      {"GetNetextCapability no", "GetNetextCapability=0\r\n", false},
      {"ReadPrinterOptionFlag32 must answer exactly 1", "ReadPrinterOptionFlag32=2\r\n", false},
      {"GetDataFileName no", "GetDataFileName=0\r\n", false},
      {"no section", "WriteSection=0\r\n", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedPrinter device(L"vexnetext.ini", L"VEX UI net", folder,
                            "[Answers]\r\nDataFile=net.dat\r\n" + c.answers +
                                "[Options]\r\nInstalled=80\r\nRandom Access Memory=512\r\n"
                                "SD Card=1\r\nPunchType=1\r\nJobLimitationMode=0\r\n");
    DriverItems items(kMemoryTexts);
    OEMCUIPPARAM param = vex::test::cuiParam(L"VEX UI net", &items);
    Result result = kUntouchedResult;
    EXPECT_EQ(vex::localDiscovery(&param, nullptr, result.data()), c.found);
    const Result expected = c.found ? Result{0, 1, 0, 5, 1, 1, 1, 1} : kUntouchedResult;
    EXPECT_EQ(result, expected);
  }
  EXPECT_NE(log_.text().find("ReadPrinterOptionFlag32 00a00000 VEX UI net\r\n"), std::string::npos)
      << log_.text();
}

TEST_F(OptionDiscovery, PageActivationOnAUsbPort) {
  const std::wstring dataName = L"vexusbtest.dat";
  TestPrinter printer(setupWith(L"VEX UI usb", {{L"USBExtDLL", L"vexusbext.dll"},
                                            {L"USBExtDAT", dataName},
                                            {L"NetExtDLL", L"vexnetext.dll"}}));
  const std::wstring ini = vex::test::companionIni(L"vexusbext.ini");
  WritePrivateProfileStringW(L"Settings", L"DataName", dataName.c_str(), ini.c_str());
  TempFolder folder(L"vex-local-usb");
  const struct {
    const char* name;
    const wchar_t* port;
    std::string answers;
    std::string options;
    bool found;
    Result expected;
  } cases[] = {
      {"bit 8 is the SD card, RAM with blanks",
       L"USB001",
       "",
       "Installed=293\r\nRAM=  512\r\nPunchType=3\r\nJobLimitationMode=1\r\n",
       true,
       {0, 0, 3, 5, 0, 0, 1, 0}},
      {"lower-case port",
       L"usb002",
       "",
       "Installed=0\r\nRAM=128\r\n",
       true,
       {1, 1, 0, 2, 0, 0, 0, 1}},
      {"port just USB", L"USB", "", "Installed=0\r\nRAM=128\r\n", true, {1, 1, 0, 2, 0, 0, 0, 1}},
      {"non-numeric RAM",
       L"USB001",
       "",
       "Installed=1\r\nRAM=abc\r\n",
       true,
       {1, 1, 1, 0, 0, 0, 0, 1}},
      {"negative RAM", L"USB001", "", "RAM=-3\r\n", true, {1, 1, 0, 0, 0, 0, 0, 1}},
      {"huge RAM",
       L"USB001",
       "",
       "RAM=999999999999999999999999\r\n",
       true,
       {1, 1, 0, 0, 0, 0, 0, 1}},
      {"ReadPrinterOptionUSB no", L"USB001", "ReadPrinterOptionUSB=0\r\n", "RAM=128\r\n", false,
       kUntouchedResult},
      {"no section", L"USB001", "WriteSection=0\r\n", "RAM=128\r\n", false, kUntouchedResult},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(setPort(printer.handle(), c.port));
    SimulatedPrinter device(L"vexusbext.ini", L"VEX UI usb", folder,
                            "[Answers]\r\n" + c.answers + "[Options]\r\n" + c.options);
    DriverItems items(kMemoryTexts);
    OEMCUIPPARAM param = vex::test::cuiParam(L"VEX UI usb", &items);
    Result result = kUntouchedResult;
    EXPECT_EQ(vex::localDiscovery(&param, nullptr, result.data()), c.found) << log_.text();
    EXPECT_EQ(result, c.expected);
  }
  const std::string calls = log_.text();
  EXPECT_NE(calls.find("ReadPrinterOptionUSB 00000000 VEX UI usb\r\n"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("IsValidPort"), std::string::npos) << "a USB port never asks the network";
  DeleteFileW(appDataFile(dataName.c_str()).c_str());
  WritePrivateProfileStringW(L"Settings", nullptr, nullptr, ini.c_str());
  setPort(printer.handle(), L"FILE:");
}

TEST_F(OptionDiscovery, UsbLibraryMissingOrUnconfigured) {
  TestPrinter wrong(setupWith(L"VEX UI usb wrong",
                              {{L"USBExtDLL", L"vexnetext.dll"}, {L"USBExtDAT", L"vexusbtest.dat"}}));
  TestPrinter noData(
      setupWith(L"VEX UI usb nodat", {{L"USBExtDLL", L"vexusbext.dll"}, {L"USBExtDAT", L""}}));
  TempFolder folder(L"vex-usb-missing");
  SimulatedPrinter d1(L"vexusbext.ini", L"VEX UI usb wrong", folder, "[Options]\r\nRAM=1\r\n");
  SimulatedPrinter d2(L"vexusbext.ini", L"VEX UI usb nodat", folder, "[Options]\r\nRAM=1\r\n");
  for (const auto* printer : {&wrong, &noData}) {
    ASSERT_TRUE(setPort(printer->handle(), L"USB001"));
  }
  for (const wchar_t* name : {L"VEX UI usb wrong", L"VEX UI usb nodat"}) {
    SCOPED_TRACE(vex::test::narrow(name));
    DriverItems items(kMemoryTexts);
    OEMCUIPPARAM param = vex::test::cuiParam(name, &items);
    Result result = kUntouchedResult;
    EXPECT_FALSE(vex::localDiscovery(&param, nullptr, result.data()));
    EXPECT_EQ(result, kUntouchedResult);
  }
  setPort(wrong.handle(), L"FILE:");
  setPort(noData.handle(), L"FILE:");
  DeleteFileW(appDataFile(L"vexusbext.dat").c_str());  // the library's default data file
}

// ---- the push button's state and the set-up's capability ---------------------------------------

TEST_F(OptionDiscovery, NetworkLibraryAnswersAndCapability) {
  TestPrinter net(setupWith(L"VEX UI net", {{L"NetExtDLL", L"vexnetext.dll"}}));
  TestPrinter none(setupWith(L"VEX UI net none", {{L"NetExtDLL", L"vexusbext.dll"}}));
  TempFolder folder(L"vex-net-answers");
  const struct {
    const char* name;
    const wchar_t* printer;
    std::string answers;
    BOOL port;
    bool capability;
  } cases[] = {
      {"both yes", L"VEX UI net", "", TRUE, true},
      {"port no", L"VEX UI net", "IsValidPort=0\r\n", FALSE, true},
      {"capability no", L"VEX UI net", "GetNetextCapability=0\r\n", TRUE, false},
      {"any non-zero answer is yes", L"VEX UI net", "IsValidPort=-4\r\nGetNetextCapability=7\r\n", TRUE,
       true},
      {"entry points missing", L"VEX UI net none", "", FALSE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedPrinter device(L"vexnetext.ini", c.printer, folder, "[Answers]\r\n" + c.answers);
    OEMCUIPPARAM param = vex::test::cuiParam(c.printer, nullptr);
    EXPECT_EQ(vex::networkLibraryAnswers(&param), c.port);
    HANDLE handle = c.printer == std::wstring(L"VEX UI net") ? net.handle() : none.handle();
    EXPECT_EQ(vex::netextCapability(handle, c.printer), c.capability);
  }
  EXPECT_EQ(vex::networkLibraryAnswers(nullptr), FALSE);
  EXPECT_FALSE(vex::netextCapability(nullptr, L"VEX UI net"));
  EXPECT_FALSE(vex::netextCapability(net.handle(), nullptr));
}

TEST_F(OptionDiscovery, PrinterNamesReachTheLibrariesInAtMost221Bytes) {
  const struct {
    std::wstring name;
    std::string expected;
  } cases[] = {
      {L"VEX UI short", "VEX UI short"},
      {std::wstring(221, L'a'), std::string(221, 'a')},
      {std::wstring(222, L'b'), std::string(221, 'b')},
      {std::wstring(400, L'c'), std::string(221, 'c')},
      {L"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::extensionPrinterName(c.name.c_str()), c.expected) << c.name.size();
  }
  EXPECT_EQ(vex::extensionPrinterName(nullptr), "");

  // Through the library: a 220-character printer (the spooler's own limit) is passed whole.
  const std::wstring longName = L"VEX UI long " + std::wstring(208, L'n');
  // A configuration file of a short name of its own: one named after the printer would not fit a
  // path, and such a dependent file is not used.
  vex::PrinterSetup setup;
  setup.printerName = longName;
  setup.driverName = L"VEX UI long PS";
  setup.extraFiles = {
      {L"VXLONG.CAP",
       "[Capability]\r\nVEX UI long PS=VXLONG\r\n[VXLONG]\r\nNetExtDLL=vexnetext.dll\r\n"}};
  setup.dependentFiles = {L"VXLONG.CAP", L"VEXDEMO.INI"};
  TestPrinter printer(setup);
  TempFolder folder(L"vex-net-long");
  SimulatedPrinter device(L"vexnetext.ini", longName, folder,
                          "[Answers]\r\nDataFile=net.dat\r\n[Options]\r\nInstalled=4\r\n");
  OEMCUIPPARAM param = vex::test::cuiParam(longName.c_str(), nullptr);
  Result result = kUntouchedResult;
  EXPECT_EQ(vex::networkDiscovery(&param, nullptr, result.data()), 1);
  EXPECT_EQ(result[2], 3u);
  EXPECT_NE(log_.text().find(vex::test::narrow(longName) + "\r\n"), std::string::npos);
}

}  // namespace
