// The Win32 side of the custom colour settings: the file that the model's "CCMInfoFile" names
// (in the driver's folder, read with the profile API), the user-setting list of the office
// colour details, and the selection value's trip between the record and the document context.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "custom_colour_settings.h"
#include "property_contexts.h"

namespace vex {

// The custom colour selection value's slot and the (never set) colour-mode slot of the context.
inline constexpr int kCustomColourSlot = 50;
inline constexpr int kColourModeRecordSlot = 51;

// The full path of the printer's custom colour settings file; empty when the configuration file
// names none (or the name does not fit a path).
std::wstring customColourFilePath(HANDLE printer);

// The profile API over one file.
class CustomColourIniFile final : public CustomColourProfile {
 public:
  explicit CustomColourIniFile(std::wstring path) : path_(std::move(path)) {}
  std::int32_t readNumber(std::u16string_view section, std::u16string_view key) override;
  std::u16string readText(std::u16string_view section, std::u16string_view key,
                          std::size_t maxChars) override;

 private:
  std::wstring path_;
};

// The settings the office colour details list; empty without a file.
std::vector<CustomColourItem> customColourItems(const DocumentContext& context);

// Record offsets 600..603 into the context's selection slot (when there is a record).
void loadCustomColourSetting(DocumentContext& context);
// The selection and, when in use, the chosen setting's data into the record.
void storeCustomColourSetting(DocumentContext& context);

}  // namespace vex
