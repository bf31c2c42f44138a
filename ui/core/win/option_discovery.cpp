#include "option_discovery.h"

#include <winspool.h>

#include <cstring>
#include <optional>

#include "config_files.h"
#include "extension_libraries.h"
#include "opened_printer.h"
#include "text_convert.h"
#include "ui_module_state.h"

namespace vex {
namespace {

constexpr std::size_t kOptionTextChars = 128;
constexpr DWORD kRamTextBytes = 64;
constexpr DWORD kSectionProbeChars = 4096;
constexpr DWORD kMaxPrinterInfoBytes = 1u << 20;

std::wstring wideFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int chars =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (chars <= 0) return {};
  std::wstring out(static_cast<std::size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), chars);
  return out;
}

// The ANSI form of a wide path, or empty when a character has no ANSI form (the path would name
// another file).
std::string ansiPath(const std::wstring& path) {
  if (path.empty()) return {};
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(),
                                        static_cast<int>(path.size()), nullptr, 0, nullptr, &lossy);
  if (bytes <= 0 || lossy) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.data(), static_cast<int>(path.size()),
                      out.data(), bytes, nullptr, nullptr);
  return out;
}

bool fileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The network data file through the wide profile API.
std::optional<OptionDataValues> readNetworkDataWide(const std::wstring& file,
                                                    const std::wstring& section) {
  if (file.empty() || section.empty() || !fileExists(file)) return std::nullopt;
  std::wstring probe(kSectionProbeChars, L'\0');
  if (GetPrivateProfileSectionW(section.c_str(), probe.data(), kSectionProbeChars, file.c_str()) ==
      0) {
    return std::nullopt;  // the library left no section for this printer
  }
  auto integer = [&](const wchar_t* key) {
    return static_cast<std::int32_t>(GetPrivateProfileIntW(section.c_str(), key, 0, file.c_str()));
  };
  OptionDataValues values;
  values.installed = integer(L"Installed");
  values.memory = integer(L"Random Access Memory");
  values.sdCard = integer(L"SD Card");
  values.punchType = integer(L"PunchType");
  values.jobLimitationMode = integer(L"JobLimitationMode");
  return values;
}

// Either data file through the ANSI profile API.
std::optional<OptionDataValues> readDataAnsi(const std::string& file, const std::string& section,
                                             bool usb) {
  if (file.empty() || section.empty()) return std::nullopt;
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  std::string probe(kSectionProbeChars, '\0');
  if (GetPrivateProfileSectionA(section.c_str(), probe.data(), kSectionProbeChars, file.c_str()) ==
      0) {
    return std::nullopt;
  }
  auto integer = [&](const char* key) {
    return static_cast<std::int32_t>(GetPrivateProfileIntA(section.c_str(), key, 0, file.c_str()));
  };
  if (usb) {
    char ram[kRamTextBytes] = "";
    GetPrivateProfileStringA(section.c_str(), "RAM", "", ram, kRamTextBytes, file.c_str());
    return usbDataValues(integer("Installed"), std::string_view(ram, strnlen(ram, kRamTextBytes)),
                         integer("PunchType"), integer("JobLimitationMode"));
  }
  OptionDataValues values;
  values.installed = integer("Installed");
  values.memory = integer("Random Access Memory");
  values.sdCard = integer("SD Card");
  values.punchType = integer("PunchType");
  values.jobLimitationMode = integer("JobLimitationMode");
  return values;
}

void fillResult(POEMCUIPPARAM param, const OptionDataValues& values,
                DWORD result[kDiscoveryValueCount]) {
  const std::vector<std::optional<std::wstring>> texts =
      memoryOptionTexts(param->pDrvOptItems, param->cDrvOptItems);
  std::vector<std::u16string> storage;
  storage.reserve(texts.size());
  std::vector<OptionText> views;
  views.reserve(texts.size());
  for (const auto& text : texts) {
    if (!text) {
      views.emplace_back(std::nullopt);
      continue;
    }
    storage.push_back(toU16(*text));
    views.emplace_back(std::u16string_view(storage.back()));
  }
  const DiscoveryResult computed =
      discoveryResult(values, memoryOptionIndex(values.memory, views), isOsVersion6OrLater());
  for (std::size_t i = 0; i < kDiscoveryValueCount; ++i) result[i] = computed[i];
}

// The printer's information at level 2 in the ANSI form; empty when it cannot be read.
std::vector<BYTE> printerInfo2A(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterA(printer, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2A) || needed > kMaxPrinterInfoBytes) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterA(printer, 2, block.data(), needed, &needed)) return {};
  return block;
}

// A text of the block, read within the block; nullopt for a null or stray pointer.
std::optional<std::string> textInBlock(const std::vector<BYTE>& block, const char* text) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text);
  if (p == nullptr || p < block.data() || p >= block.data() + block.size()) return std::nullopt;
  const std::size_t room = static_cast<std::size_t>(block.data() + block.size() - p);
  return std::string(text, strnlen(text, room));
}

}  // namespace

std::vector<std::optional<std::wstring>> memoryOptionTexts(const OPTITEM* items, DWORD count) {
  std::vector<std::optional<std::wstring>> texts;
  if (items == nullptr) return texts;
  for (DWORD i = 0; i < count; ++i) {
    if (items[i].UserItemID != kMemoryItemId) continue;
    const OPTTYPE* type = items[i].pOptType;
    if (type == nullptr || type->pOptParam == nullptr) return texts;
    for (WORD k = 0; k < type->Count; ++k) {
      const wchar_t* data = type->pOptParam[k].pData;
      // Small values are string resource numbers of the common UI, not texts of the driver.
      if (data == nullptr || IS_INTRESOURCE(data)) {
        texts.emplace_back(std::nullopt);
      } else {
        texts.emplace_back(boundedWide(data, kOptionTextChars));
      }
    }
    return texts;
  }
  return texts;
}

BOOL networkDiscovery(POEMCUIPPARAM param, HWND sheet, DWORD result[kDiscoveryValueCount]) {
  if (param == nullptr || result == nullptr) return FALSE;
  const OpenedPrinter printer(param->pPrinterName);
  if (!printer) return FALSE;
  wchar_t iniPath[kPathChars] = L"";
  findDriverFiles(printer.get(), iniPath);  // the model section is this printer's
  const NetworkExtension library(printer.get());
  const std::string name = extensionPrinterName(param->pPrinterName);
  if (!library.loaded() || name.empty()) return FALSE;
  if (library.readOptionFlags(name, sheet, kPushButtonFlags) == 0) return FALSE;
  std::string dataFile;
  const int answer = library.dataFileName(name, &dataFile);
  if (answer == 0) return FALSE;
  // The section is named by the name the library was given.
  const std::optional<OptionDataValues> values =
      readNetworkDataWide(wideFromAnsi(dataFile), wideFromAnsi(name));
  if (!values) return FALSE;
  fillResult(param, *values, result);
  return answer;
}

bool localDiscovery(POEMCUIPPARAM param, HWND sheet, DWORD result[kDiscoveryValueCount]) {
  if (param == nullptr || result == nullptr) return false;
  const OpenedPrinter printer(param->pPrinterName);
  if (!printer) return false;
  const std::vector<BYTE> info = printerInfo2A(printer.get());
  if (info.empty()) return false;
  const auto* info2 = reinterpret_cast<const PRINTER_INFO_2A*>(info.data());
  const std::optional<std::string> port = textInBlock(info, info2->pPortName);
  const std::optional<std::string> fullName = textInBlock(info, info2->pPrinterName);
  if (!fullName || fullName->empty()) return false;
  wchar_t iniPath[kPathChars] = L"";
  if (!findDriverFiles(printer.get(), iniPath)) return false;
  // The name in at most 221 bytes, cut at a character boundary.
  const std::string name = extensionPrinterName(wideFromAnsi(*fullName).c_str());
  if (name.empty()) return false;

  std::optional<OptionDataValues> values;
  if (!isUsbPort(port ? port->c_str() : nullptr)) {
    const NetworkExtension library(printer.get());
    if (!library.validPort(name) || !library.capability(name)) return false;
    if (library.readOptionFlags(name, sheet, kPageActivationFlags) != 1) return false;
    std::string dataFile;
    if (library.dataFileName(name, &dataFile) == 0) return false;
    values = readDataAnsi(dataFile, name, false);
  } else {
    const UsbExtension library(printer.get());
    if (!library.readOptions(name)) return false;
    values = readDataAnsi(ansiPath(library.dataFile()), name, true);
  }
  if (!values) return false;
  fillResult(param, *values, result);
  return true;
}

BOOL networkLibraryAnswers(POEMCUIPPARAM param) {
  if (param == nullptr) return FALSE;
  const OpenedPrinter printer(param->pPrinterName);
  if (!printer) return FALSE;
  wchar_t iniPath[kPathChars] = L"";
  findDriverFiles(printer.get(), iniPath);
  const NetworkExtension library(printer.get());
  return library.validPort(extensionPrinterName(param->pPrinterName)) ? TRUE : FALSE;
}

}  // namespace vex
