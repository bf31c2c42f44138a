// The UI plug-in's device-mode rules with what they take from the platform: the dependent-file
// search, the printer-driver directory, the crypto library's defaults and the configuration's
// "Compression". Records are kRecordSize-byte buffers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "private_settings.h"

namespace vex {

// What the defaults take from the platform, gathered in the order they are needed.
UiDefaultInputs gatherUiDefaultInputs(HANDLE printer);

void applyUiDefaults(HANDLE printer, std::uint8_t* out);
// Nothing happens when either record is missing.
void applyUiConvert(HANDLE printer, const std::uint8_t* in, std::uint8_t* out);
void applyUiMerge(HANDLE printer, const std::uint8_t* in, std::uint8_t* out);

}  // namespace vex
