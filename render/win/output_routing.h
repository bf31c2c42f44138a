// Where the job's bytes go: to the spooler, or, for encrypted secure jobs, into the encrypted
// output path; and the job type that decides between them.
#pragma once

#include <windows.h>

#include <string>

#include "oem/oem_platform.h"

namespace vex {

// The effective job type for the document being rendered on `pdevobj` (kept for the document).
const std::string& currentJobType(PDEVOBJ pdevobj);

HRESULT routeOutput(PDEVOBJ pdevobj, const void* bytes, DWORD count, DWORD* written);

// Cancels the document's spooler job: the rest of its output is dropped until the next document
// begins (a secure job that cannot be sent as asked).
void cancelJob(PDEVOBJ pdevobj);

// The end of the document (DrvEndDoc, after the driver passed on its last bytes): an encrypted
// document's secure output is finished, or its job cancelled when that fails.
void endDocumentOutput(PDEVOBJ pdevobj);

}  // namespace vex
