#include "start_doc.h"

#include "config_files.h"
#include "document_state.h"
#include "job_info_record.h"

namespace vex {

void startDocument(PDEVOBJ devobj, const wchar_t* /*documentName*/, DWORD jobId) {
  DocumentState& state = documentState(devobj);
  if (state.newDocument) {
    wchar_t iniPath[kPathChars] = L"";
    if (findDriverFiles(devobj->hPrinter, iniPath)) {
      fillJobInfoRecord(devobj->hPrinter, jobId, state.jobInfo);
    }
    static_assert(sizeof(state.pluginIniPath) / sizeof(wchar_t) <= kPathChars);
    // A path that does not fit the module's buffer is not kept at all.
    state.pluginIniPath[0] = L'\0';
    if (wcslen(iniPath) < MAX_PATH) wcscpy(state.pluginIniPath, iniPath);
    state.newDocument = false;
  }
  forgetDocumentValues(state);
  state.jobId = jobId;
}

}  // namespace vex
