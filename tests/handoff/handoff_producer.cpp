// Plays the printing application's side of the application-name channel from a process of its
// own (either word size), for the hand-off tests:
//   handoff-producer.exe --printer NAME [--share NAME] --job ID
//                        (--name TEXT | --raw HEXBYTES) [--no-release] [--linger SECONDS]
//                        [--pipe PIPENAME]
// It publishes the name, sets the stand-in's ready event and stays alive (holding the objects,
// as the application does) until it is ended or the linger time is over. With --pipe it plays a
// pipe client instead: it writes the bytes as one message once the consumer serves the pipe.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "app_name_producer.h"

namespace {

int usage(const wchar_t* problem) {
  std::fwprintf(stderr, L"handoff-producer: %ls\n", problem);
  return 2;
}

bool parseHex(const std::wstring& text, std::string* bytes) {
  if (text.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    wchar_t* end = nullptr;
    const std::wstring pair = text.substr(i, 2);
    const long value = std::wcstol(pair.c_str(), &end, 16);
    if (end != pair.c_str() + 2) return false;
    bytes->push_back(static_cast<char>(value));
  }
  return true;
}

// Connects to the consumer's pipe (it appears only when the header is written) and writes one
// message; 0 on success.
int writeToPipe(const std::wstring& pipe, const std::string& bytes) {
  const DWORD deadline = GetTickCount() + 15000;
  while (GetTickCount() < deadline) {
    HANDLE h = CreateFileW(pipe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      CloseHandle(h);
      return ok && written == bytes.size() ? 0 : 4;
    }
    Sleep(50);
  }
  std::fwprintf(stderr, L"handoff-producer: pipe %ls not found\n", pipe.c_str());
  return 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring printer, share, name, pipe;
  std::string raw;
  bool haveName = false, haveRaw = false, release = true;
  DWORD jobId = 0;
  int linger = 60;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--printer" && hasValue) {
      printer = argv[++i];
    } else if (arg == L"--share" && hasValue) {
      share = argv[++i];
    } else if (arg == L"--job" && hasValue) {
      jobId = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10));
    } else if (arg == L"--name" && hasValue) {
      name = argv[++i];
      haveName = true;
    } else if (arg == L"--raw" && hasValue) {
      if (!parseHex(argv[++i], &raw)) return usage(L"--raw needs pairs of hexadecimal digits");
      haveRaw = true;
    } else if (arg == L"--pipe" && hasValue) {
      pipe = argv[++i];
    } else if (arg == L"--no-release") {
      release = false;
    } else if (arg == L"--linger" && hasValue) {
      linger = std::wcstol(argv[++i], nullptr, 10);
    } else {
      return usage((L"unknown argument " + arg).c_str());
    }
  }
  if (haveName == haveRaw) return usage(L"one of --name or --raw is required");
  const std::string bytes = haveRaw ? raw : vex::ApplicationNameProducer::sectionBytes(name);
  if (!pipe.empty()) return writeToPipe(pipe, bytes);
  if (printer.empty() || jobId == 0) return usage(L"--printer and --job are required");
  vex::ApplicationNameProducer producer;
  std::wstring error;
  if (!producer.publish(printer, share, !share.empty(), jobId, bytes, release, &error)) {
    std::fwprintf(stderr, L"handoff-producer: %ls\n", error.c_str());
    return 3;
  }
  wchar_t event[64];
  std::swprintf(event, 64, L"Local\\VexProducerReady%08x", static_cast<unsigned>(jobId));
  if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, event)) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  Sleep(static_cast<DWORD>(linger) * 1000);
  return 0;
}
