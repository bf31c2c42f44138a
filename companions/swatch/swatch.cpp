// The colour-sample tool's stand-in: it only records that it was started, and with which
// arguments, by appending one line to "swatch.log" beside itself (UTF-8):
//   started argc=N "ARG1" "ARG2" ...
// so that a test can see the colour page start it. Nothing else happens.
#include <windows.h>

#include <string>

namespace {

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes,
                        nullptr, nullptr);
  }
  return out;
}

std::wstring logPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L"swatch.log";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t cut = path.find_last_of(L"\\/");
  return (cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1)) + L"swatch.log";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::string line = "started argc=" + std::to_string(argc - 1);
  for (int i = 1; i < argc; ++i) line += " \"" + utf8(argv[i]) + "\"";
  line += "\n";
  HANDLE file = CreateFileW(logPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == line.size() ? 0 : 1;
}
