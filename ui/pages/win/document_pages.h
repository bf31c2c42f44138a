// The plug-in's pages in the driver's document sheet: the job options page always, the colour
// page when the driver has a colour item, the support page when the configuration names one.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"
#include "property_contexts.h"

namespace vex {

// Adds the pages through the sheet's callback (the handles go into the context); a page the
// sheet refuses is simply missing. Returns the info block's result for the init reason.
LONG_PTR addDocumentPages(DocumentContext& context, const PROPSHEETUI_INFO& info);

}  // namespace vex
