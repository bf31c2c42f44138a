#include "ps_text.h"

#include <cstddef>

namespace vex {
namespace {

constexpr std::size_t kEscapedLimit = 384;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string escapePostScriptString(std::string_view ansi) {
  std::size_t end = 0;
  while (end < ansi.size() && end < kEscapedLimit) {
    const auto byte = static_cast<unsigned char>(ansi[end]);
    if (byte < 0x20 && byte != '\t') break;
    ++end;
  }
  std::string out;
  out.reserve(end * 2);
  for (std::size_t i = 0; i < end; ++i) {
    const char c = ansi[i];
    if (c == '(' || c == ')' || c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  if (out.size() > kEscapedLimit) {
    out.resize(kEscapedLimit);
    // A backslash left alone at the end would escape the string's closing parenthesis.
    std::size_t run = 0;
    while (run < out.size() && out[out.size() - 1 - run] == '\\') ++run;
    if (run % 2 == 1) out.pop_back();
  }
  return out;
}

std::string formatTemplate(std::string_view pattern, std::string_view firstText,
                           std::string_view secondText, const std::vector<FormatArg>& args) {
  std::string out;
  std::size_t next = 0;  // next argument of the list
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c != '%') {
      out.push_back(c);
      ++i;
      continue;
    }
    if (i + 1 >= pattern.size()) break;  // a lone % at the end: dropped
    const char selector = pattern[i + 1];
    if (!isDigit(selector)) {
      out.push_back(selector);
      i += 2;
      continue;
    }
    i += 2;
    const bool hasFormat = i + 2 < pattern.size() && pattern[i] == '!' && pattern[i + 2] == '!';
    if (!hasFormat) {
      if (next < args.size()) {
        const FormatArg& arg = args[next++];
        if (!arg.isNumber) {
          // A byte string ends at its first zero.
          const std::size_t zero = arg.text.find('\0');
          out.append(arg.text, 0, zero);
        }
      }
      continue;
    }
    const char format = pattern[i + 1];
    i += 3;
    if (format == 'd' || format == 'D') {
      if (next < args.size()) {
        const FormatArg& arg = args[next++];
        if (arg.isNumber) out += std::to_string(arg.number);
      }
    } else if (format == 'S') {
      out += selector == '1' ? escapePostScriptString(firstText) : std::string(secondText);
    }
  }
  return out;
}

bool isPostScriptName(std::string_view name) {
  if (name.empty() || name.size() > 127) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7f) return false;
    if (std::string_view("()<>[]{}/%").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool isColorText(std::string_view text) {
  std::size_t i = 0;
  for (int part = 0; part < 3; ++part) {
    if (part > 0) {
      if (i >= text.size() || text[i] != ' ') return false;
      ++i;
    }
    const std::size_t start = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i == start) return false;
    if (i < text.size() && text[i] == '.') {
      const std::size_t fraction = ++i;
      while (i < text.size() && isDigit(text[i])) ++i;
      if (i == fraction) return false;
    }
  }
  return i == text.size();
}

std::string decimalText(std::int64_t value) { return std::to_string(value); }

}  // namespace vex
