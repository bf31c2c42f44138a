#include "record_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "private_settings.h"

namespace vex {
namespace {

using Record = std::vector<std::uint8_t>;

TEST(RecordFields, CoverTheRecordWithoutOverlapInOffsetOrder) {
  std::size_t end = 0;
  std::set<std::string_view> names;
  for (const RecordFieldInfo& field : recordFields()) {
    SCOPED_TRACE(std::string(field.name));
    EXPECT_GE(field.offset, end) << "overlaps the previous field";
    end = field.offset + recordFieldBytes(field);
    EXPECT_LE(end, kRecordSize);
    EXPECT_TRUE(names.insert(field.name).second) << "duplicate name";
    EXPECT_EQ(&field, findRecordField(field.name));
  }
  EXPECT_EQ(kRecordSize, end);  // reservedD closes the record
}

TEST(RecordFields, EveryDocumentedFieldIsThereWithItsPlace) {
  struct Expected {
    const char* name;
    std::size_t offset;
    std::size_t bytes;
  };
  const Expected expected[] = {
      {"dwSize", 0, 4},
      {"dwSignature", 4, 4},
      {"dwVersion", 8, 4},
      {"oemUiValue", 12, 4},
      {"jobName", 16, 34},
      {"jobPassword", 50, 10},
      {"jobNameRequired", 60, 4},
      {"reservedA", 64, 4},
      {"watermarkIndex", 68, 4},
      {"overlayList", 72, 8},
      {"colorMode", 80, 2},
      {"reservedB", 84, 4},
      {"customColorTLength", 88, 2},
      {"customColorTData", 90, 253},
      {"customColorVLength", 343, 2},
      {"customColorVData", 345, 255},
      {"customColorNumber", 600, 1},
      {"customColorGamma", 601, 1},
      {"customColorEnabled", 602, 2},
      {"reservedC", 604, 4},
      {"wmSize", 608, 4},
      {"wmFontIndex", 612, 4},
      {"wmAngle", 616, 2},
      {"wmOffsetX", 620, 4},
      {"wmOffsetY", 624, 4},
      {"wmColor", 628, 4},
      {"wmFontFace", 894, 66},
      {"wmFontWeight", 960, 4},
      {"wmItalic", 964, 1},
      {"wmCharSet", 965, 1},
      {"wmPosition", 966, 2},
      {"wmFrameStyle", 968, 2},
      {"wmBackground", 970, 2},
      {"wmFirstPageOnly", 972, 2},
      {"wmFontStyle", 974, 2},
      {"wmColorText", 976, 16},
      {"driverDirectory", 992, 522},
      {"pluginIniPath", 1514, 522},
      {"capabilityFilePath", 2036, 522},
      {"compression", 2558, 2},
      {"nupSelection", 2560, 1},
      {"lastPaperSize", 2564, 4},
      {"layoutSignature", 2568, 1},
      {"orientationSelection", 2569, 1},
      {"wmText", 2570, 1026},
      {"cryptoSettingA", 3596, 4},
      {"cryptoSettingB", 3600, 4},
      {"encryptedPassword", 3604, 256},
      {"encryptedPasswordLength", 3860, 4},
      {"cryptoTime", 3864, 4},
      {"cryptoFlag", 3868, 4},
      {"controlSelection", 3872, 4},
      {"reservedD", 3876, 4},
  };
  EXPECT_EQ(std::size(expected), recordFields().size());
  for (const Expected& e : expected) {
    const RecordFieldInfo* field = findRecordField(e.name);
    ASSERT_NE(nullptr, field) << e.name;
    EXPECT_EQ(e.offset, field->offset) << e.name;
    EXPECT_EQ(e.bytes, recordFieldBytes(*field)) << e.name;
  }
  EXPECT_EQ(nullptr, findRecordField("jobname"));
  EXPECT_EQ(nullptr, findRecordField(""));
  EXPECT_EQ(nullptr, findRecordField("padding"));
}

// One field set from text: either the bytes expected at the field's offset, or a failure.
struct TextCase {
  const char* field;
  std::u16string text;
  bool ok;
  std::vector<std::uint8_t> bytes;  // expected at the field's offset when ok
};

class SetFieldFromText : public testing::TestWithParam<TextCase> {};

TEST_P(SetFieldFromText, WritesExactlyTheFieldOrNothing) {
  const TextCase& c = GetParam();
  Record before(kRecordSize, 0xEE);
  Record record = before;
  std::string error;
  const bool ok = setRecordFieldFromText(record.data(), c.field, c.text, &error);
  ASSERT_EQ(c.ok, ok) << error;
  if (!ok) {
    EXPECT_EQ(before, record) << "a failed set wrote to the record";
    EXPECT_NE(std::string::npos, error.find(c.field))
        << "message does not name the field: " << error;
    return;
  }
  EXPECT_TRUE(error.empty());
  const RecordFieldInfo* field = findRecordField(c.field);
  ASSERT_NE(nullptr, field);
  Record expected = before;
  std::copy(c.bytes.begin(), c.bytes.end(), expected.begin() + field->offset);
  for (std::size_t i = 0; i < kRecordSize; ++i) {
    if (expected[i] != record[i]) {
      ADD_FAILURE() << "byte " << i << " is " << int(record[i]) << ", expected "
                    << int(expected[i]);
    }
  }
}

std::u16string repeat(char16_t c, std::size_t n) { return std::u16string(n, c); }

std::vector<std::uint8_t> wideBytes(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Integers, SetFieldFromText,
    testing::Values(
        TextCase{"watermarkIndex", u"3", true, {3, 0, 0, 0}},
        TextCase{"dwSize", u"0xFFFFFFFF", true, {0xFF, 0xFF, 0xFF, 0xFF}},
        TextCase{"dwSignature", u"0x32303030", true, {'0', '0', '0', '2'}},
        TextCase{"cryptoTime", u"0x0017003b", true, {0x3B, 0, 0x17, 0}},
        TextCase{"dwSize", u"4294967296", false, {}}, TextCase{"dwSize", u"-1", false, {}},
        TextCase{"oemUiValue", u"-1", true, {0xFF, 0xFF, 0xFF, 0xFF}},
        TextCase{"oemUiValue", u"-2147483648", true, {0, 0, 0, 0x80}},
        TextCase{"oemUiValue", u"2147483647", true, {0xFF, 0xFF, 0xFF, 0x7F}},
        TextCase{"oemUiValue", u"2147483648", false, {}},
        TextCase{"oemUiValue", u"-2147483649", false, {}},
        TextCase{"lastPaperSize", u"-0x10", true, {0xF0, 0xFF, 0xFF, 0xFF}},
        TextCase{"wmAngle", u"-180", true, {0x4C, 0xFF}},
        TextCase{"wmAngle", u"32767", true, {0xFF, 0x7F}},
        TextCase{"wmAngle", u"-32769", false, {}}, TextCase{"wmAngle", u"0xFFFF", false, {}},
        TextCase{"customColorVLength", u"65535", true, {0xFF, 0xFF}},
        TextCase{"customColorVLength", u"65536", false, {}},
        TextCase{"compression", u" 2 ", true, {2, 0}},
        TextCase{"nupSelection", u"255", true, {255}}, TextCase{"nupSelection", u"256", false, {}},
        TextCase{"nupSelection", u"-0", true, {0}}, TextCase{"nupSelection", u"", false, {}},
        TextCase{"nupSelection", u"-", false, {}}, TextCase{"nupSelection", u"0x", false, {}},
        TextCase{"nupSelection", u"12a", false, {}}, TextCase{"nupSelection", u"1 2", false, {}},
        TextCase{"nupSelection", u"0x1g", false, {}},
        TextCase{"nupSelection", u"\uFF11", false, {}},  // a full-width digit is not a digit
        TextCase{"cryptoFlag", u"99999999999999999999999999999999", false, {}},
        TextCase{"cryptoFlag", u"0x" + repeat(u'F', 40), false, {}}));

INSTANTIATE_TEST_SUITE_P(
    Text, SetFieldFromText,
    testing::Values(TextCase{"jobName", u"Report", true, wideBytes(u"Report")},
                    TextCase{"jobName", u"", true, {0, 0}},
                    TextCase{"jobName", repeat(u'n', 40), true, wideBytes(repeat(u'n', 16))},
                    TextCase{"jobPassword", u"123456", true, wideBytes(u"1234")},
                    TextCase{"wmText", u"\u673A\u5BC6", true, wideBytes(u"\u673A\u5BC6")},
                    TextCase{"wmText", repeat(u'w', 600), true, wideBytes(repeat(u'w', 512))},
                    TextCase{"driverDirectory", repeat(u'd', 300), true,
                             wideBytes(repeat(u'd', 260))}));

INSTANTIATE_TEST_SUITE_P(
    Bytes, SetFieldFromText,
    testing::Values(TextCase{"customColorTData", u"0a1bff", true, {0x0A, 0x1B, 0xFF}},
                    TextCase{"customColorTData", u"0A1BFF", true, {0x0A, 0x1B, 0xFF}},
                    TextCase{"customColorTData", u"", true, {}},
                    TextCase{"customColorTData", u"0a1", false, {}},
                    TextCase{"customColorTData", u"0g", false, {}},
                    TextCase{"customColorTData", u"0a 1b", false, {}},
                    TextCase{"customColorTData", u"0a1bzz", false, {}},  // bad pair after good ones
                    TextCase{"wmColorText", std::u16string(32, u'3'), true,
                             std::vector<std::uint8_t>(16, 0x33)},
                    TextCase{"wmColorText", std::u16string(34, u'3'), false, {}},
                    TextCase{"encryptedPassword", std::u16string(512, u'f'), true,
                             std::vector<std::uint8_t>(256, 0xFF)},
                    TextCase{"encryptedPassword", std::u16string(514, u'f'), false, {}}));

INSTANTIATE_TEST_SUITE_P(
    OverlayList, SetFieldFromText,
    testing::Values(
        TextCase{"overlayList", u"255,2,255,255", true, {255, 0, 2, 0, 255, 0, 255, 0}},
        TextCase{"overlayList", u"3", true, {3, 0}},
        TextCase{"overlayList", u"1, 0x10,65535", true, {1, 0, 0x10, 0, 0xFF, 0xFF}},
        TextCase{"overlayList", u"1,2,3,4,5", false, {}},
        TextCase{"overlayList", u"1,,2", false, {}}, TextCase{"overlayList", u"7,8,x", false, {}},
        TextCase{"overlayList", u"1,2,", false, {}}, TextCase{"overlayList", u"", false, {}},
        TextCase{"overlayList", u"65536", false, {}}, TextCase{"overlayList", u"-1", false, {}}));

TEST(SetFieldFromTextErrors, UnknownFieldIsRefusedWithItsName) {
  Record record(kRecordSize, 0xEE);
  std::string error;
  EXPECT_FALSE(setRecordFieldFromText(record.data(), "watermark", u"1", &error));
  EXPECT_NE(std::string::npos, error.find("watermark")) << error;
  EXPECT_EQ(Record(kRecordSize, 0xEE), record);
}

TEST(SetFieldFromTextErrors, ErrorPointerIsOptional) {
  Record record(kRecordSize, 0);
  EXPECT_FALSE(setRecordFieldFromText(record.data(), "nupSelection", u"x", nullptr));
  EXPECT_FALSE(setRecordFieldFromText(record.data(), "nosuchfield", u"1", nullptr));
  EXPECT_TRUE(setRecordFieldFromText(record.data(), "nupSelection", u"4", nullptr));
  EXPECT_EQ(4, record[rec::nupSelection]);
}

TEST(SetFieldFromTextErrors, MessageExplainsTheProblem) {
  Record record(kRecordSize, 0);
  std::string error;
  EXPECT_FALSE(setRecordFieldFromText(record.data(), "nupSelection", u"300", &error));
  EXPECT_EQ("nupSelection: '300' is outside 0..255", error);
}

}  // namespace
}  // namespace vex
