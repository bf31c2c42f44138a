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
void drawBorder(HDC dc, int cw, int ch) {
  Selected pen(dc, GetStockObject(DC_PEN));
  const COLORREF before = SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
  MoveToEx(dc, 0, ch, nullptr);
  LineTo(dc, 0, 0);
  LineTo(dc, cw, 0);
  SetDCPenColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  MoveToEx(dc, cw, 0, nullptr);
  LineTo(dc, cw, ch);
  LineTo(dc, 0, ch);
  SetDCPenColor(dc, before);
}

// The page's outline with its thickened right and bottom edges, in the DC's own pen.
void drawPageOutline(HDC dc, const PreviewPage& page) {
  const PreviewRect outline = page.outlineRect();
  Selected brush(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, outline.left, outline.top, outline.right, outline.bottom);
  const auto edge = page.thickEdge();
  MoveToEx(dc, edge[0].x, edge[0].y, nullptr);
  LineTo(dc, edge[1].x, edge[1].y);
  LineTo(dc, edge[2].x, edge[2].y);
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

void drawFrame(HDC dc, const WatermarkPreview& preview, COLORREF colour) {
  if (preview.frame == PreviewFrame::kNone) return;
  GdiObject<HPEN> pen(CreatePen(PS_SOLID, preview.penWidth, colour));
  Selected selectedPen(dc, pen.get());
  Selected brush(dc, GetStockObject(NULL_BRUSH));
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

HFONT PreviewSurface::font(const LOGFONTW& wanted) {
  // Compared field by field up to the face name's terminator: the bytes after it are not part
  // of the font.
  const bool same = font_ && fontKey_.lfHeight == wanted.lfHeight &&
                    fontKey_.lfEscapement == wanted.lfEscapement &&
                    fontKey_.lfWeight == wanted.lfWeight && fontKey_.lfItalic == wanted.lfItalic &&
                    fontKey_.lfCharSet == wanted.lfCharSet &&
                    lstrcmpW(fontKey_.lfFaceName, wanted.lfFaceName) == 0;
  if (!same) {
    font_.reset(CreateFontIndirectW(&wanted));
    fontKey_ = wanted;
  }
  return font_.get();
}

void PreviewSurface::release() {
  if (dc_ && previous_ != nullptr) SelectObject(dc_.get(), previous_);
  previous_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  font_.reset();
  width_ = height_ = 0;
}

HDC PreviewSurface::prepare(HDC target, int width, int height) {
  if (dc_ && width == width_ && height == height_) return dc_.get();
  release();
  dc_.reset(CreateCompatibleDC(target));
  bitmap_.reset(CreateCompatibleBitmap(target, width, height));
  if (!dc_ || !bitmap_) {
    release();
    return nullptr;
  }
  previous_ = SelectObject(dc_.get(), bitmap_.get());
  width_ = width;
  height_ = height;
  return dc_.get();
}

void paintWatermarkPreview(HDC target, int width, int height, const WatermarkDefinition& definition,
                           const PreviewSetting& setting, PreviewSurface& surface) {
  if (target == nullptr) return;
  const PreviewPage page =
      layoutPreviewPage(previewPaperSize(setting.formName, setting.orientation), width, height);
  drawBorder(target, page.cw, page.ch);
  if (!page.shown) return;
  drawPageOutline(target, page);

  TextColour colour = textColour(target, definition.color);
  HDC memory = surface.prepare(target, page.cw, page.ch);
  if (memory == nullptr) return;
  PatBlt(memory, 0, 0, page.cw, page.ch, WHITENESS);

  {
    RealisedPalette palette(memory, colour.palette.get());
    Selected selectedFont(memory, surface.font(previewLogFont(definition, page, setting.face)));
    const int oldMode = SetBkMode(memory, TRANSPARENT);
    const UINT oldAlign = SetTextAlign(memory, TA_LEFT | TA_BOTTOM);
    const COLORREF oldColour = SetTextColor(memory, colour.colour);

    const std::wstring text = toWide(definition.text);
    SIZE extent{};
    if (!text.empty()) {
      GetTextExtentPoint32W(memory, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const WatermarkPreview preview =
        layoutWatermarkPreview(page, definition, TextExtent{extent.cx, extent.cy});
    drawFrame(memory, preview, colour.colour);
    if (preview.drawText) {
      const PreviewRect clip = page.pageRect();
      const RECT rect{clip.left, clip.top, clip.right, clip.bottom};
      ExtTextOutW(memory, preview.textOrigin.x, preview.textOrigin.y, ETO_CLIPPED, &rect,
                  text.c_str(), static_cast<UINT>(text.size()), nullptr);
    }
    SetTextAlign(memory, oldAlign);
    SetTextColor(memory, oldColour);
    SetBkMode(memory, oldMode);
  }

  RealisedPalette palette(target, colour.palette.get());
  BitBlt(target, page.x0, page.y0, page.pw, page.ph, memory, page.x0, page.y0, SRCCOPY);
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
