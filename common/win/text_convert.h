// Conversions at the boundary between the core's char16_t text and the platform's wchar_t and
// multibyte text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vex {

inline std::u16string toU16(std::wstring_view text) { return {text.begin(), text.end()}; }
inline std::wstring toWide(std::u16string_view text) { return {text.begin(), text.end()}; }

// Text in the system ANSI code page, cut to at most `maxBytes` bytes (never inside a
// double-byte character). Used for every text written into the job or passed to outside libraries.
std::string toAnsi(std::wstring_view text, std::size_t maxBytes);

// Copies `text` into a fixed wide buffer of `chars` characters, cut and NUL-terminated.
void copyBounded(wchar_t* buffer, std::size_t chars, std::wstring_view text);

// Text of a NUL-terminated wide buffer of `chars` characters (without reading past it).
std::wstring boundedWide(const wchar_t* buffer, std::size_t chars);

}  // namespace vex

namespace vex {

// Text converted with the C library's current locale (wcstombs) into at most `maxBytes` - 1
// bytes; empty when it cannot be converted whole within that bound.
std::string toLocaleMultibyte(std::wstring_view text, std::size_t maxBytes);

// The longest prefix of `text` whose conversion with the C library's current locale holds at most
// `maxBytes` - 1 bytes: whole characters only, so a double-byte character is never cut in half.
std::string toLocaleMultibytePrefix(std::wstring_view text, std::size_t maxBytes);

// Like toLocaleMultibytePrefix, but under the user's default locale for the conversion (LC_CTYPE
// set to "" and restored), as names of the printing application are converted.
std::string toUserLocaleMultibyte(std::wstring_view text, std::size_t maxBytes);

}  // namespace vex
