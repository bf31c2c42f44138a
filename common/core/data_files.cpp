#include "data_files.h"

#include <array>

namespace vex {
namespace {

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool equalsLower(std::u16string_view text, std::u16string_view lowerText) {
  if (text.size() != lowerText.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (lower(text[i]) != lowerText[i]) return false;
  }
  return true;
}

constexpr std::array<std::u16string_view, 21> kProgramExtensions = {
    u"acm", u"ax",  u"bat", u"cmd", u"com", u"cpl", u"dll", u"drv", u"efi", u"exe", u"ime",
    u"js",  u"msi", u"mui", u"ocx", u"pif", u"scr", u"sys", u"tsp", u"vbs", u"wsf"};

}  // namespace

bool isProgramFileName(std::u16string_view name) {
  while (!name.empty() && (name.back() == u'.' || name.back() == u' ')) name.remove_suffix(1);
  const std::size_t dot = name.find_last_of(u'.');
  const std::size_t separator = name.find_last_of(u"\\/");
  if (dot == std::u16string_view::npos ||
      (separator != std::u16string_view::npos && separator > dot)) {
    return false;
  }
  const std::u16string_view extension = name.substr(dot + 1);
  for (std::u16string_view program : kProgramExtensions) {
    if (equalsLower(extension, program)) return true;
  }
  return false;
}

bool isProgramImage(std::string_view firstBytes) { return firstBytes.substr(0, 2) == "MZ"; }

}  // namespace vex
