// The PJL job header and trailer.
#include <windows.h>
#include <winspool.h>

#include <vector>

#include "card_library.h"
#include "config_files.h"
#include "document_state.h"
#include "injection.h"
#include "interactive_session.h"
#include "job_info_block.h"
#include "job_info_record.h"
#include "job_name_dialog.h"
#include "job_type.h"
#include "job_writers.h"
#include "module_state.h"
#include "output_routing.h"
#include "pjl_header.h"
#include "private_settings.h"
#include "secure_output.h"
#include "text_convert.h"

namespace vex {
namespace {

DWORD printerAttributes(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W) || needed > 16 * 1024 * 1024) return 0;
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterW(printer, 2, block.data(), needed, &needed)) return 0;
  return reinterpret_cast<const PRINTER_INFO_2W*>(block.data())->Attributes;
}

// The job name a Secure or Spool job carries; asked for at print time when the record requires
// it and the dialog can reach the user (not on shared or network queues). False when the name
// is required but no user can answer the dialog here: the job is not printed without it.
bool askForJobNameIfRequired(PDEVOBJ pdevobj, std::uint8_t* record) {
  if (record == nullptr || getU32(record, rec::jobNameRequired) == 0) return true;
  const DWORD attributes = printerAttributes(pdevobj->hPrinter);
  if (attributes & (PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK)) return true;
  if (!userCanAnswerDialogs()) return false;
  runJobNameDialog(moduleState().instance, record);
  return true;
}

std::string driverVersion(HANDLE printer) {
  wchar_t versionFile[kPathChars] = L"";
  if (!findVersionFile(printer, versionFile)) return {};
  wchar_t value[64] = L"";
  GetPrivateProfileStringW(L"Version", L"DriverVer", L"", value, 64, versionFile);
  return driverVersionFromValue(toU16(boundedWide(value, 64)));
}

}  // namespace

bool writeJobHeader(const JobWriteContext& job) {
  PDEVOBJ pdevobj = job.pdevobj;
  auto* record = static_cast<std::uint8_t*>(pdevobj->pOEMDM);
  JobHeaderInputs inputs;
  inputs.jobType = currentJobType(pdevobj);
  inputs.hddSpool =
      inputs.jobType == kJobTypeNormal && readFeature(pdevobj, "VXHDDSpool") == "True";
  const JobInfoRecord& info = documentState(pdevobj).jobInfo;
  inputs.documentName = info.documentName;
  const int index = jobTypeIndex(inputs.jobType);
  if (index == 1 || index == 2) {
    if (!askForJobNameIfRequired(pdevobj, record)) {
      cancelJob(pdevobj);  // as a failed secure job: the queue goes on, the user sees it failed
      return true;
    }
    if (record != nullptr) {
      inputs.jobName = jobNameForHeader(getWide(record, rec::jobName, rec::jobNameChars));
      inputs.password = passwordForHeader(getWide(record, rec::jobPassword, rec::jobPasswordChars));
    }
  }
  if (isEncryptedJobType(inputs.jobType) && isIcCardPrinter(pdevobj->hPrinter)) {
    inputs.icCardComments = true;
    // A longer driver name is cut to 221 bytes of whole characters.
    inputs.driverName = toLocaleMultibytePrefix(printerDriverName(pdevobj->hPrinter), 222);
    inputs.driverVersion = driverVersion(pdevobj->hPrinter);
  }
  const std::uint8_t nup = record ? getU8(record, rec::nupSelection) : 0;
  inputs.jobInfoBlock = jobInformationBlock(pdevobj->hPrinter, info, nup);
  inputs.compression = record ? getU16(record, rec::compression) : 0;

  bool ok = true;
  for (const HeaderWrite& piece : jobHeaderWrites(inputs)) {
    const bool written = injectionWrite(job.helper, pdevobj, piece.bytes);
    if (piece.counts) ok = written && ok;
  }
  return ok;
}

bool writeJobTrailer(const JobWriteContext& job) {
  // Only this trailer ends an encrypted session, never text inside the document.
  if (isEncryptedJobType(currentJobType(job.pdevobj))) expectSecureTrailer(job.pdevobj);
  return injectionWrite(job.helper, job.pdevobj, kJobTrailer);
}

}  // namespace vex
