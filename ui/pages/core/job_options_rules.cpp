#include "job_options_rules.h"

namespace vex {

DigitFilter filterDigits(std::u16string_view text, std::uint32_t limit) {
  DigitFilter out;
  std::uint64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') {
      out.hadOther = true;
      continue;
    }
    out.digits.push_back(c);
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (value > limit) {
      value = limit;
      out.limited = true;
    }
  }
  out.value = static_cast<std::uint32_t>(value);
  return out;
}

std::optional<std::uint32_t> readUnsigned(std::u16string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && text[first] == u' ') ++first;
  while (last > first && text[last - 1] == u' ') --last;
  if (first == last) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = first; i < last; ++i) {
    const char16_t c = text[i];
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - u'0');
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

StartJob startJobType(const StartJobInputs& in) {
  StartJob out{in.jobType, false};
  if (in.jobLimitMode) {
    out.jobType = kEncryptedSecurePrint;
    out.askPasswordAtPrint = in.encryptedPasswordLength == 0;
  } else if (in.icCardMode) {
    if (!in.storage) {
      out.jobType = kNormalPrint;
    } else if (in.jobType == kSecurePrint || in.jobType == kStoreToSd) {
      out.jobType = kEncryptedSecurePrint;
    }
  }
  return out;
}

JobTypeView refreshJobTypes(const JobTypeInputs& in) {
  JobTypeView out;
  out.jobType = in.storage && in.jobType <= kEncryptedSecurePrint ? in.jobType : kNormalPrint;
  if (in.jobLimitMode) {
    // every button stays off
  } else if (in.icCardMode) {
    out.enabled[0] = true;
    out.enabled[3] = in.storage;
  } else {
    out.enabled[0] = true;
    out.enabled[1] = out.enabled[2] = out.enabled[3] = in.storage;
  }
  if (in.cryptoConfigured && in.standardUiQueried) {
    if (!in.cryptoLoads) {
      out.enabled[3] = false;
      if (out.jobType == kEncryptedSecurePrint) out.jobType = kNormalPrint;
    }
  } else {
    out.encryptedRemoved = true;
    out.enabled[3] = false;
    if (out.jobType == kEncryptedSecurePrint) out.jobType = kNormalPrint;
  }
  out.passwordEnabled = out.jobType != kNormalPrint;
  out.copiesEnabled = in.icCardMode || out.jobType == kNormalPrint;
  return out;
}

}  // namespace vex
