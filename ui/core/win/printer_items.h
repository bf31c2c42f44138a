// The printer-properties tree: the installable options, the plug-in's own push button, and the
// callback that runs the option discovery.
#pragma once

#include <windows.h>

#include "property_items.h"

namespace vex {

HRESULT setUpPrinterTree(UiSheetState& state, void* owner, POEMCUIPPARAM param);

}  // namespace vex
