// The advanced dialog (204) of the job options page: mirror and negative printing, job spooling,
// maintenance before printing, hairline adjustment, and the job's compression level.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// Modal over `owner`; true after OK (the selections and `compression` stored), false after
// Cancel (nothing stored).
bool showAdvancedDialog(HWND owner, DocumentContext& context);

}  // namespace vex
