// Fuzz target: the custom colour settings file (it ships with the driver but is only text) read
// as the office colour details list it and as the colour page stores a setting into the record.
// Input: 4 bytes of the selection value, then the file's text ("[section]" and "key=value" lines,
// bytes taken as characters). The properties: every listed name has at most 65 characters and
// item data that a selection value can carry, each section lists at most its bound, the stored
// lengths never exceed the fields (nor do the bounded readers' over a record's hostile
// lengths), a setting not in use leaves the data blocks alone, and no byte outside the colour
// fields of the record changes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "custom_colour_settings.h"
#include "ini_text.h"
#include "private_settings.h"

namespace {

class TextProfile final : public vex::CustomColourProfile {
 public:
  explicit TextProfile(std::string_view text) : values_(vex::fuzz::parseIniText(text)) {}


  // As the profile API reads a number: one sign, digits; the value wraps as the API's does.
  std::int32_t readNumber(std::u16string_view section, std::u16string_view key) override {
    const std::u16string text = readText(section, key, 64);
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      value = value * 10 + static_cast<std::uint32_t>(text[i] - u'0');
    }
    return static_cast<std::int32_t>(negative ? 0u - value : value);
  }
  std::u16string readText(std::u16string_view section, std::u16string_view key,
                          std::size_t maxChars) override {
    ++reads;
    const auto s = values_.find(std::u16string(section));
    if (s == values_.end()) return {};
    const auto k = s->second.find(std::u16string(key));
    return k == s->second.end() ? std::u16string() : k->second.substr(0, maxChars);
  }

  long reads = 0;  // texts read, numbers included

 private:
  vex::fuzz::IniSections values_;
};

// The record's bytes that storing a custom colour setting may change.
bool isColourField(std::size_t offset) {
  using namespace vex::rec;
  return (offset >= colorMode && offset < colorMode + 2) ||
         (offset >= customColorTLength && offset < customColorTData + customColorTCapacity) ||
         (offset >= customColorVLength && offset < customColorVData + customColorVCapacity) ||
         (offset >= customColorNumber && offset < customColorNumber + 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t selection = 0;
  std::memcpy(&selection, data, 4);
  const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);

  TextProfile file(text);
  const std::vector<vex::CustomColourItem> items = vex::listCustomColourSettings(&file);
  if (items.size() > 2 * static_cast<std::size_t>(vex::kMaxCustomColourSettings)) std::abort();
  // Each listed setting costs an id read and a name read, plus the two counts.
  if (file.reads > 4 + 4L * vex::kMaxCustomColourSettings) std::abort();
  for (const vex::CustomColourItem& item : items) {
    if (item.name.empty() || item.name.size() > vex::kCustomColourNameChars) std::abort();
    if ((item.itemData & ~0x1FFu) != 0) std::abort();
  }

  std::vector<std::uint8_t> record(vex::kRecordSize + 16, 0xA5);  // 16 guard bytes behind it
  const std::vector<std::uint8_t> before = record;
  vex::storeCustomColour(record.data(), selection, selection >> 3, &file);
  for (std::size_t i = 0; i < record.size(); ++i) {
    if (record[i] != before[i] && !isColourField(i)) std::abort();
  }
  using namespace vex::rec;
  const std::uint8_t* r = record.data();
  if (vex::customColourInUse(selection)) {
    if (vex::getU16(r, customColorTLength) > customColorTCapacity) std::abort();
    if (vex::getU16(r, customColorVLength) > customColorVCapacity) std::abort();
  } else if (std::memcmp(r + customColorTLength, before.data() + customColorTLength,
                         customColorVData + customColorVCapacity - customColorTLength) != 0) {
    std::abort();  // a setting not in use leaves the data blocks as they were
  }
  // The bounded readers, also over the hostile lengths (0xA5A5) a record not in use keeps.
  if (vex::storedCustomColourTData(r).size() > customColorTCapacity) std::abort();
  if (vex::storedCustomColourVData(r).size() > customColorVCapacity) std::abort();
  return 0;
}
