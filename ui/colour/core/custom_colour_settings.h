// Custom colour settings: the named user colour settings that a printer model may ship in an INI
// file of its own, the selection value that chooses one of them, the listing that the office
// colour details dialog shows, and the copy of the chosen setting's two data blocks into the
// private settings record. The file is read through a profile interface so that the rules run
// anywhere; readers of the record's two data blocks go through the bounded accessors below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

// The file's two sections, with the same layout.
inline constexpr char16_t kCustomColourColorSection[] = u"Color";
inline constexpr char16_t kCustomColourGammaSection[] = u"Gamma";

// How much of the file one read takes (characters, without the terminator).
inline constexpr std::size_t kCustomColourNameChars = 65;
inline constexpr std::size_t kCustomColourDataChars = 1019;
// A section lists at most this many settings: more entries than there are distinct ids would
// only repeat names, and a hostile "SettingNum" must not cost millions of file reads.
inline constexpr std::int32_t kMaxCustomColourSettings = 256;

// --- The selection value (32 bits) ---
// Bits 0..7: the setting's id; bit 8: the setting comes from "Gamma"; bits 16..31: 1 when the
// user setting is in use. Its low 16 bits equal the list item data that chooses the setting.
inline constexpr std::uint32_t kCustomColourIdMask = 0xFF;
inline constexpr std::uint32_t kCustomColourGammaBit = 0x100;
inline constexpr std::uint32_t kCustomColourInUse = 0x10000;

inline std::uint8_t customColourId(std::uint32_t selection) {
  return static_cast<std::uint8_t>(selection & kCustomColourIdMask);
}
inline bool customColourIsGamma(std::uint32_t selection) {
  return (selection & kCustomColourGammaBit) != 0;
}
inline bool customColourInUse(std::uint32_t selection) { return (selection >> 16) != 0; }
inline std::uint16_t customColourItemData(std::uint32_t selection) {
  return static_cast<std::uint16_t>(selection & 0xFFFF);
}
// The value that chooses the list item with `itemData`, in use or not.
inline std::uint32_t customColourSelection(std::uint16_t itemData, bool inUse) {
  return itemData | (inUse ? kCustomColourInUse : 0);
}
// The same setting with the in-use bits set to 1 or cleared.
inline std::uint32_t withCustomColourInUse(std::uint32_t selection, bool inUse) {
  return customColourSelection(customColourItemData(selection), inUse);
}

// What the rules read the custom colour settings file through (the profile API).
class CustomColourProfile {
 public:
  virtual ~CustomColourProfile() = default;
  // A missing key reads as 0. Numbers are read as the profile API reads them.
  virtual std::int32_t readNumber(std::u16string_view section, std::u16string_view key) = 0;
  // At most `maxChars` characters; empty when the key is missing.
  virtual std::u16string readText(std::u16string_view section, std::u16string_view key,
                                  std::size_t maxChars) = 0;
};

// One entry of the user-setting list.
struct CustomColourItem {
  std::u16string name;     // at most 65 characters
  std::uint16_t itemData;  // id, plus 0x100 for a "Gamma" setting
  bool operator==(const CustomColourItem&) const = default;
};

// The settings of "Color", then those of "Gamma", each in "SettingID" order. A setting whose
// name is empty or missing is not listed, nor one whose id does not fit in the selection value's
// eight id bits (it could only be stored as another setting's id). Null `file` (none named)
// lists nothing.
std::vector<CustomColourItem> listCustomColourSettings(CustomColourProfile* file);

// Hexadecimal text, two digits a byte. A pair must start with a digit, else decoding stops;
// a pair whose second character is the end of the text is dropped; one whose second character
// is another non-digit keeps the first digit's value × 16 and decoding goes on. At most
// `maxBytes` bytes are decoded; the rest of the text is ignored.
std::vector<std::uint8_t> decodeCustomColourHex(std::u16string_view text, std::size_t maxBytes);

// The selection value kept at record offsets 600..603 (kRecordSize bytes).
std::uint32_t loadCustomColourSelection(const std::uint8_t* record);

// The colour page is left: `colorMode` becomes the low 16 bits of `colorModeSlot`, offsets
// 600..603 the selection value; a setting in use then has its "CCMNT"/"CCMNV" data decoded into
// the record's two data blocks (cut at the fields' 253 and 255 bytes, the lengths saying what was
// stored). With no file named (null `file`) both lengths become 0. A setting not in use leaves
// the data blocks and their lengths as they are.
void storeCustomColour(std::uint8_t* record, std::uint32_t selection, std::uint32_t colorModeSlot,
                       CustomColourProfile* file);

// The stored lengths and data, never beyond the fields' capacities whatever a record holds.
std::size_t storedCustomColourTLength(const std::uint8_t* record);
std::size_t storedCustomColourVLength(const std::uint8_t* record);
std::span<const std::uint8_t> storedCustomColourTData(const std::uint8_t* record);
std::span<const std::uint8_t> storedCustomColourVData(const std::uint8_t* record);

}  // namespace vex
