#include "about_texts.h"

#include <gtest/gtest.h>

#include <string>

#include "driver_paths.h"

namespace {

using vex::VersionValues;

TEST(AboutTexts, PpdPiecesAreFoundLineByLineWithinTheLineBuffer) {
  const std::string longLine = "*% " + std::string(300, 'x') + " FileVersion: \"9.9\"\n";
  const std::string split = "*% " + std::string(250, 'y') + "FileVer" + "sion: \"1.5\"\n";
  const struct {
    const char* what;
    std::string ppd;
    const char* keyword;
    std::string piece;
  } cases[] = {
      {"CR LF line", "*PPD-Adobe: \"4.3\"\r\n*FileVersion: \"2.10\"\r\n*Next\r\n", "FileVersion",
       "*FileVersion: \"2.10\""},
      {"first of two", "*FileVersion: \"1\"\n*FileVersion: \"2\"\n", "FileVersion",
       "*FileVersion: \"1\""},
      {"last line without a line end", "*A\n*Copyright 2026 VEX", "Copyright",
       "*Copyright 2026 VEX"},
      {"none", "*A\n*B\n", "Copyright", ""},
      {"empty file", "", "FileVersion", ""},
      {"a line over 255 characters is read in pieces", longLine, "FileVersion",
       std::string(303 - vex::kPpdPieceBytes, 'x') + " FileVersion: \"9.9\""},
      {"a keyword cut by the buffer's end is not seen", split, "FileVersion", ""},
  };
  for (const auto& c : cases) {
    const std::string piece = vex::findPpdPiece(c.ppd, c.keyword);
    EXPECT_EQ(piece, c.piece) << c.what;
    EXPECT_LE(piece.size(), vex::kPpdPieceBytes) << c.what;
  }
}

TEST(AboutTexts, FileVersionAndCopyrightReadersStayWithinBounds) {
  const std::string longQuoted = "*FileVersion: \"" + std::string(400, '7') + "\"";
  const struct {
    const char* what;
    std::string line;
    std::string version;
    std::string copyright;
  } cases[] = {
      {"ordinary", "*FileVersion: \"2.10\"", "2.10", "\"2.10\""},
      {"no quotes", "*FileVersion: 2.10", "", "2.10"},
      {"one quote", "*FileVersion: \"2.10", "", "\"2.10"},
      {"empty quotes", "*FileVersion: \"\" x", "", "\"\" x"},
      {"three quotes: the first pair", "\"a\"b\"", "a", ""},
      {"copyright without a space", "*Copyright(c)VEX", "", ""},
      {"copyright after the first space", "*% Copyright 2026 VEX Ltd.", "",
       "Copyright 2026 VEX Ltd."},
      {"text longer than the box's 256", longQuoted, std::string(256, '7'),
       "\"" + std::string(255, '7')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::ppdFileVersion(c.line), c.version) << c.what;
    EXPECT_EQ(vex::ppdCopyright(c.line), c.copyright) << c.what;
  }
}

TEST(AboutTexts, DriverVersionFromTheVersionFile) {
  const std::u16string longTail(246, u'z');
  const struct {
    const char* what;
    VersionValues values;
    std::u16string shown;
  } cases[] = {
      {"OptionVer unchanged", {u"Option 3.1-b", u"01/01/2026,4.5.6", u"a-b-c"}, u"Option 3.1-b"},
      {"DriverVer part cut to 5", {u"", u"06/01/2026,1.23.456.7", u""}, u"1.23."},
      {"DriverVer part up to a quote", {u"", u"x,1.2\"rest", u""}, u"1.2"},
      {"DriverVer without a comma", {u"", u"1.2.3", u""}, u""},
      {"InternalVer after the second dash", {u"", u"d,1.0", u"A-B-C12"}, u"1.0C12"},
      {"dashes inside quotes do not count", {u"", u"d,1.0", u"\"x-y-z\"-a-b"}, u"1.0b"},
      {"a quote after the dash and the last character are left out",
       {u"", u"d,2.0", u"V-1-\"r7\""},
       u"2.0r7"},
      {"unbalanced quotes: no second dash outside them", {u"", u"d,2.0", u"V-\"1-2-3"}, u"2.0"},
      {"no second dash", {u"", u"d,2.0", u"V-1"}, u"2.0"},
      {"246 characters from the dash fit",
       {u"", u"d,3", u"a-b-" + longTail.substr(1)},
       u"3" + longTail.substr(1)},
      {"247 characters from the dash do not", {u"", u"d,3", u"a-b-" + longTail}, u"3"},
      {"a dash followed only by a quote", {u"", u"d,3", u"a-b-\""}, u"3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::driverVersionText(c.values), c.shown) << c.what;
  }
}

TEST(AboutTexts, OverlongVersionValuesAreBounded) {
  const VersionValues values{std::u16string(1000, u'o'), u"", u""};
  EXPECT_EQ(vex::driverVersionText(values).size(), vex::kOptionVerChars);
  const VersionValues driver{u"", u"a," + std::u16string(100, u'9'), std::u16string(2000, u'-')};
  EXPECT_LE(vex::driverVersionText(driver).size(), 5u + 246u);
}

TEST(AboutTexts, InternalVersionBandAndStrictHits) {
  const vex::Band band = vex::internalVersionBand(400, 150);
  EXPECT_EQ(band, (vex::Band{10, 152, 390, 172}));
  const vex::Band control{100, 50, 200, 70};
  const struct {
    long x, y;
    bool inside;
  } hits[] = {{150, 60, true},  {100, 60, false}, {200, 60, false}, {150, 50, false},
              {150, 70, false}, {101, 51, true},  {99, 60, false}};
  for (const auto& h : hits) {
    EXPECT_EQ(vex::strictlyInside(control, h.x, h.y), h.inside) << h.x << "," << h.y;
  }
}

// The mend: the PPD is the INI file's own name with its extension replaced, whatever the folders
// hold, where keeping the low byte of each unit and cutting at the first "." of the whole path
// gave a file that does not exist.
TEST(AboutTexts, PpdPathKeepsWideFoldersWithDotsAndChineseNames) {
  const struct {
    const char16_t* ini;
    const char16_t* ppd;
  } cases[] = {
      {u"C:\\drivers\\x64\\3\\VEXDEMO.INI", u"C:\\drivers\\x64\\3\\VEXDEMO.PPD"},
      {u"C:\\Users\\\u5f20\u4e09\\v1.2\\3\\vexdemo.ini",
       u"C:\\Users\\\u5f20\u4e09\\v1.2\\3\\vexdemo.PPD"},
      {u"C:\\a.b\\c.d\\VEX.INI", u"C:\\a.b\\c.d\\VEX.PPD"},
  };
  for (const auto& c : cases) EXPECT_EQ(vex::ppdPathFor(c.ini), c.ppd);
}

}  // namespace
