#include "custom_colour_settings.h"

#include <algorithm>
#include <cstring>

#include "private_settings.h"

namespace vex {

namespace {

// `prefix` followed by `number` in decimal ("SettingID12", "CCMNT7").
std::u16string numberedKey(std::u16string_view prefix, std::uint32_t number) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + number % 10));
    number /= 10;
  } while (number != 0);
  return std::u16string(prefix) + digits;
}

// Value of a hexadecimal digit, or -1.
int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

void listSection(std::vector<CustomColourItem>& items, CustomColourProfile& file,
                 std::u16string_view section, std::uint16_t sectionBit) {
  const std::int32_t count =
      std::clamp(file.readNumber(section, u"SettingNum"), 0, kMaxCustomColourSettings);
  for (std::int32_t j = 0; j < count; ++j) {
    const std::int32_t id =
        file.readNumber(section, numberedKey(u"SettingID", static_cast<std::uint32_t>(j)));
    if (id < 0 || id > static_cast<std::int32_t>(kCustomColourIdMask)) continue;
    std::u16string name =
        file.readText(section, numberedKey(u"SettingName", static_cast<std::uint32_t>(id)),
                      kCustomColourNameChars);
    if (name.empty()) continue;
    if (name.size() > kCustomColourNameChars) name.resize(kCustomColourNameChars);
    items.push_back({std::move(name), static_cast<std::uint16_t>(id | sectionBit)});
  }
}

// Decodes key `key` of `section` into the data field at `dataOffset` and sets its length.
void storeBlock(std::uint8_t* record, CustomColourProfile& file, std::u16string_view section,
                std::u16string_view key, std::size_t lengthOffset, std::size_t dataOffset,
                std::size_t capacity) {
  const std::vector<std::uint8_t> bytes =
      decodeCustomColourHex(file.readText(section, key, kCustomColourDataChars), capacity);
  if (!bytes.empty()) std::memcpy(record + dataOffset, bytes.data(), bytes.size());
  setU16(record, lengthOffset, static_cast<std::uint16_t>(bytes.size()));
}

std::size_t boundedLength(const std::uint8_t* record, std::size_t lengthOffset,
                          std::size_t capacity) {
  return std::min<std::size_t>(getU16(record, lengthOffset), capacity);
}

}  // namespace

std::vector<CustomColourItem> listCustomColourSettings(CustomColourProfile* file) {
  std::vector<CustomColourItem> items;
  if (file == nullptr) return items;
  listSection(items, *file, kCustomColourColorSection, 0);
  listSection(items, *file, kCustomColourGammaSection, kCustomColourGammaBit);
  return items;
}

std::vector<std::uint8_t> decodeCustomColourHex(std::u16string_view text, std::size_t maxBytes) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size() && bytes.size() < maxBytes; i += 2) {
    const int high = hexDigit(text[i]);
    if (high < 0) break;
    if (i + 1 == text.size()) break;  // a lone half byte at the end is not counted
    const int low = hexDigit(text[i + 1]);
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + (low < 0 ? 0 : low)));
  }
  return bytes;
}

std::uint32_t loadCustomColourSelection(const std::uint8_t* record) {
  return getU32(record, rec::customColorNumber);
}

void storeCustomColour(std::uint8_t* record, std::uint32_t selection, std::uint32_t colorModeSlot,
                       CustomColourProfile* file) {
  setI16(record, rec::colorMode, static_cast<std::int16_t>(colorModeSlot & 0xFFFF));
  setU32(record, rec::customColorNumber, selection);
  if (!customColourInUse(selection)) return;
  if (file == nullptr) {
    setU16(record, rec::customColorTLength, 0);
    setU16(record, rec::customColorVLength, 0);
    return;
  }
  const std::u16string_view section =
      customColourIsGamma(selection) ? kCustomColourGammaSection : kCustomColourColorSection;
  const std::uint32_t id = customColourId(selection);
  storeBlock(record, *file, section, numberedKey(u"CCMNT", id), rec::customColorTLength,
             rec::customColorTData, rec::customColorTCapacity);
  storeBlock(record, *file, section, numberedKey(u"CCMNV", id), rec::customColorVLength,
             rec::customColorVData, rec::customColorVCapacity);
}

std::size_t storedCustomColourTLength(const std::uint8_t* record) {
  return boundedLength(record, rec::customColorTLength, rec::customColorTCapacity);
}

std::size_t storedCustomColourVLength(const std::uint8_t* record) {
  return boundedLength(record, rec::customColorVLength, rec::customColorVCapacity);
}

std::span<const std::uint8_t> storedCustomColourTData(const std::uint8_t* record) {
  return {record + rec::customColorTData, storedCustomColourTLength(record)};
}

std::span<const std::uint8_t> storedCustomColourVData(const std::uint8_t* record) {
  return {record + rec::customColorVData, storedCustomColourVLength(record)};
}

}  // namespace vex
