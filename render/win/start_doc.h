// What the plug-in does when the driver starts a document.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex {

// Locates the configuration and plug-in INI files for a new document and remembers the job id.
void startDocument(PDEVOBJ devobj, const wchar_t* documentName, DWORD jobId);

}  // namespace vex
