// The encrypted output path of secure jobs.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex {

// Takes the job's bytes for encrypted output; false when they cannot be sent encrypted, in which
// case the caller cancels the job (the path is idle again and nothing of the plaintext left).
// On success *taken is the whole count: the bytes were consumed, buffered or encrypted.
bool writeSecureOutput(PDEVOBJ pdevobj, const void* bytes, DWORD count, DWORD* taken);

// A new document starts: a secure job that never reached its end is forgotten.
void resetSecureOutput();

}  // namespace vex
