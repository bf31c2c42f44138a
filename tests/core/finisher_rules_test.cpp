#include "finisher_rules.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

using vex::FeatureSelection;
using vex::FinisherInputs;

const std::string kLongA4 = "A4" + std::string(62, 'x');  // a keyword that fills the buffer
const std::string kA4WithNul("A4\0x", 4);
constexpr std::string_view kTwo = "DuplexNoTumble";

// The last rows: layouts the core driver does not define count as "any other"; only the exact
// keywords count.
TEST(FinisherRules, PaperClassByPaperLayoutOrientationAndDuplex) {
  // clang-format off
  const struct {
    std::string_view pageSize;
    int layout, orientation;
    std::string_view duplex;
    int paperClass;
  } cases[] = {
      {"A4", 6, 1, kTwo, 4}, {"Letter", 6, 2, kTwo, 4}, {"A4", 1, 1, kTwo, 5},
      {"Letter", 3, 2, kTwo, 5}, {"A4", 0, 2, kTwo, 5}, {"A4", 6, 1, "None", 0},
      {"A4", 0, 1, "None", 1}, {"B5", 6, 1, kTwo, 0}, {"B5", 1, 2, kTwo, 1},
      {"B5", 5, 1, "None", 1}, {"A3", 6, 2, kTwo, 4}, {"B4", 1, 1, kTwo, 7},
      {"B4", 3, 2, kTwo, 6}, {"Tabloid", 0, 1, kTwo, 6}, {"Tabloid", 4, 2, kTwo, 7},
      {"A3", 2, 0, kTwo, 7}, {"A3", 1, 1, "None", 3}, {"A3", 5, 1, "None", 2},
      {"Legal", 6, 1, kTwo, 0}, {"VXLegal", 1, 1, kTwo, 3}, {"FanFoldGermanLegal", 3, 2, kTwo, 2},
      {"Executive", 0, 1, "None", 2}, {"Legal", 5, 2, kTwo, 3}, {"A4", 7, 1, kTwo, 5},
      {"A3", 255, 1, kTwo, 6}, {"Legal", 200, 2, kTwo, 3}, {"A5", 1, 1, kTwo, 0},
      {"", 6, 1, kTwo, 0}, {"a4", 0, 1, kTwo, 0}, {"A4 ", 0, 1, kTwo, 0},
      {kLongA4, 0, 1, kTwo, 0}, {kA4WithNul, 0, 1, kTwo, 0}, {"A4", 6, 1, "none", 4},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(vex::paperClassOf(c.pageSize, static_cast<std::uint8_t>(c.layout),
                                static_cast<std::int16_t>(c.orientation), c.duplex),
              c.paperClass)
        << c.pageSize << " L=" << c.layout << " O=" << c.orientation << " " << c.duplex;
  }
}

TEST(FinisherRules, PunchTypeAndAllowance) {
  const struct {
    std::string_view unit;
    int type;
  } types[] = {{"Type1", 1}, {"Type2", 2}, {"Type3", 3}, {"Type4", 4}, {"Type0", 0},
               {"Type5", 0}, {"type1", 0}, {"", 0},      {kLongA4, 0}};
  for (const auto& t : types) EXPECT_EQ(vex::punchTypeOf(t.unit), t.type) << t.unit;

  // The last two lines: the A4 rule, where E holds for O = 1 with L not 1 or 3, and for O not 1
  // with L 1 or 3.
  // clang-format off
  const struct {
    std::string_view pageSize;
    int type, layout, orientation;
    std::uint32_t bind;
    bool allowed;
  } cases[] = {
      {"A3", 2, 6, 1, 2, false}, {"A3", 0, 0, 1, 2, false}, {"Executive", 2, 0, 1, 2, true},
      {"B5", 4, 1, 2, 0, true}, {"A4", 2, 0, 1, 0, true}, {"A5", 2, 0, 1, 2, false},
      {"Legal", 1, 0, 1, 2, true}, {"Tabloid", 1, 3, 2, 0, true}, {"B4", 1, 0, 1, 2, false},
      {"Executive", 1, 0, 1, 2, false}, {"A3", 3, 0, 1, 2, true}, {"Letter", 3, 0, 1, 2, false},
      {kLongA4, 2, 0, 1, 2, false},
      {"A4", 1, 0, 1, 2, true}, {"A4", 1, 0, 1, 4, true}, {"A4", 1, 0, 1, 0, false},
      {"A4", 3, 5, 1, 1, false}, {"A4", 1, 1, 1, 0, true}, {"A4", 3, 1, 1, 1, true},
      {"A4", 1, 1, 1, 2, false}, {"A4", 1, 3, 2, 3, true}, {"A4", 3, 3, 2, 1, false},
      {"A4", 1, 0, 2, 0, true}, {"A4", 1, 0, 2, 2, false}, {"A4", 1, 6, 1, 2, false},
      {"A4", 1, 200, 1, 2, true},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(vex::punchAllowedFor(c.pageSize, c.type, static_cast<std::uint8_t>(c.layout),
                                   static_cast<std::int16_t>(c.orientation), c.bind),
              c.allowed)
        << c.pageSize << " P=" << c.type << " L=" << c.layout << " O=" << c.orientation
        << " B=" << c.bind;
  }
}

TEST(FinisherRules, PageLayoutByteOfTheDeviceMode) {
  std::vector<std::uint8_t> deviceMode(357, 0);
  deviceMode[356] = 3;
  EXPECT_EQ(vex::pageLayoutOf(deviceMode), 3);
  // A device mode that ends just before the byte has no layout to read.
  EXPECT_EQ(vex::pageLayoutOf(std::span(deviceMode).first(356)), 7);
  EXPECT_EQ(vex::pageLayoutOf({}), 7);
}

TEST(FinisherRules, LayoutSignature) {
  const struct {
    int layout;
    std::uint32_t orientationSelection;
    int type;
    int signature;
  } cases[] = {{0, 0, 0, 0x00}, {6, 0, 0, 0x06},   {6, 1, 0, 0x86},   {1, 2, 0, 0x41},
               {3, 1, 4, 0xA3}, {5, 2, 2, 0x55},   {0, 3, 1, 0x08},   {6, 2, 3, 0x5E},
               {7, 0, 0, 0x07}, {255, 1, 4, 0xA7}, {0x86, 0, 0, 0x07}};
  for (const auto& c : cases) {
    EXPECT_EQ(
        vex::layoutSignatureOf(static_cast<std::uint8_t>(c.layout), c.orientationSelection, c.type),
        c.signature)
        << "L=" << c.layout << " sel=" << c.orientationSelection << " P=" << c.type;
  }
}

// Two-sided A4, layout 0, portrait, punch unit Type2, nothing changed since the last time:
// class 5, punching allowed, signature 0x80 + (2 << 3) = 0x90.
FinisherInputs steadyA4() {
  FinisherInputs in;
  in.finisher = "True";
  in.punchUnit = "Type2";
  in.pageSize = "A4";
  in.duplex = "DuplexNoTumble";
  in.pageLayout = 0;
  in.orientation = 1;
  in.paperSize = 9;
  in.orientationSelection = 1;
  in.outputBin = {true, 0};
  in.bindPosition = {true, 3};
  in.staple = {true, 1};
  in.punch = {true, 1};
  in.lastPaperSize = 9;
  in.layoutSignature = 0x90;
  return in;
}

TEST(FinisherRules, SelectionsAfterTheConsistencySteps) {
  struct Change {
    std::string_view pageSize = "A4";
    std::string_view duplex = "DuplexNoTumble";
    std::string_view punchUnit = "Type2";
    int layout = 0, orientation = 1, paperSize = 9;
    std::uint32_t orientationSelection = 1, bind = 3;
    int lastPaper = 9, storedSignature = 0x90;
  };
  struct Expected {
    std::uint32_t bind, staple, punch;
    int lastPaper, signature;
  };
  // clang-format off
  const struct {
    const char* what;
    Change in;
    Expected out;
  } cases[] = {
      {"class 5 keeps all", {}, {3, 1, 1, 9, 0x90}},
      {"class 5, B 0 fails the A4 rule",
       {.punchUnit = "Type1", .bind = 0, .storedSignature = 0x88}, {0, 1, 0, 9, 0x88}},
      {"class 0, F exactly 6", {.pageSize = "A5", .punchUnit = "", .layout = 6,
                                .orientationSelection = 0, .bind = 1, .storedSignature = 6},
       {4, 0, 0, 9, 6}},
      {"class 0, F not 6", {.pageSize = "A5", .bind = 4}, {2, 0, 0, 9, 0x90}},
      {"class 1: 4 becomes 2, punch stays", {.pageSize = "B5", .bind = 4}, {2, 1, 1, 9, 0x90}},
      {"class 1: 3 stays", {.pageSize = "B5", .bind = 3}, {3, 1, 1, 9, 0x90}},
      {"class 2: 3 becomes 0", {.pageSize = "Legal"}, {0, 1, 1, 9, 0x90}},
      {"class 2: 4 becomes 0", {.pageSize = "Legal", .bind = 4}, {0, 1, 1, 9, 0x90}},
      {"class 2: 1 stays", {.pageSize = "Legal", .bind = 1}, {1, 1, 1, 9, 0x90}},
      {"class 3: 1 becomes 2", {.pageSize = "Legal", .orientation = 2, .bind = 1},
       {2, 1, 1, 9, 0x90}},
      {"class 3: 4 becomes 2", {.pageSize = "Legal", .orientation = 2, .bind = 4},
       {2, 1, 1, 9, 0x90}},
      {"class 3: 3 stays", {.pageSize = "Legal", .orientation = 2}, {3, 1, 1, 9, 0x90}},
      {"class 4: B 4, no punch", {.layout = 6, .storedSignature = 0x96}, {4, 1, 0, 9, 0x96}},
      {"class 6: 2 becomes 0", {.pageSize = "A3", .bind = 2}, {0, 1, 1, 9, 0x90}},
      {"class 6: 4 stays, no punch", {.pageSize = "A3", .bind = 4}, {4, 1, 0, 9, 0x90}},
      {"class 7: 0 becomes 2", {.pageSize = "A3", .orientation = 2, .bind = 0}, {2, 1, 1, 9, 0x90}},
      {"class 7: 3 stays", {.pageSize = "A3", .orientation = 2}, {3, 1, 1, 9, 0x90}},
      {"one-sided A4, L 6: class 0", {.duplex = "None", .layout = 6, .storedSignature = 0x96},
       {2, 0, 0, 9, 0x96}},
      {"one-sided A4: class 1", {.duplex = "None", .bind = 4}, {2, 1, 1, 9, 0x90}},
      {"paper changed", {.paperSize = 8}, {2, 0, 0, 8, 0x90}},
      {"paper size taken as signed", {.paperSize = -1, .lastPaper = 65535}, {2, 0, 0, -1, 0x90}},
      {"same signed paper size", {.paperSize = -1, .lastPaper = -1}, {3, 1, 1, -1, 0x90}},
      {"orientation item changed", {.orientationSelection = 2}, {2, 0, 0, 9, 0x50}},
      {"punch unit changed", {.punchUnit = "Type4"}, {2, 0, 0, 9, 0xA0}},
      {"reset, then the class 6 table", {.pageSize = "A3", .paperSize = 8}, {0, 0, 0, 8, 0x90}},
      {"unknown layout 9", {.layout = 9, .storedSignature = 0x97}, {3, 1, 1, 9, 0x97}},
  };
  // clang-format on
  for (const auto& c : cases) {
    FinisherInputs in = steadyA4();
    in.pageSize = c.in.pageSize;
    in.duplex = c.in.duplex;
    in.punchUnit = c.in.punchUnit;
    in.pageLayout = static_cast<std::uint8_t>(c.in.layout);
    in.orientation = static_cast<std::int16_t>(c.in.orientation);
    in.paperSize = static_cast<std::int16_t>(c.in.paperSize);
    in.orientationSelection = c.in.orientationSelection;
    in.bindPosition.value = c.in.bind;
    in.lastPaperSize = c.in.lastPaper;
    in.layoutSignature = static_cast<std::uint8_t>(c.in.storedSignature);
    const vex::FinisherOutcome out = vex::resolveFinisher(in);
    EXPECT_EQ(out.bindPosition, c.out.bind) << c.what;
    EXPECT_EQ(out.staple, c.out.staple) << c.what;
    EXPECT_EQ(out.punch, c.out.punch) << c.what;
    EXPECT_EQ(out.lastPaperSize, c.out.lastPaper) << c.what;
    EXPECT_EQ(out.layoutSignature, c.out.signature) << c.what;
  }
}

TEST(FinisherRules, OutputBinAndMissingItems) {
  const struct {
    std::string_view finisher;
    FeatureSelection bin;
    std::uint32_t result;
  } bins[] = {{"True", {true, 1}, 0},  {"True", {true, 2}, 2},  {"True", {true, 3}, 3},
              {"False", {true, 2}, 0}, {"", {true, 3}, 0},      {"true", {true, 1}, 1},
              {"False", {true, 4}, 4}, {"True", {false, 1}, 1}, {"", {false, 2}, 2}};
  for (const auto& b : bins) {
    FinisherInputs in = steadyA4();
    in.finisher = b.finisher;
    in.outputBin = b.bin;
    EXPECT_EQ(vex::resolveFinisher(in).outputBin, b.result) << b.finisher << " " << b.bin.value;
  }

  // Class 0 with no staple or punch item: their slots are left as they came.
  FinisherInputs in = steadyA4();
  in.pageSize = "A5";
  in.staple = {false, 3};
  in.punch = {false, 1};
  vex::FinisherOutcome out = vex::resolveFinisher(in);
  EXPECT_EQ(out.staple, 3u);
  EXPECT_EQ(out.punch, 1u);
  EXPECT_EQ(out.bindPosition, 2u);

  // No binding-position item: the A4 rule sees position 2, whatever the empty slot holds.
  in = steadyA4();
  in.punchUnit = "Type1";
  in.layoutSignature = 0x88;
  in.bindPosition = {false, 0};
  out = vex::resolveFinisher(in);
  EXPECT_TRUE(out.punchAllowed);
  EXPECT_EQ(out.punch, 1u);
  EXPECT_EQ(out.bindPosition, 0u);
}

}  // namespace
