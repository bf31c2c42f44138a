#include "report.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace vex::host {

void failWith(ExitCode code, const std::wstring& message) { throw HostFailure{code, message}; }

std::string toUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                      nullptr, nullptr);
  return out;
}

void printError(const std::wstring& message) {
  std::string line = "render-host: " + toUtf8(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void printLine(const std::wstring& message) {
  std::string line = toUtf8(message) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void Outcome::report(ExitCode code, const std::wstring& message) {
  printError(message);
  if (code_ == ExitCode::kOk) code_ = code;
}

std::wstring hresultText(long hr) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  unsigned long value = static_cast<unsigned long>(hr);
  std::wstring text = L"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[(value >> shift) & 0xF];
  return text;
}

}  // namespace vex::host
