#include "injection.h"

#include "job_type.h"

namespace vex {

bool injectionWrite(IPrintOemDriverPS* helper, PDEVOBJ pdevobj, std::string_view bytes) {
  if (helper == nullptr) {
    SetLastError(ERROR_INVALID_FUNCTION);  // the driver never published its helper
    return false;
  }
  DWORD written = 0;
  const DWORD length = static_cast<DWORD>(bytes.size());
  const HRESULT hr =
      helper->DrvWriteSpoolBuf(pdevobj, const_cast<char*>(bytes.data()), length, &written);
  if (written != length) {
    if (GetLastError() == ERROR_SUCCESS || SUCCEEDED(hr)) SetLastError(ERROR_WRITE_FAULT);
    return false;
  }
  return true;
}

namespace {

// Asks the driver's procedure table; `feature` is a keyword or a predefined index.
bool driverSetting(PDEVOBJ pdevobj, PCSTR feature, char (&output)[kFeatureValueBytes]) {
  if (pdevobj == nullptr || pdevobj->pDrvProcs == nullptr ||
      pdevobj->pDrvProcs->DrvGetDriverSetting == nullptr) {
    return false;
  }
  DWORD needed = 0;
  DWORD options = 0;
  return pdevobj->pDrvProcs->DrvGetDriverSetting(pdevobj, feature, output, sizeof(output), &needed,
                                                 &options) != FALSE;
}

}  // namespace

std::string readFeature(PDEVOBJ pdevobj, const char* feature) {
  char output[kFeatureValueBytes] = {};
  if (!driverSetting(pdevobj, feature, output)) return {};
  return featureValueFromBuffer(output, sizeof(output));
}

bool isEpsOutput(PDEVOBJ pdevobj) {
  char output[kFeatureValueBytes] = {};
  if (!driverSetting(pdevobj, reinterpret_cast<PCSTR>(OEMGDS_PSDM_DIALECT), output)) return false;
  return static_cast<unsigned char>(output[0]) == PS_DIALECT_EPS;
}

}  // namespace vex
