// The colour page's detail dialogs, each modal over the page with the document context: the
// office colour details (118), the advanced picture details (119) and the advanced colour dialog
// (200). Each copies its values at opening and writes them to the context only on OK; the answer
// is true when the dialog was accepted.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

bool showOfficeColourDialog(HWND owner, DocumentContext& context);
bool showPictureColourDialog(HWND owner, DocumentContext& context);
bool showAdvancedColourDialog(HWND owner, DocumentContext& context);

}  // namespace vex
