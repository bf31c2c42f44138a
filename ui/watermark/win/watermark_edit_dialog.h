// The watermark edit dialog (114): one definition, edited in the list's working copy, with its
// preview.
#pragma once

#include <windows.h>

#include "property_contexts.h"
#include "watermark_preview_draw.h"

namespace vex {

// IDOK when accepted (the working copy then holds the definition, its PostScript font resolved),
// IDCANCEL when not, -1 when the dialog could not be shown.
INT_PTR showWatermarkEditDialog(HWND owner, DocumentContext& context);

// Sets the controls of a watermark dialog from the sheet's list (the list, the text, both scroll
// bars through WM_HSCROLL, the check boxes, offsets, position and frame) and redraws the preview;
// controls the dialog lacks are skipped.
void fillWatermarkControls(HWND dialog, const DocumentContext& context, PreviewSurface& surface);

}  // namespace vex
