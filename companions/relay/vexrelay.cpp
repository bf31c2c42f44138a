// The relay program: delivers the printing application's name to the rendering plug-in through
// the named pipe that the plug-in serves while it writes the job header. The UI plug-in starts
// it where the rendering cannot see the application's session objects.
//   vexrelay.exe 0 "<application name>" "<pipe name>" [--wait-ms N]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "job_info_lines.h"

namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

// Opens the client end, retrying until `waitMs` has passed: the plug-in creates the pipe only
// when it reaches the job header, possibly after this program has started.
HANDLE openPipe(const std::wstring& name, DWORD waitMs) {
  const ULONGLONG deadline = GetTickCount64() + waitMs;
  for (;;) {
    // Identification level only: the server end must not act with this user's rights.
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
    if (pipe != INVALID_HANDLE_VALUE) return pipe;
    const DWORD error = GetLastError();
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return INVALID_HANDLE_VALUE;
    const DWORD remaining = static_cast<DWORD>(deadline - now);
    if (error == ERROR_PIPE_BUSY) {
      WaitNamedPipeW(name.c_str(), remaining);
    } else {
      Sleep(remaining < 50 ? remaining : 50);
    }
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 0; i < argc; ++i) {
    const wchar_t* arg = argv[i] != nullptr ? argv[i] : L"";
    args.emplace_back(arg, arg + std::wcslen(arg));
  }
  const vex::RelayArguments parsed = vex::parseRelayArguments(args);
  if (!parsed.ok) {
    std::fprintf(stderr, "vexrelay: %s\n", parsed.error.c_str());
    return vex::kRelayBadCommandLine;
  }
  const std::wstring pipeName(parsed.pipeName.begin(), parsed.pipeName.end());

  Handle pipe(openPipe(pipeName, parsed.waitMs));
  if (!pipe.valid()) {
    std::fprintf(stderr, "vexrelay: pipe %s not found\n", narrow(pipeName).c_str());
    return vex::kRelayNoPipe;
  }

  const std::u16string message = vex::relayMessage(parsed.applicationName);
  const DWORD bytes = static_cast<DWORD>(message.size() * sizeof(char16_t));
  DWORD written = 0;
  if (!WriteFile(pipe.get(), message.data(), bytes, &written, nullptr) || written != bytes) {
    std::fprintf(stderr, "vexrelay: writing to pipe %s failed (error %lu)\n",
                 narrow(pipeName).c_str(), static_cast<unsigned long>(GetLastError()));
    return vex::kRelayWriteFailed;
  }
  return vex::kRelayDelivered;
}
