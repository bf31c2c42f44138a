#include "app_channel.h"

#include <cstdio>

namespace vex {
namespace {

std::u16string hex8(std::uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof(digits), "%08x", static_cast<unsigned>(value));
  return std::u16string(digits, digits + 8);
}

std::u16string decimal(std::uint32_t value) {
  const std::string text = std::to_string(value);
  return std::u16string(text.begin(), text.end());
}

}  // namespace

std::u16string channelBaseName(std::u16string_view printerName, std::u16string_view shareName,
                               bool shared) {
  std::u16string base(shared ? shareName : printerName);
  const std::size_t examined = base.size() < 1024 ? base.size() : 1024;
  for (std::size_t i = 0; i < examined; ++i) {
    switch (base[i]) {
      case u'\\':
      case u'/':
      case u':':
      case u'*':
      case u'?':
      case u'"':
      case u'<':
      case u'>':
      case u'|':
        base[i] = u'0';
        break;
      default:
        break;
    }
  }
  return base;
}

std::u16string sectionName(std::u16string_view base, std::uint32_t jobId) {
  return u"Local\\" + std::u16string(base) + hex8(jobId) + u"A";
}

std::u16string mutexName(std::u16string_view base, std::uint32_t jobId) {
  return u"Local\\" + std::u16string(base) + hex8(jobId) + u"B";
}

std::u16string sessionSectionName(std::u16string_view base, std::uint32_t jobId,
                                  std::uint32_t sessionId) {
  return u"Session\\" + decimal(sessionId) + u"\\" + std::u16string(base) + hex8(jobId) + u"A";
}

std::u16string sessionMutexName(std::u16string_view base, std::uint32_t jobId,
                                std::uint32_t sessionId) {
  return u"Session\\" + decimal(sessionId) + u"\\" + std::u16string(base) + hex8(jobId) + u"B";
}

bool isClientSideRenderingName(std::u16string_view printerName) {
  constexpr std::u16string_view prefix = u"\\\\csr|";
  if (printerName.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char16_t c = printerName[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c + 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

std::u16string consumerPipeName(std::u16string_view printerName, std::u16string_view shareName,
                                std::u16string_view driverName, bool hasServerOrShared,
                                std::uint32_t jobId) {
  if (isClientSideRenderingName(printerName)) {
    return u"\\\\.\\pipe\\" + std::u16string(driverName) + u"\\AppInfo";
  }
  const std::u16string_view queue = hasServerOrShared ? shareName : printerName;
  return u"\\\\.\\pipe\\" + std::u16string(queue) + u"\\" + hex8(jobId) + u"\\AppInfo";
}

std::uint32_t pagesPerSheet(std::uint8_t nupSelection) {
  switch (nupSelection) {
    case 1:
      return 2;
    case 2:
      return 4;
    case 3:
      return 6;
    case 4:
      return 9;
    case 5:
      return 16;
    case 6:
      return 2;
    default:
      return 1;
  }
}

}  // namespace vex
