#include "job_type.h"

#include <cstring>

namespace vex {

std::string featureValueFromBuffer(const char* buffer, std::size_t size) {
  if (buffer == nullptr) return {};
  const void* nul = std::memchr(buffer, 0, size);
  const std::size_t length = nul ? static_cast<const char*>(nul) - buffer : size;
  return std::string(buffer, length);
}

std::string effectiveJobType(const JobTypeInputs& inputs) {
  if (inputs.jobLimit == "True" && inputs.cryptoLibraryConfigured) {
    return std::string(kJobTypeSecureChip);
  }
  if (inputs.jobType != kJobTypeNormal && inputs.isIcCardPrinter && inputs.isIcCardPrinter()) {
    return std::string(kJobTypeSecureChip);
  }
  return inputs.jobType;
}

bool isEncryptedJobType(std::string_view jobType) { return jobType == kJobTypeSecureChip; }

}  // namespace vex
