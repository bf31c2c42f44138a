// The overlay store on the plug-in INI file through the UTF-16 profile functions, and the
// store's operations on the sheet's document context.
#pragma once

#include <windows.h>

#include <string>

#include "overlay_store.h"
#include "property_contexts.h"

namespace vex {

class IniOverlayProfile final : public OverlayProfile {
 public:
  explicit IniOverlayProfile(std::wstring path) : path_(std::move(path)) {}
  std::int32_t readNumber(std::u16string_view section, std::u16string_view key) override;
  std::u16string readText(std::u16string_view section, std::u16string_view key,
                          std::size_t maxChars) override;
  void write(std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override;

 private:
  std::wstring path_;
};

// The overlay dialog opens, is accepted or cancelled; the sheet is applied (true when the saved
// copy became the main copy). All take the context's INI file and record.
void loadSheetOverlays(DocumentContext& context);
void acceptSheetOverlays(DocumentContext& context);
void cancelSheetOverlays(DocumentContext& context);
bool commitSheetOverlays(DocumentContext& context);

}  // namespace vex
