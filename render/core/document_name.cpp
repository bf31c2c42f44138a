#include "document_name.h"

namespace vex {

std::string cleanDocumentName(std::string_view ansi, const CodePageRules& codePage) {
  std::string clean;
  const std::size_t n = ansi.size() < kDocumentNameBytes ? ansi.size() : kDocumentNameBytes;
  for (std::size_t i = 0; i < n; ++i) {
    const auto byte = static_cast<std::uint8_t>(ansi[i]);
    if (codePage.isLeadByte && codePage.isLeadByte(byte)) {
      if (i + 1 >= n) break;
      const auto trail = static_cast<std::uint8_t>(ansi[i + 1]);
      if (!codePage.isValidPair || !codePage.isValidPair(byte, trail)) break;
      clean.push_back(static_cast<char>(byte));
      clean.push_back(static_cast<char>(trail));
      ++i;
      continue;
    }
    if (byte == '\t') {
      clean.push_back('\t');
    } else if (byte < 0x20 || byte == 0x7F) {
      break;
    } else {
      clean.push_back(byte == '"' ? ' ' : static_cast<char>(byte));
    }
  }
  return clean;
}

}  // namespace vex
