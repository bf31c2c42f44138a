// Small file and text helpers of the driver stand-ins.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vex {

// "message (error N)" for a Win32 error code.
std::wstring win32ErrorText(DWORD code);

// Reads a whole file of at most `maxBytes` bytes. On failure returns false and leaves the
// Win32 error code in `*code` (ERROR_FILE_TOO_LARGE for an over-long file).
bool readWholeFile(const std::wstring& path, std::size_t maxBytes, std::string* bytes, DWORD* code);

// Writes `bytes` to `path` unless the file already holds exactly these bytes; `*written` tells
// whether it wrote.
bool writeFileIfDifferent(const std::wstring& path, std::string_view bytes, bool* written,
                          DWORD* code);

bool fileExists(const std::wstring& path);

// a + "\" + b, without doubling a separator at the end of a.
std::wstring joinPath(const std::wstring& a, const std::wstring& b);

// The part of a path after its last "\" or "/".
std::wstring baseName(const std::wstring& path);

// Case-insensitive comparison as the file system and the spooler compare names.
bool sameName(std::wstring_view a, std::wstring_view b);

// Conversions between UTF-16 and the system ANSI code page; unconvertible characters become
// the code page's default character.
std::string toAnsi(std::wstring_view text);
std::wstring fromAnsi(std::string_view text);

}  // namespace vex
