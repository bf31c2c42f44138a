// The geometry of the watermark preview: the page in the shape of the document's paper scaled
// into the owner-drawn control, the font height, the box of the rotated text, the frames and
// where everything lands. Integer arithmetic only, with the truncations and 16-bit conversions of
// the drawing it has to match; the Win32 side measures the text and draws what this computes.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "watermark_store.h"

namespace vex {

inline constexpr std::int16_t kPortraitOrientation = 1;  // DMORIENT_PORTRAIT
// Text extents beyond this many pixels are taken as this many, which keeps every product and
// coordinate below inside 32 bits.
inline constexpr std::int32_t kMaxPreviewTextExtent = 1 << 24;

struct PreviewPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const PreviewPoint&) const = default;
};

// Right and bottom exclusive, as GDI takes rectangles.
struct PreviewRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const PreviewRect&) const = default;
};

// --- Paper ---

// In tenths of a millimetre.
struct PaperSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const PaperSize&) const = default;
};

// The paper of a form name, by single characters of the name (A4 when nothing matches), with
// width and height exchanged unless the orientation is portrait. The name ends at its first NUL.
PaperSize previewPaperSize(std::u16string_view formName, std::int16_t orientation);

// --- Angles ---

// S(k) = 10000 * sin(k degrees), rounded, for k = 0..90 (k is clamped into that range); the
// printed page uses the same values.
std::int32_t previewSine(int k);
// C(k) = S(90 - k).
std::int32_t previewCosine(int k);

// The angle brought into -180..180 by whole turns (180 stays 180, -180 stays -180).
int previewAngle(int angle);

// The box of the text rotated by `angle`, and where the text's reference point (its left end
// on the bottom line) lies from the box's top-left corner.
struct RotatedTextBox {
  int group = 1;  // which corner order the frames use: 1 or 2
  int k = 0;      // the angle folded into 0..90
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t refX = 0;
  std::int32_t refY = 0;
  bool operator==(const RotatedTextBox&) const = default;
};
RotatedTextBox rotatedTextBox(int angle, std::int32_t textWidth, std::int32_t textHeight);

// The angle e whose sine and cosine place the corners of a rotated box:
// (a + 180) mod 90, and 90 for 180.
int boxCornerAngle(int angle);

// --- Frames ---

enum class PreviewFrame { kNone, kCircle, kSingleBox, kDoubleBox };

// The frame a frameStyle draws (0 and anything other than 1 to 3 draw none).
PreviewFrame previewFrame(std::int16_t frameStyle);

// The frames around a text of W x H pixels turned by the folded angle k.
struct FrameSizes {
  std::int32_t boxHeight = 0;    // P: the single box across the text
  std::int32_t boxWidth = 0;     // Q: the single box along the text
  std::int32_t boxSpanX = 0;     // SW: the turned single box's bounding width
  std::int32_t boxSpanY = 0;     // SH: and height
  std::int32_t outerHeight = 0;  // P2 of the double frame's outer box
  std::int32_t outerWidth = 0;   // Q2
  std::int32_t outerSpanX = 0;   // DW
  std::int32_t outerSpanY = 0;   // DH
  std::int32_t circleDiameter = 0;
  bool operator==(const FrameSizes&) const = default;
};
FrameSizes frameSizes(int k, std::int32_t textWidth, std::int32_t textHeight,
                      std::int32_t fontSize);

// Pen width of the frame's lines: thicker from size 222 on.
int framePenWidth(PreviewFrame frame, std::int32_t fontSize);

// The closed outline of a box of `width` along and `height` across the text, turned into a
// bounding box of spanX x spanY whose top-left corner is `at`: four corners and the first again.
std::array<PreviewPoint, 5> boxOutline(int group, int cornerAngle, PreviewPoint at,
                                       std::int32_t width, std::int32_t height, std::int32_t spanX,
                                       std::int32_t spanY);

// --- Page and placement ---

// The page in the control. When the control's smaller side is below 17 pixels there is no room
// for a page: `shown` is false, only the border is drawn, and scale and page stay 0.
struct PreviewPage {
  bool shown = false;
  std::int32_t cw = 0;  // client width and height less one: the border's far corner
  std::int32_t ch = 0;
  PaperSize paper;
  std::int32_t scale = 0;  // s: a length of L tenths of a millimetre is L * 28 / s pixels
  std::int32_t x0 = 0;
  std::int32_t y0 = 0;
  std::int32_t pw = 0;
  std::int32_t ph = 0;

  // The page, also the text's clip and the area copied to the control.
  PreviewRect pageRect() const { return {x0, y0, x0 + pw, y0 + ph}; }
  // The page's outline, one pixel outside the page.
  PreviewRect outlineRect() const { return {x0 - 1, y0 - 1, x0 + pw + 1, y0 + ph + 1}; }
  // The line that thickens the outline's right and bottom edges.
  std::array<PreviewPoint, 3> thickEdge() const {
    return {{{x0 + pw + 1, y0}, {x0 + pw + 1, y0 + ph + 1}, {x0, y0 + ph + 1}}};
  }
};
PreviewPage layoutPreviewPage(PaperSize paper, std::int32_t clientWidth, std::int32_t clientHeight);

// An offset in points as pixels of the page (one point is 100/28 tenths of a millimetre), taken
// as a 16-bit value as the drawing has always done; 0 without a page.
std::int32_t previewOffsetPixels(std::int64_t points, std::int32_t scale);

// The font of the preview text, before the text can be measured.
struct PreviewFont {
  std::int32_t height = 1;      // lfHeight
  std::int32_t escapement = 0;  // lfEscapement, tenths of a degree
  bool operator==(const PreviewFont&) const = default;
};
PreviewFont previewFont(const WatermarkDefinition& definition, const PreviewPage& page);

// Where a box of boxWidth x boxHeight sits in the usable area of usableWidth x usableHeight for
// `position` (0..6; any other value centres it).
PreviewPoint placeInPage(std::int16_t position, std::int32_t usableWidth, std::int32_t usableHeight,
                         std::int32_t boxWidth, std::int32_t boxHeight);

// --- The whole preview ---

// The measured extent of the unrotated text in the preview font, in pixels.
struct TextExtent {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct WatermarkPreview {
  PreviewPage page;
  PreviewFont font;
  RotatedTextBox text;
  FrameSizes sizes;
  int cornerAngle = 0;
  std::int32_t placedWidth = 0;  // the box that is placed: the frame's, or the text's
  std::int32_t placedHeight = 0;
  PreviewPoint placed;  // its top-left corner (bx, by), offsets included
  // The frame actually drawn: kNone as well when the text is empty or measures 0 wide.
  PreviewFrame frame = PreviewFrame::kNone;
  int penWidth = 0;
  PreviewRect circle;                      // kCircle
  std::array<PreviewPoint, 5> outerBox{};  // kDoubleBox: drawn first
  std::array<PreviewPoint, 5> innerBox{};  // kSingleBox, and kDoubleBox's inner box
  bool drawText = false;                   // the text is not empty and fontSize is at least 1
  PreviewPoint textOrigin;                 // for TA_LEFT | TA_BOTTOM, clipped to page.pageRect()
};

// Everything the preview draws for `definition` on `page`, once the text has been measured in
// previewFont(definition, page).
WatermarkPreview layoutWatermarkPreview(const PreviewPage& page,
                                        const WatermarkDefinition& definition, TextExtent extent);

}  // namespace vex
