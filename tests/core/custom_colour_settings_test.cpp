// Custom colour settings over an in-memory file: the listing, the hexadecimal decoder, the store
// into the record and its bounded readers, with hostile files.
#include "custom_colour_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "private_settings.h"

namespace {

using vex::CustomColourItem;
using Bytes = std::vector<std::uint8_t>;

// Keys as "Section/Key"; numbers read the leading integer as the profile API does.
struct MemoryFile final : vex::CustomColourProfile {
  std::map<std::u16string, std::u16string> keys;
  int reads = 0;
  std::u16string readText(std::u16string_view s, std::u16string_view k, std::size_t max) override {
    ++reads;
    const auto it = keys.find(std::u16string(s) + u"/" + std::u16string(k));
    return it == keys.end() ? u"" : it->second.substr(0, max);
  }
  std::int32_t readNumber(std::u16string_view s, std::u16string_view k) override {
    const std::u16string t = readText(s, k, 64);
    const bool negative = !t.empty() && t[0] == u'-';
    std::int64_t v = 0;
    for (std::size_t i = negative; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i)
      v = std::min<std::int64_t>(v * 10 + (t[i] - u'0'), 0x7FFFFFFF);
    return static_cast<std::int32_t>(negative ? -v : v);
  }
};

// "Section/Key=Value|..." as a file.
MemoryFile fileOf(std::u16string_view entries) {
  MemoryFile file;
  for (std::size_t start = 0; start < entries.size();) {
    const std::size_t end = std::min(entries.find(u'|', start), entries.size());
    const std::u16string_view entry = entries.substr(start, end - start);
    const std::size_t equals = entry.find(u'=');
    file.keys[std::u16string(entry.substr(0, equals))] = std::u16string(entry.substr(equals + 1));
    start = end + 1;
  }
  return file;
}

TEST(CustomColourListing, OrderIdsAndHostileFiles) {
  struct Case {
    std::u16string_view file;
    std::vector<CustomColourItem> want;
  };
  const std::vector<Case> cases = {
      {u"Gamma/SettingNum=1|Gamma/SettingID0=7|Gamma/SettingName7=X", {{u"X", 0x107}}},
      {u"Gamma/SettingNum=1|Gamma/SettingID0=2|Gamma/SettingName2=G|Color/SettingNum=2|"
       u"Color/SettingID0=9|Color/SettingID1=3|Color/SettingName9=C9|Color/SettingName3=C3",
       {{u"C9", 9}, {u"C3", 3}, {u"G", 0x102}}},
      {u"Color/SettingNum=4|Color/SettingID0=4|Color/SettingID1=5|Color/SettingID2=6|"
       u"Color/SettingID3=8|Color/SettingName4=A|Color/SettingName5=|Color/SettingName8=D",
       {{u"A", 4}, {u"D", 8}}},
      {u"Color/SettingNum=1|Color/SettingName0=Z", {{u"Z", 0}}},  // missing SettingID: 0
      {u"Color/SettingName0=Z", {}},
      {u"Color/SettingNum=-3|Color/SettingName0=Z", {}},
      {u"Color/SettingNum=3|Color/SettingID0=300|Color/SettingID1=-1|Color/SettingID2=255|"
       u"Color/SettingName300=P|Color/SettingName-1=M|Color/SettingName255=L",
       {{u"L", 255}}},
  };
  for (std::size_t k = 0; k < cases.size(); ++k) {
    MemoryFile file = fileOf(cases[k].file);
    EXPECT_EQ(vex::listCustomColourSettings(&file), cases[k].want) << "case " << k;
  }
  EXPECT_TRUE(vex::listCustomColourSettings(nullptr).empty());
  MemoryFile huge = fileOf(u"Color/SettingNum=100000|Gamma/SettingNum=2147483647");
  huge.keys[u"Color/SettingName0"] = std::u16string(10000, u'N');
  const auto items = vex::listCustomColourSettings(&huge);
  ASSERT_EQ(items.size(), 256u);  // bounded, not 100000 reads
  EXPECT_EQ(items[0].name, std::u16string(65, u'N'));
  EXPECT_LE(huge.reads, 2 + 4 * 256);
}

TEST(CustomColourHex, DecodesPairsAsTheFileMeans) {
  struct Case {
    std::u16string text;
    std::size_t max;
    Bytes want;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {u"0A1b", 9, {0x0A, 0x1B}}, {u"0A1", 9, {0x0A}}, {u"0A1Z", 9, {0x0A, 0x10}}, {u"0AZ1", 9, {0x0A}},
      {u"", 9, {}}, {u"Z0", 9, {}}, {u"fF00", 9, {0xFF, 0}}, {u"1 2 ", 9, {0x10, 0x20}},
      {u"\uFF10\uFF10", 9, {}}, {u"0102030405", 3, {1, 2, 3}}};
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(vex::decodeCustomColourHex(c.text, c.max), c.want) << c.text.size();
}

// Every byte outside the fields the store may write stays as it was.
void expectOnlyColourFieldsChanged(const Bytes& before, const Bytes& after) {
  for (std::size_t i = 0; i < vex::kRecordSize; ++i) {
    if (i < 80 || (i > 81 && i < 88) || i >= 604) {
      ASSERT_EQ(before[i], after[i]) << "offset " << i;
    }
  }
}

TEST(CustomColourStore, DataOnlyInUseCutToTheFields) {
  const std::u16string longHex(5000, u'7');  // the file read takes 1019 of it
  MemoryFile file = fileOf(
      u"Color/CCMNT3=0A1b|Color/CCMNV3=0AZ1|Gamma/CCMNT3=FF|Gamma/CCMNV3=0A1|Color/CCMNT5=0A1Z");
  file.keys[u"Color/CCMNT4"] = file.keys[u"Color/CCMNV4"] = longHex;
  struct Case {
    const char* what;
    std::uint32_t selection;
    bool named;
    int tLength, vLength;
    Bytes tHead, vHead;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"colour 3", 0x10003, true, 2, 1, {0x0A, 0x1B}, {0x0A}},
      {"gamma 3", 0x10103, true, 1, 1, {0xFF, 0xEE}, {0x0A, 0xEE}},
      {"long data cut", 0x10004, true, 253, 255, {0x77, 0x77}, {0x77, 0x77}},
      {"missing V key", 0x10005, true, 2, 0, {0x0A, 0x10}, {0xEE}},
      {"turned off keeps the blocks", vex::withCustomColourInUse(0xFFFF0003, false), true, 0x11, 0x22, {0xEE}, {0xEE}},
      {"no file named, in use", 0x10003, false, 0, 0, {0xEE}, {0xEE}},
      {"no file named, not in use", 0x103, false, 0x11, 0x22, {0xEE}, {0xEE}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Bytes record(vex::kRecordSize, 0xEE);
    vex::setU16(record.data(), vex::rec::customColorTLength, 0x11);
    vex::setU16(record.data(), vex::rec::customColorVLength, 0x22);
    const Bytes before = record;
    vex::storeCustomColour(record.data(), c.selection, 0xABCD0000, c.named ? &file : nullptr);
    EXPECT_EQ(vex::getI16(record.data(), vex::rec::colorMode), 0) << c.what;
    EXPECT_EQ(vex::loadCustomColourSelection(record.data()), c.selection) << c.what;
    EXPECT_EQ(vex::getU16(record.data(), vex::rec::customColorTLength), c.tLength) << c.what;
    EXPECT_EQ(vex::getU16(record.data(), vex::rec::customColorVLength), c.vLength) << c.what;
    EXPECT_EQ(Bytes(record.begin() + 90, record.begin() + 90 + c.tHead.size()), c.tHead) << c.what;
    EXPECT_EQ(Bytes(record.begin() + 345, record.begin() + 345 + c.vHead.size()), c.vHead)
        << c.what;
    EXPECT_EQ(record[343 - 1], c.tLength == 253 ? 0x77 : 0xEE) << c.what;  // T field's last byte
    expectOnlyColourFieldsChanged(before, record);
  }
  EXPECT_EQ(vex::withCustomColourInUse(0x107, true), 0x10107u);
}

TEST(CustomColourStore, ReadersBoundHostileLengths) {
  struct Case {
    std::uint16_t stored;
    std::size_t t, v;
  };
  const std::vector<Case> cases = {{0, 0, 0},       {12, 12, 12},    {253, 253, 253},
                                   {254, 253, 254}, {255, 253, 255}, {0xFFFF, 253, 255}};
  for (const Case& c : cases) {
    Bytes record(vex::kRecordSize, 0);
    vex::setU16(record.data(), vex::rec::customColorTLength, c.stored);
    vex::setU16(record.data(), vex::rec::customColorVLength, c.stored);
    EXPECT_EQ(vex::storedCustomColourTLength(record.data()), c.t) << c.stored;
    EXPECT_EQ(vex::storedCustomColourVData(record.data()).size(), c.v) << c.stored;
    EXPECT_EQ(vex::storedCustomColourTData(record.data()).data(), record.data() + 90);
  }
}

// Random file texts: names within 65 characters, item data within the selection's 9 bits, stored
// lengths within the fields and nothing written beyond them.
TEST(CustomColourStore, RandomFilesStayInsideTheFields) {
  std::mt19937 random(17);
  const std::u16string alphabet = u"0123456789aFgZ- \uFF10";
  auto text = [&](std::size_t most) {
    std::u16string t(random() % most, u'0');
    for (auto& ch : t) ch = alphabet[random() % alphabet.size()];
    return t;
  };
  for (int round = 0; round < 200; ++round) {
    MemoryFile file;
    for (const char16_t* s : {u"Color/", u"Gamma/"}) {
      file.keys[std::u16string(s) + u"SettingNum"] = text(7);
      for (int k = 0; k < 8; ++k) {
        const std::u16string n = std::u16string(1, u'0' + k);
        for (const char16_t* key : {u"SettingID", u"SettingName", u"CCMNT", u"CCMNV"})
          file.keys[std::u16string(s) + key + n] = text(key[0] == u'C' ? 1400 : 90);
      }
    }
    for (const CustomColourItem& item : vex::listCustomColourSettings(&file)) {
      ASSERT_LE(item.name.size(), 65u);
      ASSERT_LE(item.itemData, 0x1FF);
    }
    Bytes record(vex::kRecordSize, 0xEE);
    const Bytes before = record;
    vex::storeCustomColour(record.data(), 0x10000 | (random() % 2) << 8 | random() % 9, 0, &file);
    ASSERT_LE(vex::getU16(record.data(), vex::rec::customColorTLength), 253);
    ASSERT_LE(vex::getU16(record.data(), vex::rec::customColorVLength), 255);
    expectOnlyColourFieldsChanged(before, record);
  }
}

}  // namespace
