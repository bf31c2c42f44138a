// Fuzz target: the spooler document name on its way into the quoted PJL JOB NAME line, any
// bytes, under a double-byte code page's rules. The property: no control character but TAB, no
// double quote, never longer than the input, and no lead byte without its valid trail byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document_name.h"

namespace {

bool isLead(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(std::uint8_t, std::uint8_t t) {
  return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > vex::kDocumentNameBytes) size = vex::kDocumentNameBytes;
  const vex::CodePageRules rules{isLead, isTrail};
  const std::string_view ansi(reinterpret_cast<const char*>(data), size);
  const std::string clean = vex::cleanDocumentName(ansi, rules);
  if (clean.size() > ansi.size()) std::abort();
  for (std::size_t i = 0; i < clean.size(); ++i) {
    const auto b = static_cast<std::uint8_t>(clean[i]);
    if (isLead(b)) {
      if (i + 1 >= clean.size() || !isTrail(b, static_cast<std::uint8_t>(clean[i + 1]))) {
        std::abort();
      }
      ++i;  // the trail byte may be any of its range, quote included
      continue;
    }
    if ((b < 0x20 && b != '\t') || b == 0x7F || b == '"') std::abort();
  }
  return 0;
}
