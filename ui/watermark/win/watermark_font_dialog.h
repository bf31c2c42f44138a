// The watermark font dialog (115): font, style and size of the list's working copy.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// IDOK when accepted (the four values are then in the working copy), IDCANCEL when not, -1 when
// the dialog could not be shown.
INT_PTR showWatermarkFontDialog(HWND owner, DocumentContext& context);

}  // namespace vex
