#include <cstdint>

#include "private_settings.h"
#include "render_plugin.h"

namespace vex {

HRESULT renderDevMode(DWORD mode, POEMDMPARAM param) {
  if (param == nullptr || mode < OEMDM_SIZE || mode > OEMDM_MERGE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  if (mode == OEMDM_SIZE) {
    param->cbBufSize = kRecordSize;
    return S_OK;
  }
  auto* out = static_cast<std::uint8_t*>(param->pOEMDMOut);
  const auto* in = static_cast<const std::uint8_t*>(param->pOEMDMIn);
  // The output buffer is the driver's, of the size it states; a record never spills past it.
  if (out != nullptr && param->cbBufSize < kRecordSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  switch (mode) {
    case OEMDM_DEFAULT:
      if (out != nullptr) psDefaults(out);
      break;
    case OEMDM_CONVERT:
      if (in != nullptr && out != nullptr) psConvert(in, out);
      break;
    case OEMDM_MERGE:
      if (in != nullptr && out != nullptr) psMerge(in, out);
      break;
  }
  return S_OK;
}

}  // namespace vex
