// Fuzz target: what the job-information library hands back for the PJL header, and the
// application name handed to it, any bytes. The property: every accepted line begins with
// "@PJL ", ends in CR LF, holds no other control byte and neither enters a language nor ends
// the job; the name keeps no control character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "job_info_text.h"

namespace {

void requireCleanLines(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) std::abort();  // a line without its CR LF got in
    const std::string_view line = text.substr(start, end - start);
    if (line.substr(0, 5) != "@PJL ") std::abort();
    std::size_t i = 4;
    while (i < line.size() && line[i] == ' ') ++i;
    std::string word;
    for (; i < line.size() && line[i] != ' ' && line[i] != '='; ++i) {
      word.push_back(static_cast<char>(line[i] >= 'a' && line[i] <= 'z' ? line[i] - 32 : line[i]));
    }
    if (word == "ENTER" || word == "EOJ") std::abort();
    for (const char c : line) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x20 || b == 0x7F) std::abort();
    }
    start = end + 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  requireCleanLines(vex::acceptedJobInfoLines(bytes));

  std::u16string name;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    name.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  for (const char16_t c : vex::printableApplicationName(name)) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) std::abort();
  }
  return 0;
}
