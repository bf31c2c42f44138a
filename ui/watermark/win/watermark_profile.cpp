#include "watermark_profile.h"

#include <vector>

#include "config_files.h"
#include "text_convert.h"
#include "ui_resource_ids.h"

namespace vex {
namespace {

std::wstring wide(std::u16string_view text) { return toWide(text); }

// At most `maxChars` characters of string `id`; empty when the module lacks it.
std::u16string moduleString(HINSTANCE module, UINT id, std::size_t maxChars) {
  std::vector<wchar_t> text(maxChars + 1, L'\0');
  const int length = LoadStringW(module, id, text.data(), static_cast<int>(text.size()));
  if (length <= 0) return {};
  return toU16(boundedWide(text.data(), text.size()));
}

}  // namespace

// An empty path stands for no file: the profile functions would otherwise look for one in the
// Windows folder.
std::vector<std::u16string> IniWatermarkProfile::keys(std::u16string_view section) {
  if (path_.empty()) return {};
  wchar_t list[kProfileValueChars + 1] = {};
  const DWORD length = GetPrivateProfileStringW(wide(section).c_str(), nullptr, L"", list,
                                                kProfileValueChars + 1, path_.c_str());
  std::vector<std::u16string> keys;
  std::size_t start = 0;
  for (std::size_t i = 0; i < length && i <= kProfileValueChars; ++i) {
    if (list[i] == L'\0') {
      if (i > start) keys.push_back(toU16(std::wstring_view(list + start, i - start)));
      start = i + 1;
    }
  }
  return keys;
}

std::u16string IniWatermarkProfile::read(std::u16string_view section, std::u16string_view key,
                                         std::size_t maxChars) {
  if (path_.empty()) return {};
  std::vector<wchar_t> value(maxChars + 1, L'\0');
  GetPrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), L"", value.data(),
                           static_cast<DWORD>(value.size()), path_.c_str());
  return toU16(boundedWide(value.data(), value.size()));
}

void IniWatermarkProfile::write(std::u16string_view section, std::u16string_view key,
                                std::u16string_view value) {
  if (path_.empty()) return;
  WritePrivateProfileStringW(wide(section).c_str(), wide(key).c_str(), wide(value).c_str(),
                             path_.c_str());
}

void IniWatermarkProfile::deleteSection(std::u16string_view section) {
  if (path_.empty()) return;
  WritePrivateProfileStringW(wide(section).c_str(), nullptr, nullptr, path_.c_str());
}

std::wstring watermarkFontFile(const std::wstring& pluginIniPath) {
  if (pluginIniPath.empty()) return {};
  wchar_t name[kPathChars] = L"";
  GetPrivateProfileStringW(L"DependentFiles", L"WMFONT", L"", name, kPathChars,
                           pluginIniPath.c_str());
  const std::wstring fileName = boundedWide(name, kPathChars);
  if (fileName.empty() || fileName.find_first_of(L"\\/:") != std::wstring::npos) return {};
  return driverFilePath(fileName);
}

std::int32_t watermarkDefaultFontNumber(const std::wstring& fontFile) {
  if (fontFile.empty()) return 0;
  return static_cast<std::int32_t>(
      GetPrivateProfileIntW(L"PrinterFont", L"DefaultNo", 0, fontFile.c_str()));
}

void ResolveWatermarkFont(WatermarkDefinition& definition, const std::wstring& fontFile) {
  std::u16string entry;
  if (!fontFile.empty()) {
    IniWatermarkProfile font(fontFile);
    entry = font.read(kPrinterFontSection,
                      decimalText16(static_cast<std::int64_t>(definition.fontIndex) + 1),
                      kProfileValueChars);
  }
  ResolveWatermarkFont(definition, entry);
}

NoWatermarkTexts noWatermarkTexts(HINSTANCE module) {
  return {moduleString(module, IDS_NO_WATERMARK, kWatermarkTextChars),
          moduleString(module, IDS_DEFAULT_WATERMARK_FONT, kWatermarkFontChars)};
}

void LoadWatermarkList(WatermarkList& list, const std::wstring& pluginIniPath, HINSTANCE module,
                       std::uint32_t recordWatermarkIndex) {
  IniWatermarkProfile profile(pluginIniPath);
  const std::int32_t defaultNo = watermarkDefaultFontNumber(watermarkFontFile(pluginIniPath));
  LoadWatermarkList(list, profile, noWatermarkTexts(module), defaultNo, recordWatermarkIndex);
}

}  // namespace vex
