#include "dependent_files.h"

namespace vex {

char16_t asciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

std::vector<std::u16string> splitDependentFiles(const char16_t* list, std::size_t chars) {
  std::vector<std::u16string> entries;
  if (list == nullptr) return entries;
  const std::size_t limit = chars < kDependentListMaxChars ? chars : kDependentListMaxChars;
  std::size_t pos = 0;
  while (pos < limit && list[pos] != u'\0') {
    std::size_t end = pos;
    while (end < limit && list[end] != u'\0') ++end;
    if (end == limit) break;  // unterminated within the bounds: incomplete, ignore
    const std::size_t length = end - pos;
    if (length + 1 <= kDependentEntryMaxChars) entries.emplace_back(list + pos, length);
    pos = end + 1;
  }
  return entries;
}

DependentFileKind classifyDependentFile(std::u16string_view entry) {
  if (entry.size() < 4) return DependentFileKind::Other;
  const std::u16string_view tail = entry.substr(entry.size() - 4);
  auto matches = [&](std::u16string_view suffix) {
    for (std::size_t i = 0; i < 4; ++i) {
      if (asciiLower(tail[i]) != suffix[i]) return false;
    }
    return true;
  };
  if (matches(u".ini")) return DependentFileKind::PluginIni;
  if (matches(u".cap")) return DependentFileKind::Capability;
  if (matches(u".ver")) return DependentFileKind::Version;
  return DependentFileKind::Other;
}

}  // namespace vex
