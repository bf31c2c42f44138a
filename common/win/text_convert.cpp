#include "text_convert.h"

namespace vex {

std::string toAnsi(std::wstring_view text, std::size_t maxBytes) {
  if (text.empty() || maxBytes == 0) return {};
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), needed,
                      nullptr, nullptr);
  if (out.size() <= maxBytes) return out;
  // Cut at a character boundary: re-convert a shorter prefix until it fits.
  std::size_t chars = text.size();
  while (chars > 0) {
    --chars;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(chars), nullptr,
                                          0, nullptr, nullptr);
    if (bytes >= 0 && static_cast<std::size_t>(bytes) <= maxBytes) {
      out.resize(static_cast<std::size_t>(bytes));
      if (bytes > 0) {
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(chars), out.data(), bytes,
                            nullptr, nullptr);
      }
      return out;
    }
  }
  return {};
}

void copyBounded(wchar_t* buffer, std::size_t chars, std::wstring_view text) {
  if (buffer == nullptr || chars == 0) return;
  const std::size_t n = text.size() < chars - 1 ? text.size() : chars - 1;
  text.copy(buffer, n);
  buffer[n] = L'\0';
}

std::wstring boundedWide(const wchar_t* buffer, std::size_t chars) {
  if (buffer == nullptr) return {};
  std::size_t n = 0;
  while (n < chars && buffer[n] != L'\0') ++n;
  return std::wstring(buffer, n);
}

}  // namespace vex

#include <clocale>
#include <cstdlib>
#include <vector>

namespace vex {

std::string toLocaleMultibyte(std::wstring_view text, std::size_t maxBytes) {
  if (maxBytes == 0) return {};
  const std::wstring terminated(text);
  std::vector<char> out(maxBytes, '\0');
  const std::size_t n = std::wcstombs(out.data(), terminated.c_str(), maxBytes);
  if (n == static_cast<std::size_t>(-1) || n >= maxBytes) return {};
  return std::string(out.data(), n);
}

std::string toLocaleMultibytePrefix(std::wstring_view text, std::size_t maxBytes) {
  if (maxBytes == 0) return {};
  // Every character takes one byte at least: longer prefixes cannot fit.
  std::size_t chars = text.size() < maxBytes - 1 ? text.size() : maxBytes - 1;
  for (;; --chars) {
    if (chars > 0 && chars < text.size() && IS_HIGH_SURROGATE(text[chars - 1])) continue;
    std::string converted = toLocaleMultibyte(text.substr(0, chars), maxBytes);
    if (!converted.empty() || chars == 0) return converted;
  }
}

std::string toUserLocaleMultibyte(std::wstring_view text, std::size_t maxBytes) {
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = current ? current : "C";
  std::setlocale(LC_CTYPE, "");
  std::string converted = toLocaleMultibytePrefix(text, maxBytes);
  std::setlocale(LC_CTYPE, saved.c_str());
  return converted;
}

}  // namespace vex
