// Drawing the watermark preview: the page in the shape of the document's paper with the working
// copy's text and frame on it, drawn off-screen and copied to the owner-drawn control in one go.
// The geometry is watermark_preview.h; this file only measures and draws.
#pragma once

#include <windows.h>

#include <string>

#include "gdi_handles.h"
#include "property_contexts.h"
#include "watermark_dialog_rules.h"
#include "watermark_preview.h"
#include "watermark_store.h"

namespace vex {

// What a preview is drawn from besides the definition: the document's paper and the face the
// font file names for the definition's font.
struct PreviewSetting {
  std::u16string formName;
  std::int16_t orientation = 1;  // DMORIENT_PORTRAIT
  PreviewFace face;
};

// The off-screen surface of one dialog's preview, kept from one redraw to the next (the preview
// is redrawn after every keystroke, and making the surface is most of a redraw's cost). Made
// again when the control's size changes; released with its owner. It holds the whole control:
// the border, the margin and the page outline are drawn into it once per layout, its DC keeps
// the font, the pen and the text settings between redraws, and it remembers where the last
// redraw inked, so that a redraw clears only that and copies the control in one go (every call
// on a window's DC costs more than the pixels it draws).
class PreviewSurface {
 public:
  PreviewSurface() = default;
  PreviewSurface(const PreviewSurface&) = delete;
  PreviewSurface& operator=(const PreviewSurface&) = delete;
  ~PreviewSurface() { release(); }

  // The memory DC with a bitmap of width x height compatible with `target` showing the border,
  // and the empty white page of `page` when it is shown; ready for transparent text aligned at
  // its left and bottom. Null on failure.
  HDC prepare(HDC target, int width, int height, const PreviewPage& page);
  // Selects the font of `wanted`, made again only when it differs from the last one asked for
  // (typing and scrolling mostly change the text or the position, not the font); false when
  // the font cannot be made.
  bool selectFont(const LOGFONTW& wanted);
  // Selects a solid pen of `width` and `colour`, made again only when either changes.
  void selectPen(int width, COLORREF colour);
  // Whitens what the last redraw inked inside `page` and starts collecting this redraw's ink.
  void eraseLastInk(const RECT& page);
  // Remembers where this redraw inked, for the next eraseLastInk.
  void keepInk();

 private:
  void release();
  void deselect();
  void drawBackground(const PreviewPage& page);

  // What the background was drawn from: a change of any of these draws it again.
  struct Background {
    bool shown = false;
    PreviewRect outline;
    COLORREF face = 0, shadow = 0, highlight = 0;
    bool operator==(const Background&) const = default;
  };
  Background background_;
  bool hasBackground_ = false;

  GdiObject<HFONT> font_;
  LOGFONTW fontKey_{};
  GdiObject<HPEN> pen_;
  int penWidth_ = 0;
  COLORREF penColour_ = 0;
  GdiObject<HBITMAP> bitmap_;
  OwnedDc dc_;
  HGDIOBJ previousBitmap_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  HGDIOBJ previousPen_ = nullptr;
  RECT inked_{};  // everything, until a redraw has told where it inked
  int width_ = 0;
  int height_ = 0;
};

// Draws the preview of `definition` into `target`, whose drawing area is width x height pixels
// from (0, 0): the border, the page outline, then the page copied from the off-screen surface.
// Every other GDI object it makes is released before it returns.
void paintWatermarkPreview(HDC target, int width, int height, const WatermarkDefinition& definition,
                           const PreviewSetting& setting, PreviewSurface& surface);

// The paper of the sheet's public device mode and the face of the definition's font.
PreviewSetting previewSetting(const DocumentContext& context,
                              const WatermarkDefinition& definition);

// Draws the working copy of the sheet's list into control `controlId` of `dialog`.
void drawWatermarkPreview(HWND dialog, int controlId, const DocumentContext& context,
                          PreviewSurface& surface);

}  // namespace vex
