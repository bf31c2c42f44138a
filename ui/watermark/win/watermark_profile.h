// The watermark store on the profile API: the plug-in INI file's "Watermark" and custom-colour
// sections, and the watermark font file that the INI file names.
#pragma once

#include <windows.h>

#include <string>

#include "watermark_store.h"

namespace vex {

// Reads and writes one INI file through the UTF-16 profile functions.
class IniWatermarkProfile final : public WatermarkProfile {
 public:
  explicit IniWatermarkProfile(std::wstring path) : path_(std::move(path)) {}
  std::vector<std::u16string> keys(std::u16string_view section) override;
  std::u16string read(std::u16string_view section, std::u16string_view key,
                      std::size_t maxChars) override;
  void write(std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override;
  void deleteSection(std::u16string_view section) override;

 private:
  std::wstring path_;
};

// Full path of the watermark font file: the driver folder's "3" and the value of "WMFONT" in
// "DependentFiles" of the plug-in INI file; empty when it is not named (or names more than a
// file of that folder).
std::wstring watermarkFontFile(const std::wstring& pluginIniPath);

// "DefaultNo" of the font file's "PrinterFont" section (0 when missing).
std::int32_t watermarkDefaultFontNumber(const std::wstring& fontFile);

// Sets the definition's fontName and styleCode from its font's entry in the font file.
void ResolveWatermarkFont(WatermarkDefinition& definition, const std::wstring& fontFile);

// Definition 0's text and font name from `module`'s string table (strings 8050 and 8052); a
// missing string reads as empty.
NoWatermarkTexts noWatermarkTexts(HINSTANCE module);

// LoadWatermarkList on the plug-in INI file, with definition 0 made from `module`'s strings and
// the "DefaultNo" of the font file that the INI file names.
void LoadWatermarkList(WatermarkList& list, const std::wstring& pluginIniPath, HINSTANCE module,
                       std::uint32_t recordWatermarkIndex);

}  // namespace vex
