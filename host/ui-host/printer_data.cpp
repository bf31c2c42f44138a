#include "printer_data.h"

#include <windows.h>

namespace vex::uihost {
namespace {

constexpr std::size_t kBlockBytes = 256;  // the plug-in's work area for the block

}  // namespace

std::string readFeatureKeywordBlock(const std::wstring& printerName, std::string* note) {
  const std::wstring path = L"System\\CurrentControlSet\\Control\\Print\\Printers\\" + printerName +
                            L"\\PrinterDriverData";
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    *note = "no PrinterDriverData key";
    return {};
  }
  BYTE data[kBlockBytes] = {};
  DWORD bytes = sizeof(data);
  DWORD type = 0;
  const LONG status = RegQueryValueExW(key, L"FeatureKeyword", nullptr, &type, data, &bytes);
  DWORD size = 0;
  DWORD sizeBytes = sizeof(size);
  DWORD sizeType = 0;
  const bool haveSize =
      RegQueryValueExW(key, L"FeatureKeywordSize", nullptr, &sizeType,
                       reinterpret_cast<BYTE*>(&size), &sizeBytes) == ERROR_SUCCESS &&
      sizeType == REG_DWORD;
  RegCloseKey(key);
  if (status == ERROR_MORE_DATA) {
    *note = "FeatureKeyword is longer than 256 bytes: not read";
    return {};
  }
  if (status != ERROR_SUCCESS) {
    *note = "no FeatureKeyword value";
    return {};
  }
  if (haveSize && size < bytes) bytes = size;  // the stated length bounds the block
  return std::string(reinterpret_cast<const char*>(data), bytes);
}

}  // namespace vex::uihost
