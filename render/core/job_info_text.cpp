#include "job_info_text.h"

namespace vex {
namespace {

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The command word after "@PJL" and its blanks, in capitals.
std::string commandWord(std::string_view line) {
  std::size_t i = 4;
  while (i < line.size() && line[i] == ' ') ++i;
  std::string word;
  for (; i < line.size() && line[i] != ' ' && line[i] != '='; ++i) {
    const char c = line[i];
    word.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
  }
  return word;
}

bool isAcceptedLine(std::string_view line) {
  if (!startsWith(line, "@PJL ") || line.size() < 7 || line.substr(line.size() - 2) != "\r\n") {
    return false;
  }
  const std::string_view body = line.substr(0, line.size() - 2);
  for (char c : body) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  // The header's own structure: the block must not switch the language or end the job early,
  // however the command is spelt (PJL command words are not case-sensitive).
  const std::string word = commandWord(body);
  return word != "ENTER" && word != "EOJ";
}

}  // namespace

std::u16string printableApplicationName(std::u16string_view name) {
  std::u16string kept;
  for (char16_t c : name) {
    if (c == u'\0') break;
    if (!isControl(c)) kept.push_back(c);
  }
  return kept;
}

std::string acceptedJobInfoLines(std::string_view text) {
  std::string accepted;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(0, length);
    if (isAcceptedLine(line)) accepted += line;
    text.remove_prefix(length);
  }
  return accepted;
}

}  // namespace vex
