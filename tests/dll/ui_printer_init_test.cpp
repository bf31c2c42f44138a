// Printer initialisation against the platform's spooler, registry and file system: printer
// data, file security, the default device mode and the "FeatureKeyword" block recorded from the
// option file in the Windows directory.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "feature_keyword.h"
#include "host_files.h"
#include "option_companion_support.h"
#include "printer_init.h"
#include "printer_setup.h"
#include "printer_support.h"
#include "ui_module_state.h"

namespace {

using namespace std::string_literals;
using vex::test::TestPrinter;

constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers\\";

std::optional<DWORD> printerDword(HANDLE printer, const wchar_t* name) {
  DWORD type = 0, value = 0, needed = 0;
  if (GetPrinterDataW(printer, const_cast<wchar_t*>(name), &type, reinterpret_cast<BYTE*>(&value),
                      sizeof(value), &needed) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::wstring> printerString(HANDLE printer, const wchar_t* name, DWORD* typeOut) {
  DWORD type = 0, needed = 0;
  wchar_t text[128] = L"";
  if (GetPrinterDataW(printer, const_cast<wchar_t*>(name), &type, reinterpret_cast<BYTE*>(text),
                      sizeof(text) - sizeof(wchar_t), &needed) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  *typeOut = type;
  return std::wstring(text, wcsnlen(text, needed / sizeof(wchar_t)));
}

// The platform's spooler has no DeletePrinterDataW: the value goes from the printer's key.
void deletePrinterValue(const std::wstring& printer, const wchar_t* value) {
  const std::wstring path = kPrintersKey + printer + L"\\PrinterDriverData";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, value);
    RegCloseKey(key);
  }
}

std::wstring dependentFile(const wchar_t* name) {
  return vex::joinPath(vex::driverDirectory3(), name);
}

// The access mask the DACL of `descriptor` allows everyone (S-1-1-0): ~0 for a null DACL
// (everything), nothing when the descriptor cannot be read.
std::optional<DWORD> everyoneAccess(PSECURITY_DESCRIPTOR descriptor) {
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted)) return std::nullopt;
  if (!present || dacl == nullptr) return ~DWORD{0};
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  DWORD mask = 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) continue;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    if (allowed->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
        EqualSid(const_cast<DWORD*>(&allowed->SidStart), everyone)) {
      mask |= allowed->Mask;
    }
  }
  FreeSid(everyone);
  return mask;
}

// Whether the file's DACL lets everyone (S-1-1-0) write its data; a null DACL lets everyone do
// anything. The platform keeps no descriptor of its own for a file: it composes one from the
// file's permissions (SYSTEM and the owner full access, everyone what the permissions allow)
// and turns a DACL that is set into permissions.
std::optional<bool> everyoneMayWrite(const std::wstring& path) {
  DWORD needed = 0;
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
  if (needed == 0) return std::nullopt;
  std::vector<BYTE> block(needed, 0);
  if (!GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, block.data(), needed, &needed)) {
    return std::nullopt;
  }
  const std::optional<DWORD> mask = everyoneAccess(block.data());
  if (!mask) return std::nullopt;
  return (*mask & (FILE_WRITE_DATA | GENERIC_WRITE | GENERIC_ALL)) != 0;
}

std::optional<bool> privilegeEnabled(const wchar_t* privilege) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::nullopt;
  LUID luid{};
  LookupPrivilegeValueW(nullptr, privilege, &luid);
  DWORD needed = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &needed);
  std::vector<BYTE> block(needed ? needed : 1, 0);
  std::optional<bool> enabled;
  if (GetTokenInformation(token, TokenPrivileges, block.data(), needed, &needed)) {
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(block.data());
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      if (privileges->Privileges[i].Luid.LowPart == luid.LowPart &&
          privileges->Privileges[i].Luid.HighPart == luid.HighPart) {
        enabled = (privileges->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED) != 0;
      }
    }
  }
  CloseHandle(token);
  return enabled;
}

vex::PrinterSetup initSetup(const std::wstring& name,
                            std::vector<std::pair<std::wstring, std::wstring>> overrides = {}) {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(name);
  setup.modelOverrides = std::move(overrides);
  return setup;
}

// ---- printer data ----------------------------------------------------------------------------

TEST(PrinterInit, PrinterDataValues) {
  TestPrinter printer(initSetup(L"VEX UI init"));
  HANDLE h = printer.handle();
  const struct {
    const char* name;
    std::optional<DWORD> protocolBefore;
    const wchar_t* userModeBefore;  // nullptr: absent
    const wchar_t* userModeAfter;
  } cases[] = {
      {"both absent", std::nullopt, nullptr, L""},
      {"protocol 2 becomes 4", 2, nullptr, L""},
      {"protocol 4 stays, a user-mode value is kept", 4, L"keep me", L"keep me"},
      {"an empty user-mode value is kept", 7, L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    deletePrinterValue(L"VEX UI init", L"Protocol");
    deletePrinterValue(L"VEX UI init", L"SPLUserModePrinterDriver");
    if (c.protocolBefore) {
      DWORD value = *c.protocolBefore;
      ASSERT_EQ(SetPrinterDataW(h, const_cast<wchar_t*>(L"Protocol"), REG_DWORD,
                                reinterpret_cast<BYTE*>(&value), sizeof(value)),
                static_cast<DWORD>(ERROR_SUCCESS));
    }
    if (c.userModeBefore) {
      ASSERT_EQ(SetPrinterDataW(h, const_cast<wchar_t*>(L"SPLUserModePrinterDriver"), REG_SZ,
                                reinterpret_cast<BYTE*>(const_cast<wchar_t*>(c.userModeBefore)),
                                static_cast<DWORD>((wcslen(c.userModeBefore) + 1) * 2)),
                static_cast<DWORD>(ERROR_SUCCESS));
    }
    EXPECT_EQ(vex::initialisePrinter(L"VEX UI init"), 0u);
    EXPECT_EQ(printerDword(h, L"Protocol"), std::optional<DWORD>(4));
    DWORD type = 0;
    EXPECT_EQ(printerString(h, L"SPLUserModePrinterDriver", &type),
              std::optional<std::wstring>(c.userModeAfter));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  }
}

TEST(PrinterInit, PrintersThatCannotBeOpenedFail) {
  EXPECT_EQ(vex::initialisePrinter(nullptr), 1u);
  EXPECT_EQ(vex::initialisePrinter(L"VEX UI no such printer"), 1u);
  EXPECT_EQ(vex::initialisePrinter(L""), 1u);
}

// ---- file security ---------------------------------------------------------------------------

TEST(PrinterInit, DriverFilesAreOpenedToEveryone) {
  vex::PrinterSetup setup = initSetup(L"VEX UI init ccm", {{L"CCMInfoFile", L"VXCCM.DAT"}});
  setup.extraFiles = {{L"VXCCM.DAT", "colour matching"}};
  setup.dependentFiles = {L"VEXDEMO.CAP", L"VEXDEMO.INI", L"VEXDEMO.VER", L"VXCCM.DAT"};
  TestPrinter printer(setup);
  const std::wstring ini = dependentFile(L"VEXDEMO.INI");
  const std::wstring ppd = dependentFile(L"VEXDEMO.PPD");
  const std::wstring ccm = dependentFile(L"VXCCM.DAT");
  // Read-only files: nobody may write them.
  for (const std::wstring& file : {ini, ppd, ccm}) {
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(everyoneMayWrite(file), std::optional<bool>(false)) << vex::test::narrow(file);
  }

  EXPECT_EQ(vex::initialisePrinter(L"VEX UI init ccm"), 0u);
  for (const std::wstring& file : {ini, ppd, ccm}) {
    EXPECT_EQ(everyoneMayWrite(file), std::optional<bool>(true)) << vex::test::narrow(file);
  }
  EXPECT_FALSE(GetFileAttributesW(ini.c_str()) & FILE_ATTRIBUTE_READONLY);
}

// Libraries and programs, and the files no user may change, stay as they are whatever
// "CCMInfoFile" names: by name, by content, in another letter case.
TEST(PrinterInit, OnlyDataFilesAreOpenedToEveryone) {
  const std::wstring name = L"VEX UI init refuse";
  const std::string image = "MZ\x90\x00 a program under a data file's name";
  const struct {
    const char* why;
    std::wstring ccm;
  } cases[] = {
      {"the rendering plug-in", L"vexps.dll"},
      {"a library by its name", L"VXCCM.DLL"},
      {"a library by its name, trailing dot", L"VXCCM.DLL."},
      {"a program by its content", L"VXCCMIMG.DAT"},
      {"the configuration file", name + L".cap"},
      {"the version file", L"VEXDEMO.VER"},
      {"the version file in another case", L"vexdemo.ver"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    vex::PrinterSetup setup = initSetup(name, {{L"CCMInfoFile", c.ccm}});
    setup.extraFiles = {{L"VXCCM.DLL", "colour matching"}, {L"VXCCMIMG.DAT", image}};
    setup.dependentFiles = {L"VEXDEMO.CAP", L"VEXDEMO.INI", L"VEXDEMO.VER", L"VXCCM.DLL",
                            L"VXCCMIMG.DAT"};
    TestPrinter printer(setup);
    std::wstring target = dependentFile(c.ccm.c_str());
    while (target.back() == L'.') target.pop_back();
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY))
        << vex::test::narrow(target);
    EXPECT_EQ(vex::initialisePrinter(name.c_str()), 0u);
    EXPECT_EQ(everyoneMayWrite(target), std::optional<bool>(false)) << vex::test::narrow(target);
    // The plug-in INI file beside them is still opened: users save overlays and watermarks there.
    EXPECT_EQ(everyoneMayWrite(dependentFile(L"VEXDEMO.INI")), std::optional<bool>(true));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST(PrinterInit, OpenFileSecurityDirectly) {
  vex::test::TempFolder folder(L"vex-security");
  const std::wstring file = folder.file(L"file.txt");
  vex::test::writeTextFile(file, "x");
  vex::SharedFileSecurity security;
  ASSERT_TRUE(security.ok());
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(everyoneMayWrite(file), std::optional<bool>(false));
  EXPECT_TRUE(vex::openFileSecurity(file.c_str(), security));
  EXPECT_EQ(everyoneMayWrite(file), std::optional<bool>(true));
  // Everyone reads and writes the data; a null DACL would also hand out deleting the file and
  // changing its permissions and owner.
  const std::optional<DWORD> granted = everyoneAccess(security.descriptor());
  ASSERT_TRUE(granted.has_value());
  EXPECT_EQ(*granted & (FILE_GENERIC_READ | FILE_GENERIC_WRITE),
            DWORD{FILE_GENERIC_READ | FILE_GENERIC_WRITE});
  EXPECT_EQ(*granted & (WRITE_DAC | WRITE_OWNER | DELETE | GENERIC_ALL), 0u)
      << std::hex << *granted;
  EXPECT_FALSE(vex::openFileSecurity(folder.file(L"missing.txt").c_str(), security));
  EXPECT_FALSE(vex::openFileSecurity(nullptr, security));
  EXPECT_FALSE(vex::openFileSecurity(L"", security));
}

TEST(PrinterInit, TakeOwnershipPrivilegeChangesOnlyThatPrivilege) {
  const std::optional<bool> changeNotify = privilegeEnabled(SE_CHANGE_NOTIFY_NAME);
  const std::optional<bool> before = privilegeEnabled(SE_TAKE_OWNERSHIP_NAME);
  ASSERT_TRUE(before.has_value()) << "the process token lacks SeTakeOwnershipPrivilege";
  EXPECT_TRUE(vex::takeOwnershipPrivilege(true));
  EXPECT_EQ(privilegeEnabled(SE_TAKE_OWNERSHIP_NAME), std::optional<bool>(true));
  EXPECT_TRUE(vex::takeOwnershipPrivilege(false));
  EXPECT_EQ(privilegeEnabled(SE_TAKE_OWNERSHIP_NAME), std::optional<bool>(false));
  // Disabling gives back only what was enabled: the process's other privileges stay as they were.
  EXPECT_EQ(privilegeEnabled(SE_CHANGE_NOTIFY_NAME), changeNotify);
  if (*before) vex::takeOwnershipPrivilege(true);
}

// ---- the default device mode ----------------------------------------------------------------

std::vector<BYTE> level2Devmode(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> block(needed, 0);
  if (needed == 0 || !GetPrinterW(printer, 2, block.data(), needed, &needed)) return {};
  const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_2W*>(block.data())->pDevMode;
  if (dm == nullptr) return {};
  const BYTE* bytes = reinterpret_cast<const BYTE*>(dm);
  return std::vector<BYTE>(bytes, bytes + dm->dmSize + dm->dmDriverExtra);
}

TEST(PrinterInit, DefaultDevmodeTakesPaperSizeAndOutputOption) {
  const struct {
    const wchar_t* printer;
    const wchar_t* outputOption;
    const wchar_t* paperSize;
    bool outputSet;  // when the device mode has a private part that reaches the byte
    bool paperSet;
    short paper;  // expected dmPaperSize when set
  } cases[] = {
      {L"VEX UI devmode a", L"2", L"11", true, true, 11},
      {L"VEX UI devmode b", L"7", L"0", false, false, 0},
      {L"VEX UI devmode c", L"-1", L"-5", false, false, 0},
      {L"VEX UI devmode d", L"abc", L"70000", false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.printer));
    TestPrinter printer(initSetup(
        c.printer, {{L"PSOutputOpt", c.outputOption}, {L"DEFAULT_PAPER_SIZE", c.paperSize}}));
    const std::vector<BYTE> before = level2Devmode(printer.handle());
    vex::DevmodeUpdateReport report;
    const bool stored = vex::updateDefaultDevmode(c.printer, &report);
    std::cout << "[ platform ] device mode from source " << static_cast<int>(report.source)
              << " (1 level 8, 2 level 2, 3 driver default), stored by "
              << static_cast<int>(report.store) << " (1 level 8, 2 level 2, 3 refused); "
              << "RevertToPrinterSelf " << (report.revertedToSelf ? "answered" : "absent")
              << ", client restored " << report.clientRestored << "; size " << before.size()
              << " bytes\n";
    ASSERT_NE(report.source, vex::DevmodeSource::None) << "no device mode at all";
    EXPECT_TRUE(stored);
    // The platform takes the per-printer default with level 8. Level 2 is the fall-back for a
    // spooler that refuses level 8; this one never does, so that path is not run here.
    EXPECT_EQ(report.store, vex::DevmodeStore::Level8);
    EXPECT_EQ(report.paperSizeSet, c.paperSet);
    EXPECT_EQ(report.outputOptionSet, c.outputSet && before.size() > vex::kOutputOptionOffset);
    const std::vector<BYTE> after = level2Devmode(printer.handle());
    ASSERT_GE(after.size(), offsetof(DEVMODEW, dmPaperSize) + sizeof(short));
    ASSERT_GE(before.size(), offsetof(DEVMODEW, dmPaperSize) + sizeof(short));
    const auto* dm = reinterpret_cast<const DEVMODEW*>(after.data());
    const auto* old = reinterpret_cast<const DEVMODEW*>(before.data());
    EXPECT_EQ(dm->dmPaperSize, c.paperSet ? c.paper : old->dmPaperSize);
    if (report.outputOptionSet) {
      EXPECT_EQ(after[vex::kOutputOptionOffset], 2);
    }
    if (report.revertedToSelf) {
      EXPECT_TRUE(report.clientRestored);
    }
  }
  vex::DevmodeUpdateReport report;
  EXPECT_FALSE(vex::updateDefaultDevmode(L"VEX UI no such printer", &report));
  EXPECT_EQ(report.store, vex::DevmodeStore::None);
  EXPECT_FALSE(vex::updateDefaultDevmode(nullptr));
}

// ---- the option file and the "FeatureKeyword" block ------------------------------------------

class RecordOptionFile : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    optionFile_ = std::wstring(windows) + L"\\vexopt.dat";
    DeleteFileW(optionFile_.c_str());
    vex::UiModuleState& state = vex::uiModuleState();
    savedProbe_ = state.versionProbeDone;
    savedVersion6_ = state.isOsVersion6OrLater;
    state.versionProbeDone = true;
    state.isOsVersion6OrLater = false;
  }
  void TearDown() override {
    DeleteFileW(optionFile_.c_str());
    vex::uiModuleState().versionProbeDone = savedProbe_;
    vex::uiModuleState().isOsVersion6OrLater = savedVersion6_;
  }

  void writeOptions(const std::wstring& printer, const std::string& keys) {
    vex::test::writeTextFile(optionFile_, "[" + vex::toAnsi(printer) + "]\r\n" + keys);
  }

  static std::wstring keyPath(const std::wstring& printer) {
    return kPrintersKey + printer + L"\\PrinterDriverData";
  }

  // Sets the block and its size (`sizeType` 0: no size value).
  static void setBlock(const std::wstring& printer, const std::string& block, DWORD size,
                       DWORD sizeType = REG_DWORD) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath(printer).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegDeleteValueW(key, L"FeatureKeyword");
    RegDeleteValueW(key, L"FeatureKeywordSize");
    RegSetValueExW(key, L"FeatureKeyword", 0, REG_BINARY,
                   reinterpret_cast<const BYTE*>(block.data()), static_cast<DWORD>(block.size()));
    if (sizeType != 0) {
      RegSetValueExW(key, L"FeatureKeywordSize", 0, sizeType, reinterpret_cast<const BYTE*>(&size),
                     sizeof(size));
    }
    RegCloseKey(key);
  }

  struct Stored {
    std::string block;
    DWORD size = 0;
    DWORD sizeType = 0;
  };
  static Stored stored(const std::wstring& printer) {
    Stored s;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath(printer).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return s;
    }
    BYTE data[1024] = {};
    DWORD bytes = sizeof(data), type = 0;
    if (RegQueryValueExW(key, L"FeatureKeyword", nullptr, &type, data, &bytes) == ERROR_SUCCESS) {
      s.block.assign(reinterpret_cast<char*>(data), bytes);
    }
    bytes = sizeof(s.size);
    RegQueryValueExW(key, L"FeatureKeywordSize", nullptr, &s.sizeType,
                     reinterpret_cast<BYTE*>(&s.size), &bytes);
    RegCloseKey(key);
    return s;
  }

  std::wstring optionFile_;
  bool savedProbe_ = false;
  bool savedVersion6_ = false;
};

const std::string kBlock =
    "VXOptionMPF\0False\0\nVXOptionDuplex\0False\0\nVXFinisher\0False\0\n"s
    "VXPunchUnit\0None\0\nVXJobLimit\0False\0\nVXOptionTray\0"
    "1\0\n"s
    "VXHDD\0False\0\nInstalledMemory\0"
    "128MB\0\n\0\0"s;

TEST_F(RecordOptionFile, RecordsTheOptionFileIntoTheBlock) {
  TestPrinter printer(initSetup(L"VEX UI record"));
  const struct {
    const char* name;
    std::string options;
    std::string block;
    DWORD sizeType;
    vex::OptionFileRecord outcome;
    std::string expected;
  } cases[] = {
      {"every keyword",
       "Installed=127\r\nRandom Access Memory=512\r\nSD Card=1\r\nPunchType=3\r\n"
       "JobLimitationMode=1\r\n",
       kBlock, REG_DWORD, vex::OptionFileRecord::Written,
       "VXOptionMPF\0True\0\nVXOptionDuplex\0True\0\nVXFinisher\0True\0\n"s
       "VXPunchUnit\0Type3\0\nVXJobLimit\0True\0\nVXOptionTray\0"
       "4\0\n"s
       "VXHDD\0True\0\nInstalledMemory\0"
       "512MB\0\n\0\0"s},
      {"memory 0 leaves InstalledMemory untouched", "Installed=37\r\n", kBlock, REG_DWORD,
       vex::OptionFileRecord::Written,
       "VXOptionMPF\0False\0\nVXOptionDuplex\0True\0\nVXFinisher\0False\0\n"s
       "VXPunchUnit\0None\0\nVXJobLimit\0False\0\nVXOptionTray\0"
       "3\0\n"s
       "VXHDD\0False\0\nInstalledMemory\0"
       "128MB\0\n\0\0"s},
      {"size value of another type is kept", "Installed=1\r\n",
       "VXOptionTray\0"
       "4\0\n\0\0"s,
       REG_BINARY, vex::OptionFileRecord::Written,
       "VXOptionTray\0"
       "1\0\n\0\0"s},
      {"no size value: the data's own size", "Installed=1\r\n",
       "VXOptionTray\0"
       "4\0\n\0\0"s,
       0, vex::OptionFileRecord::Written,
       "VXOptionTray\0"
       "1\0\n\0\0"s},
      {"nothing to change", "Installed=0\r\n", "Other\0x\0\n\0\0"s, REG_DWORD,
       vex::OptionFileRecord::Unchanged, "Other\0x\0\n\0\0"s},
      {"growth beyond 256 bytes leaves the registry unchanged",
       "Installed=0\r\nRandom Access Memory=2147483647\r\n",
       "InstalledMemory\0"
       "1MB\0\n"s +
           std::string(230, 'x') + "\0\0"s,
       REG_DWORD, vex::OptionFileRecord::Refused,
       "InstalledMemory\0"
       "1MB\0\n"s +
           std::string(230, 'x') + "\0\0"s},
      {"a block over 256 bytes is not read", "Installed=1\r\n",
       "VXOptionTray\0"
       "4\0\n"s +
           std::string(300, 'y') + "\0\0"s,
       REG_DWORD, vex::OptionFileRecord::NoBlock,
       "VXOptionTray\0"
       "4\0\n"s +
           std::string(300, 'y') + "\0\0"s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeOptions(L"VEX UI record", c.options);
    setBlock(L"VEX UI record", c.block, static_cast<DWORD>(c.block.size()), c.sizeType);
    EXPECT_EQ(vex::recordOptionFileReport(printer.handle()), c.outcome);
    const Stored after = stored(L"VEX UI record");
    EXPECT_EQ(after.block, c.expected);
    if (c.sizeType != 0 || c.outcome == vex::OptionFileRecord::Written) {
      EXPECT_EQ(after.size,
                c.outcome == vex::OptionFileRecord::Written ? c.expected.size() : c.block.size());
      EXPECT_EQ(after.sizeType, c.sizeType != 0 ? c.sizeType : static_cast<DWORD>(REG_DWORD));
    }
  }
}

TEST_F(RecordOptionFile, StatedSizeAndMissingPieces) {
  TestPrinter printer(initSetup(L"VEX UI record"));
  writeOptions(L"VEX UI record", "Installed=16\r\n");
  // A stated size smaller than the data: what lies beyond it is not part of the block.
  setBlock(L"VEX UI record", kBlock, 19);
  EXPECT_EQ(vex::recordOptionFileReport(printer.handle()), vex::OptionFileRecord::Written);
  EXPECT_EQ(stored(L"VEX UI record").block, "VXOptionMPF\0True\0\n\0\0"s);
  // A stated size larger than the data counts as the data.
  setBlock(L"VEX UI record", "VXHDD\0True\0\n\0\0"s, 5000);
  EXPECT_EQ(vex::recordOptionFileReport(printer.handle()), vex::OptionFileRecord::Written);
  EXPECT_EQ(stored(L"VEX UI record").block, "VXHDD\0False\0\n\0\0"s);
  EXPECT_EQ(stored(L"VEX UI record").size, 15u);

  // No block at all.
  HKEY key = nullptr;
  ASSERT_EQ(
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath(L"VEX UI record").c_str(), 0, KEY_ALL_ACCESS, &key),
      ERROR_SUCCESS);
  RegDeleteValueW(key, L"FeatureKeyword");
  RegCloseKey(key);
  EXPECT_EQ(vex::recordOptionFileReport(printer.handle()), vex::OptionFileRecord::NoBlock);
  // No option file.
  DeleteFileW(optionFile_.c_str());
  setBlock(L"VEX UI record", kBlock, static_cast<DWORD>(kBlock.size()));
  EXPECT_EQ(vex::recordOptionFileReport(printer.handle()), vex::OptionFileRecord::NoOptionFile);
  EXPECT_EQ(stored(L"VEX UI record").block, kBlock);
  EXPECT_EQ(vex::recordOptionFileReport(nullptr), vex::OptionFileRecord::NoPrinterName);
}

TEST_F(RecordOptionFile, InitialisationRecordsAndVersion6ClearsJobLimit) {
  TestPrinter printer(initSetup(L"VEX UI record"));
  writeOptions(L"VEX UI record", "Installed=0\r\nJobLimitationMode=1\r\n");
  for (bool version6 : {false, true}) {
    vex::uiModuleState().isOsVersion6OrLater = version6;
    setBlock(L"VEX UI record", "VXJobLimit\0?\0\n\0\0"s, 15);
    EXPECT_EQ(vex::initialisePrinter(L"VEX UI record"), 0u);
    EXPECT_EQ(stored(L"VEX UI record").block,
              version6 ? "VXJobLimit\0False\0\n\0\0"s : "VXJobLimit\0True\0\n\0\0"s);
  }
}

TEST_F(RecordOptionFile, LongPrinterNames) {
  // The spooler's set-up takes names up to 220 characters; the block is recorded for them too.
  const std::wstring longName = L"VEX UI long init " + std::wstring(203, L'i');
  vex::PrinterSetup setup = initSetup(longName);
  setup.driverName = L"VEX UI long init PS";
  TestPrinter printer(setup);
  writeOptions(longName, "Installed=8\r\n");
  setBlock(longName,
           "VXOptionTray\0"
           "0\0\n\0\0"s,
           18);
  EXPECT_EQ(vex::initialisePrinter(longName.c_str()), 0u);
  EXPECT_EQ(stored(longName).block,
            "VXOptionTray\0"
            "4\0\n\0\0"s);

  // Longer names, as far as the platform lets a printer have one.
  const std::wstring longer = L"VEX UI longer " + std::wstring(240, L'l');
  PRINTER_INFO_2W info{};
  info.pPrinterName = const_cast<wchar_t*>(longer.c_str());
  info.pPortName = const_cast<wchar_t*>(L"FILE:");
  info.pDriverName = const_cast<wchar_t*>(L"VEX UI long init PS");
  info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
  info.pDatatype = const_cast<wchar_t*>(L"RAW");
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (added == nullptr) {
    std::cout << "[ platform ] a 250-character printer name is refused (error " << GetLastError()
              << "); initialisation then fails as for any printer it cannot open\n";
    EXPECT_EQ(vex::initialisePrinter(longer.c_str()), 1u);
    return;
  }
  ClosePrinter(added);
  std::cout << "[ platform ] a 250-character printer name is accepted\n";
  EXPECT_EQ(vex::initialisePrinter(longer.c_str()), 0u);
  std::wstring error;
  EXPECT_TRUE(vex::removePrinter(longer, &error)) << vex::test::narrow(error);
}

}  // namespace
