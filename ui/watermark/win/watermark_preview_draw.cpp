#include "watermark_preview_draw.h"

#include <cwchar>
#include <vector>

#include "gdi_handles.h"
#include "text_convert.h"
#include "watermark_preview.h"
#include "watermark_profile.h"

namespace vex {
namespace {

constexpr BYTE kShiftJisCharSet = 128;
constexpr int kMaxPaletteEntries = 4096;  // more than any palette device has

// The sunken border: shadow on the left and top, highlight on the right and bottom, in the DC's
// own colour pen (nothing to make for it).
void drawBorder(HDC dc, int cw, int ch, COLORREF shadowColour, COLORREF highlightColour) {
  Selected pen(dc, GetStockObject(DC_PEN));
  const COLORREF before = SetDCPenColor(dc, shadowColour);
  const POINT shadow[3] = {{0, ch}, {0, 0}, {cw, 0}};
  Polyline(dc, shadow, 3);
  SetDCPenColor(dc, highlightColour);
  const POINT highlight[3] = {{cw, 0}, {cw, ch}, {0, ch}};
  Polyline(dc, highlight, 3);
  SetDCPenColor(dc, before);
}

// The page's outline in black with its thickened right and bottom edges.
void drawPageOutline(HDC dc, const PreviewPage& page) {
  const PreviewRect outline = page.outlineRect();
  Selected pen(dc, GetStockObject(BLACK_PEN));
  Selected brush(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, outline.left, outline.top, outline.right, outline.bottom);
  const auto edge = page.thickEdge();
  const POINT thick[3] = {{edge[0].x, edge[0].y}, {edge[1].x, edge[1].y}, {edge[2].x, edge[2].y}};
  Polyline(dc, thick, 3);
}

// A palette display that cannot show the colour gets a palette with the colour in its middle
// entry; the text is then drawn in that entry.
struct TextColour {
  COLORREF colour = 0;
  GdiObject<HPALETTE> palette;
};

TextColour textColour(HDC dc, COLORREF wanted) {
  TextColour result;
  result.colour = wanted;
  if (GetNearestColor(dc, wanted) == wanted) return result;
  if ((GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) == 0) return result;
  const int entries = GetDeviceCaps(dc, SIZEPALETTE);
  if (entries < 1 || entries > kMaxPaletteEntries) return result;
  std::vector<BYTE> block(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(entries);
  GetSystemPaletteEntries(dc, 0, entries, logical->palPalEntry);
  logical->palPalEntry[entries / 2] =
      PALETTEENTRY{GetRValue(wanted), GetGValue(wanted), GetBValue(wanted), PC_RESERVED};
  result.palette.reset(CreatePalette(logical));
  if (result.palette) result.colour = PALETTEINDEX(entries / 2);
  return result;
}

// Selects and realises a palette for one scope, and puts the previous one back.
class RealisedPalette {
 public:
  RealisedPalette(HDC dc, HPALETTE palette) : dc_(dc) {
    if (palette == nullptr) return;
    previous_ = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
  }
  ~RealisedPalette() {
    if (previous_ != nullptr) SelectPalette(dc_, previous_, FALSE);
  }
  RealisedPalette(const RealisedPalette&) = delete;
  RealisedPalette& operator=(const RealisedPalette&) = delete;

 private:
  HDC dc_;
  HPALETTE previous_ = nullptr;
};

LOGFONTW previewLogFont(const WatermarkDefinition& definition, const PreviewPage& page,
                        const PreviewFace& face) {
  const PreviewFont metrics = previewFont(definition, page);
  LOGFONTW font{};
  font.lfHeight = metrics.height;
  font.lfEscapement = metrics.escapement;
  font.lfWeight = definition.fontWeight;
  font.lfItalic = definition.italic;
  font.lfCharSet = face.shiftJis ? kShiftJisCharSet : definition.charSet;
  const std::wstring name = toWide(face.name);
  lstrcpynW(font.lfFaceName, name.c_str(), LF_FACESIZE);
  return font;
}

void drawOutline(HDC dc, const std::array<PreviewPoint, 5>& corners) {
  POINT points[5];
  for (std::size_t i = 0; i < corners.size(); ++i) points[i] = {corners[i].x, corners[i].y};
  Polyline(dc, points, 5);
}

// The frame in the surface's pen; the surface's DC has the hollow brush selected.
void drawFrame(HDC dc, PreviewSurface& surface, const WatermarkPreview& preview, COLORREF colour) {
  if (preview.frame == PreviewFrame::kNone) return;
  surface.selectPen(preview.penWidth, colour);
  switch (preview.frame) {
    case PreviewFrame::kCircle:
      Ellipse(dc, preview.circle.left, preview.circle.top, preview.circle.right,
              preview.circle.bottom);
      break;
    case PreviewFrame::kDoubleBox:
      drawOutline(dc, preview.outerBox);
      drawOutline(dc, preview.innerBox);
      break;
    case PreviewFrame::kSingleBox:
      drawOutline(dc, preview.innerBox);
      break;
    case PreviewFrame::kNone:
      break;
  }
}

}  // namespace

bool PreviewSurface::selectFont(const LOGFONTW& wanted) {
  // Compared field by field up to the face name's terminator: the bytes after it are not part
  // of the font.
  const bool same = font_ && fontKey_.lfHeight == wanted.lfHeight &&
                    fontKey_.lfEscapement == wanted.lfEscapement &&
                    fontKey_.lfWeight == wanted.lfWeight && fontKey_.lfItalic == wanted.lfItalic &&
                    fontKey_.lfCharSet == wanted.lfCharSet &&
                    lstrcmpW(fontKey_.lfFaceName, wanted.lfFaceName) == 0;
  if (same) return true;
  GdiObject<HFONT> made(CreateFontIndirectW(&wanted));
  if (!made) return false;
  HGDIOBJ previous = SelectObject(dc_.get(), made.get());
  if (previous == nullptr || previous == HGDI_ERROR) return false;
  if (previousFont_ == nullptr) previousFont_ = previous;
  font_ = std::move(made);  // the old font is no longer selected, so it may go
  fontKey_ = wanted;
  return true;
}

void PreviewSurface::selectPen(int width, COLORREF colour) {
  if (pen_ && width == penWidth_ && colour == penColour_) return;
  GdiObject<HPEN> made(CreatePen(PS_SOLID, width, colour));
  if (!made) return;
  HGDIOBJ previous = SelectObject(dc_.get(), made.get());
  if (previous == nullptr || previous == HGDI_ERROR) return;
  if (previousPen_ == nullptr) previousPen_ = previous;
  pen_ = std::move(made);
  penWidth_ = width;
  penColour_ = colour;
}

void PreviewSurface::eraseLastInk(const RECT& page) {
  RECT dirty{};
  if (IntersectRect(&dirty, &inked_, &page)) {
    PatBlt(dc_.get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           WHITENESS);
  }
  SetBoundsRect(dc_.get(), nullptr, DCB_RESET | DCB_ENABLE);
}

void PreviewSurface::keepInk() {
  RECT bounds{};
  const UINT state = GetBoundsRect(dc_.get(), &bounds, DCB_RESET);
  if (state == DCB_RESET) {
    inked_ = RECT{};  // nothing drawn
  } else if (state == DCB_SET) {
    // Anti-aliased and wide-pen edges may reach a pixel past what GDI reports.
    InflateRect(&bounds, 2, 2);
    inked_ = bounds;
  } else {
    inked_ = RECT{0, 0, width_, height_};  // unknown: clear everything next time
  }
}

void PreviewSurface::deselect() {
  if (!dc_) return;
  if (previousFont_ != nullptr) SelectObject(dc_.get(), previousFont_);
  if (previousPen_ != nullptr) SelectObject(dc_.get(), previousPen_);
  if (previousBitmap_ != nullptr) SelectObject(dc_.get(), previousBitmap_);
  previousFont_ = previousPen_ = previousBitmap_ = nullptr;
}

void PreviewSurface::release() {
  deselect();
  dc_.reset();
  bitmap_.reset();
  font_.reset();
  pen_.reset();
  width_ = height_ = 0;
  inked_ = RECT{};
  hasBackground_ = false;
}

void PreviewSurface::drawBackground(const PreviewPage& page) {
  Background wanted;
  wanted.shown = page.shown;
  wanted.outline = page.shown ? page.outlineRect() : PreviewRect{};
  wanted.face = GetSysColor(COLOR_BTNFACE);
  wanted.shadow = GetSysColor(COLOR_BTNSHADOW);
  wanted.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (hasBackground_ && wanted == background_) return;
  HDC dc = dc_.get();
  SelectClipRgn(dc, nullptr);
  const RECT all{0, 0, width_, height_};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  drawBorder(dc, page.cw, page.ch, wanted.shadow, wanted.highlight);
  if (page.shown) {
    drawPageOutline(dc, page);
    const PreviewRect area = page.pageRect();
    PatBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, WHITENESS);
    // The text and the frame may reach past the page: clipped there, so that the background
    // stays as drawn.
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  }
  inked_ = RECT{};  // the page is white again
  background_ = wanted;
  hasBackground_ = true;
}

HDC PreviewSurface::prepare(HDC target, int width, int height, const PreviewPage& page) {
  if (dc_ && width == width_ && height == height_) {
    drawBackground(page);
    return dc_.get();
  }
  release();
  if (width <= 0 || height <= 0) return nullptr;
  dc_.reset(CreateCompatibleDC(target));
  bitmap_.reset(CreateCompatibleBitmap(target, width, height));
  if (!dc_ || !bitmap_) {
    release();
    return nullptr;
  }
  previousBitmap_ = SelectObject(dc_.get(), bitmap_.get());
  width_ = width;
  height_ = height;
  HDC dc = dc_.get();
  SelectObject(dc, GetStockObject(NULL_BRUSH));  // a stock object: nothing to put back
  SetBkMode(dc, TRANSPARENT);
  SetTextAlign(dc, TA_LEFT | TA_BOTTOM);
  drawBackground(page);
  return dc;
}

void paintWatermarkPreview(HDC target, int width, int height, const WatermarkDefinition& definition,
                           const PreviewSetting& setting, PreviewSurface& surface) {
  if (target == nullptr) return;
  const PreviewPage page =
      layoutPreviewPage(previewPaperSize(setting.formName, setting.orientation), width, height);
  TextColour colour = textColour(target, definition.color);
  HDC memory = surface.prepare(target, width, height, page);
  if (memory == nullptr) return;
  if (page.shown) {
    // Only the page is ever inked, and everything outside it is the background.
    const PreviewRect pageArea = page.pageRect();
    const RECT pageRect{pageArea.left, pageArea.top, pageArea.right, pageArea.bottom};
    surface.eraseLastInk(pageRect);
    {
      RealisedPalette palette(memory, colour.palette.get());
      const bool fontReady = surface.selectFont(previewLogFont(definition, page, setting.face));
      SetTextColor(memory, colour.colour);
      const std::wstring text = fontReady ? toWide(definition.text) : std::wstring();
      SIZE extent{};
      if (!text.empty()) {
        GetTextExtentPoint32W(memory, text.c_str(), static_cast<int>(text.size()), &extent);
      }
      const WatermarkPreview preview =
          layoutWatermarkPreview(page, definition, TextExtent{extent.cx, extent.cy});
      drawFrame(memory, surface, preview, colour.colour);
      if (preview.drawText && !text.empty()) {
        ExtTextOutW(memory, preview.textOrigin.x, preview.textOrigin.y, 0, nullptr, text.c_str(),
                    static_cast<UINT>(text.size()), nullptr);
      }
    }
    surface.keepInk();
  }
  RealisedPalette palette(target, colour.palette.get());
  BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}

PreviewSetting previewSetting(const DocumentContext& context,
                              const WatermarkDefinition& definition) {
  PreviewSetting setting;
  const DEVMODEW* devmode = context.cuiParam != nullptr ? context.cuiParam->pPublicDM : nullptr;
  if (devmode == nullptr && context.uiParam != nullptr) devmode = context.uiParam->pPublicDM;
  if (devmode != nullptr) {
    setting.formName =
        toU16(boundedWide(devmode->dmFormName, sizeof(devmode->dmFormName) / sizeof(wchar_t)));
    setting.orientation = static_cast<std::int16_t>(devmode->dmOrientation);
  }
  if (!context.watermarkFontFile.empty()) {
    IniWatermarkProfile fonts(context.watermarkFontFile);
    setting.face = previewFace(fonts.read(kPrinterFontSection,
                                          decimalText16(std::int64_t{definition.fontIndex} + 1),
                                          kProfileValueChars));
  }
  return setting;
}

void drawWatermarkPreview(HWND dialog, int controlId, const DocumentContext& context,
                          PreviewSurface& surface) {
  HWND control = GetDlgItem(dialog, controlId);
  if (control == nullptr) return;
  RECT client{};
  if (!GetClientRect(control, &client)) return;
  const WatermarkDefinition& definition = context.watermarks.working;
  const PreviewSetting setting = previewSetting(context, definition);
  WindowDc dc(control);
  paintWatermarkPreview(dc.get(), client.right - client.left, client.bottom - client.top,
                        definition, setting, surface);
}

}  // namespace vex
