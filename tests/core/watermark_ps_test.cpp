#include "watermark_ps.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "private_settings.h"
#include "ps_text.h"

namespace {

using vex::FormatArg;

// Template 1 as the plug-in stores it.
const std::string kInit =
    "\r\n(%1!S!) %2!d! /%2!S! %3 %4 %5!d! %6 %7 %8!d! %9!d! %9!d! %9!d! %9!d! %9!d! %9!d!\r\n"
    "/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource /init_watermark 2 copy "
    "known{get exec}{19 {pop}repeat}ifelse\r\n}{19 {pop}repeat}ifelse\r\n\r\n";
const std::string kInitTail =
    "\r\n/DriverOps /ProcSet 2 copy resourcestatus{\r\n pop pop findresource /init_watermark 2 "
    "copy known{get exec}{19 {pop}repeat}ifelse\r\n}{19 {pop}repeat}ifelse\r\n\r\n";

struct Watermark {
  std::int32_t size = 72;
  std::int16_t angle = 45;
  std::int32_t x = 0, y = 0;
  std::int16_t position = 3, frame = 0, background = 0;
  std::uint8_t firstPage = 0;
  std::int16_t style = 0;
  std::string color = "0.75 0.75 0.75";
  std::uint8_t orientation = 0;
};

std::vector<std::uint8_t> recordOf(const Watermark& w) {
  std::vector<std::uint8_t> r(vex::kRecordSize, 0);
  using namespace vex::rec;
  vex::setI32(r.data(), wmSize, w.size);
  vex::setI16(r.data(), wmAngle, w.angle);
  vex::setI32(r.data(), wmOffsetX, w.x);
  vex::setI32(r.data(), wmOffsetY, w.y);
  vex::setI16(r.data(), wmPosition, w.position);
  vex::setI16(r.data(), wmFrameStyle, w.frame);
  vex::setI16(r.data(), wmBackground, w.background);
  vex::setU8(r.data(), wmFirstPageOnly, w.firstPage);
  vex::setI16(r.data(), wmFontStyle, w.style);
  for (std::size_t i = 0; i < w.color.size() && i < wmColorTextBytes; ++i) {
    r[wmColorText + i] = static_cast<std::uint8_t>(w.color[i]);
  }
  vex::setU8(r.data(), orientationSelection, w.orientation);
  return r;
}

// The operand line of the initialisation (between the first CR LF and the second).
std::string operands(const Watermark& w, const std::string& text = "WM",
                     const std::string& font = "Helvetica") {
  const auto r = recordOf(w);
  const std::string all = vex::watermarkInitText(kInit, r.data(), text, font);
  EXPECT_EQ(all.substr(0, 2), "\r\n");
  const std::size_t end = all.find("\r\n", 2);
  EXPECT_EQ(all.substr(end), kInitTail);
  return all.substr(2, end - 2);
}

TEST(SineTable, KnownEntries) {
  const auto& t = vex::sineTable();
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[1], 175);
  EXPECT_EQ(t[2], 349);
  EXPECT_EQ(t[30], 5000);
  EXPECT_EQ(t[45], 7071);
  EXPECT_EQ(t[60], 8660);
  EXPECT_EQ(t[90], 10000);
}

TEST(WatermarkInit, AnglesOffsetsAndOrientations) {
  const struct {
    std::int16_t angle;
    std::int32_t x, y;
    std::uint8_t orientation;
    const char* expected;  // angle x y ... s k
  } cases[] = {
      {45, 0, 0, 0, "(WM) 72 /Helvetica 0.75 0.75 0.75 45 3 0 0 0 7071 7071 0 0 0 0"},
      {180, 0, 0, 1, "(WM) 72 /Helvetica 0.75 0.75 0.75 270 3 0 0 0 10000 0 0 0 0 1"},
      {-120, 0, 0, 0, "(WM) 72 /Helvetica 0.75 0.75 0.75 -120 3 0 0 0 8660 5000 0 0 0 0"},
      {0, 10, 20, 1, "(WM) 72 /Helvetica 0.75 0.75 0.75 90 3 20 -10 0 10000 0 0 0 0 1"},
      {0, 10, 20, 2, "(WM) 72 /Helvetica 0.75 0.75 0.75 -90 3 -20 10 0 10000 0 0 0 0 2"},
      {-180, 5, -7, 2, "(WM) 72 /Helvetica 0.75 0.75 0.75 90 3 7 5 0 10000 0 0 0 0 2"},
      {-90, 0, 0, 0, "(WM) 72 /Helvetica 0.75 0.75 0.75 -90 3 0 0 0 10000 0 0 0 0 0"},
      {90, -1000, 1000, 0, "(WM) 72 /Helvetica 0.75 0.75 0.75 90 3 -1000 1000 0 10000 0 0 0 0 0"},
      {30, 0, 0, 0, "(WM) 72 /Helvetica 0.75 0.75 0.75 30 3 0 0 0 5000 8660 0 0 0 0"},
      {150, 0, 0, 0, "(WM) 72 /Helvetica 0.75 0.75 0.75 150 3 0 0 0 5000 8660 0 0 0 0"},
  };
  for (const auto& c : cases) {
    Watermark w;
    w.angle = c.angle;
    w.x = c.x;
    w.y = c.y;
    w.orientation = c.orientation;
    EXPECT_EQ(operands(w), c.expected) << "angle " << c.angle << " orientation " << +c.orientation;
  }
}

TEST(WatermarkInit, FieldsInTheirPlaces) {
  Watermark w;
  w.size = 600;
  w.position = 6;
  w.frame = 3;
  w.background = 1;
  w.firstPage = 1;
  w.style = 5;
  w.color = "1.00 0.00 0.00";
  EXPECT_EQ(operands(w, "Draft", "Times-BoldItalic"),
            "(Draft) 600 /Times-BoldItalic 1.00 0.00 0.00 45 6 0 0 3 7071 7071 1 1 5 0");
}

TEST(WatermarkInit, AngleOutsideTheRangeStillFolds) {
  // A record from any application: the angle indexes the table only after folding.
  for (int angle : {-32768, -1000, -181, 181, 1000, 32767}) {
    const int folded = vex::foldAngle(angle);
    EXPECT_GE(folded, 0) << angle;
    EXPECT_LE(folded, 90) << angle;
  }
  EXPECT_EQ(vex::foldAngle(405), 45);
  EXPECT_EQ(vex::foldAngle(-405), 45);
  Watermark w;
  w.angle = -32768;
  EXPECT_NO_FATAL_FAILURE(operands(w));
}

TEST(WatermarkInit, TextEscapedAndCut) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"a(b)c\\d", "a\\(b\\)c\\\\d"},
      {"first line\r\nsecond", "first line"},
      {"tab\there", "tab\there"},
      {"\nlead", ""},
      {"x\x1fy", "x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::escapePostScriptString(c.text), c.expected);
    EXPECT_EQ(operands(Watermark{}, c.text),
              "(" + c.expected + ") 72 /Helvetica 0.75 0.75 0.75 45 3 0 0 0 7071 7071 0 0 0 0");
  }
}

TEST(PostScriptString, LimitsAndTrailingBackslash) {
  // 384 bytes considered, then at most 384 after escaping.
  EXPECT_EQ(vex::escapePostScriptString(std::string(500, 'a')), std::string(384, 'a'));
  // 383 letters and a backslash: the escaped pair is cut in half; the lone backslash goes.
  EXPECT_EQ(vex::escapePostScriptString(std::string(383, 'a') + "\\"), std::string(383, 'a'));
  // 382 letters and a backslash: the escaped pair fits whole.
  EXPECT_EQ(vex::escapePostScriptString(std::string(382, 'a') + "\\"),
            std::string(382, 'a') + "\\\\");
  // All parentheses: 192 escaped pairs fill 384 bytes.
  const std::string escaped = vex::escapePostScriptString(std::string(300, '('));
  EXPECT_EQ(escaped.size(), 384u);
  EXPECT_EQ(escaped.substr(380), "\\(\\(");
}

TEST(WatermarkInit, HostileFontAndColourFallBack) {
  const std::string defaults = "(WM) 72 /HeiseiMin-W3-90ms-RKSJ-H 0.75 0.75 0.75 45";
  for (const char* font : {"", "Times Roman", "A/B", "x)exec(", "F{", "%comment", "a\tb"}) {
    EXPECT_EQ(operands(Watermark{}, "WM", font).substr(0, defaults.size()), defaults) << font;
  }
  EXPECT_EQ(operands(Watermark{}, "WM", "Courier-Bold").substr(0, 18), "(WM) 72 /Courier-B");
  for (const char* color : {"", "1 2", "0.5 0.5 0.5 x", "1 1 1 quit", "a.b c d", "1.  1 1",
                            "1 1 1 ", ".5 1 1", "1 1 1\r\n"}) {
    Watermark w;
    w.color = color;
    EXPECT_EQ(vex::watermarkColorText(recordOf(w).data()), "0.75 0.75 0.75") << color;
  }
  for (const char* color : {"1.00 1.00 1.00", "0 0 0", "0.1 0.22 1"}) {
    Watermark w;
    w.color = color;
    EXPECT_EQ(vex::watermarkColorText(recordOf(w).data()), color);
  }
  // Sixteen bytes without a terminator: not a colour.
  Watermark w;
  w.color = "1.00 1.00 1.0000";
  EXPECT_EQ(vex::watermarkColorText(recordOf(w).data()), "1.00 1.00 1.0000");
  w.color = "1.00 1.00 1.00 9";
  EXPECT_EQ(vex::watermarkColorText(recordOf(w).data()), "0.75 0.75 0.75");
}

TEST(WatermarkPage, BackgroundChoosesTheCall) {
  Watermark w;
  w.background = 0;
  EXPECT_EQ(vex::watermarkPageTemplate(recordOf(w).data()), vex::kWatermarkMatrixTemplate);
  w.background = 1;
  EXPECT_EQ(vex::watermarkPageTemplate(recordOf(w).data()), vex::kWatermarkDrawTemplate);
}

TEST(Formatter, Placeholders) {
  const std::vector<FormatArg> args = {FormatArg::num(7), FormatArg::str("abc"),
                                       FormatArg::num(4294967295u)};
  const struct {
    std::string pattern;
    std::string expected;
  } cases[] = {
      {"%1!d!|%2|%3!D!", "7|abc|4294967295"},
      {"%9!d! %9 %1!d!", "7 abc 4294967295"},  // the digit selects nothing
      {"%1!S!-%2!S!-%7!S!", "x\\(y-F(-F("},
      {"%1!x!%1!d!", "7"},  // unknown format: nothing, no argument used
      {"100%% a%b", "100% ab"},
      {"%1!d!%1!d!%1!d!%1!d!", "74294967295"},  // a number placeholder meeting a string: nothing
      {"end%", "end"},
      {"%1!d", "!d"},  // no closing "!": a byte-string placeholder that takes the number
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vex::formatTemplate(c.pattern, "x(y", "F(", args), c.expected) << c.pattern;
  }
}

TEST(Formatter, ByteStringEndsAtZero) {
  EXPECT_EQ(vex::formatTemplate("<%1>", "", "", {FormatArg::str(std::string("ab\0cd", 5))}),
            "<ab>");
}

}  // namespace
