// What the plug-in keeps for the document being rendered on one PDEV. A spooler renders jobs of
// different queues on different threads of one process, each on its own PDEV: nothing of one
// document may be seen by another.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "job_info_record.h"
#include "oem/oem_platform.h"
#include "secure_job.h"

namespace vex {

struct DocumentState {
  DWORD jobId = 0;
  bool newDocument = true;    // the next DrvStartDoc collects the job's information
  bool jobCancelled = false;  // encrypted output failed: drop the rest of the job
  wchar_t pluginIniPath[MAX_PATH] = L"";
  JobInfoRecord jobInfo;

  // What cannot change within a document is kept for it and refreshed at DrvStartDoc,
  // PSINJECT_BEGINSTREAM and ResetPDEV: the effective job type is asked for on every
  // WritePrinter call and otherwise would reread the driver's features, the configuration file
  // and load the IC-card library for every chunk of output.
  bool jobTypeKnown = false;
  std::string jobType;
  // The document was evaluated as an encrypted secure job: it stays one to its end, whatever
  // device mode a ResetDC brings; cleared only where the next document starts
  // (PSINJECT_BEGINSTREAM), never by forgetDocumentValues.
  bool encryptedDocument = false;

  // The encrypted output path: idle, collecting the cleartext header, or encrypting.
  SecureOutputPath secureOutput;

  // Pages of the document so far (PSINJECT_ENDPAGESETUP calls), and whether its setup wrote
  // the overlay form block: then each page's setup gives its own number, so that a page printed
  // alone still gets the overlays of its number. Both start afresh at PSINJECT_BEGINSTREAM and
  // go on over ResetPDEV.
  std::uint32_t pagesSetUp = 0;
  bool overlayFormsWritten = false;
};

// The state of the document on `pdevobj`'s PDEV. A caller that never enabled a PDEV (no
// per-PDEV block) shares one state of the process.
DocumentState& documentState(PDEVOBJ pdevobj);

// Forgets the document's cached values (see DocumentState).
void forgetDocumentValues(DocumentState& document);

// ResetPDEV: the document goes on on the new PDEV with everything it had on the old one.
void moveDocumentState(PDEVOBJ from, PDEVOBJ to);

}  // namespace vex
