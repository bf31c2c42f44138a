#include "shared_driver_files.h"

#include <winspool.h>

#include "config_files.h"
#include "data_files.h"
#include "driver_paths.h"
#include "text_convert.h"
#include "unique_handle.h"

namespace vex {
namespace {

KernelHandle openForQuery(const std::wstring& path, DWORD access) {
  return KernelHandle(CreateFileW(path.c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The driver's data file (its PPD) from the level-2 driver information; empty when unreadable.
std::wstring driverDataFile(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
  if (needed < sizeof(DRIVER_INFO_2W) || needed > 1024 * 1024) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterDriverW(printer, nullptr, 2, block.data(), needed, &needed)) return {};
  const wchar_t* file = reinterpret_cast<const DRIVER_INFO_2W*>(block.data())->pDataFile;
  return file != nullptr ? boundedWide(file, kPathChars) : std::wstring();
}

}  // namespace

std::optional<FileIdentity> fileIdentity(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (file == nullptr || file == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file, &info)) {
    return std::nullopt;
  }
  return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::optional<FileIdentity> fileIdentity(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  const KernelHandle file = openForQuery(path, 0);
  return fileIdentity(file.get());
}

bool isProgramFile(const std::wstring& path) {
  if (isProgramFileName(toU16(path))) return true;
  const KernelHandle file = openForQuery(path, GENERIC_READ);
  if (!file) return true;
  char start[2] = {};
  DWORD read = 0;
  if (!ReadFile(file.get(), start, sizeof start, &read, nullptr)) return true;
  return isProgramImage(std::string_view(start, read));
}

std::wstring ppdBesidePluginIni(const std::wstring& pluginIniPath) {
  const std::u16string ppd = ppdPathFor(toU16(pluginIniPath));
  return std::wstring(ppd.begin(), ppd.end());
}

std::wstring ccmInfoFilePath(HANDLE printer) {
  const std::wstring name = readModelString(printer, L"CCMInfoFile");
  return name.empty() ? std::wstring() : driverFilePath(name);
}

std::vector<std::wstring> ownDriverDataFiles(HANDLE printer) {
  std::vector<std::wstring> files{boundedWide(configFilePath(), kPathChars)};
  wchar_t version[kPathChars] = L"";
  if (findVersionFile(printer, version)) files.push_back(boundedWide(version, kPathChars));
  return files;
}

std::vector<std::wstring> filesRefusedAsResources(HANDLE printer, const std::wstring& pluginIni) {
  std::vector<std::wstring> files = ownDriverDataFiles(printer);
  files.push_back(pluginIni);
  files.push_back(ppdBesidePluginIni(pluginIni));
  files.push_back(driverDataFile(printer));
  files.push_back(ccmInfoFilePath(printer));
  return files;
}

bool mayOpenToEveryone(HANDLE printer, const std::wstring& path) {
  if (path.empty() || isProgramFile(path)) return false;
  const std::optional<FileIdentity> identity = fileIdentity(path);
  if (!identity) return false;
  for (const std::wstring& own : ownDriverDataFiles(printer)) {
    if (fileIdentity(own) == identity) return false;
  }
  return true;
}

}  // namespace vex
