#include "watermark_store.h"

#include "private_settings.h"

namespace vex {
namespace {

bool isSeparator(char16_t c) { return c == u',' || c == u';'; }

std::u16string ascii16(std::string_view text) { return std::u16string(text.begin(), text.end()); }

// Fields of a font entry: separated by "," (a ";" ends a field too).
std::vector<std::u16string_view> splitFields(std::u16string_view value) {
  std::vector<std::u16string_view> fields;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= value.size(); ++i) {
    if (i == value.size() || isSeparator(value[i])) {
      fields.push_back(value.substr(start, i - start));
      start = i + 1;
    }
  }
  return fields;
}

// Leading spaces, an optional sign, then digits up to the first non-digit.
std::int64_t decimalPrefix(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = (value * 10 + (text[i] - u'0')) % 0x100000000LL;
  }
  return negative ? -value : value;
}

}  // namespace

void CopyWatermarkDefinition(WatermarkDefinition& target, const WatermarkDefinition& source) {
  target = source;
}

std::u16string decimalText16(std::int64_t value) { return ascii16(std::to_string(value)); }

std::u16string watermarkKey(std::size_t n) { return u"WTMK00" + decimalText16(n); }

std::int32_t parseWatermarkNumber(std::u16string_view field, std::size_t* consumed) {
  std::uint32_t value = 0;  // accumulates with wrap-around, as a 32-bit field would
  bool negative = false;
  bool hex = false;
  std::size_t i = 0;
  for (; i < field.size() && !isSeparator(field[i]); ++i) {
    const char16_t c = field[i];
    if (c == u'-') {
      negative = true;
    } else if (!hex && c == u'0' && i + 1 < field.size() &&
               (field[i + 1] == u'x' || field[i + 1] == u'X')) {
      value = value * 10;
      hex = true;
      ++i;
    } else if (c >= u'0' && c <= u'9') {
      value = value * (hex ? 16 : 10) + (c - u'0');
    } else if (hex && c >= u'a' && c <= u'f') {
      value = value * 16 + (c - u'a' + 10);
    } else if (hex && c >= u'A' && c <= u'F') {
      value = value * 16 + (c - u'A' + 10);
    }
  }
  if (consumed) *consumed = i;
  const std::uint32_t result = negative ? 0u - value : value;
  return static_cast<std::int32_t>(result);
}

std::u16string escapeWatermarkText(std::u16string_view text) {
  std::u16string out;
  for (char16_t c : text) {
    if (c == u'\\' || isSeparator(c)) out.push_back(u'\\');
    out.push_back(c);
  }
  return out;
}

WatermarkDefinition parseWatermarkValue(std::u16string_view value) {
  WatermarkDefinition d;
  std::size_t pos = 0;
  auto number = [&]() {
    std::size_t used = 0;
    const std::int32_t n = parseWatermarkNumber(value.substr(pos), &used);
    pos += used;
    if (pos < value.size()) ++pos;  // the separator
    return n;
  };
  auto low8 = [](std::int32_t n) { return static_cast<std::int16_t>(n & 0xFF); };
  d.fontSize = number();
  d.fontIndex = number();
  d.angle = static_cast<std::int16_t>(number());
  d.offsetX = number();
  d.offsetY = number();
  d.color = static_cast<std::uint32_t>(number());
  // Text: backslash escapes, up to an unescaped separator; the slot keeps 128 characters.
  d.text.clear();
  while (pos < value.size() && !isSeparator(value[pos])) {
    if (value[pos] == u'\\' && pos + 1 < value.size()) ++pos;
    if (d.text.size() < kWatermarkTextChars) d.text.push_back(value[pos]);
    ++pos;
  }
  if (pos < value.size()) ++pos;
  d.fontName.clear();
  while (pos < value.size() && !isSeparator(value[pos])) {
    if (d.fontName.size() < kWatermarkFontChars) d.fontName.push_back(value[pos]);
    ++pos;
  }
  if (pos < value.size()) ++pos;
  d.fontWeight = number();
  d.italic = static_cast<std::uint8_t>(number());
  d.charSet = static_cast<std::uint8_t>(number());
  d.position = low8(number());
  d.frameStyle = low8(number());
  d.asBackground = low8(number());
  d.firstPageOnly = static_cast<std::uint8_t>(number());
  d.styleCode = low8(number());
  return d;
}

std::u16string formatWatermarkValue(const WatermarkDefinition& d) {
  std::u16string v;
  auto add = [&](std::int64_t n) { v += decimalText16(n) + u","; };
  add(d.fontSize);
  add(d.fontIndex);
  add(d.angle);
  add(d.offsetX);
  add(d.offsetY);
  add(d.color);
  v += escapeWatermarkText(d.text) + u",";
  v += d.fontName + u",";
  add(d.fontWeight);
  add(d.italic);
  add(d.charSet);
  add(d.position);
  add(d.frameStyle);
  add(d.asBackground);
  add(d.firstPageOnly);
  v += decimalText16(d.styleCode);
  return v;
}

std::array<std::uint8_t, 16> watermarkColorText(std::uint32_t color) {
  // Integer arithmetic, not printf: a printing application's numeric locale would turn the
  // decimal point into a comma inside the job's PostScript.
  std::array<std::uint8_t, 16> out{};
  std::size_t at = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    // Hundredths of channel / 255 rounded to the nearest, as "%1.2f" rounds; 200c + 255 over
    // 510 never lies exactly halfway, so no tie rule is needed.
    const std::uint32_t hundredths = (((color >> shift) & 0xFF) * 200 + 255) / 510;
    if (shift != 0) out[at++] = ' ';
    out[at++] = static_cast<std::uint8_t>('0' + hundredths / 100);
    out[at++] = '.';
    out[at++] = static_cast<std::uint8_t>('0' + hundredths / 10 % 10);
    out[at++] = static_cast<std::uint8_t>('0' + hundredths % 10);
  }
  return out;
}

std::uint32_t parseCustomColor(std::u16string_view value) {
  std::uint32_t parts[3] = {0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    const std::size_t comma = value.find(u',');
    parts[k] = static_cast<std::uint32_t>(decimalPrefix(value.substr(0, comma))) & 0xFF;
    value = comma == std::u16string_view::npos ? std::u16string_view() : value.substr(comma + 1);
  }
  return parts[0] | parts[1] << 8 | parts[2] << 16;
}

std::u16string formatCustomColor(std::uint32_t color) {
  return decimalText16(color & 0xFF) + u"," + decimalText16((color >> 8) & 0xFF) + u"," +
         decimalText16((color >> 16) & 0xFF);
}

void ResolveWatermarkFont(WatermarkDefinition& d, std::u16string_view fontEntry) {
  const std::vector<std::u16string_view> fields = splitFields(fontEntry);
  auto field = [&](std::size_t n) {  // 1-based; a missing field is empty
    return n <= fields.size() ? std::u16string(fields[n - 1]) : std::u16string();
  };
  const int k = (d.italic != 0 ? 1 : 0) + (d.fontWeight == 700 ? 2 : 0);
  std::u16string name;
  if (field(4).starts_with(u"\u65e5\u672c")) {  // a font of the printer's own
    name = field(3);
    d.styleCode = static_cast<std::int16_t>(k);
  } else {
    name = field(k + 1);
    d.styleCode = d.italic != 0 ? 5 : 0;
  }
  d.fontName = name.substr(0, kWatermarkFontChars);
}

std::int32_t defaultFontIndex(std::int32_t defaultNo) {
  return defaultNo > 0 ? defaultNo - 1 : 0;  // a negative number is no font of the file
}

WatermarkDefinition noWatermarkDefinition(const NoWatermarkTexts& texts, std::int32_t defaultNo) {
  WatermarkDefinition d;
  d.text = texts.text.substr(0, kWatermarkTextChars);
  d.fontName = texts.fontName.substr(0, kWatermarkFontChars);
  d.fontIndex = defaultFontIndex(defaultNo);
  return d;
}

void LoadWatermarkList(WatermarkList& list, WatermarkProfile& profile,
                       const NoWatermarkTexts& texts, std::int32_t defaultNo,
                       std::uint32_t recordWatermarkIndex) {
  if (!list.loaded) {
    list.definitions.assign(1, noWatermarkDefinition(texts, defaultNo));
    list.working = WatermarkDefinition{};
    for (const std::u16string& key : profile.keys(kWatermarkSection)) {
      if (key.empty() || key[0] != u'W') break;
      if (list.definitions.size() > kMaxWatermarks) break;  // the list holds sixteen
      list.definitions.push_back(
          parseWatermarkValue(profile.read(kWatermarkSection, key, kProfileValueChars)));
    }
    list.currentIndex = recordWatermarkIndex;
    list.loaded = true;
  }
  list.snapshot.assign(list.definitions.begin() + 1, list.definitions.end());
  if (list.currentIndex > list.count()) list.currentIndex = 0;
  list.snapshotCurrent = list.currentIndex;
  list.hasSnapshot = true;
  CopyWatermarkDefinition(list.working, list.definitions[list.currentIndex]);
  if (list.currentIndex == 0) list.working.text.clear();
}

void writeWatermarkRecord(std::uint8_t* record, std::uint32_t index, const WatermarkDefinition& d) {
  using namespace rec;
  setU32(record, watermarkIndex, index);
  setI32(record, wmSize, d.fontSize);
  setI32(record, wmFontIndex, d.fontIndex);
  setI16(record, wmAngle, d.angle);
  setI32(record, wmOffsetX, d.offsetX);
  setI32(record, wmOffsetY, d.offsetY);
  setU32(record, wmColor, d.color);
  setWide(record, wmFontFace, wmFontFaceChars, d.fontName);
  setI32(record, wmFontWeight, d.fontWeight);
  setU8(record, wmItalic, d.italic);
  setU8(record, wmCharSet, d.charSet);
  setI16(record, wmPosition, d.position);
  setI16(record, wmFrameStyle, d.frameStyle);
  setI16(record, wmBackground, d.asBackground);
  setU8(record, wmFirstPageOnly, d.firstPageOnly);  // the high byte stays as it is
  setI16(record, wmFontStyle, d.styleCode);
  setWide(record, wmText, wmTextChars, d.text);
  const auto colorText = watermarkColorText(d.color);
  for (std::size_t i = 0; i < colorText.size(); ++i) record[wmColorText + i] = colorText[i];
}

void CommitWatermarkSelection(WatermarkList& list, std::uint8_t* record) {
  list.snapshot.clear();
  list.hasSnapshot = false;
  if (list.definitions.empty()) return;
  if (list.currentIndex > list.count()) list.currentIndex = 0;
  writeWatermarkRecord(record, list.currentIndex, list.definitions[list.currentIndex]);
  list.backgroundCopy = static_cast<std::uint16_t>(list.definitions[0].asBackground);
  list.firstPageCopy = list.definitions[0].firstPageOnly;
}

void RollBackWatermarkList(WatermarkList& list) {
  if (!list.hasSnapshot || list.definitions.empty()) return;
  list.definitions.resize(1);
  list.definitions.insert(list.definitions.end(), list.snapshot.begin(), list.snapshot.end());
  list.snapshot.clear();
  list.hasSnapshot = false;
  list.currentIndex = list.snapshotCurrent;
  list.definitions[0].asBackground = static_cast<std::int16_t>(list.backgroundCopy);
  list.definitions[0].firstPageOnly = static_cast<std::uint8_t>(list.firstPageCopy);
}

void SaveWatermarkList(const WatermarkList& list, WatermarkProfile& profile) {
  profile.deleteSection(kWatermarkSection);
  for (std::uint32_t n = 1; n <= list.count(); ++n) {
    profile.write(kWatermarkSection, watermarkKey(n), formatWatermarkValue(list.definitions[n]));
  }
}

void ReleaseWatermarkList(WatermarkList& list) {
  list.definitions.clear();
  list.snapshot.clear();
  list.hasSnapshot = false;
  list.working = WatermarkDefinition{};
  list.loaded = false;
}

std::array<std::uint32_t, 16>& customColors() {
  static std::array<std::uint32_t, 16> colors = [] {
    std::array<std::uint32_t, 16> c;
    c.fill(kDefaultWatermarkColor);
    return c;
  }();
  return colors;
}

void LoadCustomColors(WatermarkProfile& profile) {
  std::size_t slot = 0;
  for (const std::u16string& key : profile.keys(kCustomColorSection)) {
    if (slot == customColors().size()) break;
    customColors()[slot++] = parseCustomColor(profile.read(kCustomColorSection, key, 31));
  }
}

void SaveCustomColors(WatermarkProfile& profile) {
  profile.deleteSection(kCustomColorSection);
  for (std::size_t i = 0; i < customColors().size(); ++i) {
    profile.write(kCustomColorSection, u"Color" + decimalText16(static_cast<std::int64_t>(i)),
                  formatCustomColor(customColors()[i]));
  }
}

}  // namespace vex
