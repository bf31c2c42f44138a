// The printer driver's dependent-file list: full paths separated by NUL characters and ended by
// an empty entry. The list comes from the spooler, but its bytes are treated as untrusted: the
// walk is bounded and never reads past what it was given.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

inline constexpr std::size_t kDependentListMaxChars = 3072;  // whole list, terminators included
inline constexpr std::size_t kDependentEntryMaxChars = 264;  // one entry, terminator included

enum class DependentFileKind { Other, PluginIni, Capability, Version };

// Splits the list held in `chars` characters at `list`. Stops at the first empty entry, at the
// end of the given characters or after kDependentListMaxChars. An entry that does not fit in
// kDependentEntryMaxChars, or that is cut off by either bound, is left out rather than shortened
// (a shortened name could end in a different suffix).
std::vector<std::u16string> splitDependentFiles(const char16_t* list, std::size_t chars);

// Classifies an entry by its last four characters, compared case-insensitively with ".ini",
// ".cap" and ".ver". Entries shorter than four characters are never compared.
DependentFileKind classifyDependentFile(std::u16string_view entry);

// ASCII-only case folding, as the suffix comparison needs.
char16_t asciiLower(char16_t c);

}  // namespace vex
