// The IC-card library named by "CARD_DLL": whether the printer authenticates secure jobs with
// the user's IC card, and the card's data. Loaded and freed for every query.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstddef>

namespace vex {

inline constexpr std::size_t kCardDriverNameBytes = 222;  // 221 bytes and the terminator
inline constexpr std::size_t kCardConfigPathBytes = 261;

namespace card {
using QueryCardDriverFn = int(__cdecl*)(const char* driverName, const char* configPath);
using GetCardDataFn = int(__cdecl*)(const char* driverName, const char* configPath, BYTE* buffer,
                                    DWORD* size);
}  // namespace card

// Every missing piece (driver information, "CARD_DLL", the library, the export) answers false.
bool isIcCardPrinter(HANDLE printer);

// `size` holds the capacity on entry and the data length on success.
bool getCardData(HANDLE printer, BYTE* buffer, DWORD* size);

}  // namespace vex
