#include "ui_record_rules.h"

#include <winspool.h>

#include "config_files.h"
#include "crypto_library.h"
#include "text_convert.h"

namespace vex {
namespace {

// The printer-driver directory in a buffer of 260 bytes, as the defaults have always read it; a
// directory that does not fit leaves the field empty rather than copying an unfilled buffer.
std::wstring driverDirectoryForRecord() {
  wchar_t buffer[130] = L"";
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer),
                                  sizeof(buffer), &needed)) {
    return {};
  }
  return boundedWide(buffer, sizeof(buffer) / sizeof(wchar_t));
}

}  // namespace

UiDefaultInputs gatherUiDefaultInputs(HANDLE printer) {
  UiDefaultInputs inputs;
  wchar_t iniPath[kPathChars] = L"";
  findDriverFiles(printer, iniPath);
  inputs.pluginIniPath = toU16(boundedWide(iniPath, kPathChars));
  inputs.driverDirectory = toU16(driverDirectoryForRecord());
  inputs.cryptoDefaults = cryptoDefaults(printer);
  inputs.configFilePath = toU16(boundedWide(configFilePath(), kPathChars));
  inputs.compressionValue = readCompression(printer);
  return inputs;
}

void applyUiDefaults(HANDLE printer, std::uint8_t* out) {
  if (out == nullptr) return;
  uiDefaults(out, gatherUiDefaultInputs(printer));
}

void applyUiConvert(HANDLE printer, const std::uint8_t* in, std::uint8_t* out) {
  if (in == nullptr || out == nullptr) return;
  uiConvert(in, out, cryptoDefaults(printer));
}

void applyUiMerge(HANDLE printer, const std::uint8_t* in, std::uint8_t* out) {
  if (in == nullptr || out == nullptr) return;
  uiMerge(in, out, cryptoDefaults(printer));
}

}  // namespace vex
