#include "option_discovery_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_paths.h"

namespace {

using vex::DiscoveryResult;
using vex::OptionDataValues;

OptionDataValues values(std::int32_t installed, std::int32_t memory = 0, std::int32_t sdCard = 0,
                        std::int32_t punch = 0, std::int32_t jobLimit = 0) {
  return {installed, memory, sdCard, punch, jobLimit};
}

TEST(OptionDiscoveryRules, DiscoveryValuesFollowTheDataFile) {
  const struct {
    const char* name;
    OptionDataValues values;
    bool version6;
    DiscoveryResult expected;  // HDD, duplex, tray, memory, finisher, MPF, punch, job limit
  } cases[] = {
      {"0x25: bits 0, 2, 5", values(0x25), false, {1, 0, 3, 5, 0, 0, 0, 1}},
      {"nothing installed", values(0), false, {1, 1, 0, 5, 0, 0, 0, 1}},
      {"one tray", values(0x01), false, {1, 1, 1, 5, 0, 0, 0, 1}},
      {"bits 0 and 1", values(0x03), false, {1, 1, 2, 5, 0, 0, 0, 1}},
      {"bit 3 wins over 0..2", values(0x0F), false, {1, 1, 4, 5, 0, 0, 0, 1}},
      {"bit 3 alone", values(0x08), false, {1, 1, 4, 5, 0, 0, 0, 1}},
      {"MPF", values(0x10), false, {1, 1, 0, 5, 0, 1, 0, 1}},
      {"finisher", values(0x40), false, {1, 1, 0, 5, 1, 0, 0, 1}},
      {"SD card present", values(0, 0, 1), false, {0, 1, 0, 5, 0, 0, 0, 1}},
      {"SD card any non-zero", values(0, 0, -7), false, {0, 1, 0, 5, 0, 0, 0, 1}},
      {"punch type 3", values(0, 0, 0, 3), false, {1, 1, 0, 5, 0, 0, 1, 1}},
      {"punch type out of range still installed",
       values(0, 0, 0, 9),
       false,
       {1, 1, 0, 5, 0, 0, 1, 1}},
      {"job limitation before version 6", values(0, 0, 0, 0, 1), false, {1, 1, 0, 5, 0, 0, 0, 0}},
      {"job limitation on version 6", values(0, 0, 0, 0, 1), true, {1, 1, 0, 5, 0, 0, 0, 1}},
      {"negative Installed: every bit set", values(-1), false, {1, 0, 4, 5, 1, 1, 0, 1}},
      {"bits above 6 ignored", values(0x7F80), false, {1, 1, 0, 5, 0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::discoveryResult(c.values, 5, c.version6), c.expected) << c.name;
  }
}

TEST(OptionDiscoveryRules, MemoryOptionIsTheTextLessItsLastThreeCharacters) {
  const std::u16string t256 = u"256 MB", t256nb = u"256MB", t512 = u"512 MB", tNeg = u"-3 MB",
                       tWord = u"abc MB", tShort = u"MB", tBlank = u" 64 MB", t0 = u"0 MB";
  const std::vector<vex::OptionText> list = {t256nb, t512,   t256, std::nullopt, tNeg, tWord,
                                             tShort, tBlank, t0};
  const struct {
    std::int32_t memory;
    std::uint32_t index;
  } cases[] = {
      {256, 2},  // "256MB" reads 25, so "256 MB" is the first match
      {25, 0},   // ... which is why 25 matches the first option
      {512, 1}, {-3, 4}, {64, 7}, {0, 8}, {128, 0},  // no match
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::memoryOptionIndex(c.memory, list), c.index) << c.memory;
  }
  EXPECT_EQ(vex::memoryOptionIndex(256, {}), 0u);
  EXPECT_EQ(vex::memoryOptionIndex(0, {std::nullopt, tWord, tShort}), 0u)
      << "texts without a number never match";
}

TEST(OptionDiscoveryRules, RamTextIsASignedDecimalAfterBlanks) {
  const struct {
    std::string text;
    std::int32_t memory;
  } cases[] = {
      {"512", 512},
      {"  512", 512},
      {"\t 1024 MB", 1024},
      {"-3", -3},
      {"+7", 7},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"- 5", 0},
      {"12abc", 12},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"99999999999999999999999999", 2147483647},
      {"-99999999999999999999999999", -2147483647},
      {std::string(300, '9'), 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::memoryFromRamText(c.text), c.memory) << c.text;
  }
}

TEST(OptionDiscoveryRules, UsbDataTakesTheSdCardFromBit8) {
  const struct {
    std::int32_t installed;
    const char* ram;
    std::int32_t sdCard;
    std::int32_t memory;
  } cases[] = {
      {0x100, "  512", 1, 512},
      {0x0FF, "256", 0, 256},
      {0x125, "abc", 1, 0},
      {-1, "-3", 1, -3},
  };
  for (const auto& c : cases) {
    const OptionDataValues v = vex::usbDataValues(c.installed, c.ram, 2, 1);
    EXPECT_EQ(v.installed, c.installed);
    EXPECT_EQ(v.sdCard, c.sdCard) << c.installed;
    EXPECT_EQ(v.memory, c.memory) << c.ram;
    EXPECT_EQ(v.punchType, 2);
    EXPECT_EQ(v.jobLimitationMode, 1);
  }
}

TEST(OptionDiscoveryRules, UsbPortIsAPrefixInAnyCase) {
  const struct {
    const char* port;
    bool usb;
  } cases[] = {
      {"USB001", true}, {"usb001", true}, {"uSb", true},          {"USB", true},
      {"US", false},    {"", false},      {nullptr, false},       {"FILE:", false},
      {"LPT1:", false}, {"XUSB1", false}, {"IP_10.0.0.1", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::isUsbPort(c.port), c.usb) << (c.port ? c.port : "(null)");
  }
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(OptionDiscoveryRules, OptionFileKeywordsInOrder) {
  const struct {
    const char* name;
    OptionDataValues values;
    bool version6;
    Pairs expected;
  } cases[] = {
      {"everything",
       values(0x7F, 512, 1, 2, 1),
       false,
       {{"VXOptionMPF", "True"},
        {"VXOptionDuplex", "True"},
        {"VXFinisher", "True"},
        {"VXPunchUnit", "Type2"},
        {"VXJobLimit", "True"},
        {"VXOptionTray", "4"},
        {"VXHDD", "True"},
        {"InstalledMemory", "512MB"}}},
      {"memory 0 leaves InstalledMemory out",
       values(0x25, 0, 0, 0, 0),
       false,
       {{"VXOptionMPF", "False"},
        {"VXOptionDuplex", "True"},
        {"VXFinisher", "False"},
        {"VXPunchUnit", "None"},
        {"VXJobLimit", "False"},
        {"VXOptionTray", "3"},
        {"VXHDD", "False"}}},
      {"negative memory is none, punch 4 is none, version 6 job limit",
       values(0x02, -3, 0, 4, 1),
       true,
       {{"VXOptionMPF", "False"},
        {"VXOptionDuplex", "False"},
        {"VXFinisher", "False"},
        {"VXPunchUnit", "None"},
        {"VXJobLimit", "False"},
        {"VXOptionTray", "2"},
        {"VXHDD", "False"}}},
      {"punch 1, 3; large memory",
       values(0, 2147483647, 5, 1, 0),
       false,
       {{"VXOptionMPF", "False"},
        {"VXOptionDuplex", "False"},
        {"VXFinisher", "False"},
        {"VXPunchUnit", "Type1"},
        {"VXJobLimit", "False"},
        {"VXOptionTray", "0"},
        {"VXHDD", "True"},
        {"InstalledMemory", "2147483647MB"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::optionFileKeywords(c.values, c.version6), c.expected) << c.name;
  }
  EXPECT_EQ(vex::optionFileKeywords(values(0, 0, 0, 3), false)[3].second, "Type3");
}

TEST(OptionDiscoveryRules, PpdPathReplacesTheIniExtension) {
  const struct {
    std::u16string ini;
    std::u16string ppd;
  } cases[] = {
      {u"C:\\drivers\\x64\\3\\VEXDEMO.INI", u"C:\\drivers\\x64\\3\\VEXDEMO.PPD"},
      {u"C:\\a.b\\3\\VEXDEMO.ini", u"C:\\a.b\\3\\VEXDEMO.PPD"},  // a dotted folder is not used
      {u"C:\\3\\x.y.ini", u"C:\\3\\x.y.PPD"},
      {u"C:\\a.b\\3\\noext", u""},
      {u"C:\\3\\short.in", u""},
      {u"C:\\3\\long.inix", u""},
      {u"x.", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::ppdPathFor(c.ini), c.ppd);
  }
}

}  // namespace
