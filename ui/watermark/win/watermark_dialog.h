// The watermark list dialog (112), opened by the job options page: choose, create, edit and
// delete watermark definitions of the sheet's list.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// Shows the dialog over `owner` (the page); true when it was accepted (the choice is then in
// the private record and the page is to mark the sheet changed).
bool showWatermarkDialog(HWND owner, DocumentContext& context);

}  // namespace vex
