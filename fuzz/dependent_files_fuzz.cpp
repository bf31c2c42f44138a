// Fuzz target: the dependent-file walk over arbitrary characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dependent_files.h"
#include "driver_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exactly the given characters: a read past them is caught by the address sanitizer.
  const std::size_t chars = size / 2;
  auto* list = static_cast<char16_t*>(std::malloc((chars ? chars : 1) * sizeof(char16_t)));
  for (std::size_t i = 0; i < chars; ++i) list[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
  std::size_t used = 0;
  for (const std::u16string& entry : vex::splitDependentFiles(list, chars)) {
    if (entry.empty() || entry.size() >= vex::kDependentEntryMaxChars) std::abort();
    if (entry.find(u'\0') != std::u16string::npos) std::abort();
    used += entry.size() + 1;
    vex::classifyDependentFile(entry);
    const vex::DriverFilePath path = vex::composeDriverFilePath(u"C:\\drivers", entry, 522);
    if ((path.path.size() + 1) * 2 > 522) std::abort();
  }
  if (used > vex::kDependentListMaxChars || used > chars) std::abort();
  std::free(list);
  return 0;
}
