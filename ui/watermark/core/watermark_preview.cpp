#include "watermark_preview.h"

#include <algorithm>
#include <cmath>

#include "sine_table.h"

namespace vex {
namespace {

struct CharTest {
  std::size_t index;
  char16_t c;
};

struct PaperRow {
  std::array<CharTest, 3> tests;
  std::size_t testCount;
  PaperSize size;
};

constexpr PaperSize kA4{2100, 2970};

// Rows are tried in order; a row matches when every one of its tests does.
constexpr PaperRow kPaperRows[] = {
    {{{{0, u'A'}, {1, u'4'}}}, 2, {2100, 2970}},
    {{{{0, u'A'}, {1, u'5'}}}, 2, {1480, 2100}},
    {{{{0, u'A'}, {1, u'6'}}}, 2, {1050, 1480}},
    {{{{0, u'B'}, {1, u'5'}}}, 2, {1820, 2570}},
    {{{{0, u'C'}, {1, u'5'}}}, 2, {1620, 2290}},
    {{{{0, u'C'}, {1, u'o'}, {4, u'1'}}}, 3, {1050, 2410}},
    {{{{0, u'C'}, {1, u'o'}, {4, u'9'}}}, 3, {980, 2250}},
    {{{{0, u'D'}, {1, u'L'}}}, 2, {970, 2200}},
    {{{{0, u'E'}, {1, u'x'}}}, 2, {1840, 2660}},
    {{{{0, u'M'}, {1, u'o'}}}, 2, {856, 1905}},
    {{{{0, u'L'}, {2, u't'}}}, 2, {2150, 2790}},
    {{{{0, u'L'}, {2, u'g'}, {6, u'3'}}}, 3, {2030, 3300}},
    {{{{0, u'L'}, {2, u'g'}, {6, u'4'}}}, 3, {2030, 3550}},
    {{{{0, u'P'}, {1, u'o'}}}, 2, {2100, 2970}},
    {{{{0, u'\u306F'}, {1, u'\u304C'}}}, 2, {1000, 1480}},
    {{{{0, u'\uFF74'}, {1, u'\uFF78'}}}, 2, {1840, 2660}},
    {{{{0, u'\uFF98'}, {7, u'3'}}}, 2, {2030, 3300}},
    {{{{0, u'\uFF98'}, {7, u'4'}}}, 2, {2030, 3550}},
    {{{{0, u'\u30EC'}, {1, u'\u30BF'}}}, 2, {2150, 2790}},
    {{{{0, u'\u5F80'}, {1, u'\u5FA9'}}}, 2, {2000, 1480}},
    {{{{0, u'\u5C01'}, {2, u'\uFF11'}}}, 2, {2349, 1199}},
    {{{{0, u'\u5C01'}, {2, u'\uFF12'}}}, 2, {2049, 899}},
    {{{{0, u'\u5C01'}, {2, u'\uFF13'}}}, 2, {2349, 1051}},
    {{{{0, u'\u5C01'}, {2, u'\uFF14'}}}, 2, {2970, 2159}},
};

bool matches(const PaperRow& row, std::u16string_view name) {
  for (std::size_t i = 0; i < row.testCount; ++i) {
    const CharTest& t = row.tests[i];
    if (t.index >= name.size() || name[t.index] != t.c) return false;
  }
  return true;
}

std::int64_t asInt16(std::int64_t value) { return static_cast<std::int16_t>(value); }

std::int32_t clampExtent(std::int32_t value) {
  return std::clamp<std::int32_t>(value, 0, kMaxPreviewTextExtent);
}

// Floor of the square root, exact for every 64-bit value.
std::uint64_t integerSqrt(std::uint64_t n) {
  auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<long double>(n)));
  while (r > 0 && (r > n / r)) --r;    // r * r > n
  while ((r + 1) <= n / (r + 1)) ++r;  // (r + 1)^2 <= n
  return r;
}

std::int32_t narrow(std::int64_t value) { return static_cast<std::int32_t>(value); }

}  // namespace

PaperSize previewPaperSize(std::u16string_view formName, std::int16_t orientation) {
  formName = formName.substr(0, formName.find(u'\0'));
  PaperSize size = kA4;
  for (const PaperRow& row : kPaperRows) {
    if (matches(row, formName)) {
      size = row.size;
      break;
    }
  }
  if (orientation != kPortraitOrientation) std::swap(size.width, size.height);
  return size;
}

std::int32_t previewSine(int k) { return kSineTable[static_cast<std::size_t>(std::clamp(k, 0, 90))]; }

std::int32_t previewCosine(int k) { return previewSine(90 - std::clamp(k, 0, 90)); }

int previewAngle(int angle) {
  int a = angle % 360;
  if (a > 180) a -= 360;
  if (a < -180) a += 360;
  return a;
}

RotatedTextBox rotatedTextBox(int angle, std::int32_t textWidth, std::int32_t textHeight) {
  const int a = previewAngle(angle);
  const std::int64_t w = clampExtent(textWidth);
  const std::int64_t h = clampExtent(textHeight);
  RotatedTextBox box;
  if (a <= -91) {
    box.group = 1;
    box.k = a + 180;
  } else if (a <= -1) {
    box.group = 2;
    box.k = -a;
  } else if (a <= 89) {
    box.group = 1;
    box.k = a;
  } else {
    box.group = 2;
    box.k = 180 - a;
  }
  const std::int64_t s = previewSine(box.k);
  const std::int64_t c = previewCosine(box.k);
  // The same two sums in every group; only the reference point moves.
  box.width = narrow((h * s + w * c) / 10000);
  box.height = narrow((h * c + w * s) / 10000);
  if (a <= -91) {
    box.refX = narrow(w * c / 10000);
    box.refY = 0;
  } else if (a <= -1) {
    box.refX = 0;
    box.refY = narrow(h * c / 10000);
  } else if (a <= 89) {
    box.refX = narrow(h * s / 10000);
    box.refY = box.height;
  } else {
    box.refX = box.width;
    box.refY = narrow(w * s / 10000);
  }
  return box;
}

int boxCornerAngle(int angle) {
  const int a = previewAngle(angle);
  if (a == 180) return 90;
  return (a + 180) % 90;
}

PreviewFrame previewFrame(std::int16_t frameStyle) {
  switch (frameStyle) {
    case 1:
      return PreviewFrame::kCircle;
    case 2:
      return PreviewFrame::kSingleBox;
    case 3:
      return PreviewFrame::kDoubleBox;
    default:
      return PreviewFrame::kNone;
  }
}

FrameSizes frameSizes(int k, std::int32_t textWidth, std::int32_t textHeight,
                      std::int32_t fontSize) {
  const std::int64_t w = clampExtent(textWidth);
  const std::int64_t h = clampExtent(textHeight);
  const std::int64_t s = previewSine(k);
  const std::int64_t c = previewCosine(k);
  const std::int64_t p = h * 120 / 100 + 4;
  const std::int64_t q = w + 2 * (p - h) - 4;
  const std::int64_t gap = fontSize >= 222 ? 8 : 6;
  const std::int64_t p2 = p + gap;
  const std::int64_t q2 = q + gap;
  FrameSizes f;
  f.boxHeight = narrow(p);
  f.boxWidth = narrow(q);
  f.boxSpanX = narrow((q * c + p * s) / 10000);
  f.boxSpanY = narrow((q * s + p * c) / 10000);
  f.outerHeight = narrow(p2);
  f.outerWidth = narrow(q2);
  f.outerSpanX = narrow((p2 * s + q2 * c) / 10000);
  f.outerSpanY = narrow((q2 * s + p2 * c) / 10000);
  const auto diagonal =
      integerSqrt(static_cast<std::uint64_t>(w * w) + static_cast<std::uint64_t>(h * h));
  f.circleDiameter = narrow(static_cast<std::int64_t>(diagonal) * 11 / 10);
  return f;
}

int framePenWidth(PreviewFrame frame, std::int32_t fontSize) {
  const bool large = fontSize >= 222;
  switch (frame) {
    case PreviewFrame::kCircle:
    case PreviewFrame::kSingleBox:
      return large ? 3 : 2;
    case PreviewFrame::kDoubleBox:
      return large ? 2 : 1;
    case PreviewFrame::kNone:
      break;
  }
  return 0;
}

std::array<PreviewPoint, 5> boxOutline(int group, int cornerAngle, PreviewPoint at,
                                       std::int32_t width, std::int32_t height, std::int32_t spanX,
                                       std::int32_t spanY) {
  const std::int64_t se = previewSine(cornerAngle);
  const std::int64_t ce = previewCosine(cornerAngle);
  const std::int64_t x = at.x;
  const std::int64_t y = at.y;
  const std::int64_t q = width;
  const std::int64_t p = height;
  std::array<PreviewPoint, 5> corners;
  if (group == 1) {
    corners[0] = {narrow(x + p * se / 10000), narrow(y + spanY)};
    corners[1] = {narrow(x + spanX), narrow(y + p * ce / 10000)};
    corners[2] = {narrow(x + q * ce / 10000), narrow(y)};
    corners[3] = {narrow(x), narrow(y + q * se / 10000)};
  } else {
    corners[0] = {narrow(x + p * ce / 10000), narrow(y)};
    corners[1] = {narrow(x + spanX), narrow(y + q * ce / 10000)};
    corners[2] = {narrow(x + q * se / 10000), narrow(y + spanY)};
    corners[3] = {narrow(x), narrow(y + p * se / 10000)};
  }
  corners[4] = corners[0];
  return corners;
}

PreviewPage layoutPreviewPage(PaperSize paper, std::int32_t clientWidth,
                              std::int32_t clientHeight) {
  PreviewPage page;
  page.paper = paper;
  page.cw = std::max(clientWidth, 0) - 1;
  page.ch = std::max(clientHeight, 0) - 1;
  const std::int64_t m = asInt16(std::min(page.cw, page.ch)) - 16;
  // The scale divides by m: a control this small shows its border only.
  if (m < 1) return page;
  const std::int64_t longer = paper.width >= paper.height ? paper.width : paper.height;
  page.shown = true;
  page.scale = narrow(std::max<std::int64_t>(longer * 28 / m, 1));
  page.pw = narrow(asInt16(std::int64_t{paper.width} * 28 / page.scale));
  page.ph = narrow(asInt16(std::int64_t{paper.height} * 28 / page.scale));
  page.x0 = narrow((std::int64_t{page.cw} - page.pw) / 2);
  page.y0 = narrow((std::int64_t{page.ch} - page.ph) / 2);
  return page;
}

std::int32_t previewOffsetPixels(std::int64_t points, std::int32_t scale) {
  if (scale < 1) return 0;
  return narrow(asInt16(points * 100 / scale));
}

PreviewFont previewFont(const WatermarkDefinition& definition, const PreviewPage& page) {
  PreviewFont font;
  font.escapement = previewAngle(definition.angle) * 10;
  if (page.scale < 1) return font;
  const std::int64_t s = page.scale;
  const std::int64_t height = asInt16((std::int64_t{definition.fontSize} * 200 + s) / (2 * s));
  font.height = height == 0 ? 1 : narrow(height);
  return font;
}

PreviewPoint placeInPage(std::int16_t position, std::int32_t usableWidth, std::int32_t usableHeight,
                         std::int32_t boxWidth, std::int32_t boxHeight) {
  const std::int32_t left = 0;
  const std::int32_t centre = usableWidth / 2 - boxWidth / 2;
  const std::int32_t right = usableWidth - boxWidth;
  const std::int32_t top = 0;
  const std::int32_t middle = usableHeight / 2 - boxHeight / 2;
  const std::int32_t bottom = usableHeight - boxHeight;
  switch (position) {
    case 0:
      return {left, top};
    case 1:
      return {centre, top};
    case 2:
      return {right, top};
    case 4:
      return {left, bottom};
    case 5:
      return {centre, bottom};
    case 6:
      return {right, bottom};
    default:  // 3, and anything outside 0..6
      return {centre, middle};
  }
}

WatermarkPreview layoutWatermarkPreview(const PreviewPage& page,
                                        const WatermarkDefinition& definition, TextExtent extent) {
  WatermarkPreview out;
  out.page = page;
  out.font = previewFont(definition, page);
  if (!page.shown) return out;

  const std::int32_t w = clampExtent(extent.width);
  const std::int32_t h = clampExtent(extent.height);
  out.text = rotatedTextBox(definition.angle, w, h);
  out.sizes = frameSizes(out.text.k, w, h, definition.fontSize);
  out.cornerAngle = boxCornerAngle(definition.angle);

  const PreviewFrame style = previewFrame(definition.frameStyle);
  switch (style) {
    case PreviewFrame::kCircle:
      out.placedWidth = out.placedHeight = out.sizes.circleDiameter;
      break;
    case PreviewFrame::kSingleBox:
      out.placedWidth = out.sizes.boxSpanX;
      out.placedHeight = out.sizes.boxSpanY;
      break;
    case PreviewFrame::kDoubleBox:
      out.placedWidth = out.sizes.outerSpanX;
      out.placedHeight = out.sizes.outerSpanY;
      break;
    case PreviewFrame::kNone:
      out.placedWidth = out.text.width;
      out.placedHeight = out.text.height;
      break;
  }

  const PreviewPoint place =
      placeInPage(definition.position, page.pw - 4, page.ph - 4, out.placedWidth, out.placedHeight);
  const std::int32_t bx =
      place.x + page.x0 + 2 + previewOffsetPixels(definition.offsetX, page.scale);
  const std::int32_t by =
      place.y + page.y0 + 2 + previewOffsetPixels(definition.offsetY, page.scale);
  out.placed = {bx, by};

  // The text's box is centred in the placed box.
  const std::int32_t tx = bx + out.placedWidth / 2 - out.text.width / 2;
  const std::int32_t ty = by + out.placedHeight / 2 - out.text.height / 2;
  out.textOrigin = {tx + out.text.refX, ty + out.text.refY};
  const bool hasText = !definition.text.empty();
  out.drawText = hasText && definition.fontSize >= 1;

  if (!hasText || w == 0 || style == PreviewFrame::kNone) return out;
  out.frame = style;
  out.penWidth = framePenWidth(style, definition.fontSize);
  const FrameSizes& f = out.sizes;
  const int group = out.text.group;
  const int e = out.cornerAngle;
  switch (style) {
    case PreviewFrame::kCircle:
      out.circle = {bx - 2, by - 2, bx + f.circleDiameter + 2, by + f.circleDiameter + 2};
      break;
    case PreviewFrame::kSingleBox:
      out.innerBox =
          boxOutline(group, e, out.placed, f.boxWidth, f.boxHeight, f.boxSpanX, f.boxSpanY);
      break;
    case PreviewFrame::kDoubleBox: {
      out.outerBox =
          boxOutline(group, e, out.placed, f.outerWidth, f.outerHeight, f.outerSpanX, f.outerSpanY);
      // Both boxes share a centre.
      const PreviewPoint inner{bx + f.outerSpanX / 2 - f.boxSpanX / 2,
                               by + f.outerSpanY / 2 - f.boxSpanY / 2};
      out.innerBox = boxOutline(group, e, inner, f.boxWidth, f.boxHeight, f.boxSpanX, f.boxSpanY);
      break;
    }
    case PreviewFrame::kNone:
      break;
  }
  return out;
}

}  // namespace vex
