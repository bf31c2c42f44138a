// The colour page's and detail dialogs' view rules and the colour-sample tool's install value.
#include "colour_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vex::ColourPageView;
using vex::PictureDetailsView;
using vex::UserSettingView;

TEST(ColourPageView, DetailsAndTonerSaveFollowTheMode) {
  struct Case {
    std::uint32_t mode;
    ColourPageView view;
  } cases[] = {
      {0, {0, false, false, true}},
      {1, {1, true, false, true}},  // office colour: only the first details button
      {2, {2, false, true, true}},  // advanced picture: only the second
      {3, {3, false, false, true}},
      {4, {4, false, false, false}},  // greyscale: no toner saving
      {5, {0, false, false, true}},   // a stored value beyond the modes shows as automatic
      {0xFFFFFFFF, {0, false, false, true}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vex::colourPageView(c.mode), c.view) << "mode " << c.mode;
  }
}

TEST(UserSettingView, SelectsTheMatchingItemOrFallsBackToTheFirst) {
  const std::vector<std::uint16_t> items = {3, 7, 0x107};
  struct Case {
    const char* what;
    std::uint32_t selection;
    std::vector<std::uint16_t> items;
    UserSettingView view;
  } cases[] = {
      {"in use, matching the Gamma item", 0x10107, items, {2, 0x10107, false, true, true, true}},
      {"not in use, matching", 0x00007, items, {1, 0x00007, true, false, true, false}},
      {"in use, nothing matches: item 0, not in use",
       0x10009,
       items,
       {0, 0x00003, true, false, true, false}},
      {"Color id 7 is not Gamma id 7", 0x10007 | 0x100, {7}, {0, 7, true, false, true, false}},
      {"in-use bits other than bit 16 count",
       0xABCD0003,
       items,
       {0, 0xABCD0003, false, true, true, true}},
      {"empty list: cannot be in use, id kept",
       0x10105,
       {},
       {-1, 0x105, true, false, false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vex::userSettingView(c.selection, c.items), c.view) << c.what;
  }
}

TEST(PictureDetailsView, MethodAndCmykProfileDecideWhatIsShown) {
  struct Case {
    const char* what;
    std::uint32_t method, cmyk, out, preserve;
    bool profile, cmykShown, sim;
    bool flow[4];
    std::optional<std::uint32_t> cmykRadio;
    bool preserveEnabled, inputEnabled, linkEnabled, preserveTicked, dictEnabled;
  } cases[] = {
      {"ICC, input profile",
       0,
       0,
       1,
       0,
       true,
       true,
       false,
       {true, true, false, false},
       0u,
       true,
       true,
       false,
       true,
       true},
      {"ICC, link profile: only the link list, no preserve black",
       0,
       1,
       1,
       1,
       true,
       true,
       false,
       {true, false, false, true},
       1u,
       false,
       false,
       true,
       false,
       true},
      {"printer emulation",
       1,
       1,
       0,
       0,
       true,
       false,
       true,
       {false, true, true, false},
       std::nullopt,
       true,
       false,
       false,
       true,
       false},
      {"create a profile hides the profiles, trackbar and black controls",
       2,
       0,
       1,
       0,
       false,
       false,
       false,
       {false, false, false, false},
       std::nullopt,
       false,
       false,
       false,
       true,
       false},
      {"matching by the application",
       3,
       1,
       1,
       1,
       false,
       false,
       false,
       {false, false, false, false},
       std::nullopt,
       false,
       false,
       false,
       false,
       false},
      {"ICC with a hostile CMYK choice: no radio, input profile",
       0,
       9,
       2,
       0,
       true,
       true,
       false,
       {true, false, false, false},
       std::nullopt,
       true,
       true,
       false,
       true,
       true},
  };
  for (const Case& c : cases) {
    const PictureDetailsView v = vex::pictureDetailsView(c.method, c.cmyk, c.out, c.preserve);
    EXPECT_EQ(v.profileControls, c.profile) << c.what;
    EXPECT_EQ(v.cmykControls, c.cmykShown) << c.what;
    EXPECT_EQ(v.simulationControls, c.sim) << c.what;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v.flow[i], c.flow[i]) << c.what << ": picture " << i;
    EXPECT_EQ(v.cmykRadio, c.cmykRadio) << c.what;
    EXPECT_EQ(v.preserveBlackEnabled, c.preserveEnabled) << c.what;
    EXPECT_EQ(v.cmykInputEnabled, c.inputEnabled) << c.what;
    EXPECT_EQ(v.linkEnabled, c.linkEnabled) << c.what;
    EXPECT_EQ(v.preserveBlackTicked, c.preserveTicked) << c.what;
    EXPECT_EQ(v.renderDictEnabled, c.dictEnabled) << c.what;
    EXPECT_EQ(v.method, c.method) << c.what;
  }
}

std::vector<std::uint8_t> utf16(std::u16string_view text, bool terminated) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

TEST(SwatchInstallValue, OnlyACompleteStringWithinTheBuffer) {
  std::vector<std::uint8_t> odd = utf16(u"C:\\Tool", false);
  odd.push_back('x');
  std::vector<std::uint8_t> full(vex::kSwatchInstallBytes, 'A');  // no terminator anywhere
  std::vector<std::uint8_t> over(vex::kSwatchInstallBytes + 10, 'B');
  struct Case {
    const char* what;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    bool complete;
    std::optional<std::u16string> folder;
  } cases[] = {
      {"a terminated string", 1, utf16(u"C:\\Swatch", true), true, u"C:\\Swatch"},
      {"no terminator: ends with the data", 1, utf16(u"C:\\Swatch", false), true, u"C:\\Swatch"},
      {"text after an inner NUL is not read", 1, utf16(std::u16string(u"C:\\A\0junk", 9), true),
       true, u"C:\\A"},
      {"an odd last byte is not a character", 1, odd, true, u"C:\\Tool"},
      {"a DWORD value", 4, {5, 0, 0, 0}, true, std::nullopt},
      {"an expandable string is not taken", 2, utf16(u"C:\\X", true), true, std::nullopt},
      {"a value too long for the buffer", 1, utf16(u"C:\\Long", true), false, std::nullopt},
      {"empty", 1, utf16(u"", true), true, std::nullopt},
      {"a full buffer without terminator stays within it", 1, full, true,
       std::u16string(vex::kSwatchInstallBytes / 2, u'\x4141')},
      {"data beyond the buffer are not read", 1, over, true,
       std::u16string(vex::kSwatchInstallBytes / 2, u'\x4242')},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(vex::swatchInstallFolder(c.type, c.data, c.complete), c.folder) << c.what;
  }
}

TEST(SwatchInstallValue, ProgramPathAppendsTheToolName) {
  EXPECT_EQ(vex::swatchProgramPath(u"C:\\Swatch"), u"C:\\Swatch\\swatch.exe");
  EXPECT_EQ(vex::swatchProgramPath(u"C:\\Swatch\\"), u"C:\\Swatch\\swatch.exe");
}

}  // namespace
