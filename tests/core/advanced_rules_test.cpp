#include "advanced_rules.h"

#include <gtest/gtest.h>

namespace {

using vex::AdvancedOffer;
using vex::AdvancedSelections;
using vex::AdvancedState;

AdvancedOffer everything() {
  AdvancedOffer offer;
  offer.mirror = offer.negative = offer.jobSpool = offer.maintenance = offer.hairline = true;
  offer.storage = offer.compression = true;
  return offer;
}

TEST(AdvancedRules, CheckBoxesFollowTheirSlotsMeaning) {
  const AdvancedOffer all = everything();
  AdvancedOffer noStorage = all;
  noStorage.storage = false;
  AdvancedOffer noCompression = all;
  noCompression.compression = false;
  const struct {
    const char* what;
    AdvancedSelections current;
    std::uint32_t recordCompression;
    AdvancedOffer offer;
    AdvancedState shown;
  } cases[] = {
      // mirror, negative, spool, maintenance, hairline, level
      {"all selections 0", {0, 0, 0, 0, 0, 0}, 2, all, {true, true, false, true, false, true, 2}},
      {"all selections 1", {1, 1, 1, 1, 1, 0}, 3, all, {false, false, true, true, true, false, 3}},
      {"spool 1 without storage",
       {1, 1, 1, 1, 1, 0},
       1,
       noStorage,
       {false, false, false, false, true, false, 1}},
      {"compression not offered: level 0",
       {1, 1, 0, 0, 1, 0},
       3,
       noCompression,
       {false, false, false, true, false, false, 0}},
      {"a stored level above 3 counts as 0",
       {1, 1, 0, 0, 1, 0},
       9,
       all,
       {false, false, false, true, false, false, 0}},
      {"selection 2 ticks nothing",
       {2, 2, 2, 2, 2, 0},
       0,
       all,
       {false, false, false, true, false, false, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::openAdvanced(c.current, c.recordCompression, c.offer), c.shown) << c.what;
  }
}

TEST(AdvancedRules, OkStoresOnlyOfferedItemsAndSpoolZeroWithoutStorage) {
  const AdvancedOffer all = everything();
  AdvancedOffer noStorage = all;
  noStorage.storage = false;
  AdvancedOffer noMirrorNegative = all;
  noMirrorNegative.mirror = noMirrorNegative.negative = false;
  noMirrorNegative.compression = false;
  const AdvancedSelections current{7, 7, 7, 7, 7, 3};
  const struct {
    const char* what;
    AdvancedState state;
    AdvancedOffer offer;
    AdvancedSelections saved;
  } cases[] = {
      {"all ticked", {true, true, true, true, true, true, 1}, all, {0, 0, 1, 1, 0, 1}},
      {"none ticked", {false, false, false, true, false, false, 2}, all, {1, 1, 0, 0, 1, 2}},
      {"spool ticked without storage is stored as 0",
       {true, true, true, false, true, true, 0},
       noStorage,
       {0, 0, 0, 1, 0, 0}},
      {"absent items keep their values; no compression stores 0",
       {true, true, true, true, true, true, 3},
       noMirrorNegative,
       {7, 7, 1, 1, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::saveAdvanced(c.state, current, c.offer), c.saved) << c.what;
  }
}

TEST(AdvancedRules, DefaultsTickOnlyTheHairlineAndRestoreTheConfiguredLevel) {
  const AdvancedState ticked{true, true, true, true, true, false, 3};
  AdvancedOffer noCompression = everything();
  noCompression.compression = false;
  AdvancedOffer noHairline = everything();
  noHairline.hairline = false;
  const struct {
    const char* what;
    std::uint32_t defaultLevel;
    AdvancedOffer offer;
    AdvancedState expected;
  } cases[] = {
      {"level back to 1", 1, everything(), {false, false, false, true, false, true, 1}},
      {"compression not offered keeps the level",
       1,
       noCompression,
       {false, false, false, true, false, true, 3}},
      {"no hairline item: nothing ticked",
       2,
       noHairline,
       {false, false, false, true, false, false, 2}},
      {"a default beyond 3 is 0", 12, everything(), {false, false, false, true, false, true, 0}},
  };
  for (const auto& c : cases) {
    AdvancedState start = ticked;
    start.jobSpoolEnabled = true;
    EXPECT_EQ(vex::advancedDefaults(start, c.defaultLevel, c.offer), c.expected) << c.what;
  }
}

TEST(AdvancedRules, PrintIconFollowsMirrorAndNegative) {
  EXPECT_EQ(vex::printIconId(false, false), 7001);
  EXPECT_EQ(vex::printIconId(true, false), 7002);
  EXPECT_EQ(vex::printIconId(false, true), 7003);
  EXPECT_EQ(vex::printIconId(true, true), 7004);
}

}  // namespace
