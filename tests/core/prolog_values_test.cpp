#include "prolog_values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_channel.h"

namespace {

TEST(PrologValues, PagesPerSheet) {
  const unsigned expected[] = {1, 2, 4, 6, 9, 16, 2, 1, 1};
  for (int nup = 0; nup < 9; ++nup) EXPECT_EQ(vex::pagesPerSheet(nup), expected[nup]) << nup;
  EXPECT_EQ(vex::pagesPerSheet(255), 1u);
}

TEST(PrologValues, WritesInTwoPieces) {
  vex::PageSetupInputs in;
  in.nupSelection = 2;
  in.orientation = 0;
  in.dmColor = 2;
  const std::vector<std::string> expected = {"globaldict /VX@NupNumber 4",   " put \r\n\n",
                                             "globaldict /VX@Orientation 0", " put \r\n\n",
                                             "globaldict /VX@ColorMono 2",   " put \r\n\n"};
  EXPECT_EQ(vex::pageSetupWrites(in), expected);
}

TEST(PrologValues, Cases) {
  const struct {
    vex::PageSetupInputs in;
    std::string text;
  } cases[] = {
      {{0, 1, 1, false},
       "globaldict /VX@NupNumber 1 put \r\n\nglobaldict /VX@Orientation 1 put \r\n\n"
       "globaldict /VX@ColorMono 1 put \r\n\n"},
      {{6, 2, 2, false},
       "globaldict /VX@NupNumber 2 put \r\n\nglobaldict /VX@Orientation 2 put \r\n\n"
       "globaldict /VX@ColorMono 2 put \r\n\n"},
      {{5, 0, -3, true},
       "globaldict /VX@NupNumber 16 put \r\n\nglobaldict /VX@Orientation 0 put \r\n\n"
       "globaldict /VX@ColorMono -3 put \r\n\nglobaldict /VX@ICCARD true  put \r\n\n"},
  };
  for (const auto& c : cases) {
    std::string all;
    for (const auto& piece : vex::pageSetupWrites(c.in)) all += piece;
    EXPECT_EQ(all, c.text);
  }
}

TEST(PrologResources, KeysByFeature) {
  using Keys = std::vector<std::string_view>;
  EXPECT_EQ(vex::resourceKeys("None", "False"), (Keys{"PROCSET_JP"}));
  EXPECT_EQ(vex::resourceKeys("", ""), (Keys{"PROCSET_JP"}));
  EXPECT_EQ(vex::resourceKeys("Use", "False"), (Keys{"PROCSET_JP", "OVERLAY_JP"}));
  EXPECT_EQ(vex::resourceKeys("use", "True"), (Keys{"PROCSET_JP", "OVERPRT_JP"}));
  EXPECT_EQ(vex::resourceKeys("Use", "True"), (Keys{"PROCSET_JP", "OVERLAY_JP", "OVERPRT_JP"}));
}

TEST(PrologResources, FileNamesStayInTheDriverFolder) {
  for (const char16_t* good : {u"VEXPROC.PS", u"a b.ps", u"x"}) {
    EXPECT_TRUE(vex::isResourceFileName(good));
  }
  for (const char16_t* bad : {u"", u".", u"..", u"..\\..\\secret.txt", u"C:\\x.ps", u"a/b", u"C:x",
                              u"\\\\server\\share\\x", u"a\nb"}) {
    EXPECT_FALSE(vex::isResourceFileName(bad));
  }
}

// The page's number line is read by the procedure sets: one line, CR LF, an integer a printer
// with 32-bit integers reads as one.
TEST(PageNumber, LineAndLargestNumber) {
  const struct {
    std::uint32_t page;
    const char* number;
  } cases[] = {
      {1, "1"},
      {3, "3"},
      {2147483647u, "2147483647"},
      {2147483648u, "2147483647"},
      {4294967295u, "2147483647"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::pageNumberLine(c.page),
              std::string("globaldict /VX@PageNumber ") + c.number + " put\r\n")
        << c.page;
  }
}

}  // namespace
