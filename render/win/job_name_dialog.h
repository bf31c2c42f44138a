// The job-name dialog shown at print time, and message boxes from the string table.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vex {

// Shows dialog 103 of `module` over no owner window; it edits the job name of `record` (a
// private settings record of kRecordSize bytes) and ends only through OK with a non-empty name.
// True when it ended that way; false when it could not be shown (no desktop, no resource).
bool runJobNameDialog(HINSTANCE module, std::uint8_t* record);

// MessageBoxW with the text `textId` (up to 600 characters) and, unless `captionId` is 0, the
// caption `captionId` (up to 160 characters) from the string table of the module holding this
// code; caption 0 leaves the system's default caption. Returns MessageBoxW's answer.
int showStringMessage(HWND owner, UINT textId, UINT captionId, UINT style);

}  // namespace vex
