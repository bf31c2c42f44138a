// The rendering side of the printing-application channel: the name the UI plug-in left in the
// shared-memory section, or that the relay program sends through a pipe.
#pragma once

#include <windows.h>

#include <string>

namespace vex {

// How long the consumer waits for the producer's mutex or for a pipe client.
inline constexpr DWORD kHandOffWaitMs = 10000;

// The application name for the job (at most 60 characters); empty when no producer answered.
std::wstring receiveApplicationName(HANDLE printer, DWORD jobId);

}  // namespace vex
