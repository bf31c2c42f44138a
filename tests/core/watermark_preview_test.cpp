#include "watermark_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>


namespace {

using vex::PaperSize;
using vex::PreviewFrame;
using vex::PreviewPoint;
using vex::PreviewRect;
using vex::WatermarkDefinition;

std::string narrowName(std::u16string_view name) {
  std::string out;
  for (char16_t c : name) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

TEST(PreviewPaper, EveryRowAndItsNearMisses) {
  const PaperSize a4{2100, 2970};
  const struct {
    std::u16string_view name;
    PaperSize size;
  } cases[] = {
      {u"A4", {2100, 2970}},
      {u"A5", {1480, 2100}},
      {u"A6", {1050, 1480}},
      {u"B5 (JIS)", {1820, 2570}},
      {u"C5", {1620, 2290}},
      {u"Comm10", {1050, 2410}},  // [4] '1'
      {u"Comm9", {980, 2250}},    // [4] '9'
      {u"DL", {970, 2200}},
      {u"Executive", {1840, 2660}},
      {u"Monarch", {856, 1905}},
      {u"Letter", {2150, 2790}},
      {u"Legal13", {2030, 3300}},  // [6] '3'
      {u"Legal14", {2030, 3550}},
      {u"Postcard", {2100, 2970}},
      {u"\u306F\u304C\u304D", {1000, 1480}},
      {u"\uFF74\uFF78\uFF9E\uFF7E\uFF9E", {1840, 2660}},
      {u"\uFF98\uFF70\uFF76\uFF9E\uFF99 13", {2030, 3300}},  // [7] '3'
      {u"\uFF98\uFF70\uFF76\uFF9E\uFF99 14", {2030, 3550}},
      {u"\u30EC\u30BF\u30FC", {2150, 2790}},
      {u"\u5F80\u5FA9\u306F\u304C\u304D", {2000, 1480}},
      {u"\u5C01\u7B52\uFF11", {2349, 1199}},
      {u"\u5C01\u7B52\uFF12", {2049, 899}},
      {u"\u5C01\u7B52\uFF13", {2349, 1051}},
      {u"\u5C01\u7B52\uFF14", {2970, 2159}},
      // First test matches, a further one fails: A4, not the next row of another letter.
      {u"A3", a4},
      {u"A 5", a4},
      {u"B4", a4},
      {u"C6", a4},
      {u"Com10", a4},  // [4] is '0'
      {u"Co", a4},     // too short for [4]
      {u"D", a4},
      {u"LeTter", a4},
      {u"Legal", a4},  // no [6]
      {u"Legal15", a4},
      {u"\uFF98\uFF70\uFF76\uFF9E\uFF99 15", a4},
      {u"\u5C01\u7B52"
       u"1",
       a4},  // an ASCII digit, not the full-width one
      {u"\u5C01\u7B52\uFF15", a4},
      // No row at all.
      {u"a4", a4},
      {u"", a4},
      {u"Tabloid", a4},
      // The name ends at its NUL: "L" alone, not "Letter".
      {std::u16string_view(u"L\0tter", 6), a4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(narrowName(c.name));
    EXPECT_EQ(vex::previewPaperSize(c.name, vex::kPortraitOrientation), c.size);
  }
}

TEST(PreviewPaper, EveryOrientationButPortraitExchangesTheSides) {
  const struct {
    std::int16_t orientation;
    PaperSize size;
  } cases[] = {{1, {2150, 2790}}, {2, {2790, 2150}}, {0, {2790, 2150}}, {-1, {2790, 2150}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.orientation);
    EXPECT_EQ(vex::previewPaperSize(u"Letter", c.orientation), c.size);
  }
}

TEST(PreviewPaper, LongNamesAreReadOnlyWhereTheRowsLook) {
  std::u16string name = u"Letter";
  name.append(494, u'x');
  EXPECT_EQ(vex::previewPaperSize(name, 1), (PaperSize{2150, 2790}));
  EXPECT_EQ(vex::previewPaperSize(std::u16string(500, u'L'), 1), (PaperSize{2100, 2970}));
}

TEST(PreviewSine, AnchorValuesAndTheCosine) {
  const struct {
    int k, sine, cosine;
  } cases[] = {{0, 0, 10000},    {1, 175, 9998},   {30, 5000, 8660},
               {45, 7071, 7071}, {60, 8660, 5000}, {89, 9998, 175},
               {90, 10000, 0},   {-5, 0, 10000},   {95, 10000, 0}};  // clamped
  for (const auto& c : cases) {
    SCOPED_TRACE(c.k);
    EXPECT_EQ(vex::previewSine(c.k), c.sine);
    EXPECT_EQ(vex::previewCosine(c.k), c.cosine);
  }
}


TEST(PreviewAngle, WholeTurnsBringAnyAngleIntoRange) {
  const struct {
    int angle, expected;
  } cases[] = {{0, 0},   {180, 180}, {-180, -180}, {181, -179}, {-181, 179}, {270, -90},
               {360, 0}, {540, 180}, {-540, -180}, {32767, 7},  {-32768, -8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    EXPECT_EQ(vex::previewAngle(c.angle), c.expected);
  }
}

// W = 100, H = 20. Each sum is divided by 10000 as a whole, for instance at a = 1 (k = 1,
// S = 175, C = 9998): Wb = (100 * 9998 + 20 * 175) / 10000 = 1003300 / 10000 = 100, where two
// separate divisions would give 99 + 0; Hb = (20 * 9998 + 100 * 175) / 10000 = 217460 / 10000
// = 21; ox = 20 * 175 / 10000 = 0; oy = Hb. At a = 91 (group 2, k = 89, S = 9998, C = 175):
// Wb = (20 * 9998 + 100 * 175) / 10000 = 21 = ox, Hb = 100, oy = 100 * 9998 / 10000 = 99.
TEST(RotatedText, EachAngleGroupAtItsEdges) {
  const struct {
    int angle, group, k, width, height, refX, refY, e;
  } cases[] = {
      {0, 1, 0, 100, 20, 0, 20, 0},     {1, 1, 1, 100, 21, 0, 21, 1},
      {45, 1, 45, 84, 84, 14, 84, 45},  {89, 1, 89, 21, 100, 19, 100, 89},
      {90, 2, 90, 20, 100, 20, 100, 0}, {91, 2, 89, 21, 100, 21, 99, 1},
      {180, 2, 0, 100, 20, 100, 0, 90}, {-1, 2, 1, 100, 21, 0, 19, 89},
      {-90, 2, 90, 20, 100, 0, 0, 0},   {-91, 1, 89, 21, 100, 1, 0, 89},
      {-179, 1, 1, 100, 21, 99, 0, 1},  {-180, 1, 0, 100, 20, 100, 0, 0},
      {270, 2, 90, 20, 100, 0, 0, 0},  // as -90
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    const vex::RotatedTextBox box = vex::rotatedTextBox(c.angle, 100, 20);
    EXPECT_EQ(box, (vex::RotatedTextBox{c.group, c.k, c.width, c.height, c.refX, c.refY}));
    EXPECT_EQ(vex::boxCornerAngle(c.angle), c.e);
  }
}

// Checked against the turned text's corners in floating point: the reference point and the
// three other corners lie in the box, and together they reach each of its four sides.
TEST(RotatedText, TheTurnedTextFillsItsBoxAtEveryAngle) {
  const double w = 300, h = 40;
  const double pi = std::acos(-1.0);
  for (int a = -180; a <= 180; ++a) {
    SCOPED_TRACE(a);
    const vex::RotatedTextBox box = vex::rotatedTextBox(a, 300, 40);
    const double c = std::cos(a * pi / 180), s = std::sin(a * pi / 180);
    // Screen y grows downwards; the text runs along (c, -s), its top lies along (-s, -c).
    const double xs[] = {0, w * c, -h * s, w * c - h * s};
    const double ys[] = {0, -w * s, -h * c, -w * s - h * c};
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (int i = 0; i < 4; ++i) {
      const double x = box.refX + xs[i], y = box.refY + ys[i];
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    EXPECT_NEAR(minX, 0, 2.0);
    EXPECT_NEAR(minY, 0, 2.0);
    EXPECT_NEAR(maxX, box.width, 2.0);
    EXPECT_NEAR(maxY, box.height, 2.0);
  }
}

TEST(RotatedText, MeasurementsOutsideTheirRangeAreBounded) {
  EXPECT_EQ(vex::rotatedTextBox(0, -50, INT_MIN), (vex::RotatedTextBox{1, 0, 0, 0, 0, 0}));
  const vex::RotatedTextBox huge = vex::rotatedTextBox(45, INT_MAX, INT_MAX);
  // (2^24 * 7071 * 2) / 10000 = 23726338
  EXPECT_EQ(huge.width, 23726338);
  EXPECT_EQ(huge.height, 23726338);
}

// W = 100, H = 20, k = 0: P = 20 * 120 / 100 + 4 = 28, Q = 100 + 2 * (28 - 20) - 4 = 112;
// D = 101 (the root of 10400) * 11 / 10 = 111. At k = 45: SW = (112 + 28) * 7071 / 10000 = 98,
// DW = (34 + 118) * 7071 / 10000 = 107 with g = 6. H = 33 gives P = 3960 / 100 + 4 = 43.
TEST(FrameSizes, BoxesAndCircleAroundTheText) {
  const struct {
    int k, w, h, fontSize;
    vex::FrameSizes expected;
  } cases[] = {
      {0, 100, 20, 221, {28, 112, 112, 28, 34, 118, 118, 34, 111}},
      {0, 100, 20, 222, {28, 112, 112, 28, 36, 120, 120, 36, 111}},  // g = 8
      {90, 100, 20, 72, {28, 112, 28, 112, 34, 118, 34, 118, 111}},
      {45, 100, 20, 72, {28, 112, 98, 98, 34, 118, 107, 107, 111}},
      {0, 50, 33, 72, {43, 66, 66, 43, 49, 72, 72, 49, 64}},  // root of 3589 is 59
      {0, 0, 0, 72, {4, 4, 4, 4, 10, 10, 10, 10, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.k << " " << c.w << "x" << c.h << " " << c.fontSize);
    EXPECT_EQ(vex::frameSizes(c.k, c.w, c.h, c.fontSize), c.expected);
  }
}

TEST(FrameSizes, PenWidthsChangeAtSize222) {
  const struct {
    PreviewFrame frame;
    int at221, at222;
  } cases[] = {{PreviewFrame::kCircle, 2, 3},
               {PreviewFrame::kSingleBox, 2, 3},
               {PreviewFrame::kDoubleBox, 1, 2},
               {PreviewFrame::kNone, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.frame));
    EXPECT_EQ(vex::framePenWidth(c.frame, 221), c.at221);
    EXPECT_EQ(vex::framePenWidth(c.frame, 222), c.at222);
  }
}

// Q = 112, P = 28 at (10, 20). At 45 degrees (group 1, e = 45): P * 7071 / 10000 = 19 and
// Q * 7071 / 10000 = 79, with SW = SH = 98.
TEST(BoxOutline, CornersPerGroup) {
  const struct {
    int group, e, spanX, spanY;
    std::array<PreviewPoint, 4> corners;
  } cases[] = {
      {1, 0, 112, 28, {{{10, 48}, {122, 48}, {122, 20}, {10, 20}}}},   // 0 degrees
      {2, 90, 112, 28, {{{10, 20}, {122, 20}, {122, 48}, {10, 48}}}},  // 180 degrees
      {2, 0, 28, 112, {{{38, 20}, {38, 132}, {10, 132}, {10, 20}}}},   // 90 and -90 degrees
      {1, 45, 98, 98, {{{29, 118}, {108, 39}, {89, 20}, {10, 99}}}},   // 45 degrees
      {2, 45, 98, 98, {{{29, 20}, {108, 99}, {89, 118}, {10, 39}}}},   // -45 degrees
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "group " << c.group << " e " << c.e);
    const auto outline = vex::boxOutline(c.group, c.e, {10, 20}, 112, 28, c.spanX, c.spanY);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(outline[i], c.corners[i]) << "corner " << i;
    EXPECT_EQ(outline[4], outline[0]);
  }
}

double distance(PreviewPoint a, PreviewPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// At every angle the outline is the turned Q x P rectangle: its sides are Q and P long and it
// stays inside its bounding box, touching all four sides.
TEST(BoxOutline, ARectangleInItsBoundingBoxAtEveryAngle) {
  const int q = 300, p = 60;
  for (int a = -180; a <= 180; ++a) {
    SCOPED_TRACE(a);
    const vex::RotatedTextBox text = vex::rotatedTextBox(a, 10, 10);
    const std::int64_t s = vex::previewSine(text.k), c = vex::previewCosine(text.k);
    const int spanX = static_cast<int>((q * c + p * s) / 10000);
    const int spanY = static_cast<int>((q * s + p * c) / 10000);
    const auto o = vex::boxOutline(text.group, vex::boxCornerAngle(a), {0, 0}, q, p, spanX, spanY);
    const double sides[] = {distance(o[0], o[1]), distance(o[1], o[2]), distance(o[2], o[3]),
                            distance(o[3], o[0])};
    EXPECT_NEAR(std::min(sides[0], sides[1]), p, 2.0);
    EXPECT_NEAR(std::max(sides[0], sides[1]), q, 2.0);
    EXPECT_NEAR(sides[0], sides[2], 2.0);
    EXPECT_NEAR(sides[1], sides[3], 2.0);
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const PreviewPoint& pt : o) {
      minX = std::min(minX, pt.x), maxX = std::max(maxX, pt.x);
      minY = std::min(minY, pt.y), maxY = std::max(maxY, pt.y);
    }
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(minY, 0);
    EXPECT_EQ(maxX, spanX);
    EXPECT_EQ(maxY, spanY);
  }
}

// A4 in a client of 201 x 281: cw = 200, ch = 280, m = 184, s = 2970 * 28 / 184 = 451,
// pw = 58800 / 451 = 130, ph = 83160 / 451 = 184, x0 = 70 / 2 = 35, y0 = 96 / 2 = 48.
// Letter: s = 78120 / 184 = 424, pw = 60200 / 424 = 141, x0 = 59 / 2 = 29.
TEST(PreviewPage, ScaleAndPlaceInTheControl) {
  const struct {
    PaperSize paper;
    int clientWidth, clientHeight, scale, x0, y0, pw, ph;
  } cases[] = {
      {{2100, 2970}, 201, 281, 451, 35, 48, 130, 184},
      {{2970, 2100}, 281, 201, 451, 48, 35, 184, 130},  // landscape
      {{2970, 2100}, 201, 201, 451, 8, 35, 184, 130},   // wider than high
      {{2150, 2790}, 201, 281, 424, 29, 48, 141, 184},
      {{2100, 2970}, 18, 18, 83160, 8, 8, 0, 1},  // m = 1: the smallest page
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.paper.width << "x" << c.paper.height << " in "
                                    << c.clientWidth << "x" << c.clientHeight);
    const vex::PreviewPage page = vex::layoutPreviewPage(c.paper, c.clientWidth, c.clientHeight);
    EXPECT_TRUE(page.shown);
    EXPECT_EQ(page.cw, c.clientWidth - 1);
    EXPECT_EQ(page.ch, c.clientHeight - 1);
    EXPECT_EQ(page.scale, c.scale);
    EXPECT_EQ(page.x0, c.x0);
    EXPECT_EQ(page.y0, c.y0);
    EXPECT_EQ(page.pw, c.pw);
    EXPECT_EQ(page.ph, c.ph);
  }
}

TEST(PreviewPage, OutlineAndThickenedEdges) {
  const vex::PreviewPage page = vex::layoutPreviewPage({2100, 2970}, 201, 281);
  EXPECT_EQ(page.pageRect(), (PreviewRect{35, 48, 165, 232}));
  EXPECT_EQ(page.outlineRect(), (PreviewRect{34, 47, 166, 233}));
  const std::array<PreviewPoint, 3> edge{{{166, 48}, {166, 233}, {35, 233}}};
  EXPECT_EQ(page.thickEdge(), edge);
}

// The scale divides by min(cw, ch) - 16: a control too small for that shows its border only.
TEST(PreviewPage, TooSmallForAPage) {
  const struct {
    int clientWidth, clientHeight;
  } cases[] = {{17, 300}, {300, 17}, {1, 1}, {0, 0}, {-40, 100}, {INT_MIN, INT_MIN}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.clientWidth << "x" << c.clientHeight);
    const vex::PreviewPage page =
        vex::layoutPreviewPage({2100, 2970}, c.clientWidth, c.clientHeight);
    EXPECT_FALSE(page.shown);
    EXPECT_EQ(page.scale, 0);
    EXPECT_EQ(page.pw, 0);
    EXPECT_EQ(page.ph, 0);
    WatermarkDefinition d;
    d.text = u"X";
    d.frameStyle = 3;
    const vex::WatermarkPreview preview = vex::layoutWatermarkPreview(page, d, {40, 10});
    EXPECT_FALSE(preview.drawText);
    EXPECT_EQ(preview.frame, PreviewFrame::kNone);
    EXPECT_EQ(preview.font.height, 1);
  }
}

// s = 451: (72 * 200 + 451) / 902 = 14851 / 902 = 16. Hostile sizes wrap as 16-bit values.
TEST(PreviewFont, HeightAndEscapement) {
  const vex::PreviewPage page = vex::layoutPreviewPage({2100, 2970}, 201, 281);
  const struct {
    std::int32_t fontSize;
    std::int16_t angle;
    std::int32_t height, escapement;
  } cases[] = {
      {72, 45, 16, 450},       {1, 0, 1, 0},  // 651 / 902 = 0 becomes 1
      {0, -180, 1, -1800},     {600, 180, 133, 1800},
      {-100, 90, -21, 900},  // -19549 / 902 toward zero
      {INT_MAX, 0, -24122, 0}, {INT_MIN, 0, 24123, 0},
      {72, 270, 16, -900},  // the angle the box is computed for
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.fontSize << " " << c.angle);
    WatermarkDefinition d;
    d.fontSize = c.fontSize;
    d.angle = c.angle;
    EXPECT_EQ(vex::previewFont(d, page), (vex::PreviewFont{c.height, c.escapement}));
  }
}

TEST(PreviewOffset, PointsToPixelsTruncatingTowardZero) {
  const struct {
    std::int64_t points;
    std::int32_t scale, pixels;
  } cases[] = {
      {200, 451, 44},         {-200, 451, -44},  // -20000 / 451 = -44.3
      {-7, 451, -1},          {5, 451, 1},           {1000, 451, 221},
      {-1000, 451, -221},     {1000, 1, -31072},  // 100000 as a 16-bit value
      {INT_MAX, 451, -24123}, {INT_MIN, 451, 24122}, {50, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.points << " / " << c.scale);
    EXPECT_EQ(vex::previewOffsetPixels(c.points, c.scale), c.pixels);
  }
}

// Halves are taken one by one and truncate toward zero: -3 / 2 - 5 / 2 = -1 - 2.
TEST(PreviewPlacement, BoxesLargerThanThePage) {
  EXPECT_EQ(vex::placeInPage(3, -3, 101, 5, 300), (PreviewPoint{-3, -100}));
  EXPECT_EQ(vex::placeInPage(6, -3, 101, 5, 300), (PreviewPoint{-8, -199}));
}

WatermarkDefinition definition(std::int16_t position, std::int16_t frameStyle,
                               std::int16_t angle = 0) {
  WatermarkDefinition d;
  d.text = u"Draft";
  d.position = position;
  d.frameStyle = frameStyle;
  d.angle = angle;
  return d;
}

// The A4 page at (35, 48), 130 x 184, s = 451; the text measures 40 x 10 at angle 0, so the
// placed box is 40 x 10 and bx = px + 35 + 2 + offsetX * 100 / 451.
TEST(WatermarkPreview, PositionsAndOffsetsWithoutFrame) {
  const vex::PreviewPage page = vex::layoutPreviewPage({2100, 2970}, 201, 281);
  const struct {
    std::int16_t position;
    std::int32_t offsetX, offsetY;
    PreviewPoint placed;
  } cases[] = {
      {0, 0, 0, {37, 50}},           {1, 0, 0, {80, 50}},   {2, 0, 0, {123, 50}},
      {3, 0, 0, {80, 135}},          {4, 0, 0, {37, 220}},  {5, 0, 0, {80, 220}},
      {6, 0, 0, {123, 220}},         {9, 0, 0, {80, 135}},  {3, 200, -200, {124, 91}},  // +44, -44
      {3, -1000, 1000, {-141, 356}}, {0, -7, -7, {36, 49}},  // -700 / 451 = -1, not -2
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.position << " " << c.offsetX << "," << c.offsetY);
    WatermarkDefinition d = definition(c.position, 0);
    d.offsetX = c.offsetX;
    d.offsetY = c.offsetY;
    const vex::WatermarkPreview p = vex::layoutWatermarkPreview(page, d, {40, 10});
    EXPECT_EQ(p.placed, c.placed);
    EXPECT_EQ(p.placedWidth, 40);
    EXPECT_EQ(p.placedHeight, 10);
    EXPECT_EQ(p.textOrigin, (PreviewPoint{c.placed.x, c.placed.y + 10}));
    EXPECT_TRUE(p.drawText);
    EXPECT_EQ(p.frame, PreviewFrame::kNone);
  }
}

TEST(WatermarkPreview, BottomRightLandsTwoPixelsInsideThePage) {
  for (const PaperSize paper : {PaperSize{2100, 2970}, PaperSize{2970, 2100}}) {
    for (const int frame : {0, 1, 2, 3}) {
      SCOPED_TRACE(testing::Message() << paper.width << " frame " << frame);
      const vex::PreviewPage page = vex::layoutPreviewPage(paper, 301, 241);
      const vex::WatermarkPreview p =
          vex::layoutWatermarkPreview(page, definition(6, frame, 30), {60, 12});
      const PreviewRect r = page.pageRect();
      EXPECT_EQ(p.placed.x + p.placedWidth, r.right - 2);
      EXPECT_EQ(p.placed.y + p.placedHeight, r.bottom - 2);
    }
  }
}

// Text 40 x 10 centred on the A4 page. Circle: D = 41 * 11 / 10 = 45, px = 63 - 22, py = 90 - 22,
// so bx = 41 + 37 = 78, by = 68 + 50 = 118. Single box: P = 16, Q = 48, bx = 63 - 24 + 37 = 76,
// by = 90 - 8 + 50 = 132. The text sits at the same place in all three.
TEST(WatermarkPreview, FramesAtAngleZero) {
  const vex::PreviewPage page = vex::layoutPreviewPage({2100, 2970}, 201, 281);

  const vex::WatermarkPreview circle =
      vex::layoutWatermarkPreview(page, definition(3, 1), {40, 10});
  EXPECT_EQ(circle.frame, PreviewFrame::kCircle);
  EXPECT_EQ(circle.penWidth, 2);
  EXPECT_EQ(circle.placed, (PreviewPoint{78, 118}));
  EXPECT_EQ(circle.circle, (PreviewRect{76, 116, 125, 165}));
  EXPECT_EQ(circle.textOrigin, (PreviewPoint{80, 145}));

  const vex::WatermarkPreview single =
      vex::layoutWatermarkPreview(page, definition(3, 2), {40, 10});
  EXPECT_EQ(single.frame, PreviewFrame::kSingleBox);
  EXPECT_EQ(single.penWidth, 2);
  EXPECT_EQ(single.placed, (PreviewPoint{76, 132}));
  const std::array<PreviewPoint, 5> box{{{76, 148}, {124, 148}, {124, 132}, {76, 132}, {76, 148}}};
  EXPECT_EQ(single.innerBox, box);
  EXPECT_EQ(single.textOrigin, (PreviewPoint{80, 145}));
}

// 45 degrees, text 40 x 10, size 72: Wb = Hb = 353550 / 10000 = 35, ox = 7; P = 16, Q = 48,
// SW = 64 * 7071 / 10000 = 45; P2 = 22, Q2 = 54, DW = 76 * 7071 / 10000 = 53. px = 63 - 26 = 37,
// py = 90 - 26 = 64: bx = 74, by = 114; the inner box at 74 + 26 - 22 = 78, 118; the text at
// tx = 74 + 26 - 17 = 83, ty = 123, plus (7, 35).
TEST(WatermarkPreview, DoubleFrameAt45Degrees) {
  const vex::PreviewPage page = vex::layoutPreviewPage({2100, 2970}, 201, 281);
  const vex::WatermarkPreview p = vex::layoutWatermarkPreview(page, definition(3, 3, 45), {40, 10});
  EXPECT_EQ(p.frame, PreviewFrame::kDoubleBox);
  EXPECT_EQ(p.penWidth, 1);
  EXPECT_EQ(p.cornerAngle, 45);
  EXPECT_EQ(p.placedWidth, 53);
  EXPECT_EQ(p.placed, (PreviewPoint{74, 114}));
  const std::array<PreviewPoint, 5> outer{
      {{89, 167}, {127, 129}, {112, 114}, {74, 152}, {89, 167}}};
  const std::array<PreviewPoint, 5> inner{
      {{89, 163}, {123, 129}, {111, 118}, {78, 151}, {89, 163}}};
  EXPECT_EQ(p.outerBox, outer);
  EXPECT_EQ(p.innerBox, inner);
  EXPECT_EQ(p.textOrigin, (PreviewPoint{90, 158}));
  EXPECT_EQ(p.font, (vex::PreviewFont{16, 450}));
}

// Which frame each style draws, and what an empty text, a text measuring nothing and a size
// below 1 leave out.
TEST(WatermarkPreview, WhatIsDrawn) {
  const vex::PreviewPage page = vex::layoutPreviewPage({2100, 2970}, 201, 281);
  const struct {
    const char* name;
    std::u16string text;
    std::int16_t style;
    std::int32_t fontSize, width;
    bool drawText;
    PreviewFrame frame;
    int penWidth;
  } cases[] = {
      {"no frame", u"A", 0, 72, 40, true, PreviewFrame::kNone, 0},
      {"circle", u"A", 1, 72, 40, true, PreviewFrame::kCircle, 2},
      {"single box", u"A", 2, 72, 40, true, PreviewFrame::kSingleBox, 2},
      {"double box", u"A", 3, 72, 40, true, PreviewFrame::kDoubleBox, 1},
      {"style 4", u"A", 4, 72, 40, true, PreviewFrame::kNone, 0},
      {"style -1", u"A", -1, 72, 40, true, PreviewFrame::kNone, 0},
      {"empty text", u"", 2, 72, 40, false, PreviewFrame::kNone, 0},
      {"nothing measured", u"A", 2, 72, 0, true, PreviewFrame::kNone, 0},
      {"size 0", u"A", 2, 0, 40, false, PreviewFrame::kSingleBox, 2},
      {"size 1", u"A", 2, 1, 40, true, PreviewFrame::kSingleBox, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WatermarkDefinition d = definition(3, c.style);
    d.text = c.text;
    d.fontSize = c.fontSize;
    const vex::WatermarkPreview p = vex::layoutWatermarkPreview(page, d, {c.width, 10});
    EXPECT_EQ(p.drawText, c.drawText);
    EXPECT_EQ(p.frame, c.frame);
    EXPECT_EQ(p.penWidth, c.penWidth);
  }
}

// Hostile definitions and measurements: every value stays bounded (a fault here is undefined
// behaviour, which the sanitizers of the native tree stop on).
TEST(WatermarkPreview, ExtremeInputsStayBounded) {
  const std::int32_t ints[] = {INT_MIN, -1000, -1, 0, 1, 221, 222, 1000, INT_MAX};
  const std::int16_t shorts[] = {SHRT_MIN, -181, -1, 0, 3, 7, 181, SHRT_MAX};
  const std::int32_t sizes[] = {INT_MIN, 0, 1, 17, 18, 200, 65554, INT_MAX};
  for (const std::int32_t client : sizes) {
    const vex::PreviewPage page = vex::layoutPreviewPage({2970, 2100}, client, client / 2 + 20);
    for (const std::int32_t n : ints) {
      for (const std::int16_t v : shorts) {
        WatermarkDefinition d;
        d.text = u"W";
        d.fontSize = n;
        d.offsetX = n;
        d.offsetY = ~n;
        d.angle = v;
        d.position = v;
        d.frameStyle = static_cast<std::int16_t>(std::abs(v % 4));
        const vex::WatermarkPreview p = vex::layoutWatermarkPreview(page, d, {n, n});
        EXPECT_GE(p.text.k, 0);
        EXPECT_LE(p.text.k, 90);
        EXPECT_GE(p.cornerAngle, 0);
        EXPECT_LE(p.cornerAngle, 90);
        EXPECT_GE(p.text.width, 0);
        EXPECT_LE(p.sizes.circleDiameter, 26099222);  // 2^24 * sqrt(2) * 11 / 10
      }
    }
  }
}

}  // namespace
