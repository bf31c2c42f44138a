// What the job's PJL header and the job-information library need to know about the job,
// collected once per document when the driver starts it (kept with the PDEV's document).
#pragma once

#include <windows.h>

namespace vex {

struct JobInfoRecord {
  DWORD jobId = 0;
  char printerName[193] = "";      // first 64 characters, ANSI
  char configFilePath[193] = "";   // first 64 characters, ANSI
  wchar_t libraryName[128] = L"";  // "JobInfoDll" of the model section
  char documentName[81] = "";      // cleaned, at most 80 bytes, ANSI
};

// Fills the document's record for the job; false when the printer cannot be queried (then only
// the job id changed). A job that cannot be read keeps the previous document name.
bool fillJobInfoRecord(HANDLE printer, DWORD jobId, JobInfoRecord& record);

}  // namespace vex
