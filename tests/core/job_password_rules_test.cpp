#include "job_password_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "private_settings.h"

namespace {

using vex::FilteredField;
using vex::JobPasswordCheck;
using vex::PrinterAndSystem;

std::vector<std::uint8_t> blankRecord() {
  std::vector<std::uint8_t> record(vex::kRecordSize, 0xAB);
  vex::setWide(record.data(), vex::rec::jobName, vex::rec::jobNameChars, u"old name");
  vex::setWide(record.data(), vex::rec::jobPassword, vex::rec::jobPasswordChars, u"9876");
  vex::setU32(record.data(), vex::rec::jobNameRequired, 7);
  return record;
}

TEST(JobPasswordRules, FieldFiltersTakeOutWhatTheFieldsMayNotHold) {
  const struct {
    const char* what;
    bool password;
    std::u16string text;
    std::size_t caret;
    std::u16string kept;
    std::size_t newCaret;
    bool removed;
  } cases[] = {
      {"clean name", false, u"Report 7", 8, u"Report 7", 8, false},
      {"quote typed", false, u"ab\"c", 3, u"abc", 2, true},
      {"Chinese character typed", false, u"ab\u4e2d", 3, u"ab", 2, true},
      {"17 characters: the last is cut", false, u"abcdefghijklmnopq", 17, u"abcdefghijklmnop", 16,
       true},
      {"pasted mixture", false, u"a\"\u4e2d\tb\u00e9c", 7, u"abc", 3, true},
      {"caret not before the start", false, u"\"\"x", 1, u"x", 0, true},
      {"caret inside, removal after it", false, u"ab\"", 1, u"ab", 0, true},
      {"caret past the end is kept inside", false, u"ab", 9, u"ab", 2, false},
      {"control characters break the PJL line", false, u"a\r\nb", 4, u"ab", 2, true},
      {"password 12a4", true, u"12a4", 3, u"124", 2, true},
      {"password 12345", true, u"12345", 5, u"1234", 4, true},
      {"letters then digits", true, u"ab12", 4, u"12", 2, true},
      {"four digits", true, u"0919", 4, u"0919", 4, false},
  };
  for (const auto& c : cases) {
    const FilteredField f = c.password ? vex::filterJobPasswordField(c.text, c.caret)
                                       : vex::filterJobNameField(c.text, c.caret);
    EXPECT_EQ(f.text, c.kept) << c.what;
    EXPECT_EQ(f.caret, c.newCaret) << c.what;
    EXPECT_EQ(f.removed, c.removed) << c.what;
  }
}

TEST(JobPasswordRules, OkChecksInOrderAndWritesOnlyWhenAccepted) {
  const struct {
    const char* what;
    std::u16string name;
    std::u16string password;
    bool required;
    JobPasswordCheck check;
    std::u16string storedName;
    std::u16string storedPassword;
  } cases[] = {
      {"three digits with a name", u"Report", u"123", false, JobPasswordCheck::invalidPassword, u"",
       u""},
      {"a letter is not a digit", u"Report", u"12a4", false, JobPasswordCheck::invalidPassword, u"",
       u""},
      {"empty name, 1007 unchecked", u"", u"1234", false, JobPasswordCheck::invalidJobName, u"",
       u""},
      {"name of forbidden characters only", u"\"\u4e2d", u"1234", false,
       JobPasswordCheck::invalidJobName, u"", u""},
      {"empty name, 1007 checked", u"", u"1234", true, JobPasswordCheck::accepted, u"", u"1234"},
      {"name and password", u"Report 7", u"0042", false, JobPasswordCheck::accepted, u"Report 7",
       u"0042"},
      {"over-long texts are cut as the fields cut them", u"abcdefghijklmnopqrs", u"12345", false,
       JobPasswordCheck::accepted, u"abcdefghijklmnop", u"1234"},
      {"a quote never reaches the record", u"a\"b", u"1111", true, JobPasswordCheck::accepted,
       u"ab", u"1111"},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> record = blankRecord();
    const std::vector<std::uint8_t> before = record;
    EXPECT_EQ(vex::acceptJobPassword(record.data(), c.name, c.password, c.required), c.check)
        << c.what;
    if (c.check != JobPasswordCheck::accepted) {
      EXPECT_EQ(record, before) << c.what;
      continue;
    }
    EXPECT_EQ(vex::getWide(record.data(), vex::rec::jobName, vex::rec::jobNameChars), c.storedName)
        << c.what;
    EXPECT_EQ(vex::getWide(record.data(), vex::rec::jobPassword, vex::rec::jobPasswordChars),
              c.storedPassword)
        << c.what;
    EXPECT_EQ(vex::getU32(record.data(), vex::rec::jobNameRequired), c.required ? 1u : 0u)
        << c.what;
    // Nothing of the old texts stays behind the new ones, nothing beside the fields changes.
    const std::size_t nameBytes = (c.storedName.size() + 1) * 2;
    for (std::size_t i = vex::rec::jobName + nameBytes; i < vex::rec::jobPassword; ++i) {
      EXPECT_EQ(record[i], 0) << c.what << " byte " << i;
    }
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + vex::rec::jobName, before.begin()))
        << c.what;
    EXPECT_TRUE(std::equal(record.begin() + vex::rec::jobNameRequired + 4, record.end(),
                           before.begin() + vex::rec::jobNameRequired + 4))
        << c.what;
  }
}

TEST(JobPasswordRules, CheckBoxWarningAndWindowFlagsFollowPrinterAndSystem) {
  const struct {
    PrinterAndSystem system;
    std::uint32_t recordValue;
    bool checked;
    bool enabled;
    bool warning;
    std::uint32_t chooseFlags;
    std::uint32_t changeFlags;
    std::uint32_t changeFlagsCard;
  } cases[] = {
      {{false, 5, 0}, 1, true, true, false, 4, 4, 6},   // Windows 2000
      {{false, 5, 1}, 1, true, true, true, 4, 4, 6},    // XP: several users may be logged on
      {{false, 5, 2}, 0, false, true, true, 4, 4, 6},   // Server 2003
      {{false, 6, 1}, 1, true, false, false, 5, 5, 6},  // Vista and later: disabled
      {{false, 10, 0}, 9, true, false, false, 5, 5, 6},
      {{true, 5, 1}, 1, false, false, true, 5, 5, 6},  // shared: unchecked whatever the record
      {{true, 6, 0}, 1, false, false, false, 5, 5, 6},
  };
  for (const auto& c : cases) {
    const auto where = ::testing::Message()
                       << c.system.sharedOrNetwork << " " << c.system.majorVersion << "."
                       << c.system.minorVersion;
    const vex::JobNameRequiredBox box = vex::jobNameRequiredBox(c.recordValue, c.system);
    EXPECT_EQ(box.checked, c.checked) << where;
    EXPECT_EQ(box.enabled, c.enabled) << where;
    EXPECT_EQ(vex::jobNameWarningDue(true, c.system), c.warning) << where;
    EXPECT_FALSE(vex::jobNameWarningDue(false, c.system)) << where;
    EXPECT_EQ(vex::chooseEncryptionFlags(c.system), c.chooseFlags) << where;
    EXPECT_EQ(vex::changeEncryptionFlags(c.system, false), c.changeFlags) << where;
    EXPECT_EQ(vex::changeEncryptionFlags(c.system, true), c.changeFlagsCard) << where;
  }
}

TEST(JobPasswordRules, OpeningShowsOnlyWhatTheFieldsAccept) {
  std::vector<std::uint8_t> record = blankRecord();
  // A hostile record: a quote and a Chinese character in the name, no NUL in the password field.
  vex::setWide(record.data(), vex::rec::jobName, vex::rec::jobNameChars, u"a\"b\u4e2dc");
  for (std::size_t i = 0; i < vex::rec::jobPasswordChars; ++i) {
    vex::setU16(record.data(), vex::rec::jobPassword + 2 * i, u'1' + i);
  }
  const vex::JobPasswordDialogState state = vex::openJobPasswordDialog(record.data(), {});
  EXPECT_EQ(state.jobName, u"abc");
  EXPECT_EQ(state.jobPassword, u"1234");
  EXPECT_TRUE(state.required.checked);
}

TEST(CryptoBlock, GoldenBytesAndReadBack) {
  vex::CryptoBlock block;
  block.setSettings({2, 3, 1, (5u << 16) | 30});
  ASSERT_TRUE(block.setPassword("1234"));
  // clang-format off
  const std::array<std::uint8_t, 40> golden = {
      2, 0, 0, 0,  3, 0, 0, 0,                                  // settings A and B
      '1', '2', '3', '4', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   // password
      1, 0, 0, 0,  30, 0, 5, 0,                                 // flag, 05:30
      0, 0, 0, 0, 0, 0, 0, 0};                                  // reserved
  // clang-format on
  EXPECT_EQ(std::memcmp(block.data(), golden.data(), golden.size()), 0);
  EXPECT_EQ(block.settings(), (vex::CryptoSettings{2, 3, 1, (5u << 16) | 30}));
  EXPECT_EQ(block.passwordLength(), 4u);

  EXPECT_FALSE(block.setPassword("1234567890123456"));  // no room for the NUL
  EXPECT_EQ(block.passwordLength(), 0u);
  std::memset(block.passwordField(), 'x', vex::cryptoblock::passwordBytes);  // a library's answer
  EXPECT_EQ(block.passwordLength(), 16u);
}

TEST(CryptoBlock, WipesEveryByteWhenItGoesOutOfScope) {
  alignas(vex::CryptoBlock) unsigned char storage[sizeof(vex::CryptoBlock)];
  auto* block = new (storage) vex::CryptoBlock;
  block->setSettings({1, 1, 1, 1});
  block->setPassword("secret");
  std::memset(block->data() + vex::cryptoblock::usedBytes, 0x5A, 8);
  block->~CryptoBlock();
  for (const unsigned char b : storage) EXPECT_EQ(b, 0);
}

TEST(CryptoBlock, DecipheredPasswordMustEndWithinItsCapacity) {
  const struct {
    const char* what;
    int returned;
    std::size_t written;  // bytes the library wrote, 'x' then a NUL when room is left
    bool stands;
  } cases[] = {
      {"four digits", 1, 4, true},
      {"twelve bytes and the NUL", 1, 12, true},
      {"export failed", 0, 4, false},
      {"no NUL within 13", 1, 13, false},
      {"written past the capacity", 1, 15, false},
  };
  for (const auto& c : cases) {
    vex::CryptoBlock block;
    std::memset(block.passwordField(), 'x', c.written);
    EXPECT_EQ(vex::takeDecipheredPassword(block, c.returned), c.stands) << c.what;
    EXPECT_EQ(block.passwordLength(), c.stands ? c.written : 0) << c.what;
  }
}

TEST(CryptoBlock, StoredEncipheredPasswordHasABoundedLength) {
  const struct {
    std::uint32_t length;
    std::size_t seen;
  } cases[] = {{0, 0}, {1, 1}, {255, 255}, {256, 0}, {0xFFFFFFFF, 0}};
  for (const auto& c : cases) {
    std::vector<std::uint8_t> record = blankRecord();
    vex::setU32(record.data(), vex::rec::encryptedPasswordLength, c.length);
    const auto stored = vex::storedEncipheredPassword(record.data());
    EXPECT_EQ(stored.size(), c.seen) << c.length;
    if (!stored.empty()) {
      EXPECT_EQ(stored.data(), record.data() + vex::rec::encryptedPassword);
    }
  }
}

TEST(CryptoBlock, AcceptedWindowStoresSettingsAndOnlyAUsableCipher) {
  std::array<std::uint8_t, 256> output;
  output.fill(0xC3);
  const struct {
    const char* what;
    vex::EncipherResult result;
    std::uint32_t storedLength;
  } cases[] = {
      {"enciphered", {true, 1, 24, output}, 24},
      {"full capacity", {true, 1, 255, output}, 255},
      {"export missing", {false, 0, 255, output}, 0},
      {"export failed", {true, 0, 24, output}, 0},
      {"length 0", {true, 1, 0, output}, 0},
      {"length 256", {true, 1, 256, output}, 0},
      {"length past the output it had", {true, 1, 40, std::span(output).first(32)}, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> record = blankRecord();
    const std::vector<std::uint8_t> before = record;
    vex::CryptoBlock block;
    block.setSettings({2, 1, 1, (23u << 16) | 59});
    block.setPassword("5678");
    vex::storeAcceptedCryptoSettings(record.data(), block, c.result);
    EXPECT_EQ(vex::getU32(record.data(), vex::rec::cryptoSettingA), 2u) << c.what;
    EXPECT_EQ(vex::getU32(record.data(), vex::rec::cryptoSettingB), 1u) << c.what;
    EXPECT_EQ(vex::getU32(record.data(), vex::rec::cryptoFlag), 1u) << c.what;
    EXPECT_EQ(vex::getU32(record.data(), vex::rec::cryptoTime), (23u << 16) | 59) << c.what;
    EXPECT_EQ(vex::getU32(record.data(), vex::rec::encryptedPasswordLength), c.storedLength)
        << c.what;
    for (std::size_t i = 0; i < vex::rec::encryptedPasswordCapacity; ++i) {
      EXPECT_EQ(record[vex::rec::encryptedPassword + i], i < c.storedLength ? 0xC3 : 0)
          << c.what << " byte " << i;
    }
    // The crypto fields are the only ones written.
    EXPECT_TRUE(
        std::equal(record.begin(), record.begin() + vex::rec::cryptoSettingA, before.begin()))
        << c.what;
    EXPECT_TRUE(std::equal(record.begin() + vex::rec::controlSelection, record.end(),
                           before.begin() + vex::rec::controlSelection))
        << c.what;
  }
  // The library may have written straight into the record's field.
  std::vector<std::uint8_t> record = blankRecord();
  const std::span<const std::uint8_t> own(record.data() + vex::rec::encryptedPassword, 256);
  vex::storeAcceptedCryptoSettings(record.data(), vex::CryptoBlock{}, {true, 1, 200, own});
  EXPECT_EQ(record[vex::rec::encryptedPassword + 199], 0xAB);
  EXPECT_EQ(record[vex::rec::encryptedPassword + 200], 0);
}

}  // namespace
