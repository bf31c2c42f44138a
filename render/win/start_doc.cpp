#include "start_doc.h"

#include "config_files.h"
#include "job_info_record.h"
#include "module_state.h"

namespace vex {

void startDocument(PDEVOBJ devobj, const wchar_t* /*documentName*/, DWORD jobId) {
  ModuleState& state = moduleState();
  if (state.newDocument) {
    wchar_t iniPath[kPathChars] = L"";
    if (findDriverFiles(devobj->hPrinter, iniPath)) fillJobInfoRecord(devobj->hPrinter, jobId);
    static_assert(sizeof(state.pluginIniPath) / sizeof(wchar_t) <= kPathChars);
    // A path that does not fit the module's buffer is not kept at all.
    state.pluginIniPath[0] = L'\0';
    if (wcslen(iniPath) < MAX_PATH) wcscpy(state.pluginIniPath, iniPath);
    state.newDocument = false;
  }
  forgetDocumentValues();
  state.currentJobId = jobId;
}

}  // namespace vex
