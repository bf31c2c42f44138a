#include "job_options_rules.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace vex;

TEST(JobOptionsRules, EditFiltersKeepDigitsAndStopAtTheLimit) {
  const struct {
    std::u16string_view text;
    std::uint32_t limit;
    std::u16string_view digits;
    std::uint32_t value;
    bool other, limited;
  } cases[] = {
      {u"12a", kCopiesFilterLimit, u"12", 12, true, false},
      {u"1500", kScaleFilterLimit, u"1500", 1000, false, true},
      {u"1000", kScaleFilterLimit, u"1000", 1000, false, false},
      {u"", kCopiesFilterLimit, u"", 0, false, false},
      {u"-5", kCopiesFilterLimit, u"5", 5, true, false},
      {u"１２", kCopiesFilterLimit, u"", 0, true, false},  // full-width digits are not digits
      {u"99999999999999999999999", kCopiesFilterLimit, u"99999999999999999999999",
       kCopiesFilterLimit, false, true},
  };
  for (const auto& c : cases) {
    const DigitFilter f = filterDigits(c.text, c.limit);
    EXPECT_EQ(f.digits, c.digits);
    EXPECT_EQ(f.value, c.value);
    EXPECT_EQ(f.hadOther, c.other);
    EXPECT_EQ(f.limited, c.limited);
  }
}

TEST(JobOptionsRules, NumbersWhenThePageIsLeft) {
  EXPECT_EQ(readUnsigned(u"12"), 12u);
  EXPECT_EQ(readUnsigned(u" 7 "), 7u);
  EXPECT_EQ(readUnsigned(u"0"), 0u);
  EXPECT_EQ(readUnsigned(u"4294967295"), 4294967295u);
  for (std::u16string_view bad : {u"", u"  ", u"1 2", u"-1", u"4294967296", u"3x"}) {
    EXPECT_FALSE(readUnsigned(bad).has_value()) << std::string(bad.begin(), bad.end());
  }
}

TEST(JobOptionsRules, JobTypeAtStart) {
  const struct {
    StartJobInputs in;
    std::uint32_t jobType;
    bool ask;
  } cases[] = {
      {{kSecurePrint, true, false, true, 0}, kEncryptedSecurePrint, true},
      {{kNormalPrint, true, false, true, 40}, kEncryptedSecurePrint, false},
      {{kSecurePrint, false, true, true, 0}, kEncryptedSecurePrint, false},
      {{kStoreToSd, false, true, true, 0}, kEncryptedSecurePrint, false},
      {{kStoreToSd, false, true, false, 0}, kNormalPrint, false},
      {{kEncryptedSecurePrint, false, true, false, 0}, kNormalPrint, false},
      {{kStoreToSd, false, false, false, 0}, kStoreToSd, false},  // refresh judges storage
  };
  for (const auto& c : cases) {
    const StartJob s = startJobType(c.in);
    EXPECT_EQ(s.jobType, c.jobType);
    EXPECT_EQ(s.askPasswordAtPrint, c.ask);
  }
}

TEST(JobOptionsRules, RefreshOffersTheButtonsTheModeAllows) {
  using B = std::array<bool, 4>;
  const auto buttons = [](const JobTypeView& v) {
    return B{v.enabled[0], v.enabled[1], v.enabled[2], v.enabled[3]};
  };
  // type, storage, limit, card, crypto set, queried, loads
  const struct {
    JobTypeInputs in;
    std::uint32_t jobType;
    B enabled;
    bool removed, password, copies;
  } cases[] = {
      {{kSecurePrint, false, false, false, true, true, true},
       kNormalPrint,
       {true, false, false, false},
       false,
       false,
       true},
      {{kStoreToSd, true, false, false, true, true, true},
       kStoreToSd,
       {true, true, true, true},
       false,
       true,
       false},
      {{kEncryptedSecurePrint, true, true, false, true, true, true},
       kEncryptedSecurePrint,
       {false, false, false, false},
       false,
       true,
       false},
      {{kEncryptedSecurePrint, true, false, true, true, true, true},
       kEncryptedSecurePrint,
       {true, false, false, true},
       false,
       true,
       true},
      {{kEncryptedSecurePrint, true, false, false, true, true, false},
       kNormalPrint,
       {true, true, true, false},
       false,
       false,
       true},
      {{kEncryptedSecurePrint, true, false, false, false, true, true},
       kNormalPrint,
       {true, true, true, false},
       true,
       false,
       true},
      {{kSecurePrint, true, false, false, true, false, true},
       kSecurePrint,
       {true, true, true, false},
       true,
       true,
       false},
      {{7, true, false, false, true, true, true},
       kNormalPrint,
       {true, true, true, true},
       false,
       false,
       true},
  };
  for (const auto& c : cases) {
    const JobTypeView v = refreshJobTypes(c.in);
    EXPECT_EQ(v.jobType, c.jobType);
    EXPECT_EQ(buttons(v), c.enabled);
    EXPECT_EQ(v.encryptedRemoved, c.removed);
    EXPECT_EQ(v.passwordEnabled, c.password);
    EXPECT_EQ(v.copiesEnabled, c.copies);
  }
}

}  // namespace
