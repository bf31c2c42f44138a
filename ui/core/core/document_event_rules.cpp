#include "document_event_rules.h"

#include <cstdio>

namespace vex {
namespace {

std::u16string hex8(std::uint32_t value) {
  char digits[9];
  std::snprintf(digits, sizeof(digits), "%08x", static_cast<unsigned>(value));
  return std::u16string(digits, digits + 8);
}

std::string halfText(const std::uint8_t* half) {
  std::size_t n = 0;
  while (n < kApplicationHalfSize && half[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(half), n);
}

// One argument in double quotes, as the program's argument parser reads it back.
std::u16string quoted(std::u16string_view text) {
  std::u16string out = u"\"";
  std::size_t backslashes = 0;
  for (char16_t c : text) {
    if (c == u'"') continue;
    backslashes = c == u'\\' ? backslashes + 1 : 0;
    out += c;
  }
  out.append(backslashes, u'\\');  // doubled: they now stand before the closing quote
  out += u'"';
  return out;
}

}  // namespace

std::string applicationHalf(const std::array<std::uint8_t, kApplicationBufferSize>& buffer) {
  if (buffer[0] != 0) return halfText(buffer.data());
  return halfText(buffer.data() + kApplicationHalfSize);
}

bool isRemoteNonRawJob(const HandOffPrinter& printer) {
  return printer.shared && !printer.serverName.empty() && !printer.rawJob;
}

bool isClientSideRendering(bool osVersion6OrLater, std::optional<std::uint32_t> emfDespooling) {
  return osVersion6OrLater && (!emfDespooling || *emfDespooling == 0);
}

std::u16string producerPipeName(const HandOffPrinter& printer, bool clientSideRendering,
                                std::uint32_t jobId) {
  const std::u16string job = hex8(jobId);
  if (printer.serverName.empty()) {
    const std::u16string& queue = printer.shared ? printer.shareName : printer.printerName;
    return u"\\\\.\\pipe\\" + queue + u"\\" + job + u"\\AppInfo";
  }
  if (printer.rawJob) return u"\\\\.\\pipe\\" + printer.shareName + u"\\" + job + u"\\AppInfo";
  if (clientSideRendering) return u"\\\\.\\pipe\\" + printer.driverName + u"\\AppInfo";
  return printer.serverName + u"\\pipe\\" + printer.shareName + u"\\" + job + u"\\AppInfo";
}

std::u16string relayCommandLine(std::u16string_view applicationName, std::u16string_view pipeName) {
  return u"0 " + quoted(applicationName) + u" " + quoted(pipeName);
}

}  // namespace vex
