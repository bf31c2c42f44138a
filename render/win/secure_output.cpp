#include "secure_output.h"

namespace vex {

bool writeSecureOutput(PDEVOBJ, const void*, DWORD, DWORD*) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return false;
}

}  // namespace vex
