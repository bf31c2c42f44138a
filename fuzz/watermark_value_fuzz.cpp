// Fuzz target: a "WTMK00n" value of the shared plug-in INI file, any bytes. Input: UTF-16 code
// units, two bytes each. The property: the texts stay within their fields, and what the store
// writes back reads again as the same definition.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "watermark_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string value;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    value.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const vex::WatermarkDefinition parsed = vex::parseWatermarkValue(value);
  if (parsed.text.size() > vex::kWatermarkTextChars) std::abort();
  if (parsed.fontName.size() > vex::kWatermarkFontChars) std::abort();
  const vex::WatermarkDefinition again =
      vex::parseWatermarkValue(vex::formatWatermarkValue(parsed));
  if (!(again == parsed)) std::abort();
  return 0;
}
