// The job type the rendering plug-in acts on, derived from the driver's features, the
// configuration and the IC-card library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vex {

inline constexpr std::size_t kFeatureValueBytes = 64;

inline constexpr std::string_view kJobTypeNormal = "Normal";
inline constexpr std::string_view kJobTypeSecure = "Secure";
inline constexpr std::string_view kJobTypeSpool = "Spool";
inline constexpr std::string_view kJobTypeSecureChip = "Secure_Chip";

// A feature's option keyword as the driver returned it in a 64-byte buffer: the bytes up to the
// first NUL, or all of them when the driver left no terminator (longer than every keyword, so
// it matches none).
std::string featureValueFromBuffer(const char* buffer, std::size_t size);

struct JobTypeInputs {
  std::string jobType;         // "VXJob_Type"
  std::string jobLimit;        // "VXJobLimit"
  bool cryptoLibraryConfigured = false;   // non-empty "CryptoDll" for this driver
  std::function<bool()> isIcCardPrinter;  // asked only when the answer matters
};

// "Secure_Chip" when the job limit is "True" with a crypto library configured, or when the
// printer is an IC-card printer and the job type is not "Normal"; otherwise the job type read.
std::string effectiveJobType(const JobTypeInputs& inputs);

bool isEncryptedJobType(std::string_view jobType);

}  // namespace vex
