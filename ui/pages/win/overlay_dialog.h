// The overlay dialog (109): the overlay mode of the driver's "VXOverlay" item, the defined
// overlays and the up to four chosen for the document; and the overlay store's commit when the
// property sheet is applied.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// Opened from the job options page. True after OK (the page then marks the sheet changed).
bool showOverlayDialog(HWND owner, DocumentContext& context);

// The sheet's Apply: the saved copy accepted in this sheet becomes the main copy (when the user
// may change the printer's data), and the page's CPSUI_OK is reported to the sheet once more.
void commitOverlaySettings(DocumentContext& context);

}  // namespace vex
