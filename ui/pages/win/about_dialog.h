// The about box (117) of the job options page: driver name and version, the PPD's version and
// copyright, and the internal version shown on request.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

void showAboutDialog(HWND owner, DocumentContext& context);

}  // namespace vex
