// Writing into the job through the driver, and reading the driver's feature settings.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "oem/oem_platform.h"

namespace vex {

// Writes `bytes` through the driver's helper (IPrintOemDriverPS::DrvWriteSpoolBuf); true when
// every byte was taken. On failure the thread's last error says why.
bool injectionWrite(IPrintOemDriverPS* helper, PDEVOBJ pdevobj, std::string_view bytes);

// The option keyword of `feature` as the driver reports it through its procedure table; empty
// when the driver cannot answer.
std::string readFeature(PDEVOBJ pdevobj, const char* feature);

// True when the driver produces Encapsulated PostScript (dialect 2).
bool isEpsOutput(PDEVOBJ pdevobj);

}  // namespace vex
