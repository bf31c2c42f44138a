#include "custom_colour_file.h"

#include <memory>

#include "config_files.h"

namespace vex {

namespace {

std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

HANDLE printerOf(const DocumentContext& context) {
  return context.cuiParam != nullptr ? context.cuiParam->hPrinter : nullptr;
}

}  // namespace

std::wstring customColourFilePath(HANDLE printer) {
  if (printer == nullptr) return {};
  const std::wstring name = readModelString(printer, L"CCMInfoFile");
  if (name.empty()) return {};
  return driverFilePath(name);
}

std::int32_t CustomColourIniFile::readNumber(std::u16string_view section, std::u16string_view key) {
  // The profile API reads "-5" as the unsigned image of -5: the rules bound the signed value.
  return static_cast<std::int32_t>(
      GetPrivateProfileIntW(wide(section).c_str(), wide(key).c_str(), 0, path_.c_str()));
}

std::u16string CustomColourIniFile::readText(std::u16string_view section, std::u16string_view key,
                                             std::size_t maxChars) {
  std::wstring buffer(maxChars + 1, L'\0');
  const DWORD copied =
      GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"", buffer.data(),
                               static_cast<DWORD>(buffer.size()), path_.c_str());
  buffer.resize(std::min<std::size_t>(copied, maxChars));
  return std::u16string(buffer.begin(), buffer.end());
}

std::vector<CustomColourItem> customColourItems(const DocumentContext& context) {
  const std::wstring path = customColourFilePath(printerOf(context));
  if (path.empty()) return {};
  CustomColourIniFile file(path);
  return listCustomColourSettings(&file);
}

void loadCustomColourSetting(DocumentContext& context) {
  if (const std::uint8_t* record = context.record()) {
    context.itemValue[kCustomColourSlot] = loadCustomColourSelection(record);
  }
}

void storeCustomColourSetting(DocumentContext& context) {
  std::uint8_t* record = context.record();
  if (record == nullptr) return;
  const std::wstring path = customColourFilePath(printerOf(context));
  std::unique_ptr<CustomColourIniFile> file;
  if (!path.empty()) file = std::make_unique<CustomColourIniFile>(path);
  storeCustomColour(record, context.itemValue[kCustomColourSlot],
                    context.itemValue[kColourModeRecordSlot], file.get());
}

}  // namespace vex
