// The graphics entry points the rendering plug-in hooks, and the per-PDEV block that keeps the
// driver's own implementations so each hook can forward to them, with the PDEV's document.
#pragma once

#include <windows.h>

#include "document_state.h"
#include "oem/oem_platform.h"

namespace vex {

inline constexpr ULONG kHookCount = 27;

// Hook rows in table order; PluginPdev::driverEntries uses the same order.
extern DRVFN DdiHookTable[kHookCount];

struct PluginPdev {
  PFN driverEntries[kHookCount];
  DocumentState document;
};

// Fills `pdev` from the driver's own function table (entries it lacks stay null).
void bindDriverEntries(PluginPdev& pdev, const DRVENABLEDATA* driverTable);

}  // namespace vex
