#include "extension_libraries.h"

#include <shlobj.h>

#include <cstring>

#include "config_files.h"
#include "driver_paths.h"
#include "text_convert.h"

namespace vex {
namespace {

bool isBare(const std::wstring& name) { return isBareFileName(toU16(name)); }

}  // namespace

std::string extensionPrinterName(const wchar_t* printerName) {
  if (printerName == nullptr) return {};
  return toAnsi(boundedWide(printerName, 32768), kExtensionNameBytes);
}

std::wstring thisModuleDirectory() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&thisModuleDirectory), &module)) {
    return {};
  }
  wchar_t path[MAX_PATH + 1] = L"";
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};  // cut: not a usable folder
  const std::wstring full(path, length);
  const std::size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
}

// ---- network ----------------------------------------------------------------------------------

NetworkExtension::NetworkExtension(HANDLE printer) {
  const std::wstring name = readModelString(printer, L"NetExtDLL");
  if (!name.empty() && isBare(name)) library_ = OutsideLibrary(name);
}

bool NetworkExtension::capability(const std::string& name) const {
  const auto fn = library_.entry<GetNetextCapabilityFn>("GetNetextCapability");
  return fn != nullptr && fn(name.c_str()) != 0;
}

bool NetworkExtension::validPort(const std::string& name) const {
  const auto fn = library_.entry<IsValidPortFn>("IsValidPort");
  return fn != nullptr && fn(name.c_str()) != 0;
}

int NetworkExtension::readOptionFlags(const std::string& name, HWND window, DWORD flags) const {
  const auto fn = library_.entry<ReadPrinterOptionFlag32Fn>("ReadPrinterOptionFlag32");
  return fn != nullptr ? fn(name.c_str(), window, 0, 0, flags) : 0;
}

int NetworkExtension::dataFileName(const std::string& name, std::string* path) const {
  const auto fn = library_.entry<GetDataFileNameFn>("GetDataFileName");
  if (fn == nullptr || path == nullptr) return 0;
  char buffer[kDataFileNameBytes + 1] = {};  // one byte more than promised: always terminated
  const int answer = fn(name.c_str(), buffer, kDataFileNameBytes);
  const std::size_t length = strnlen(buffer, kDataFileNameBytes);
  if (answer == 0 || length == 0 || length == kDataFileNameBytes) return 0;
  path->assign(buffer, length);
  return answer;
}

// ---- USB --------------------------------------------------------------------------------------

UsbExtension::UsbExtension(HANDLE printer) {
  const std::wstring name = readModelString(printer, L"USBExtDLL");
  const std::wstring data = readModelString(printer, L"USBExtDAT");
  if (name.empty() || !isBare(name)) return;
  const std::wstring folder = thisModuleDirectory();
  if (folder.empty()) return;
  library_ = OutsideLibrary(folder + L"\\" + name);
  if (data.empty() || !isBare(data)) return;
  wchar_t appData[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
    return;
  }
  const std::wstring path = boundedWide(appData, MAX_PATH) + L"\\" + data;
  if (path.size() < MAX_PATH) dataFile_ = path;
}

bool UsbExtension::readOptions(const std::string& name) const {
  const auto fn = library_.entry<ReadPrinterOptionUsbFn>("ReadPrinterOptionUSB");
  return fn != nullptr && fn(name.c_str()) != 0;
}

// ---- the printer tree's set-up -----------------------------------------------------------------

bool netextCapability(HANDLE printer, const wchar_t* printerName) {
  if (printer == nullptr || printerName == nullptr) return false;
  wchar_t iniPath[kPathChars] = L"";
  if (!findDriverFiles(printer, iniPath)) return false;  // the model section is this printer's
  const NetworkExtension library(printer);
  return library.capability(extensionPrinterName(printerName));
}

}  // namespace vex
