#include "watermark_dialog_rules.h"

#include <algorithm>
#include <limits>

namespace vex {
namespace {

constexpr std::int32_t kLineStep = 1;
constexpr std::int32_t kPageStep = 10;
constexpr std::int32_t kMinFontSize = 1;
constexpr std::int32_t kMaxFontSize = 600;
constexpr std::int32_t kBoldWeight = 700;
constexpr std::int32_t kRegularWeight = 400;
constexpr std::size_t kFaceChars = 31;  // LOGFONT's face name less its terminator
constexpr char16_t kJapaneseMarker[] = u"\u65e5\u672c";

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// A whole field as the dialog manager reads a number: blanks, a "-" when signed, digits and
// nothing after them; saturating instead of overflowing. False when it is no such number.
bool readWholeNumber(std::u16string_view text, bool isSigned, std::int64_t* value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (isSigned && i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i++] == u'-';
  }
  if (i == text.size() || !isDigit(text[i])) return false;
  std::int64_t number = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    number = std::min<std::int64_t>(number * 10 + (text[i] - u'0'), std::int64_t{1} << 40);
  }
  if (i != text.size()) return false;
  *value = negative ? -number : number;
  return true;
}

std::int32_t asInt16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}

}  // namespace

void selectWatermark(WatermarkList& list, std::uint32_t index) {
  if (list.definitions.empty()) return;
  if (index > list.count()) index = 0;
  list.currentIndex = index;
  CopyWatermarkDefinition(list.working, list.definitions[index]);
  if (index == 0) list.working.text.clear();
}

bool canAddWatermark(const WatermarkList& list) {
  return !list.definitions.empty() && list.count() < kMaxWatermarks;
}

bool addWorkingWatermark(WatermarkList& list) {
  if (!canAddWatermark(list)) return false;
  list.definitions.push_back(list.working);
  list.currentIndex = list.count();
  return true;
}

bool storeWorkingWatermark(WatermarkList& list) {
  if (list.currentIndex == 0 || list.currentIndex > list.count()) return false;
  CopyWatermarkDefinition(list.definitions[list.currentIndex], list.working);
  return true;
}

bool deleteCurrentWatermark(WatermarkList& list) {
  if (list.currentIndex == 0 || list.currentIndex > list.count()) return false;
  list.definitions.erase(list.definitions.begin() + list.currentIndex);
  selectWatermark(list, 0);
  return true;
}

std::int32_t scrollPosition(int code, std::int32_t current, std::int32_t thumb,
                            std::int32_t minimum, std::int32_t maximum) {
  std::int64_t position = current;
  switch (static_cast<ScrollCode>(code)) {
    case ScrollCode::lineLeft:
      position -= kLineStep;
      break;
    case ScrollCode::lineRight:
      position += kLineStep;
      break;
    case ScrollCode::pageLeft:
      position -= kPageStep;
      break;
    case ScrollCode::pageRight:
      position += kPageStep;
      break;
    case ScrollCode::thumbPosition:
      position = asInt16(thumb);
      break;
    default:  // a dragged thumb takes effect when it is released
      break;
  }
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(position, minimum, maximum));
}

OffsetField filterOffsetField(std::u16string_view text) {
  OffsetField field;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (isDigit(c) || (c == u'-' && i == 0)) {
      field.kept.push_back(c);
    } else {
      field.dropped = true;
    }
  }
  if (text.empty()) return field;
  field.hasValue = true;
  std::int64_t number = 0;
  for (char16_t c : field.kept) {
    if (isDigit(c)) number = std::min<std::int64_t>(number * 10 + (c - u'0'), 1 << 20);
  }
  if (!field.kept.empty() && field.kept[0] == u'-') number = -number;
  field.value = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(number, -kMaxWatermarkOffset, kMaxWatermarkOffset));
  field.clamped = field.value != number;
  return field;
}

bool readSizeField(std::u16string_view text, std::int32_t* size) {
  std::int64_t number = 0;
  if (!readWholeNumber(text, false, &number)) return false;
  *size = asInt16(std::min<std::int64_t>(number, std::numeric_limits<std::uint32_t>::max()));
  return true;
}

bool readAngleField(std::u16string_view text, std::int32_t* angle) {
  std::int64_t number = 0;
  if (!readWholeNumber(text, true, &number)) return false;
  *angle = static_cast<std::int32_t>(std::clamp<std::int64_t>(
      number, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  return true;
}

int fontSizeRow(std::int32_t size) {
  for (int row = 0; row < 16; ++row) {
    if (kFontDialogSizes[row] == size) return row;
  }
  return -1;
}

std::int32_t typedFontSize(std::u16string_view text) {
  std::int32_t size = 0;
  if (!readSizeField(text, &size)) size = 0;  // the dialog manager's answer for no number
  // 0 stays 0 here: the edit dialog's scroll bar makes it 1 when the size comes back.
  if (size < 0) return kMinFontSize;
  return std::min(size, kMaxFontSize);
}

int fontStyleRow(std::int32_t weight, std::uint8_t italic) {
  return (weight == kBoldWeight ? 2 : 0) + (italic != 0 ? 1 : 0);
}

std::int32_t fontStyleWeight(int row) { return row >= 2 ? kBoldWeight : kRegularWeight; }

std::uint8_t fontStyleItalic(int row) { return static_cast<std::uint8_t>(row & 1); }

std::u16string_view fontEntryField(std::u16string_view entry, std::size_t n) {
  if (n == 0) return {};
  std::size_t start = 0;
  for (std::size_t field = 1;; ++field) {
    const std::size_t end = entry.find_first_of(u",;", start);
    if (field == n)
      return entry.substr(start, end == std::u16string_view::npos ? end : end - start);
    if (end == std::u16string_view::npos) return {};
    start = end + 1;
  }
}

PreviewFace previewFace(std::u16string_view entry) {
  PreviewFace face;
  const std::u16string_view marker(kJapaneseMarker);
  face.shiftJis = fontEntryField(entry, 4).substr(0, marker.size()) == marker;
  const std::u16string_view name = fontEntryField(entry, face.shiftJis ? 2 : 5);
  face.name = std::u16string(name.substr(0, kFaceChars));
  return face;
}

}  // namespace vex
