#include "watermark_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "private_settings.h"

namespace {

using vex::WatermarkDefinition;

// Definition 0's texts as the module's string table gives them.
const vex::NoWatermarkTexts kTexts{u"\u65e0", u"HeiseiMin-W3-90ms-RKSJ-H"};

// An INI file in memory: sections of keys in file order.
class MemoryProfile : public vex::WatermarkProfile {
 public:
  std::map<std::u16string, std::vector<std::pair<std::u16string, std::u16string>>> sections;

  std::vector<std::u16string> keys(std::u16string_view section) override {
    std::vector<std::u16string> out;
    for (const auto& [key, value] : sections[std::u16string(section)]) out.push_back(key);
    return out;
  }
  std::u16string read(std::u16string_view section, std::u16string_view key,
                      std::size_t maxChars) override {
    for (const auto& [k, v] : sections[std::u16string(section)]) {
      if (k == key) return v.substr(0, maxChars);
    }
    return {};
  }
  void write(std::u16string_view section, std::u16string_view key,
             std::u16string_view value) override {
    auto& entries = sections[std::u16string(section)];
    for (auto& [k, v] : entries) {
      if (k == key) {
        v = value;
        return;
      }
    }
    entries.emplace_back(key, value);
  }
  void deleteSection(std::u16string_view section) override {
    sections.erase(std::u16string(section));
  }
};

WatermarkDefinition sample(std::u16string text) {
  WatermarkDefinition d;
  d.text = std::move(text);
  d.fontName = u"Helvetica-Bold";
  d.fontSize = 48;
  d.fontIndex = 2;
  d.angle = -120;
  d.offsetX = -1000;
  d.offsetY = 1000;
  d.color = 0x0000FF;
  d.fontWeight = 700;
  d.italic = 1;
  d.charSet = 134;
  d.position = 6;
  d.frameStyle = 3;
  d.asBackground = 1;
  d.firstPageOnly = 1;
  d.styleCode = 5;
  return d;
}

TEST(WatermarkStore, DefaultValueText) {
  WatermarkDefinition d = vex::noWatermarkDefinition(kTexts, 0);
  d.text = u"A,B";
  EXPECT_EQ(vex::formatWatermarkValue(d),
            u"72,0,45,0,0,12632256,A\\,B,HeiseiMin-W3-90ms-RKSJ-H,0,0,0,3,0,0,0,0");
  EXPECT_EQ(vex::parseWatermarkValue(vex::formatWatermarkValue(d)), d);
}

TEST(WatermarkStore, Keys) {
  EXPECT_EQ(vex::watermarkKey(1), u"WTMK001");
  EXPECT_EQ(vex::watermarkKey(9), u"WTMK009");
  EXPECT_EQ(vex::watermarkKey(10), u"WTMK0010");
  EXPECT_EQ(vex::watermarkKey(16), u"WTMK0016");
}

TEST(WatermarkStore, NumberParser) {
  const struct {
    std::u16string field;
    std::int32_t value;
    std::size_t consumed;
  } cases[] = {
      {u"0x10", 16, 4},        {u"1-2", -12, 3}, {u"-45,rest", -45, 3}, {u"12;3", 12, 2},
      {u"0XfF", 255, 4},       {u"abc7", 7, 4},  {u"", 0, 0},           {u",", 0, 0},
      {u"4294967295", -1, 10}, {u"x1f", 1, 3},   {u" 72 ", 72, 4},
  };
  for (const auto& c : cases) {
    std::size_t used = 99;
    EXPECT_EQ(vex::parseWatermarkNumber(c.field, &used), c.value)
        << std::string(c.field.begin(), c.field.end());
    EXPECT_EQ(used, c.consumed);
  }
}

TEST(WatermarkStore, RoundTripsThroughTheIniFormat) {
  for (const char16_t* text : {u"a,b;c\\d", u"\\\\,,;;", u"\u673a\u5bc6", u"", u"end\\"}) {
    const WatermarkDefinition d = sample(text);
    EXPECT_EQ(vex::parseWatermarkValue(vex::formatWatermarkValue(d)), d);
  }
}

TEST(WatermarkStore, FieldWidthsAndLimits) {
  // position, frameStyle, asBackground and styleCode keep their low 8 bits; the text its 128
  // characters; the font name its 32.
  const std::u16string longText(300, u'T');
  const std::u16string longFont(50, u'F');
  const WatermarkDefinition d = vex::parseWatermarkValue(
      u"1,2,70000,4,5,6," + longText + u"," + longFont + u",7,257,258,259,260,-1,513,0x105");
  EXPECT_EQ(d.angle, static_cast<std::int16_t>(70000 & 0xFFFF));
  EXPECT_EQ(d.text, std::u16string(128, u'T'));
  EXPECT_EQ(d.fontName, std::u16string(32, u'F'));
  EXPECT_EQ(d.italic, 1);
  EXPECT_EQ(d.charSet, 2);
  EXPECT_EQ(d.position, 3);
  EXPECT_EQ(d.frameStyle, 4);
  EXPECT_EQ(d.asBackground, 255);
  EXPECT_EQ(d.firstPageOnly, 1);
  EXPECT_EQ(d.styleCode, 5);
  // A short value leaves the rest at zero.
  const WatermarkDefinition shortValue = vex::parseWatermarkValue(u"10");
  EXPECT_EQ(shortValue.fontSize, 10);
  EXPECT_EQ(shortValue.text, u"");
  EXPECT_EQ(shortValue.position, 0);
}

TEST(WatermarkStore, SaveAndReloadTenAndMore) {
  MemoryProfile ini;
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, ini, kTexts, 0, 0);
  EXPECT_EQ(list.count(), 0u);
  for (int n = 1; n <= 12; ++n) {
    list.definitions.push_back(sample(u"mark " + vex::decimalText16(n) + u", ;\\"));
  }
  vex::SaveWatermarkList(list, ini);
  const auto& keys = ini.sections[u"Watermark"];
  ASSERT_EQ(keys.size(), 12u);
  EXPECT_EQ(keys[9].first, u"WTMK0010");
  EXPECT_EQ(keys[11].first, u"WTMK0012");

  vex::WatermarkList again;
  vex::LoadWatermarkList(again, ini, kTexts, 0, 12);
  ASSERT_EQ(again.count(), 12u);
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(again.definitions[n], list.definitions[n]);
  EXPECT_EQ(again.currentIndex, 12u);
  EXPECT_EQ(again.working, list.definitions[12]);
}

TEST(WatermarkStore, KeysInFileOrderUpToTheFirstOtherKey) {
  MemoryProfile ini;
  ini.write(u"Watermark", u"WTMK002", u"10,0,0,0,0,0,second,F,0,0,0,0,0,0,0,0");
  ini.write(u"Watermark", u"WTMK001", u"20,0,0,0,0,0,first,F,0,0,0,0,0,0,0,0");
  ini.write(u"Watermark", u"Note", u"x");
  ini.write(u"Watermark", u"WTMK003", u"30,0,0,0,0,0,after,F,0,0,0,0,0,0,0,0");
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, ini, kTexts, 0, 0);
  ASSERT_EQ(list.count(), 2u);
  EXPECT_EQ(list.definitions[1].text, u"second");
  EXPECT_EQ(list.definitions[2].text, u"first");

  MemoryProfile other;
  other.write(u"Watermark", u"wtmk001", u"1");
  other.write(u"Watermark", u"WTMK002", u"2");
  vex::WatermarkList none;
  vex::LoadWatermarkList(none, other, kTexts, 0, 0);
  EXPECT_EQ(none.count(), 0u);
}

TEST(WatermarkStore, AtMostSixteenDefinitions) {
  MemoryProfile ini;
  for (int n = 1; n <= 20; ++n) ini.write(u"Watermark", vex::watermarkKey(n), u"1,0,0");
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, ini, kTexts, 0, 20);
  EXPECT_EQ(list.count(), 16u);
  EXPECT_EQ(list.currentIndex, 0u);  // beyond the count
}

TEST(WatermarkStore, DefinitionZero) {
  MemoryProfile ini;
  const struct {
    std::int32_t defaultNo;
    std::int32_t fontIndex;
  } cases[] = {{0, 0},  {1, 0},     {3, 2},      {INT_MAX, INT_MAX - 1},
               {-1, 0}, {-5000, 0}, {INT_MIN, 0}};  // a negative number means the first font
  for (const auto& c : cases) {
    vex::WatermarkList list;
    vex::LoadWatermarkList(list, ini, kTexts, c.defaultNo, 0);
    const WatermarkDefinition& zero = list.definitions[0];
    EXPECT_EQ(zero.text, u"\u65e0");
    EXPECT_EQ(zero.fontName, u"HeiseiMin-W3-90ms-RKSJ-H");
    EXPECT_EQ(zero.fontIndex, c.fontIndex) << c.defaultNo;
    EXPECT_EQ(zero.fontSize, 72);
    EXPECT_EQ(zero.color, 0xC0C0C0u);
    EXPECT_EQ(list.working.text, u"");  // the preview shows no text for no watermark
  }
}

TEST(WatermarkStore, DefinitionZeroTextsAreTheCallers) {
  // Whatever the string table holds, cut to the fields' widths.
  const vex::NoWatermarkTexts texts{std::u16string(200, u'n'), std::u16string(40, u'F')};
  const WatermarkDefinition zero = vex::noWatermarkDefinition(texts, 2);
  EXPECT_EQ(zero.text, std::u16string(128, u'n'));
  EXPECT_EQ(zero.fontName, std::u16string(32, u'F'));
  EXPECT_EQ(zero.fontIndex, 1);
  EXPECT_EQ(vex::noWatermarkDefinition({u"none", u""}, 0).fontName, u"");
}

TEST(WatermarkStore, CommitWritesTheRecord) {
  MemoryProfile ini;
  ini.write(u"Watermark", u"WTMK001", vex::formatWatermarkValue(sample(u"Secret")));
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, ini, kTexts, 0, 1);
  std::vector<std::uint8_t> record(vex::kRecordSize, 0xEE);
  vex::CommitWatermarkSelection(list, record.data());
  using namespace vex::rec;
  EXPECT_EQ(vex::getU32(record.data(), watermarkIndex), 1u);
  EXPECT_EQ(vex::getI32(record.data(), wmSize), 48);
  EXPECT_EQ(vex::getI32(record.data(), wmFontIndex), 2);
  EXPECT_EQ(vex::getI16(record.data(), wmAngle), -120);
  EXPECT_EQ(record[618], 0xEE);  // not written
  EXPECT_EQ(vex::getI32(record.data(), wmOffsetX), -1000);
  EXPECT_EQ(vex::getI32(record.data(), wmOffsetY), 1000);
  EXPECT_EQ(vex::getU32(record.data(), wmColor), 0xFFu);
  EXPECT_EQ(vex::getWide(record.data(), wmFontFace, wmFontFaceChars), u"Helvetica-Bold");
  EXPECT_EQ(vex::getI32(record.data(), wmFontWeight), 700);
  EXPECT_EQ(vex::getU8(record.data(), wmItalic), 1);
  EXPECT_EQ(vex::getU8(record.data(), wmCharSet), 134);
  EXPECT_EQ(vex::getI16(record.data(), wmPosition), 6);
  EXPECT_EQ(vex::getI16(record.data(), wmFrameStyle), 3);
  EXPECT_EQ(vex::getI16(record.data(), wmBackground), 1);
  EXPECT_EQ(vex::getU8(record.data(), wmFirstPageOnly), 1);
  EXPECT_EQ(record[973], 0xEE);  // the high byte is not written
  EXPECT_EQ(vex::getI16(record.data(), wmFontStyle), 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + wmColorText)),
            "1.00 0.00 0.00");
  EXPECT_EQ(vex::getWide(record.data(), wmText, wmTextChars), u"Secret");

  // Definition 0: index 0, the defaults and the text "none".
  list.currentIndex = 0;
  vex::CommitWatermarkSelection(list, record.data());
  EXPECT_EQ(vex::getU32(record.data(), watermarkIndex), 0u);
  EXPECT_EQ(vex::getWide(record.data(), wmText, wmTextChars), u"\u65e0");
  EXPECT_EQ(vex::getI32(record.data(), wmSize), 72);
  EXPECT_EQ(vex::getI16(record.data(), wmAngle), 45);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + wmColorText)),
            "0.75 0.75 0.75");
}

TEST(WatermarkStore, ColourText) {
  const struct {
    std::uint32_t color;
    std::string text;
  } cases[] = {{0x0000FF, "1.00 0.00 0.00"},
               {0xFFFFFF, "1.00 1.00 1.00"},
               {0xC0C0C0, "0.75 0.75 0.75"},
               {0x00FF00, "0.00 1.00 0.00"},
               {0xFF000000, "0.00 0.00 0.00"}};
  for (const auto& c : cases) {
    const auto bytes = vex::watermarkColorText(c.color);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), c.text);
    EXPECT_EQ(bytes[15], 0);
  }
}

// Every channel value as "%1.2f" prints it in the C locale, and the same text under a
// comma-decimal locale, where the C library itself would write "0,75".
TEST(WatermarkStore, ColourTextIgnoresTheNumericLocale) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "C");
  std::vector<std::string> expected;
  for (int c = 0; c < 256; ++c) {
    char text[16];
    std::snprintf(text, sizeof text, "%1.2f %1.2f %1.2f", c / 255.0, (255 - c) / 255.0, 0.0);
    expected.emplace_back(text);
  }
  const char* commaLocale = nullptr;
  for (const char* name :
       {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "German", "de-DE"}) {
    if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
      commaLocale = name;
      break;
    }
  }
  for (int c = 0; c < 256; ++c) {
    const auto bytes = vex::watermarkColorText(static_cast<std::uint32_t>(c | (255 - c) << 8));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), expected[c]) << c;
  }
  std::setlocale(LC_NUMERIC, before.c_str());
  // The machine set-up installs the locales (scripts/setup); without one the check above ran in
  // the C locale only and proves nothing about the comma.
  ASSERT_NE(commaLocale, nullptr) << "no comma-decimal locale installed";
}

TEST(WatermarkStore, RollBackRestoresDeletedDefinitionAndSelection) {
  MemoryProfile ini;
  for (int n = 1; n <= 3; ++n) {
    ini.write(u"Watermark", vex::watermarkKey(n),
              vex::formatWatermarkValue(sample(u"m" + vex::decimalText16(n))));
  }
  vex::WatermarkList list;
  vex::LoadWatermarkList(list, ini, kTexts, 0, 2);
  std::vector<std::uint8_t> record(vex::kRecordSize, 0);
  list.definitions[0].firstPageOnly = 1;
  vex::CommitWatermarkSelection(list, record.data());
  EXPECT_EQ(list.firstPageCopy, 1u);

  vex::LoadWatermarkList(list, ini, kTexts, 0, 0);  // a second opening: already loaded
  const auto before = list.definitions;
  list.definitions.erase(list.definitions.begin() + 2);
  list.currentIndex = 1;
  list.definitions[0].firstPageOnly = 0;
  list.definitions[0].asBackground = 1;
  vex::RollBackWatermarkList(list);
  EXPECT_EQ(list.definitions, before);
  EXPECT_EQ(list.count(), 3u);
  EXPECT_EQ(list.currentIndex, 2u);
  EXPECT_EQ(list.definitions[0].firstPageOnly, 1);
  EXPECT_EQ(list.definitions[0].asBackground, 0);
}

TEST(WatermarkStore, FontResolution) {
  const std::u16string printerFont =
      u"\u660e\u671d,MS Mincho,HeiseiMin-W3-90ms-RKSJ-H,\u65e5\u672c\u8a9e";
  const std::u16string fiveFields =
      u"Helvetica,Helvetica-Oblique,Helvetica-Bold,Helvetica-BoldOblique,Arial";
  const struct {
    const std::u16string* entry;
    std::int32_t weight;
    std::uint8_t italic;
    std::u16string name;
    std::int16_t style;
  } cases[] = {
      {&printerFont, 0, 0, u"HeiseiMin-W3-90ms-RKSJ-H", 0},
      {&printerFont, 0, 1, u"HeiseiMin-W3-90ms-RKSJ-H", 1},
      {&printerFont, 700, 0, u"HeiseiMin-W3-90ms-RKSJ-H", 2},
      {&printerFont, 700, 1, u"HeiseiMin-W3-90ms-RKSJ-H", 3},
      {&printerFont, 400, 0, u"HeiseiMin-W3-90ms-RKSJ-H", 0},
      {&fiveFields, 0, 0, u"Helvetica", 0},
      {&fiveFields, 400, 1, u"Helvetica-Oblique", 5},
      {&fiveFields, 700, 0, u"Helvetica-Bold", 0},
      {&fiveFields, 700, 1, u"Helvetica-BoldOblique", 5},
      {&fiveFields, 701, 0, u"Helvetica", 0},  // only 700 is bold
  };
  for (const auto& c : cases) {
    WatermarkDefinition d;
    d.fontWeight = c.weight;
    d.italic = c.italic;
    vex::ResolveWatermarkFont(d, *c.entry);
    EXPECT_EQ(d.fontName, c.name);
    EXPECT_EQ(d.styleCode, c.style);
  }
  // Missing fields count as empty; ";" ends a field too; names keep 32 characters.
  WatermarkDefinition d;
  d.fontWeight = 700;
  vex::ResolveWatermarkFont(d, u"OnlyOne");
  EXPECT_EQ(d.fontName, u"");
  vex::ResolveWatermarkFont(d, u"A;B;C-Bold;D");
  EXPECT_EQ(d.fontName, u"C-Bold");
  vex::ResolveWatermarkFont(d, u"a,b," + std::u16string(40, u'N'));
  EXPECT_EQ(d.fontName, std::u16string(32, u'N'));
}

TEST(WatermarkStore, CustomColours) {
  EXPECT_EQ(vex::parseCustomColor(u"255,0,0"), 0x0000FFu);
  EXPECT_EQ(vex::parseCustomColor(u" 1, +2,3x"), 0x030201u);
  EXPECT_EQ(vex::parseCustomColor(u"256,-1,"), 0x00FF00u);
  EXPECT_EQ(vex::parseCustomColor(u""), 0u);
  EXPECT_EQ(vex::formatCustomColor(0x00C08040), u"64,128,192");

  for (std::uint32_t& c : vex::customColors()) c = 0xC0C0C0;
  MemoryProfile ini;
  const std::u16string section = vex::kCustomColorSection;
  ini.write(section, u"Anything", u"1,2,3");
  ini.write(section, u"Color9", u"4,5,6");
  vex::LoadCustomColors(ini);
  EXPECT_EQ(vex::customColors()[0], 0x030201u);  // key names are not interpreted
  EXPECT_EQ(vex::customColors()[1], 0x060504u);
  EXPECT_EQ(vex::customColors()[2], 0xC0C0C0u);  // no key: unchanged
  vex::SaveCustomColors(ini);
  ASSERT_EQ(ini.sections[section].size(), 16u);
  EXPECT_EQ(ini.sections[section][0],
            (std::pair<std::u16string, std::u16string>{u"Color0", u"1,2,3"}));
  EXPECT_EQ(ini.sections[section][15].first, u"Color15");
  EXPECT_EQ(ini.sections[section][15].second, u"192,192,192");
  // More than sixteen keys: the seventeenth is not read.
  ini.deleteSection(section);
  for (int i = 0; i < 16; ++i) ini.write(section, u"K" + vex::decimalText16(i), u"9,9,9");
  ini.write(section, u"K16", u"7,7,7");
  vex::LoadCustomColors(ini);
  EXPECT_EQ(vex::customColors()[15], 0x090909u);
  EXPECT_EQ(vex::customColors()[0], 0x090909u);
  for (std::uint32_t& c : vex::customColors()) c = 0xC0C0C0;
}

}  // namespace
