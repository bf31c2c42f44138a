// The watermark preview drawn with GDI into a bitmap: where the ink lands for each position, the
// page's shape for portrait and landscape, an empty text, controls too small for a page, and no
// GDI object left behind after many redraws.
#include "watermark_preview_draw.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "import_patch.h"
#include "watermark_preview.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

// A 32-bit top-down DIB section selected into a memory DC, filled with grey so that the page's
// white shows.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < width * height; ++i) bits_[i] = 0x808080;
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  std::uint32_t at(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }
  // The box of pixels for which `wanted` holds; right and bottom exclusive; empty when none.
  template <typename Wanted>
  RECT inkBox(Wanted wanted) const {
    GdiFlush();
    RECT box{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (!wanted(bits_[y * width_ + x] & 0xFFFFFF)) continue;
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
    }
    return box;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// 0x00RRGGBB of the DIB: strongly red.
bool isRed(std::uint32_t pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r > 160 && g < 120 && b < 120;
}
bool isBlack(std::uint32_t pixel) { return pixel == 0; }

vex::WatermarkDefinition redText(std::u16string text, std::int16_t position) {
  vex::WatermarkDefinition d;
  d.text = std::move(text);
  d.fontSize = 60;
  d.angle = 0;
  d.color = kRed;
  d.position = position;
  return d;
}

vex::PreviewSetting a4(std::int16_t orientation = 1) {
  vex::PreviewSetting setting;
  setting.formName = u"A4";
  setting.orientation = orientation;
  setting.face.name = u"Tahoma";
  return setting;
}

TEST(WatermarkPreviewDraw, EachPositionInksItsPartOfThePage) {
  // Thirds of the page: column and row of the ink's centre for positions 0 to 6.
  const struct {
    std::int16_t position;
    int column, row;
  } cases[] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 1, 1}, {4, 0, 2}, {5, 1, 2}, {6, 2, 2}};
  for (const auto& c : cases) {
    Canvas canvas(220, 260);
    vex::PreviewSurface surface;
    vex::paintWatermarkPreview(canvas.dc(), 220, 260, redText(u"WM", c.position), a4(), surface);
    const RECT page = canvas.inkBox(isBlack);  // the outline
    const RECT ink = canvas.inkBox(isRed);
    ASSERT_LT(ink.left, ink.right) << "position " << c.position << ": no ink";
    EXPECT_GE(ink.left, page.left) << c.position;
    EXPECT_LE(ink.right, page.right) << c.position;
    EXPECT_GE(ink.top, page.top) << c.position;
    EXPECT_LE(ink.bottom, page.bottom) << c.position;
    const int cx = (ink.left + ink.right) / 2, cy = (ink.top + ink.bottom) / 2;
    const int pw = page.right - page.left, ph = page.bottom - page.top;
    EXPECT_EQ((cx - page.left) * 3 / pw, c.column) << "position " << c.position;
    EXPECT_EQ((cy - page.top) * 3 / ph, c.row) << "position " << c.position;
  }
}

TEST(WatermarkPreviewDraw, BottomRightLandsTwoPixelsInsideThePage) {
  Canvas canvas(220, 260);
  vex::PreviewSurface surface;
  vex::WatermarkDefinition d = redText(u"WM", 6);
  d.frameStyle = 2;  // the single box is the placed box, drawn to its edge
  vex::paintWatermarkPreview(canvas.dc(), 220, 260, d, a4(), surface);
  const vex::PreviewPage page = vex::layoutPreviewPage(vex::previewPaperSize(u"A4", 1), 220, 260);
  const RECT ink = canvas.inkBox(isRed);
  // The box's corner 2 pixels inside; its pen may spread one pixel either way.
  EXPECT_NEAR(ink.right, page.x0 + page.pw - 2, 2);
  EXPECT_NEAR(ink.bottom, page.y0 + page.ph - 2, 2);
}

TEST(WatermarkPreviewDraw, LandscapeIsWiderThanHighAndTheTextStaysInside) {
  for (std::int16_t orientation : {1, 2}) {
    Canvas canvas(240, 240);
    vex::PreviewSurface surface;
    vex::WatermarkDefinition d = redText(u"A long watermark text that is wider than the page", 3);
    d.fontSize = 200;
    d.offsetX = 1000;
    vex::paintWatermarkPreview(canvas.dc(), 240, 240, d, a4(orientation), surface);
    const RECT page = canvas.inkBox(isBlack);
    const int pw = page.right - page.left, ph = page.bottom - page.top;
    if (orientation == 1) {
      EXPECT_LT(pw, ph);
    } else {
      EXPECT_GT(pw, ph);
    }
    const RECT ink = canvas.inkBox(isRed);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_LE(ink.right, page.right - 1);  // clipped to the page, inside its outline
    EXPECT_GE(ink.left, page.left + 1);
  }
}

TEST(WatermarkPreviewDraw, AnEmptyTextDrawsThePageOnly) {
  Canvas canvas(200, 200);
  vex::PreviewSurface surface;
  vex::WatermarkDefinition d = redText(u"", 3);
  d.frameStyle = 3;
  vex::paintWatermarkPreview(canvas.dc(), 200, 200, d, a4(), surface);
  EXPECT_EQ(canvas.inkBox(isRed).right, 0);
  const RECT page = canvas.inkBox(isBlack);
  EXPECT_LT(page.left, page.right);
  // The page itself is white.
  EXPECT_EQ(canvas.at((page.left + page.right) / 2, (page.top + page.bottom) / 2), 0xFFFFFFu);
}

TEST(WatermarkPreviewDraw, ControlsTooSmallForAPageShowTheBorderOnly) {
  for (int side : {0, 1, 2, 16, 17}) {
    Canvas canvas(side + 1, side + 1);
    vex::PreviewSurface surface;
    vex::WatermarkDefinition d = redText(u"WM", 6);
    d.fontSize = 600;
    vex::paintWatermarkPreview(canvas.dc(), side, side, d, a4(), surface);
    EXPECT_EQ(canvas.inkBox(isRed).right, 0) << side;
  }
  // And a hostile form name and face.
  Canvas canvas(200, 200);
  vex::PreviewSurface surface;
  vex::PreviewSetting setting = a4();
  setting.formName = std::u16string(500, u'L');
  setting.face.name = std::u16string(100, u'F');
  vex::paintWatermarkPreview(canvas.dc(), 200, 200, redText(u"WM", 3), setting, surface);
  EXPECT_LT(canvas.inkBox(isRed).left, canvas.inkBox(isRed).right);
}

// A redraw clears only what the one before it inked: after any sequence of definitions the
// control shows exactly what a fresh surface draws for the last one.
TEST(WatermarkPreviewDraw, ARedrawOverEarlierOnesMatchesAFreshDrawing) {
  auto wide = [](std::int16_t position, std::int16_t angle, std::int16_t frame) {
    vex::WatermarkDefinition d = redText(u"\u673a\u5bc6 CONFIDENTIAL", position);
    d.fontSize = 150;
    d.angle = angle;
    d.frameStyle = frame;
    return d;
  };
  vex::WatermarkDefinition small = redText(u"x", 0);
  small.fontSize = 8;
  const struct {
    const char* name;
    std::vector<vex::WatermarkDefinition> before;
    vex::WatermarkDefinition last;
  } cases[] = {
      {"large circle, then a small text", {wide(3, 45, 1)}, small},
      {"every position, then an empty text",
       {wide(0, 0, 3), wide(2, -90, 2), wide(6, 180, 1)},
       redText(u"", 3)},
      {"a double box moved by its offset",
       {wide(3, 30, 3)},
       [&] {
         vex::WatermarkDefinition d = wide(3, 30, 3);
         d.offsetX = -200;
         d.offsetY = 200;
         return d;
       }()},
  };
  auto pixels = [](const Canvas& canvas) {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < 260; ++y) {
      for (int x = 0; x < 220; ++x) all.push_back(canvas.at(x, y));
    }
    return all;
  };
  for (const auto& c : cases) {
    Canvas reused(220, 260);
    vex::PreviewSurface surface;
    for (const auto& d : c.before) {
      vex::paintWatermarkPreview(reused.dc(), 220, 260, d, a4(), surface);
    }
    vex::paintWatermarkPreview(reused.dc(), 220, 260, c.last, a4(), surface);
    Canvas fresh(220, 260);
    vex::PreviewSurface freshSurface;
    vex::paintWatermarkPreview(fresh.dc(), 220, 260, c.last, a4(), freshSurface);
    EXPECT_TRUE(pixels(reused) == pixels(fresh)) << c.name;
  }
}

// ---- Every object the drawing makes, counted through this program's import table ----
// (GetGuiResources counts nothing under Wine.) The drawing code is linked in, so it calls GDI
// through that table.

std::set<HGDIOBJ>& liveObjects() {
  static std::set<HGDIOBJ> live;
  return live;
}
int g_unknownDeletes = 0;

template <typename Fn>
Fn g_real = nullptr;

HGDIOBJ track(HGDIOBJ object) {
  if (object != nullptr) liveObjects().insert(object);
  return object;
}
HPEN WINAPI countingCreatePen(int style, int width, COLORREF colour) {
  return static_cast<HPEN>(track(g_real<decltype(&CreatePen)>(style, width, colour)));
}
HFONT WINAPI countingCreateFontIndirectW(const LOGFONTW* font) {
  return static_cast<HFONT>(track(g_real<decltype(&CreateFontIndirectW)>(font)));
}
HBITMAP WINAPI countingCreateCompatibleBitmap(HDC dc, int width, int height) {
  return static_cast<HBITMAP>(track(g_real<decltype(&CreateCompatibleBitmap)>(dc, width, height)));
}
HDC WINAPI countingCreateCompatibleDC(HDC dc) {
  return static_cast<HDC>(track(g_real<decltype(&CreateCompatibleDC)>(dc)));
}
HPALETTE WINAPI countingCreatePalette(const LOGPALETTE* palette) {
  return static_cast<HPALETTE>(track(g_real<decltype(&CreatePalette)>(palette)));
}
BOOL WINAPI countingDeleteObject(HGDIOBJ object) {
  if (liveObjects().erase(object) == 0) ++g_unknownDeletes;
  return g_real<decltype(&DeleteObject)>(object);
}
BOOL WINAPI countingDeleteDC(HDC dc) {
  if (liveObjects().erase(dc) == 0) ++g_unknownDeletes;
  return g_real<decltype(&DeleteDC)>(dc);
}

template <typename Fn>
bool hook(const char* name, Fn replacement) {
  void* previous = vex::test::patchImport("gdi32.dll", name, reinterpret_cast<void*>(replacement));
  if (previous == nullptr) return false;
  g_real<Fn> = reinterpret_cast<Fn>(previous);
  return true;
}

template <typename Fn>
void unhook(const char* name) {
  vex::test::patchImport("gdi32.dll", name, reinterpret_cast<void*>(g_real<Fn>));
}

TEST(WatermarkPreviewDraw, ThousandRedrawsLeaveNoGdiObject) {
  Canvas canvas(220, 260);
  ASSERT_TRUE(hook("CreatePen", &countingCreatePen));
  ASSERT_TRUE(hook("CreateFontIndirectW", &countingCreateFontIndirectW));
  ASSERT_TRUE(hook("CreateCompatibleBitmap", &countingCreateCompatibleBitmap));
  ASSERT_TRUE(hook("CreateCompatibleDC", &countingCreateCompatibleDC));
  ASSERT_TRUE(hook("DeleteObject", &countingDeleteObject));
  ASSERT_TRUE(hook("DeleteDC", &countingDeleteDC));
  const bool palettes = hook("CreatePalette", &countingCreatePalette);
  vex::WatermarkDefinition d = redText(u"\u673a\u5bc6 CONFIDENTIAL", 3);
  d.angle = 45;
  std::size_t most = 0;
  std::size_t kept = 0;
  {
    vex::PreviewSurface surface;
    for (int i = 0; i < 1000; ++i) {
      d.frameStyle = static_cast<std::int16_t>(i % 4);
      // Every hundredth redraw is of another size: the surface is made again.
      const int height = i % 100 == 99 ? 240 : 260;
      vex::paintWatermarkPreview(canvas.dc(), 220, height, d, a4(), surface);
      most = std::max(most, liveObjects().size());
    }
    // A control too small for a page, and a hostile definition.
    vex::paintWatermarkPreview(canvas.dc(), 1, 1, d, a4(), surface);
    d.fontSize = -5;
    d.frameStyle = 99;
    vex::paintWatermarkPreview(canvas.dc(), 220, 260, d, a4(), surface);
    kept = liveObjects().size();
  }
  const std::size_t left = liveObjects().size();
  unhook<decltype(&CreatePen)>("CreatePen");
  unhook<decltype(&CreateFontIndirectW)>("CreateFontIndirectW");
  unhook<decltype(&CreateCompatibleBitmap)>("CreateCompatibleBitmap");
  unhook<decltype(&CreateCompatibleDC)>("CreateCompatibleDC");
  unhook<decltype(&DeleteObject)>("DeleteObject");
  unhook<decltype(&DeleteDC)>("DeleteDC");
  if (palettes) unhook<decltype(&CreatePalette)>("CreatePalette");
  // Between redraws only the surface (its DC, bitmap, last font and last pen) is held; it goes
  // with its owner.
  EXPECT_LE(most, 4u);
  EXPECT_LE(kept, 4u);
  EXPECT_EQ(left, 0u);
  EXPECT_EQ(g_unknownDeletes, 0);
}

}  // namespace
