#include "private_settings.h"

#include <algorithm>
#include <cstring>

namespace vex {

std::uint8_t getU8(const std::uint8_t* record, std::size_t offset) { return record[offset]; }

std::uint16_t getU16(const std::uint8_t* record, std::size_t offset) {
  return static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
}

std::uint32_t getU32(const std::uint8_t* record, std::size_t offset) {
  return static_cast<std::uint32_t>(record[offset]) |
         (static_cast<std::uint32_t>(record[offset + 1]) << 8) |
         (static_cast<std::uint32_t>(record[offset + 2]) << 16) |
         (static_cast<std::uint32_t>(record[offset + 3]) << 24);
}

std::int16_t getI16(const std::uint8_t* record, std::size_t offset) {
  return static_cast<std::int16_t>(getU16(record, offset));
}

std::int32_t getI32(const std::uint8_t* record, std::size_t offset) {
  return static_cast<std::int32_t>(getU32(record, offset));
}

void setU8(std::uint8_t* record, std::size_t offset, std::uint8_t value) { record[offset] = value; }

void setU16(std::uint8_t* record, std::size_t offset, std::uint16_t value) {
  record[offset] = static_cast<std::uint8_t>(value);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void setU32(std::uint8_t* record, std::size_t offset, std::uint32_t value) {
  record[offset] = static_cast<std::uint8_t>(value);
  record[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  record[offset + 2] = static_cast<std::uint8_t>(value >> 16);
  record[offset + 3] = static_cast<std::uint8_t>(value >> 24);
}

void setI16(std::uint8_t* record, std::size_t offset, std::int16_t value) {
  setU16(record, offset, static_cast<std::uint16_t>(value));
}

void setI32(std::uint8_t* record, std::size_t offset, std::int32_t value) {
  setU32(record, offset, static_cast<std::uint32_t>(value));
}

std::u16string getWide(const std::uint8_t* record, std::size_t offset, std::size_t chars) {
  std::u16string text;
  for (std::size_t i = 0; i < chars; ++i) {
    const char16_t c = static_cast<char16_t>(getU16(record, offset + 2 * i));
    if (c == u'\0') break;
    text.push_back(c);
  }
  return text;
}

void setWide(std::uint8_t* record, std::size_t offset, std::size_t chars,
             std::u16string_view text) {
  if (chars == 0) return;
  std::size_t count = std::min(text.size(), chars - 1);
  // Do not leave half of a surrogate pair at the cut.
  if (count < text.size() && count > 0 && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) {
    --count;
  }
  for (std::size_t i = 0; i < count; ++i) setU16(record, offset + 2 * i, text[i]);
  setU16(record, offset + 2 * count, 0);
}

std::uint16_t defaultCompression(std::int32_t compressionValue) {
  static constexpr std::uint16_t kLevels[16] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0, 0, 0, 0, 0};
  return kLevels[(static_cast<std::uint32_t>(compressionValue) >> 8) & 0xF];
}

std::size_t recordCopySize(const std::uint8_t* in, const std::uint8_t* out) {
  const std::uint32_t size = std::min(getU32(in, rec::dwSize), getU32(out, rec::dwSize));
  return std::min<std::size_t>(size, kRecordSize);
}

namespace {

void stampHeader(std::uint8_t* out) {
  setU32(out, rec::dwSize, static_cast<std::uint32_t>(kRecordSize));
  setU32(out, rec::dwSignature, kRecordSignature);
  setU32(out, rec::dwVersion, kRecordVersion);
}

bool sameSignature(const std::uint8_t* in, const std::uint8_t* out) {
  return getU32(in, rec::dwSignature) == getU32(out, rec::dwSignature);
}

// Copies the part of `in` that both records claim to hold; the rest of `out` stays.
void copyRecord(const std::uint8_t* in, std::uint8_t* out) {
  const std::size_t count = recordCopySize(in, out);
  if (count != 0 && in != out) std::memmove(out, in, count);
}

// The per-document fields that the UI resets whenever it builds or converts a record. Only the
// low bytes of the two custom colour lengths are written.
void resetDocumentFields(std::uint8_t* out) {
  setI32(out, rec::oemUiValue, 0);
  setU16(out, rec::overlayList, 255);
  setI16(out, rec::colorMode, 0);
  setU16(out, rec::jobName, 0);
  setU16(out, rec::jobPassword, 0);
  setU32(out, rec::jobNameRequired, 0);
  setU32(out, rec::watermarkIndex, 0);
  setU32(out, rec::customColorNumber, 0);  // number, gamma and enabled flag as one word
  setU8(out, rec::customColorTLength, 0);
  setU8(out, rec::customColorVLength, 0);
  setU32(out, rec::reservedC, 1);
  setU8(out, rec::nupSelection, 0);
  setU8(out, rec::orientationSelection, 0);
  setI32(out, rec::lastPaperSize, 0);
  setU8(out, rec::layoutSignature, 0);
  setU32(out, rec::controlSelection, 0);
}

void applyCryptoDefaults(std::uint8_t* out, const std::optional<CryptoSettingsBlock>& crypto) {
  if (!crypto) return;
  setU32(out, rec::encryptedPasswordLength, 0);
  setU8(out, rec::encryptedPassword, 0);
  setU32(out, rec::cryptoSettingA, crypto->settingA);
  setU32(out, rec::cryptoSettingB, crypto->settingB);
  setU32(out, rec::cryptoTime, crypto->keepingTime);
  setU32(out, rec::cryptoFlag, crypto->askAtPrint);
}

// Brings every field the rendering side reads back into its range.
void validateForRendering(std::uint8_t* out) {
  if (getU32(out, rec::watermarkIndex) > 16) setU32(out, rec::watermarkIndex, 0);
  if (getU16(out, rec::customColorEnabled) > 1 || getU8(out, rec::customColorGamma) > 1 ||
      getU8(out, rec::customColorNumber) > 59) {
    setU32(out, rec::customColorNumber, 0);
  }
  if (getU16(out, rec::customColorTLength) > 255) setU16(out, rec::customColorTLength, 0);
  if (getU16(out, rec::customColorVLength) > 255) setU16(out, rec::customColorVLength, 0);
  if (getU8(out, rec::nupSelection) > 6) setU8(out, rec::nupSelection, 0);
  if (getU8(out, rec::orientationSelection) > 2) setU8(out, rec::orientationSelection, 0);
  if (getU32(out, rec::cryptoSettingA) > 2) setU32(out, rec::cryptoSettingA, 0);
  if (getU32(out, rec::cryptoSettingB) > 3) setU32(out, rec::cryptoSettingB, 0);
  const std::uint32_t time = getU32(out, rec::cryptoTime);
  if (time < 5 || (time >> 16) > 23 || (time & 0xFFFF) > 59) {
    setU32(out, rec::cryptoTime, 0x00020000);
  }
  const std::uint32_t passwordLength = getU32(out, rec::encryptedPasswordLength);
  if (passwordLength == 0 || passwordLength > 255) {
    setU32(out, rec::encryptedPasswordLength, 0);
    setU8(out, rec::encryptedPassword, 0);
  }
  if (getU16(out, rec::compression) > 3) setU16(out, rec::compression, 0);
}

}  // namespace

void uiDefaults(std::uint8_t* out, const UiDefaultInputs& inputs) {
  if (out == nullptr) return;
  stampHeader(out);
  resetDocumentFields(out);
  setWide(out, rec::pluginIniPath, rec::pathChars, inputs.pluginIniPath);
  setWide(out, rec::driverDirectory, rec::pathChars, inputs.driverDirectory);
  applyCryptoDefaults(out, inputs.cryptoDefaults);
  setWide(out, rec::capabilityFilePath, rec::pathChars, inputs.configFilePath);
  setU16(out, rec::compression, defaultCompression(inputs.compressionValue));
}

void uiConvert(const std::uint8_t* in, std::uint8_t* out,
               const std::optional<CryptoSettingsBlock>& cryptoDefaults) {
  if (in == nullptr || out == nullptr) return;
  resetDocumentFields(out);
  if (sameSignature(in, out)) {
    applyCryptoDefaults(out, cryptoDefaults);
    copyRecord(in, out);
    setU32(out, rec::dwSize, static_cast<std::uint32_t>(kRecordSize));
    setU32(out, rec::dwVersion, kRecordVersion);
  } else {
    stampHeader(out);
    setU32(out, rec::reservedB, 0);
    applyCryptoDefaults(out, cryptoDefaults);
  }
}

void uiMerge(const std::uint8_t* in, std::uint8_t* out,
             const std::optional<CryptoSettingsBlock>& cryptoDefaults) {
  if (in == nullptr || out == nullptr) return;
  uiConvert(in, out, cryptoDefaults);
  stampHeader(out);
  if (getI32(out, rec::oemUiValue) > 100) setI32(out, rec::oemUiValue, 0);
}

void psDefaults(std::uint8_t* out) {
  if (out == nullptr) return;
  stampHeader(out);
  setI32(out, rec::oemUiValue, 0);
}

void psConvert(const std::uint8_t* in, std::uint8_t* out) {
  if (in == nullptr || out == nullptr) return;
  // Compared before anything is written: `in` and `out` may be the same buffer.
  const bool matching = sameSignature(in, out);
  setI32(out, rec::oemUiValue, 0);
  if (matching) {
    copyRecord(in, out);
    validateForRendering(out);
  } else {
    setU32(out, rec::dwSignature, kRecordSignature);
  }
  setU32(out, rec::dwVersion, kRecordVersion);
  setU32(out, rec::dwSize, static_cast<std::uint32_t>(kRecordSize));
}

void psMerge(const std::uint8_t* in, std::uint8_t* out) {
  if (in == nullptr || out == nullptr) return;
  psConvert(in, out);
  stampHeader(out);
  setI32(out, rec::oemUiValue, 0);
}

}  // namespace vex
