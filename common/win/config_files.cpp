#include "config_files.h"

#include "dependent_files.h"
#include "driver_paths.h"
#include "text_convert.h"

namespace vex {
namespace {

thread_local wchar_t g_configFilePath[kPathChars] = L"";

// Driver information at `level` in a zero-filled block; empty when it cannot be read.
std::vector<BYTE> driverInfo(HANDLE printer, DWORD level) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, level, nullptr, 0, &needed);
  if (needed == 0 || needed > 16 * 1024 * 1024) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterDriverW(printer, nullptr, level, block.data(), needed, &needed)) return {};
  return block;
}

// Characters available from `text` to the end of `block`, or 0 when it points elsewhere.
std::size_t charsInBlock(const std::vector<BYTE>& block, const wchar_t* text) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text);
  if (p == nullptr || p < block.data() || p >= block.data() + block.size()) return 0;
  return static_cast<std::size_t>(block.data() + block.size() - p) / sizeof(wchar_t);
}

std::wstring modelSection(HANDLE printer) {
  if (g_configFilePath[0] == L'\0') return {};
  const std::wstring driver = printerDriverName(printer);
  if (driver.empty()) return {};
  wchar_t section[kSectionChars] = L"";
  GetPrivateProfileStringW(L"Capability", driver.c_str(), L"", section, kSectionChars,
                           g_configFilePath);
  return section;
}

}  // namespace

const wchar_t* configFilePath() { return g_configFilePath; }

std::wstring printerDriverName(HANDLE printer) {
  const std::vector<BYTE> block = driverInfo(printer, 1);
  if (block.size() < sizeof(DRIVER_INFO_1W)) return {};
  const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(block.data());
  return boundedWide(info->pName, charsInBlock(block, info->pName));
}

std::vector<std::wstring> dependentFiles(HANDLE printer) {
  std::vector<std::wstring> files;
  const std::vector<BYTE> block = driverInfo(printer, 3);
  if (block.size() < sizeof(DRIVER_INFO_3W)) return files;
  const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(block.data());
  const std::size_t chars = charsInBlock(block, info->pDependentFiles);
  const auto* list = reinterpret_cast<const char16_t*>(info->pDependentFiles);
  for (const std::u16string& entry : splitDependentFiles(chars ? list : nullptr, chars)) {
    files.push_back(toWide(entry));
  }
  return files;
}

bool findDriverFiles(HANDLE printer, wchar_t (&pluginIniPath)[kPathChars]) {
  g_configFilePath[0] = L'\0';
  bool seen = false;
  for (const std::wstring& entry : dependentFiles(printer)) {
    if (entry.size() >= kPathChars) continue;  // would not fit a path buffer: never cut a name
    switch (classifyDependentFile(toU16(entry))) {
      case DependentFileKind::PluginIni: {
        wchar_t value[kSectionChars] = L"";
        GetPrivateProfileStringW(L"OEMFiles", L"OEMConfigFile1", L"", value, kSectionChars,
                                 entry.c_str());
        if (value[0] != L'\0') copyBounded(pluginIniPath, kPathChars, entry);
        seen = true;
        break;
      }
      case DependentFileKind::Capability:
        copyBounded(g_configFilePath, kPathChars, entry);
        seen = true;
        break;
      default:
        break;
    }
  }
  return seen;
}

bool findVersionFile(HANDLE printer, wchar_t (&versionPath)[kPathChars]) {
  bool seen = false;
  for (const std::wstring& entry : dependentFiles(printer)) {
    if (entry.size() >= kPathChars) continue;
    if (classifyDependentFile(toU16(entry)) == DependentFileKind::Version) {
      copyBounded(versionPath, kPathChars, entry);
      seen = true;
    }
  }
  return seen;
}

std::size_t readModelString(HANDLE printer, const wchar_t* key, wchar_t* buffer,
                            std::size_t chars) {
  if (buffer == nullptr || chars == 0) return 0;
  buffer[0] = L'\0';
  const std::wstring section = modelSection(printer);
  if (section.empty() || key == nullptr) return 0;
  return GetPrivateProfileStringW(section.c_str(), key, L"", buffer, static_cast<DWORD>(chars),
                                  g_configFilePath);
}

std::wstring readModelString(HANDLE printer, const wchar_t* key) {
  wchar_t value[kModelStringChars] = L"";
  const std::size_t n = readModelString(printer, key, value, kModelStringChars);
  return std::wstring(value, n);
}

int readCompression(HANDLE printer) {
  const std::wstring section = modelSection(printer);
  if (section.empty()) return 0;
  return static_cast<int>(
      GetPrivateProfileIntW(section.c_str(), L"Compression", 0, g_configFilePath));
}

bool driverFilePath(wchar_t* buffer, DWORD* sizeBytes, const wchar_t* fileName) {
  if (buffer == nullptr || sizeBytes == nullptr || *sizeBytes < sizeof(wchar_t)) return false;
  wchar_t directory[MAX_PATH + 1] = L"";
  DWORD needed = 0;
  const DWORD directoryBytes =
      *sizeBytes < sizeof(directory) ? *sizeBytes : static_cast<DWORD>(sizeof(directory));
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                  directoryBytes, &needed)) {
    return false;
  }
  const std::wstring dir = boundedWide(directory, MAX_PATH + 1);
  const std::wstring name = fileName ? fileName : L"";
  const DriverFilePath path = composeDriverFilePath(toU16(dir), toU16(name), *sizeBytes);
  const std::wstring result = toWide(path.path);
  copyBounded(buffer, *sizeBytes / sizeof(wchar_t), result);
  *sizeBytes = static_cast<DWORD>(result.size() * sizeof(wchar_t));
  return path.ok;
}

std::wstring driverFilePath(const std::wstring& fileName) {
  wchar_t buffer[kPathChars] = L"";
  DWORD size = sizeof(buffer);
  if (!driverFilePath(buffer, &size, fileName.c_str())) return {};
  return std::wstring(buffer, size / sizeof(wchar_t));
}

}  // namespace vex
