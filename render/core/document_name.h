// The spooler document name as the job's PJL name: one line of printable text without double
// quotes, cut at a character boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vex {

inline constexpr std::size_t kDocumentNameBytes = 80;

// How the system code page splits bytes into characters.
struct CodePageRules {
  std::function<bool(std::uint8_t)> isLeadByte;
  std::function<bool(std::uint8_t lead, std::uint8_t trail)> isValidPair;
};

// Cleans `ansi` (already cut to kDocumentNameBytes): the text ends before a lead byte without a
// valid trail byte and at the first control character other than TAB; double quotes become
// blanks.
std::string cleanDocumentName(std::string_view ansi, const CodePageRules& codePage);

}  // namespace vex
