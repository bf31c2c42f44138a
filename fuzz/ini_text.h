// The INI text of a fuzz input as the profile API would see it: "[section]" lines and
// "key=value" lines (bytes taken as characters); a later key replaces an earlier one.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace vex::fuzz {

using IniSections = std::map<std::u16string, std::map<std::u16string, std::u16string>>;

inline IniSections parseIniText(std::string_view text) {
  IniSections values;
  std::u16string section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::u16string line(text.begin() + start, text.begin() + end);
    start = end + 1;
    if (!line.empty() && line.front() == u'[') {
      const std::size_t close = line.find(u']');
      section = line.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1);
    } else if (const std::size_t equals = line.find(u'='); equals != std::u16string::npos) {
      values[section][line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return values;
}

}  // namespace vex::fuzz
