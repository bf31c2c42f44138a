// The encrypted output path of secure jobs, one for the document of each PDEV.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex {

// Takes the job's bytes for encrypted output; false when they cannot be sent encrypted, in which
// case the caller cancels the job (the path is idle again and nothing of the plaintext left).
// On success *taken is the whole count: the bytes were consumed, buffered or encrypted.
bool writeSecureOutput(PDEVOBJ pdevobj, const void* bytes, DWORD count, DWORD* taken);

// The plug-in's own trailer is about to pass: the encrypted session ends with its bytes.
void expectSecureTrailer(PDEVOBJ pdevobj);

// The document ends: what the path still collects is encrypted, an open session gets its end
// frame. False when that failed (the caller cancels the job; nothing left in clear).
bool finishSecureOutput(PDEVOBJ pdevobj);

// A new document starts: a secure job that never reached its end is forgotten.
void resetSecureOutput(PDEVOBJ pdevobj);

}  // namespace vex
