// Locating the driver's configuration and plug-in INI files among its dependent files, and
// reading the per-model settings of the configuration file. Both plug-ins use these routines;
// each keeps its own process-wide configuration-file path.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <string>
#include <vector>

namespace vex {

inline constexpr std::size_t kPathChars = 261;
inline constexpr std::size_t kSectionChars = 128;
inline constexpr std::size_t kModelStringChars = 261;  // 522-byte value buffers

// The configuration (".cap") file found by the last findDriverFiles of this thread; empty when
// none was found. Kept per thread: a spooler process renders jobs of other printers, with other
// configuration files, on other threads at the same time.
const wchar_t* configFilePath();

// Walks the printer's dependent files: the last ".cap" entry becomes configFilePath(), the last
// ".ini" entry with a non-empty "OEMConfigFile1" in "OEMFiles" is copied to `pluginIniPath`
// (left as the caller set it otherwise). True when an ".ini" or ".cap" entry was seen.
bool findDriverFiles(HANDLE printer, wchar_t (&pluginIniPath)[kPathChars]);

// The last ".ver" dependent file; true when one was seen.
bool findVersionFile(HANDLE printer, wchar_t (&versionPath)[kPathChars]);

// Key `key` of the printer's model section of the configuration file into `buffer` (`chars`
// characters, always terminated); returns the characters copied, 0 when anything is missing.
std::size_t readModelString(HANDLE printer, const wchar_t* key, wchar_t* buffer, std::size_t chars);
std::wstring readModelString(HANDLE printer, const wchar_t* key);

// The integer of "Compression" in the model section; 0 when absent or unreadable.
int readCompression(HANDLE printer);

// Builds <printer-driver directory>\3\<fileName> in `buffer` of *sizeBytes bytes. On return
// *sizeBytes holds the byte length of what the buffer holds (without the terminator).
bool driverFilePath(wchar_t* buffer, DWORD* sizeBytes, const wchar_t* fileName);
std::wstring driverFilePath(const std::wstring& fileName);  // empty on failure

// The printer's driver name (level 1 driver information); empty when it cannot be read.
std::wstring printerDriverName(HANDLE printer);

// The printer's dependent files, as the bounded walk yields them.
std::vector<std::wstring> dependentFiles(HANDLE printer);

}  // namespace vex
