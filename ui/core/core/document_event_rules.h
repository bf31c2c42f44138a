// Rules of the UI plug-in's document event over plain values: which half of the job-information
// library's buffer names the printing application, when the hand-off goes through the relay
// program, which pipe the relay program addresses and the command line it is started with.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vex {

// The job-information library fills 120 bytes as two 60-byte halves.
inline constexpr std::size_t kApplicationBufferSize = 120;
inline constexpr std::size_t kApplicationHalfSize = 60;
inline constexpr std::size_t kApplicationNameMaxChars = 60;

// The half that names the application: the first when it holds text, else the second. The text
// ends at its first zero or at the end of its half, whichever comes first, so a library that
// leaves no terminator is never read past its half.
std::string applicationHalf(const std::array<std::uint8_t, kApplicationBufferSize>& buffer);

// What the document event knows about the printer and the job.
struct HandOffPrinter {
  std::u16string printerName;
  std::u16string shareName;
  std::u16string serverName;
  std::u16string driverName;
  bool shared = false;
  bool rawJob = false;  // the job's data type is exactly "RAW"
};

// A remote job that the print server renders from the spooled data: the application's session
// objects are out of its reach, so only the relay program can deliver the name.
bool isRemoteNonRawJob(const HandOffPrinter& printer);

// Client-side rendering: a platform of major version 6 or later whose printer data value
// "EMFDespoolingSetting" is missing (nullopt) or zero.
bool isClientSideRendering(bool osVersion6OrLater, std::optional<std::uint32_t> emfDespooling);

// The pipe the relay program writes to (the names are used unchanged here):
// - no server: \\.\pipe\<share if shared, else printer>\<job>\AppInfo
// - server, RAW job: \\.\pipe\<share>\<job>\AppInfo
// - server, not RAW, client-side rendering: \\.\pipe\<driver>\AppInfo
// - otherwise: <server>\pipe\<share>\<job>\AppInfo
std::u16string producerPipeName(const HandOffPrinter& printer, bool clientSideRendering,
                                std::uint32_t jobId);

// 0 "<application name>" "<pipe name>". A double quote cannot stand inside a quoted argument,
// so it is left out of the name, and backslashes that would end up before a closing quote are
// doubled, so that the program receives exactly three arguments.
std::u16string relayCommandLine(std::u16string_view applicationName, std::u16string_view pipeName);

}  // namespace vex
