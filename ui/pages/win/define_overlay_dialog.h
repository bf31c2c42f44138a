// The define-overlay dialog (203): one definition's name, the pages it prints on and its forms.
// It edits the block that the context's edited-definition index names, in place; the caller
// keeps a copy (or owns the new block) for Cancel.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// True after OK, false after Cancel or when the dialog could not be shown.
bool showDefineOverlayDialog(HWND owner, DocumentContext& context);

}  // namespace vex
