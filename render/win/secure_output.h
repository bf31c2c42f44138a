// The encrypted output path of secure jobs.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex {

// Takes the job's bytes for encrypted output; false when they cannot be sent encrypted, in which
// case the caller cancels the job. Until the encryptor exists nothing can be sent encrypted, so
// every call fails: an encrypted job never leaves in clear text.
bool writeSecureOutput(PDEVOBJ pdevobj, const void* bytes, DWORD count, DWORD* taken);

}  // namespace vex
