#include "command_dispatch.h"

#include "document_state.h"
#include "exception_guard.h"
#include "injection.h"
#include "job_writers.h"
#include "private_settings.h"
#include "prolog_values.h"
#include "secure_output.h"

namespace vex {
namespace {

std::uint32_t watermarkIndexOf(PDEVOBJ pdevobj) {
  const auto* record = static_cast<const std::uint8_t*>(pdevobj->pOEMDM);
  return record ? getU32(record, rec::watermarkIndex) : 0;
}

bool handle(IPrintOemDriverPS* helper, PDEVOBJ pdevobj, DWORD index) {
  const JobWriteContext job{helper, pdevobj};
  switch (index) {
    case PSINJECT_BEGINSTREAM: {
      DocumentState& state = documentState(pdevobj);
      state.newDocument = true;
      state.jobCancelled = false;
      resetSecureOutput(pdevobj);  // a secure job that never reached its end is not continued
      forgetDocumentValues(state);
      state.encryptedDocument = false;  // the new document's job type is evaluated afresh
      state.pagesSetUp = 0;
      state.overlayFormsWritten = false;
      return isEpsOutput(pdevobj) || writeJobHeader(job);
    }
    case PSINJECT_BEGINPROLOG: {
      if (isEpsOutput(pdevobj)) return true;
      writePrologResources(job);  // their results do not decide the injection point's
      writePageSetupValues(job);
      return watermarkIndexOf(pdevobj) == 0 || writeWatermarkSetup(job);
    }
    case PSINJECT_BEGINSETUP: {
      if (!overlayFormsInUse(pdevobj)) return true;
      documentState(pdevobj).overlayFormsWritten = true;
      return writeOverlayForms(job);
    }
    case PSINJECT_ENDSTREAM:
      return isEpsOutput(pdevobj) || writeJobTrailer(job);
    case PSINJECT_ENDPAGESETUP: {
      DocumentState& state = documentState(pdevobj);
      if (state.pagesSetUp < kMaxPageNumber) ++state.pagesSetUp;
      // The page's watermark call is written for EPS output too.
      const bool watermark = watermarkIndexOf(pdevobj) != 0;
      // The page's own number comes first: the overlays and a first-page-only watermark must
      // not depend on the pages printed before it (a page range, or a page taken out).
      bool ok = true;
      if (state.overlayFormsWritten || watermark) ok = writePageNumber(job, state.pagesSetUp);
      if (watermark) ok = writeWatermarkPage(job) && ok;
      return ok;
    }
    default:
      return true;
  }
}

}  // namespace

bool dispatchInjection(IPrintOemDriverPS* helper, PDEVOBJ pdevobj, DWORD index) {
  if (pdevobj == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  bool ok = false;
  auto work = [&] { ok = handle(helper, pdevobj, index); };
  return runGuarded(work) && ok;
}

}  // namespace vex
