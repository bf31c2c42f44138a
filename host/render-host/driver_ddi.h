// The driver's own graphics entry points, listed in the DRVENABLEDATA that EnablePDEV hands the
// plug-in. They only record their calls: the stand-in checks through them that every hook
// reached the driver.
#pragma once

#include "oem/oem_platform.h"

namespace vex::host {

struct DdiRecord {
  ULONG calls = 0;
  SURFOBJ* surface = nullptr;  // of the last call
  DWORD jobId = 0;             // DrvStartDoc only
};

inline constexpr ULONG kDdiIndexLimit = 100;

// The record of one function index (below kDdiIndexLimit).
DdiRecord& ddiRecord(ULONG index);

// The driver's function table.
DRVENABLEDATA& driverFunctions();

// Entry point of `index` in a table, or null.
PFN findFunction(const DRVENABLEDATA& table, ULONG index);

}  // namespace vex::host
