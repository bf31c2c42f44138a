#include "record_fields.h"

#include <array>
#include <optional>
#include <vector>

#include "private_settings.h"

namespace vex {

namespace {

using K = RecordFieldKind;

constexpr RecordFieldInfo kFields[] = {
    {"dwSize", rec::dwSize, K::U32, 4},
    {"dwSignature", rec::dwSignature, K::U32, 4},
    {"dwVersion", rec::dwVersion, K::U32, 4},
    {"oemUiValue", rec::oemUiValue, K::I32, 4},
    {"jobName", rec::jobName, K::Wide, rec::jobNameChars},
    {"jobPassword", rec::jobPassword, K::Wide, rec::jobPasswordChars},
    {"jobNameRequired", rec::jobNameRequired, K::U32, 4},
    {"reservedA", rec::reservedA, K::U32, 4},
    {"watermarkIndex", rec::watermarkIndex, K::U32, 4},
    {"overlayList", rec::overlayList, K::U16Array, rec::overlaySlots},
    {"colorMode", rec::colorMode, K::I16, 2},
    {"reservedB", rec::reservedB, K::U32, 4},
    {"customColorTLength", rec::customColorTLength, K::U16, 2},
    {"customColorTData", rec::customColorTData, K::Bytes, rec::customColorTCapacity},
    {"customColorVLength", rec::customColorVLength, K::U16, 2},
    {"customColorVData", rec::customColorVData, K::Bytes, rec::customColorVCapacity},
    {"customColorNumber", rec::customColorNumber, K::U8, 1},
    {"customColorGamma", rec::customColorGamma, K::U8, 1},
    {"customColorEnabled", rec::customColorEnabled, K::U16, 2},
    {"reservedC", rec::reservedC, K::U32, 4},
    {"wmSize", rec::wmSize, K::I32, 4},
    {"wmFontIndex", rec::wmFontIndex, K::I32, 4},
    {"wmAngle", rec::wmAngle, K::I16, 2},
    {"wmOffsetX", rec::wmOffsetX, K::I32, 4},
    {"wmOffsetY", rec::wmOffsetY, K::I32, 4},
    {"wmColor", rec::wmColor, K::U32, 4},
    {"wmFontFace", rec::wmFontFace, K::Wide, rec::wmFontFaceChars},
    {"wmFontWeight", rec::wmFontWeight, K::I32, 4},
    {"wmItalic", rec::wmItalic, K::U8, 1},
    {"wmCharSet", rec::wmCharSet, K::U8, 1},
    {"wmPosition", rec::wmPosition, K::I16, 2},
    {"wmFrameStyle", rec::wmFrameStyle, K::I16, 2},
    {"wmBackground", rec::wmBackground, K::I16, 2},
    {"wmFirstPageOnly", rec::wmFirstPageOnly, K::I16, 2},
    {"wmFontStyle", rec::wmFontStyle, K::I16, 2},
    {"wmColorText", rec::wmColorText, K::Bytes, rec::wmColorTextBytes},
    {"driverDirectory", rec::driverDirectory, K::Wide, rec::pathChars},
    {"pluginIniPath", rec::pluginIniPath, K::Wide, rec::pathChars},
    {"capabilityFilePath", rec::capabilityFilePath, K::Wide, rec::pathChars},
    {"compression", rec::compression, K::U16, 2},
    {"nupSelection", rec::nupSelection, K::U8, 1},
    {"lastPaperSize", rec::lastPaperSize, K::I32, 4},
    {"layoutSignature", rec::layoutSignature, K::U8, 1},
    {"orientationSelection", rec::orientationSelection, K::U8, 1},
    {"wmText", rec::wmText, K::Wide, rec::wmTextChars},
    {"cryptoSettingA", rec::cryptoSettingA, K::U32, 4},
    {"cryptoSettingB", rec::cryptoSettingB, K::U32, 4},
    {"encryptedPassword", rec::encryptedPassword, K::Bytes, rec::encryptedPasswordCapacity},
    {"encryptedPasswordLength", rec::encryptedPasswordLength, K::U32, 4},
    {"cryptoTime", rec::cryptoTime, K::U32, 4},
    {"cryptoFlag", rec::cryptoFlag, K::U32, 4},
    {"controlSelection", rec::controlSelection, K::U32, 4},
    {"reservedD", rec::reservedD, K::U32, 4},
};

// A short printable form of a value for messages.
std::string describe(std::u16string_view value) {
  constexpr std::size_t kShown = 40;
  std::string text = "'";
  for (std::size_t i = 0; i < value.size() && i < kShown; ++i) {
    const char16_t c = value[i];
    text.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
  }
  if (value.size() > kShown) text += "...";
  text += "'";
  return text;
}

void fail(std::string* error, const RecordFieldInfo& field, const std::string& message) {
  if (error != nullptr) *error = std::string(field.name) + ": " + message;
}

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trim(std::u16string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

int hexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Decimal or 0x-hexadecimal, optionally negative. Magnitudes beyond 2^40 are reported as
// such rather than wrapped.
enum class ParseResult { Ok, NotANumber, TooLarge };

ParseResult parseInteger(std::u16string_view text, std::int64_t* value) {
  text = trim(text);
  bool negative = false;
  if (!text.empty() && text.front() == u'-') {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return ParseResult::NotANumber;
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 40;
  std::uint64_t magnitude = 0;
  bool tooLarge = false;
  for (char16_t c : text) {
    const int digit = hexDigit(c);
    if (digit < 0 || digit >= base) return ParseResult::NotANumber;
    if (!tooLarge) {
      magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
      if (magnitude > kLimit) tooLarge = true;
    }
  }
  if (tooLarge) return ParseResult::TooLarge;
  *value = negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  return ParseResult::Ok;
}

struct Range {
  std::int64_t low;
  std::int64_t high;
};

Range rangeOf(RecordFieldKind kind) {
  switch (kind) {
    case K::U8:
      return {0, 0xFF};
    case K::U16:
    case K::U16Array:
      return {0, 0xFFFF};
    case K::U32:
      return {0, 0xFFFFFFFF};
    case K::I16:
      return {-0x8000, 0x7FFF};
    case K::I32:
      return {-0x80000000LL, 0x7FFFFFFF};
    default:
      return {0, 0};
  }
}

std::optional<std::int64_t> parseInRange(const RecordFieldInfo& field, std::u16string_view text,
                                         std::string* error) {
  std::int64_t value = 0;
  const Range range = rangeOf(field.kind);
  const std::string bounds = std::to_string(range.low) + ".." + std::to_string(range.high);
  switch (parseInteger(text, &value)) {
    case ParseResult::NotANumber:
      fail(error, field, describe(text) + " is not a decimal or 0x-hexadecimal integer");
      return std::nullopt;
    case ParseResult::TooLarge:
      fail(error, field, describe(text) + " is outside " + bounds);
      return std::nullopt;
    case ParseResult::Ok:
      break;
  }
  if (value < range.low || value > range.high) {
    fail(error, field, describe(text) + " is outside " + bounds);
    return std::nullopt;
  }
  return value;
}

bool setInteger(std::uint8_t* record, const RecordFieldInfo& field, std::u16string_view text,
                std::string* error) {
  const std::optional<std::int64_t> value = parseInRange(field, text, error);
  if (!value) return false;
  switch (field.kind) {
    case K::U8:
      setU8(record, field.offset, static_cast<std::uint8_t>(*value));
      break;
    case K::U16:
    case K::I16:
      setU16(record, field.offset, static_cast<std::uint16_t>(*value));
      break;
    default:
      setU32(record, field.offset, static_cast<std::uint32_t>(*value));
      break;
  }
  return true;
}

bool setBytes(std::uint8_t* record, const RecordFieldInfo& field, std::u16string_view text,
              std::string* error) {
  text = trim(text);
  if (text.size() % 2 != 0) {
    fail(error, field,
         "hexadecimal bytes need an even number of digits, got " + std::to_string(text.size()));
    return false;
  }
  if (text.size() / 2 > field.width) {
    fail(error, field,
         std::to_string(text.size() / 2) + " bytes do not fit its " + std::to_string(field.width) +
             " bytes");
    return false;
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = hexDigit(text[i]);
    const int low = hexDigit(text[i + 1]);
    if (high < 0 || low < 0) {
      fail(error, field,
           describe(text.substr(i, 2)) + " at character " + std::to_string(i) +
               " is not a hexadecimal byte");
      return false;
    }
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  for (std::size_t i = 0; i < bytes.size(); ++i) record[field.offset + i] = bytes[i];
  return true;
}

bool setU16Array(std::uint8_t* record, const RecordFieldInfo& field, std::u16string_view text,
                 std::string* error) {
  std::array<std::uint16_t, 8> slots{};
  std::size_t count = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(u',', start);
    const std::u16string_view item = text.substr(
        start, comma == std::u16string_view::npos ? std::u16string_view::npos : comma - start);
    if (count == field.width) {
      fail(error, field,
           "takes at most " + std::to_string(field.width) + " comma-separated values");
      return false;
    }
    const std::optional<std::int64_t> value = parseInRange(field, item, error);
    if (!value) return false;
    slots[count++] = static_cast<std::uint16_t>(*value);
    if (comma == std::u16string_view::npos) break;
    start = comma + 1;
  }
  for (std::size_t i = 0; i < count; ++i) setU16(record, field.offset + 2 * i, slots[i]);
  return true;
}

}  // namespace

std::span<const RecordFieldInfo> recordFields() { return kFields; }

const RecordFieldInfo* findRecordField(std::string_view name) {
  for (const RecordFieldInfo& field : kFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

std::size_t recordFieldBytes(const RecordFieldInfo& field) {
  switch (field.kind) {
    case K::Wide:
    case K::U16Array:
      return 2 * field.width;
    default:
      return field.width;
  }
}

bool setRecordFieldFromText(std::uint8_t* record, std::string_view name, std::u16string_view value,
                            std::string* error) {
  const RecordFieldInfo* field = findRecordField(name);
  if (field == nullptr) {
    if (error != nullptr) {
      *error = "unknown record field " + describe(std::u16string(name.begin(), name.end()));
    }
    return false;
  }
  if (record == nullptr) {
    fail(error, *field, "no record to write to");
    return false;
  }
  switch (field->kind) {
    case K::Wide:
      setWide(record, field->offset, field->width, value);
      return true;
    case K::Bytes:
      return setBytes(record, *field, value, error);
    case K::U16Array:
      return setU16Array(record, *field, value, error);
    default:
      return setInteger(record, *field, value, error);
  }
}

}  // namespace vex
