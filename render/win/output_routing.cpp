#include "output_routing.h"

#include "card_library.h"
#include "crypto_library.h"
#include "document_state.h"
#include "injection.h"
#include "job_type.h"
#include "secure_output.h"

namespace vex {

void cancelJob(PDEVOBJ pdevobj) {
  DocumentState& document = documentState(pdevobj);
  SetJobW(pdevobj->hPrinter, document.jobId, 0, nullptr, JOB_CONTROL_CANCEL);
  document.jobCancelled = true;
}

const std::string& currentJobType(PDEVOBJ pdevobj) {
  DocumentState& state = documentState(pdevobj);
  if (!state.jobTypeKnown) {
    JobTypeInputs inputs;
    inputs.jobType = readFeature(pdevobj, "VXJob_Type");
    inputs.jobLimit = readFeature(pdevobj, "VXJobLimit");
    HANDLE printer = pdevobj->hPrinter;
    if (inputs.jobLimit == "True")
      inputs.cryptoLibraryConfigured = cryptoLibraryConfigured(printer);
    inputs.isIcCardPrinter = [printer] { return isIcCardPrinter(printer); };
    state.jobType = effectiveJobType(inputs);
    // Once encrypted, the rest of the document is never sent in clear.
    if (state.encryptedDocument) state.jobType = kJobTypeSecureChip;
    if (isEncryptedJobType(state.jobType)) state.encryptedDocument = true;
    state.jobTypeKnown = true;
  }
  return state.jobType;
}

HRESULT routeOutput(PDEVOBJ pdevobj, const void* bytes, DWORD count, DWORD* written) {
  if (pdevobj == nullptr) return S_OK;  // the driver asking whether we handle output
  const DocumentState& state = documentState(pdevobj);
  if (state.jobCancelled) return S_OK;  // the rest of a cancelled job is dropped
  if (!isEncryptedJobType(currentJobType(pdevobj))) {
    DWORD sent = 0;
    const BOOL ok = ::WritePrinter(pdevobj->hPrinter, const_cast<void*>(bytes), count, &sent);
    if (written != nullptr) *written = sent;
    return ok ? S_OK : E_FAIL;
  }
  DWORD taken = 0;
  if (writeSecureOutput(pdevobj, bytes, count, &taken)) {
    if (written != nullptr) *written = taken;
    return S_OK;
  }
  cancelJob(pdevobj);
  return S_OK;
}

void endDocumentOutput(PDEVOBJ pdevobj) {
  if (pdevobj == nullptr) return;
  const DocumentState& state = documentState(pdevobj);
  if (!state.encryptedDocument || state.jobCancelled) return;
  if (!finishSecureOutput(pdevobj)) cancelJob(pdevobj);
}

}  // namespace vex
