#include "watermark_dialog_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vex::ScrollCode;
using vex::WatermarkDefinition;
using vex::WatermarkList;

// Definition 0 and `count` user definitions named "W1", "W2", ...
WatermarkList listOf(std::uint32_t count) {
  WatermarkList list;
  WatermarkDefinition none;
  none.text = u"none";
  list.definitions.push_back(none);
  for (std::uint32_t n = 1; n <= count; ++n) {
    WatermarkDefinition d;
    d.text = u"W" + std::u16string(1, static_cast<char16_t>(u'0' + n % 10));
    d.fontSize = static_cast<std::int32_t>(10 * n);
    list.definitions.push_back(d);
  }
  list.loaded = true;
  return list;
}

TEST(WatermarkListRules, SelectingDefinitionZeroEmptiesTheWorkingText) {
  WatermarkList list = listOf(2);
  vex::selectWatermark(list, 2);
  EXPECT_EQ(list.currentIndex, 2u);
  EXPECT_EQ(list.working.text, u"W2");
  EXPECT_TRUE(vex::canEditWatermark(list));
  vex::selectWatermark(list, 0);
  EXPECT_EQ(list.working.text, u"");
  EXPECT_EQ(list.definitions[0].text, u"none");  // the list keeps its name
  EXPECT_FALSE(vex::canEditWatermark(list));
  vex::selectWatermark(list, 9);  // beyond the list
  EXPECT_EQ(list.currentIndex, 0u);
}

TEST(WatermarkListRules, NewStopsAtSixteen) {
  WatermarkList list = listOf(15);
  list.working.text = u"sixteenth";
  ASSERT_TRUE(vex::canAddWatermark(list));
  ASSERT_TRUE(vex::addWorkingWatermark(list));
  EXPECT_EQ(list.count(), 16u);
  EXPECT_EQ(list.currentIndex, 16u);
  EXPECT_EQ(list.definitions[16].text, u"sixteenth");
  EXPECT_FALSE(vex::canAddWatermark(list));
  list.working.text = u"seventeenth";
  EXPECT_FALSE(vex::addWorkingWatermark(list));
  EXPECT_EQ(list.count(), 16u);
  EXPECT_FALSE(vex::canAddWatermark(WatermarkList{}));  // nothing loaded
}

TEST(WatermarkListRules, EditAndDeleteLeaveDefinitionZeroAlone) {
  WatermarkList list = listOf(3);
  vex::selectWatermark(list, 0);
  list.working.fontSize = 5;
  EXPECT_FALSE(vex::storeWorkingWatermark(list));
  EXPECT_FALSE(vex::deleteCurrentWatermark(list));
  EXPECT_EQ(list.definitions[0].fontSize, 72);
  EXPECT_EQ(list.count(), 3u);

  vex::selectWatermark(list, 2);
  list.working.fontSize = 99;
  ASSERT_TRUE(vex::storeWorkingWatermark(list));
  EXPECT_EQ(list.definitions[2].fontSize, 99);

  ASSERT_TRUE(vex::deleteCurrentWatermark(list));
  EXPECT_EQ(list.count(), 2u);
  EXPECT_EQ(list.currentIndex, 0u);
  EXPECT_EQ(list.definitions[1].text, u"W1");
  EXPECT_EQ(list.definitions[2].text, u"W3");  // moved up one slot
  EXPECT_EQ(list.working.text, u"");
}

TEST(WatermarkListRules, CancelAfterDeleteRestoresTheList) {
  WatermarkList list = listOf(3);
  list.currentIndex = 2;
  vex::RollBackWatermarkList(list);  // no snapshot yet: nothing happens
  EXPECT_EQ(list.count(), 3u);
  // An opening: the snapshot, a delete, and the cancel.
  list.snapshot.assign(list.definitions.begin() + 1, list.definitions.end());
  list.snapshotCurrent = 2;
  list.hasSnapshot = true;
  ASSERT_TRUE(vex::deleteCurrentWatermark(list));
  list.definitions[0].firstPageOnly = 1;
  vex::RollBackWatermarkList(list);
  EXPECT_EQ(list.count(), 3u);
  EXPECT_EQ(list.currentIndex, 2u);
  EXPECT_EQ(list.definitions[2].text, u"W2");
  EXPECT_EQ(list.definitions[0].firstPageOnly, 0);
}

TEST(WatermarkScrollRules, StepsThumbsAndLimits) {
  const struct {
    int code;
    std::int32_t current, thumb, minimum, maximum, expected;
  } cases[] = {
      {static_cast<int>(ScrollCode::lineLeft), 72, 0, 1, 600, 71},
      {static_cast<int>(ScrollCode::lineRight), 72, 0, 1, 600, 73},
      {static_cast<int>(ScrollCode::lineRight), 600, 0, 1, 600, 600},  // beyond 600 stays
      {static_cast<int>(ScrollCode::lineLeft), 1, 0, 1, 600, 1},
      {static_cast<int>(ScrollCode::pageLeft), 72, 0, 1, 600, 62},
      {static_cast<int>(ScrollCode::pageRight), 595, 0, 1, 600, 600},
      {static_cast<int>(ScrollCode::pageLeft), -175, 0, -180, 180, -180},
      {static_cast<int>(ScrollCode::thumbTrack), 72, 300, 1, 600, 72},  // dragging: nothing yet
      {static_cast<int>(ScrollCode::thumbPosition), 72, 300, 1, 600, 300},
      {static_cast<int>(ScrollCode::thumbPosition), 72, 0, 1, 600, 1},  // a size of 0 becomes 1
      {static_cast<int>(ScrollCode::thumbPosition), 45, 0xFF4C, -180, 180, -180},  // 16-bit -180
      {static_cast<int>(ScrollCode::thumbPosition), 45, 0x7FFF, -180, 180, 180},
      {static_cast<int>(ScrollCode::endScroll), 45, 90, -180, 180, 45},
      {static_cast<int>(ScrollCode::left), 45, 90, -180, 180, 45},
      {99, 700, 0, 1, 600, 600},  // an unknown code still ends inside the range
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::scrollPosition(c.code, c.current, c.thumb, c.minimum, c.maximum), c.expected)
        << "code " << c.code << " from " << c.current << " thumb " << c.thumb;
  }
}

TEST(WatermarkOffsetRules, DigitsAndALeadingMinusWithinAThousand) {
  const struct {
    std::u16string_view text;
    std::u16string_view kept;
    bool dropped, clamped, hasValue;
    std::int32_t value;
  } cases[] = {
      {u"", u"", false, false, false, 0},
      {u"120", u"120", false, false, true, 120},
      {u"-120", u"-120", false, false, true, -120},
      {u"-", u"-", false, false, true, 0},
      {u"5000", u"5000", false, true, true, 1000},
      {u"-5000", u"-5000", false, true, true, -1000},
      {u"12a", u"12", true, false, true, 12},
      {u"a", u"", true, false, true, 0},
      {u"1-2", u"12", true, false, true, 12},  // a "-" after the first place goes
      {u"--5", u"-5", true, false, true, -5},
      {u"99999999999999999999", u"99999999999999999999", false, true, true, 1000},
      {u"\uFF11", u"", true, false, true, 0},  // a full-width digit is no digit here
  };
  for (const auto& c : cases) {
    const vex::OffsetField field = vex::filterOffsetField(c.text);
    EXPECT_EQ(field.kept, c.kept);
    EXPECT_EQ(field.dropped, c.dropped);
    EXPECT_EQ(field.clamped, c.clamped);
    EXPECT_EQ(field.hasValue, c.hasValue);
    EXPECT_EQ(field.value, c.value);
  }
}

TEST(WatermarkNumberFields, SizeUnsignedAngleSigned) {
  const struct {
    std::u16string_view text;
    bool sizeOk;
    std::int32_t size;
    bool angleOk;
    std::int32_t angle;
  } cases[] = {
      {u"72", true, 72, true, 72},
      {u"", false, 0, false, 0},
      {u"-45", false, 0, true, -45},
      {u"+45", false, 0, true, 45},
      {u"12x", false, 0, false, 0},
      {u"65537", true, 1, true, 65537},       // the size as a 16-bit value
      {u"40000", true, -25536, true, 40000},  // negative in 16 bits
      {u" 7", true, 7, true, 7},
      {u"99999999999999999999", true, -1, true, 2147483647},  // saturated, then 16 bits
  };
  for (const auto& c : cases) {
    std::int32_t size = -7, angle = -7;
    EXPECT_EQ(vex::readSizeField(c.text, &size), c.sizeOk);
    if (c.sizeOk) {
      EXPECT_EQ(size, c.size);
    } else {
      EXPECT_EQ(size, -7);  // untouched
    }
    EXPECT_EQ(vex::readAngleField(c.text, &angle), c.angleOk);
    if (c.angleOk) {
      EXPECT_EQ(angle, c.angle);
    }
  }
}

TEST(WatermarkFontDialogRules, TypedSizesRowsAndStyles) {
  const struct {
    std::u16string_view text;
    std::int32_t size;
    int row;
  } typed[] = {
      {u"72", 72, 15}, {u"8", 8, 0},      {u"13", 13, -1},   {u"0", 0, -1},
      {u"", 0, -1},    {u"601", 600, -1}, {u"40000", 1, -1}, {u"abc", 0, -1},
  };
  for (const auto& c : typed) {
    const std::int32_t size = vex::typedFontSize(c.text);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(vex::fontSizeRow(size), c.row);
  }
  const struct {
    std::int32_t weight;
    std::uint8_t italic;
    int row;
  } styles[] = {{0, 0, 0}, {400, 1, 1}, {700, 0, 2}, {700, 1, 3}, {701, 0, 0}, {699, 9, 1}};
  for (const auto& c : styles) {
    const int row = vex::fontStyleRow(c.weight, c.italic);
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(vex::fontStyleWeight(row), row >= 2 ? 700 : 400);
    EXPECT_EQ(vex::fontStyleItalic(row), row & 1);
  }
}

TEST(WatermarkFontEntry, FieldsAndThePreviewFace) {
  const std::u16string_view entry = u"Gothic,Face-Italic;Face-Bold,Face-BoldItalic,Arial";
  EXPECT_EQ(vex::fontEntryField(entry, 1), u"Gothic");
  EXPECT_EQ(vex::fontEntryField(entry, 2), u"Face-Italic");
  EXPECT_EQ(vex::fontEntryField(entry, 3), u"Face-Bold");
  EXPECT_EQ(vex::fontEntryField(entry, 5), u"Arial");
  EXPECT_EQ(vex::fontEntryField(entry, 6), u"");
  EXPECT_EQ(vex::fontEntryField(entry, 0), u"");
  EXPECT_EQ(vex::fontEntryField(u"no comma", 1), u"no comma");
  EXPECT_EQ(vex::fontEntryField(u"no comma", 2), u"");
  EXPECT_EQ(vex::fontEntryField(u",,", 3), u"");

  const vex::PreviewFace latin = vex::previewFace(entry);
  EXPECT_EQ(latin.name, u"Arial");
  EXPECT_FALSE(latin.shiftJis);
  const vex::PreviewFace japanese =
      vex::previewFace(u"Mincho,MS Mincho,HeiseiMin-W3,\u65e5\u672c\u8a9e,Other");
  EXPECT_EQ(japanese.name, u"MS Mincho");
  EXPECT_TRUE(japanese.shiftJis);
  // One marker character is not the marker.
  EXPECT_FALSE(vex::previewFace(u"a,b,c,\u65e5,e").shiftJis);
  // A face longer than a LOGFONT holds is cut to 31 characters.
  const std::u16string longFace(100, u'F');
  EXPECT_EQ(vex::previewFace(u"a,b,c,d," + longFace).name, std::u16string(31, u'F'));
  EXPECT_EQ(vex::previewFace(u"").name, u"");
}

}  // namespace
