// Names of the channel that carries the printing application's name from the UI plug-in (in the
// printing application) to the rendering plug-in (wherever the job is rendered).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vex {

inline constexpr std::size_t kAppNameBytes = 122;  // 60 UTF-16 characters and the terminator
inline constexpr std::size_t kAppNameChars = 61;

// The base of the object names: the share name of a shared printer, else the printer name, with
// each of \ / : * ? " < > | replaced by the digit 0 (within the first 1024 characters).
std::u16string channelBaseName(std::u16string_view printerName, std::u16string_view shareName,
                               bool shared);

std::u16string sectionName(std::u16string_view base, std::uint32_t jobId);  // Local\...A
std::u16string mutexName(std::u16string_view base, std::uint32_t jobId);    // Local\...B
std::u16string sessionSectionName(std::u16string_view base, std::uint32_t jobId,
                                  std::uint32_t sessionId);
std::u16string sessionMutexName(std::u16string_view base, std::uint32_t jobId,
                                std::uint32_t sessionId);

// True for a printer name that begins with "\\CSR|" in any letter case (client-side rendering).
bool isClientSideRenderingName(std::u16string_view printerName);

// The pipe the rendering side serves: the driver-name form under client-side rendering, else the
// queue form with the share name (server or shared printer) or the printer name, unchanged.
std::u16string consumerPipeName(std::u16string_view printerName, std::u16string_view shareName,
                                std::u16string_view driverName, bool hasServerOrShared,
                                std::uint32_t jobId);

// Pages per sheet from the record's n-up selection (1, 2, 4, 6, 9, 16, 2; else 1).
std::uint32_t pagesPerSheet(std::uint8_t nupSelection);

}  // namespace vex
