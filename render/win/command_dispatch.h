// The driver's PostScript injection points and what the plug-in writes at each.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex {

// Handles injection point `index`; false (with the thread's last error set) when a write did not
// take all its bytes or the work raised an exception.
bool dispatchInjection(IPrintOemDriverPS* helper, PDEVOBJ pdevobj, DWORD index);

}  // namespace vex
