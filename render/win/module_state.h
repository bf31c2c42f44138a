// Process-wide state of the rendering plug-in. The driver renders one job at a time through a
// plug-in in a process, so apart from the counts nothing here is synchronised.
#pragma once

#include <windows.h>

#include <string>

#include "oem/oem_platform.h"

namespace vex {

struct ModuleState {
  HINSTANCE instance = nullptr;
  volatile LONG objectCount = 0;
  volatile LONG lockCount = 0;
  DWORD currentJobId = 0;
  bool newDocument = true;    // the next DrvStartDoc collects the job's information
  bool jobCancelled = false;  // encrypted output failed: drop the rest of the job
  wchar_t pluginIniPath[MAX_PATH] = L"";

  // What cannot change within a document is kept for it and refreshed at DrvStartDoc,
  // PSINJECT_BEGINSTREAM and ResetPDEV: the effective job type is asked for on every
  // WritePrinter call and otherwise would reread the driver's features, the configuration file
  // and load the IC-card library for every chunk of output.
  bool jobTypeKnown = false;
  PDEVOBJ jobTypePdev = nullptr;
  std::string jobType;
  // The document was evaluated as an encrypted secure job: it stays one to its end, whatever
  // device mode a ResetDC brings; cleared only where the next document starts
  // (PSINJECT_BEGINSTREAM), never by forgetDocumentValues.
  bool encryptedDocument = false;
};

ModuleState& moduleState();

// Forgets the document's cached values (see ModuleState).
void forgetDocumentValues();

}  // namespace vex
