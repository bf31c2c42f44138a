#include "printer_init.h"

#include <winspool.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "config_files.h"
#include "feature_keyword.h"
#include "opened_printer.h"
#include "option_discovery_rules.h"
#include "shared_driver_files.h"
#include "text_convert.h"
#include "ui_module_state.h"

namespace vex {
namespace {

constexpr DWORD kProtocolValue = 4;
constexpr UINT kUserModeDriverString = 30000;
constexpr DWORD kMaxInfoBytes = 1u << 20;
constexpr wchar_t kPrintersKey[] = L"System\\CurrentControlSet\\Control\\Print\\Printers\\";

// The printer's information at `level`, bounded; empty when it cannot be read.
std::vector<BYTE> printerInfo(HANDLE printer, DWORD level) {
  DWORD needed = 0;
  GetPrinterW(printer, level, nullptr, 0, &needed);
  if (needed == 0 || needed > kMaxInfoBytes) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterW(printer, level, block.data(), needed, &needed)) return {};
  return block;
}

std::size_t bytesInBlock(const std::vector<BYTE>& block, const void* p) {
  const BYTE* b = static_cast<const BYTE*>(p);
  if (b == nullptr || b < block.data() || b >= block.data() + block.size()) return 0;
  return static_cast<std::size_t>(block.data() + block.size() - b);
}

// A device mode that lies whole within `available` bytes, copied out; empty otherwise.
std::vector<BYTE> copyDevmode(const DEVMODEW* devmode, std::size_t available) {
  constexpr std::size_t kMinimum = offsetof(DEVMODEW, dmPaperSize) + sizeof(short);
  if (devmode == nullptr || available < kMinimum) return {};
  const std::size_t size = std::size_t{devmode->dmSize} + devmode->dmDriverExtra;
  if (devmode->dmSize < kMinimum || size > available) return {};
  const BYTE* bytes = reinterpret_cast<const BYTE*>(devmode);
  return std::vector<BYTE>(bytes, bytes + size);
}

std::vector<BYTE> devmodeAtLevel(HANDLE printer, DWORD level) {
  const std::vector<BYTE> block = printerInfo(printer, level);
  const DEVMODEW* devmode = nullptr;
  if (level == 8 && block.size() >= sizeof(PRINTER_INFO_8W)) {
    devmode = reinterpret_cast<const PRINTER_INFO_8W*>(block.data())->pDevMode;
  } else if (level == 2 && block.size() >= sizeof(PRINTER_INFO_2W)) {
    devmode = reinterpret_cast<const PRINTER_INFO_2W*>(block.data())->pDevMode;
  }
  return copyDevmode(devmode, bytesInBlock(block, devmode));
}

std::vector<BYTE> driverDefaultDevmode(HANDLE printer, const wchar_t* name) {
  const LONG size =
      DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name), nullptr, nullptr, 0);
  if (size <= 0 || static_cast<DWORD>(size) > kMaxInfoBytes) return {};
  std::vector<BYTE> buffer(static_cast<std::size_t>(size), 0);
  auto* devmode = reinterpret_cast<DEVMODEW*>(buffer.data());
  if (DocumentPropertiesW(nullptr, printer, const_cast<wchar_t*>(name), devmode, nullptr,
                          DM_OUT_BUFFER) != IDOK) {
    return {};
  }
  return copyDevmode(devmode, buffer.size());
}

// An integer of the model section; `fallback` when absent or not a number.
int modelInteger(HANDLE printer, const wchar_t* key, int fallback) {
  const std::wstring text = readModelString(printer, key);
  return readSignedDecimal(toU16(text)).value_or(fallback);
}

bool storeDefaultDevmode(const wchar_t* name, DevmodeUpdateReport* report) {
  const OpenedPrinter printer(name);
  if (!printer) return false;
  wchar_t iniPath[kPathChars] = L"";
  findDriverFiles(printer.get(), iniPath);  // the model section is this printer's

  std::vector<BYTE> devmode = devmodeAtLevel(printer.get(), 8);
  report->source = DevmodeSource::Level8;
  if (devmode.empty()) {
    devmode = devmodeAtLevel(printer.get(), 2);
    report->source = DevmodeSource::Level2;
  }
  if (devmode.empty()) {
    devmode = driverDefaultDevmode(printer.get(), name);
    report->source = DevmodeSource::DriverDefault;
  }
  if (devmode.empty()) {
    report->source = DevmodeSource::None;
    return false;
  }
  auto* dm = reinterpret_cast<DEVMODEW*>(devmode.data());

  const int outputOption = modelInteger(printer.get(), L"PSOutputOpt", -1);
  if (outputOption >= 0 && outputOption <= 3 && dm->dmSize <= kOutputOptionOffset &&
      kOutputOptionOffset < devmode.size()) {
    devmode[kOutputOptionOffset] = static_cast<BYTE>(outputOption);
    report->outputOptionSet = true;
  }
  // Paper sizes are positive short numbers; other values would wrap into another paper.
  const int paperSize = modelInteger(printer.get(), L"DEFAULT_PAPER_SIZE", 0);
  if (paperSize > 0 && paperSize <= 0x7FFF) {
    dm->dmPaperSize = static_cast<short>(paperSize);
    dm->dmFields |= DM_PAPERSIZE;
    report->paperSizeSet = true;
  }

  PRINTER_INFO_8W info8{dm};
  if (SetPrinterW(printer.get(), 8, reinterpret_cast<BYTE*>(&info8), 0)) {
    report->store = DevmodeStore::Level8;
    return true;
  }
  // The same device mode through level 2, which holds the printer's global default too.
  std::vector<BYTE> info2 = printerInfo(printer.get(), 2);
  if (info2.size() >= sizeof(PRINTER_INFO_2W)) {
    auto* p2 = reinterpret_cast<PRINTER_INFO_2W*>(info2.data());
    p2->pDevMode = dm;
    p2->pSecurityDescriptor = nullptr;  // leaves the printer's security alone
    if (SetPrinterW(printer.get(), 2, info2.data(), 0)) {
      report->store = DevmodeStore::Level2;
      return true;
    }
  }
  report->store = DevmodeStore::Failed;
  return false;
}

// The printer's name from its level-1 information; empty when it cannot be read.
std::wstring printerName(HANDLE printer) {
  const std::vector<BYTE> block = printerInfo(printer, 1);
  if (block.size() < sizeof(PRINTER_INFO_1W)) return {};
  const wchar_t* name = reinterpret_cast<const PRINTER_INFO_1W*>(block.data())->pName;
  return boundedWide(name, bytesInBlock(block, name) / sizeof(wchar_t));
}

std::wstring optionFilePath() {
  wchar_t windows[MAX_PATH] = L"";
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(windows, length) + L"\\vexopt.dat";
}

bool readableFile(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

DWORD initialisePrinter(const wchar_t* printerName) {
  // A printer that cannot be opened is a failure: nothing of it was prepared.
  const OpenedPrinter printer(printerName);
  if (!printer) return 1;

  DWORD type = 0;
  DWORD protocol = 0;
  DWORD needed = 0;
  if (GetPrinterDataW(printer.get(), const_cast<wchar_t*>(L"Protocol"), &type,
                      reinterpret_cast<BYTE*>(&protocol), sizeof(protocol),
                      &needed) != ERROR_SUCCESS ||
      type != REG_DWORD || needed != sizeof(protocol) || protocol != kProtocolValue) {
    DWORD value = kProtocolValue;
    if (SetPrinterDataW(printer.get(), const_cast<wchar_t*>(L"Protocol"), REG_DWORD,
                        reinterpret_cast<BYTE*>(&value), sizeof(value)) != ERROR_SUCCESS) {
      return 1;
    }
  }

  needed = 0;
  const DWORD query = GetPrinterDataW(
      printer.get(), const_cast<wchar_t*>(L"SPLUserModePrinterDriver"), &type, nullptr, 0, &needed);
  if (query != ERROR_SUCCESS && !(query == ERROR_MORE_DATA && needed != 0)) {
    wchar_t text[256] = L"";
    if (LoadStringW(uiModuleState().moduleInstance, kUserModeDriverString, text, 256) <= 0) {
      text[0] = L'\0';
    }
    const DWORD bytes = static_cast<DWORD>((wcsnlen(text, 255) + 1) * sizeof(wchar_t));
    if (SetPrinterDataW(printer.get(), const_cast<wchar_t*>(L"SPLUserModePrinterDriver"), REG_SZ,
                        reinterpret_cast<BYTE*>(text), bytes) != ERROR_SUCCESS) {
      return 1;
    }
  }

  wchar_t iniPath[kPathChars] = L"";
  if (findDriverFiles(printer.get(), iniPath)) {
    // Only data files are opened to every user: never a library or program (whatever a
    // configuration value names), nor the configuration or version file.
    SharedFileSecurity security;
    const std::wstring ini = boundedWide(iniPath, kPathChars);
    if (!ini.empty() && mayOpenToEveryone(printer.get(), ini)) {
      openFileSecurity(ini.c_str(), security);
      const DWORD attributes = GetFileAttributesW(ini.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(ini.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
      }
    }
    const std::wstring ppd = ini.empty() ? std::wstring() : ppdBesidePluginIni(ini);
    if (mayOpenToEveryone(printer.get(), ppd)) openFileSecurity(ppd.c_str(), security);
    const std::wstring ccm = ccmInfoFilePath(printer.get());
    if (mayOpenToEveryone(printer.get(), ccm)) openFileSecurity(ccm.c_str(), security);
    updateDefaultDevmode(printerName);
  }

  recordOptionFile(printer.get());
  return 0;
}

bool updateDefaultDevmode(const wchar_t* printerName, DevmodeUpdateReport* report) {
  DevmodeUpdateReport local;
  if (report == nullptr) report = &local;
  *report = DevmodeUpdateReport{};
  if (printerName == nullptr) return false;

  // Inside the spooler's event the printer calls run as the spooler itself.
  using RevertFn = HANDLE(WINAPI*)();
  using ImpersonateFn = BOOL(WINAPI*)(HANDLE);
  const HMODULE spoolss = LoadLibraryW(L"spoolss.dll");
  HANDLE token = nullptr;
  ImpersonateFn impersonate = nullptr;
  if (spoolss != nullptr) {
    const auto revert = reinterpret_cast<RevertFn>(
        reinterpret_cast<void*>(GetProcAddress(spoolss, "RevertToPrinterSelf")));
    impersonate = reinterpret_cast<ImpersonateFn>(
        reinterpret_cast<void*>(GetProcAddress(spoolss, "ImpersonatePrinterClient")));
    if (revert != nullptr) token = revert();
    report->revertedToSelf = token != nullptr;
  }

  const bool stored = storeDefaultDevmode(printerName, report);

  // The token goes back to the client, which also closes it.
  if (token != nullptr && impersonate != nullptr) {
    report->clientRestored = impersonate(token) != FALSE;
  } else if (token != nullptr) {
    report->clientRestored = SetThreadToken(nullptr, token) != FALSE;
    CloseHandle(token);
  }
  if (spoolss != nullptr) FreeLibrary(spoolss);
  return stored;
}

void recordOptionFile(HANDLE printer) { recordOptionFileReport(printer); }

OptionFileRecord recordOptionFileReport(HANDLE printer) {
  const std::wstring name = printer != nullptr ? printerName(printer) : std::wstring();
  if (name.empty()) return OptionFileRecord::NoPrinterName;
  const std::wstring optionFile = optionFilePath();
  if (optionFile.empty() || !readableFile(optionFile)) return OptionFileRecord::NoOptionFile;

  auto integer = [&](const wchar_t* key) {
    return static_cast<std::int32_t>(
        GetPrivateProfileIntW(name.c_str(), key, 0, optionFile.c_str()));
  };
  OptionDataValues values;
  values.installed = integer(L"Installed");
  values.memory = integer(L"Random Access Memory");
  values.sdCard = integer(L"SD Card");
  values.punchType = integer(L"PunchType");
  values.jobLimitationMode = integer(L"JobLimitationMode");

  RegistryKey key;
  const std::wstring path = kPrintersKey + name + L"\\PrinterDriverData";
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, key.out()) !=
      ERROR_SUCCESS) {
    return OptionFileRecord::NoRegistryKey;
  }
  FeatureKeywordBlock block{};
  DWORD blockType = 0;
  DWORD blockBytes = static_cast<DWORD>(block.size());
  if (RegQueryValueExW(key.get(), L"FeatureKeyword", nullptr, &blockType, block.data(),
                       &blockBytes) != ERROR_SUCCESS ||
      blockBytes > block.size()) {
    return OptionFileRecord::NoBlock;
  }
  // The stated size counts only as far as the data goes; a size value that is not a 4-byte
  // number is replaced by the data's own size.
  DWORD sizeType = REG_DWORD;
  DWORD stated = 0;
  DWORD sizeBytes = sizeof(stated);
  if (RegQueryValueExW(key.get(), L"FeatureKeywordSize", nullptr, &sizeType,
                       reinterpret_cast<BYTE*>(&stated), &sizeBytes) != ERROR_SUCCESS ||
      sizeBytes != sizeof(stated) || (sizeType != REG_DWORD && sizeType != REG_BINARY)) {
    sizeType = REG_DWORD;
    stated = blockBytes;
  }
  std::size_t length = std::min<std::size_t>(stated, blockBytes);

  bool changed = false;
  for (const auto& [keyword, text] : optionFileKeywords(values, isOsVersion6OrLater())) {
    const KeywordEditResult edit = setFeatureKeyword(block, length, keyword, text);
    if (edit.outcome == KeywordEdit::Refused) return OptionFileRecord::Refused;
    if (edit.outcome == KeywordEdit::Replaced) {
      length = edit.length;
      changed = true;
    }
  }
  if (!changed) return OptionFileRecord::Unchanged;

  DWORD newSize = static_cast<DWORD>(length);
  if (RegSetValueExW(key.get(), L"FeatureKeywordSize", 0, sizeType,
                     reinterpret_cast<const BYTE*>(&newSize), sizeof(newSize)) != ERROR_SUCCESS ||
      RegSetValueExW(key.get(), L"FeatureKeyword", 0, REG_BINARY, block.data(), newSize) !=
          ERROR_SUCCESS) {
    return OptionFileRecord::WriteFailed;
  }
  return OptionFileRecord::Written;
}

SharedFileSecurity::SharedFileSecurity() {
  DWORD size = sizeof everyone_;
  if (!CreateWellKnownSid(WinWorldSid, nullptr, everyone_, &size)) return;
  size = sizeof administrators_;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators_, &size)) return;
  size = sizeof system_;
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system_, &size)) return;
  auto* acl = reinterpret_cast<PACL>(acl_);
  ok_ = InitializeAcl(acl, sizeof acl_, ACL_REVISION) &&
        AddAccessAllowedAce(acl, ACL_REVISION, kEveryoneAccess, everyone_) &&
        AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, administrators_) &&
        AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, system_) &&
        InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
}

bool openFileSecurity(const wchar_t* path, SharedFileSecurity& security) {
  if (path == nullptr || path[0] == L'\0' || !security.ok()) return false;
  if (SetFileSecurityW(path, DACL_SECURITY_INFORMATION, security.descriptor())) return true;

  // Refused: the local Administrators group takes the file over first.
  SECURITY_DESCRIPTOR owner{};
  if (!InitializeSecurityDescriptor(&owner, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorOwner(&owner, security.administrators(), FALSE)) {
    return false;
  }
  bool privileged = false;
  if (!SetFileSecurityW(path, OWNER_SECURITY_INFORMATION, &owner)) {
    privileged = takeOwnershipPrivilege(true);
    SetFileSecurityW(path, OWNER_SECURITY_INFORMATION, &owner);
  }
  const bool opened =
      SetFileSecurityW(path, DACL_SECURITY_INFORMATION, security.descriptor()) != FALSE;
  if (privileged) takeOwnershipPrivilege(false);
  return opened;
}

bool takeOwnershipPrivilege(bool enable) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return false;
  }
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  bool adjusted = false;
  if (LookupPrivilegeValueW(nullptr, SE_TAKE_OWNERSHIP_NAME, &privileges.Privileges[0].Luid)) {
    // Only this privilege changes: the process keeps every other privilege as it was.
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    SetLastError(ERROR_SUCCESS);
    adjusted = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof(privileges), nullptr,
                                     nullptr) != FALSE &&
               GetLastError() == ERROR_SUCCESS;
  }
  CloseHandle(token);
  return adjusted;
}

}  // namespace vex
