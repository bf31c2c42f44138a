#include "numeric_edit_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using vex::NumericEditAction;

const char* name(NumericEditAction action) {
  switch (action) {
    case NumericEditAction::keep:
      return "keep";
    case NumericEditAction::refuse:
      return "refuse";
    case NumericEditAction::clampToMin:
      return "clampToMin";
    case NumericEditAction::clampToMax:
      return "clampToMax";
  }
  return "?";
}

// The watermark dialog's fields: size 1..600 unsigned, angle -180..180 signed.
TEST(NumericEditRules, KeystrokesOnSignedAndUnsignedFields) {
  const struct {
    const char* what;
    std::u16string text;  // after the keystroke
    std::size_t caret;    // after the keystroke
    bool isSigned;
    std::int32_t minimum;
    std::int32_t maximum;
    NumericEditAction action;
    std::int32_t value;  // checked unless refused
  } cases[] = {
      {"digit typed", u"45", 2, true, -180, 180, NumericEditAction::keep, 45},
      {"minus first on a signed field", u"-", 1, true, -180, 180, NumericEditAction::keep, 0},
      {"minus then digit", u"-5", 2, true, -180, 180, NumericEditAction::keep, -5},
      {"minus typed in front of a number", u"-45", 1, true, -180, 180, NumericEditAction::keep,
       -45},
      {"plus typed in front of a number", u"+5", 1, true, -180, 180, NumericEditAction::keep, 5},
      {"plus on an unsigned field", u"+5", 1, false, 1, 600, NumericEditAction::refuse, 0},
      {"second minus after the first", u"--", 2, true, -180, 180, NumericEditAction::refuse, 0},
      {"minus in front of a minus", u"--", 1, true, -180, 180, NumericEditAction::refuse, 0},
      {"plus in front of a minus", u"+-5", 1, true, -180, 180, NumericEditAction::refuse, 0},
      {"minus inside a number", u"4-5", 2, true, -180, 180, NumericEditAction::refuse, 0},
      {"minus on an unsigned field", u"-", 1, false, 1, 600, NumericEditAction::refuse, 0},
      {"zero typed in front of a digit", u"05", 1, false, 1, 600, NumericEditAction::refuse, 0},
      {"zero typed in front on a signed field", u"05", 1, true, -180, 180,
       NumericEditAction::refuse, 0},
      {"zero alone", u"0", 1, true, -180, 180, NumericEditAction::keep, 0},
      {"zero alone below the minimum", u"0", 1, false, 1, 600, NumericEditAction::clampToMin, 1},
      {"zero after a digit", u"50", 2, false, 1, 600, NumericEditAction::keep, 50},
      {"zero after a minus", u"-0", 2, true, -180, 180, NumericEditAction::keep, 0},
      {"letter", u"4a", 2, false, 1, 600, NumericEditAction::refuse, 0},
      {"blank", u"4 ", 2, true, -180, 180, NumericEditAction::refuse, 0},
      {"full-width digit", u"4\uff15", 2, false, 1, 600, NumericEditAction::refuse, 0},
      {"above the maximum", u"700", 3, false, 1, 600, NumericEditAction::clampToMax, 600},
      {"below the minimum", u"-181", 4, true, -180, 180, NumericEditAction::clampToMin, -180},
      {"offsets at their limit", u"-1000", 5, true, -1000, 1000, NumericEditAction::keep, -1000},
      {"just above", u"1001", 4, true, -1000, 1000, NumericEditAction::clampToMax, 1000},
      {"beyond 32 bits", u"99999999999999999999", 20, false, 1, 600, NumericEditAction::clampToMax,
       600},
      {"beyond 32 bits, negative", u"-99999999999999999999", 21, true, -180, 180,
       NumericEditAction::clampToMin, -180},
      {"caret 0 judges nothing", u"--x", 0, false, 1, 600, NumericEditAction::keep, 0},
      {"caret 0 on an empty field", u"", 0, false, 1, 600, NumericEditAction::keep, 0},
      {"caret past the end counts as the end", u"7", 9, false, 1, 600, NumericEditAction::keep, 7},
      {"caret past the end of a bad text", u"7x", 40, false, 1, 600, NumericEditAction::refuse, 0},
  };
  for (const auto& c : cases) {
    const vex::NumericEditDecision decision =
        vex::decideNumericEdit(c.text, c.caret, c.isSigned, c.minimum, c.maximum);
    EXPECT_EQ(decision.action, c.action) << c.what << ": " << name(decision.action);
    if (c.action != NumericEditAction::refuse) {
      EXPECT_EQ(decision.value, c.value) << c.what;
    }
  }
}

TEST(NumericEditRules, LeadingIntegerLikeAtoiButSaturating) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const struct {
    std::u16string text;
    std::int32_t value;
  } cases[] = {
      {u"", 0},
      {u"abc", 0},
      {u"1", 1},
      {u"-1", -1},
      {u"+17", 17},
      {u"  42", 42},
      {u"\t-8", -8},
      {u"12abc", 12},
      {u"--3", 0},
      {u"-", 0},
      {u"2147483647", kMax},
      {u"2147483648", kMax},
      {u"-2147483648", kMin},
      {u"-2147483649", kMin},
      {u"99999999999999999999", kMax},
      {u"-99999999999999999999", kMin},
      {u"000000000000000000000000000001", 1},
      {u"0x10", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::readLeadingInteger(c.text), c.value)
        << std::string(c.text.begin(), c.text.end());
  }
}

TEST(ParseBoundedNumber, WholeFieldsWithinTheRangeOnly) {
  const struct {
    std::u16string_view text;
    std::int32_t minimum, maximum;
    std::optional<std::int32_t> value;
  } cases[] = {
      {u"72", 1, 600, 72},       {u" 600 ", 1, 600, 600},   {u"601", 1, 600, std::nullopt},
      {u"0", 1, 600, std::nullopt}, {u"-180", -180, 180, -180}, {u"+5", -180, 180, 5},
      {u"", 1, 600, std::nullopt},  {u"-", -9, 9, std::nullopt}, {u"12a", 1, 600, std::nullopt},
      {u"1 2", 1, 600, std::nullopt}, {u"--1", -9, 9, std::nullopt},
      {u"99999999999999999999", 1, 999, std::nullopt},
      {u"0000000000000000000000000000999", 1, 999, 999},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::parseBoundedNumber(c.text, c.minimum, c.maximum), c.value)
        << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
