// The job password dialog (202) of the secure job types: a job name and a four-digit password.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

// Modal over `owner`; the record changes only when the user accepts. True after OK.
bool showJobPasswordDialog(HWND owner, DocumentContext& context);

// The printer of the sheet the context belongs to (null when the driver gave none).
HANDLE contextPrinter(const DocumentContext& context);

}  // namespace vex
