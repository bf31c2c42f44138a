#include "ini_text.h"

#include <vector>

namespace vex {
namespace {

struct Line {
  std::size_t begin;         // offset of the line in the text
  std::size_t end;           // offset after its terminator
  std::string_view content;  // without the terminator
};

std::vector<Line> splitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
    std::size_t contentEnd = nl == std::string_view::npos ? text.size() : nl;
    if (contentEnd > pos && text[contentEnd - 1] == '\r') --contentEnd;
    lines.push_back({pos, next, text.substr(pos, contentEnd - pos)});
    pos = next;
  }
  return lines;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The section name of a header line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return trim(line.substr(1));
  return trim(line.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> entryOf(std::string_view line) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Entry{trim(t.substr(0, eq)), trim(t.substr(eq + 1))};
}

// Index range [first, last) of the lines inside the first section called `section`; first is the
// header line. nullopt when the section is absent.
std::optional<std::pair<std::size_t, std::size_t>> findSection(const std::vector<Line>& lines,
                                                               std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto name = sectionName(lines[i].content);
    if (!name || !equalsIgnoringCase(*name, section)) continue;
    std::size_t j = i + 1;
    while (j < lines.size() && !sectionName(lines[j].content)) ++j;
    return std::make_pair(i, j);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
  auto lines = splitLines(text);
  auto range = findSection(lines, section);
  if (!range) return std::nullopt;
  for (std::size_t i = range->first + 1; i < range->second; ++i) {
    auto entry = entryOf(lines[i].content);
    if (entry && equalsIgnoringCase(entry->key, key)) return std::string(entry->value);
  }
  return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> firstIniEntry(std::string_view text,
                                                                 std::string_view section) {
  auto lines = splitLines(text);
  auto range = findSection(lines, section);
  if (!range) return std::nullopt;
  for (std::size_t i = range->first + 1; i < range->second; ++i) {
    auto entry = entryOf(lines[i].content);
    if (entry) return std::make_pair(std::string(entry->key), std::string(entry->value));
  }
  return std::nullopt;
}

std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string_view eol =
      text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos
          ? "\r\n"
          : "\n";
  std::string entry = std::string(key) + "=" + std::string(value);
  auto lines = splitLines(text);
  auto range = findSection(lines, section);
  std::string out;
  if (!range) {
    out.assign(text);
    if (!out.empty() && out.back() != '\n') out += eol;
    out += "[" + std::string(section) + "]" + std::string(eol) + entry + std::string(eol);
    return out;
  }
  for (std::size_t i = range->first + 1; i < range->second; ++i) {
    auto current = entryOf(lines[i].content);
    if (!current || !equalsIgnoringCase(current->key, key)) continue;
    const Line& line = lines[i];
    out.assign(text.substr(0, line.begin));
    out += entry;
    out.append(text.substr(line.begin + line.content.size()));  // keeps the line's terminator
    return out;
  }
  // After the section's last entry (blank lines and comments that close it stay after the new
  // key).
  std::size_t after = range->first;
  for (std::size_t i = range->first + 1; i < range->second; ++i) {
    if (entryOf(lines[i].content)) after = i;
  }
  const Line& anchor = lines[after];
  out.assign(text.substr(0, anchor.end));
  if (anchor.end == anchor.begin + anchor.content.size()) out += eol;  // last line without one
  out += entry;
  out += eol;
  out.append(text.substr(anchor.end));
  return out;
}

}  // namespace vex
