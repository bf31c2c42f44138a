// Answers the rendering plug-in's job-name dialog the way a user would, for the end-to-end test
// that prints through vexps.dll itself:
//   job-name-prompt-driver.exe NAME [--screenshot-marker DIR]
// Waits up to 20 s for the dialog, types NAME into its field, presses OK and exits 0; exits 3
// when no dialog appears. With a marker folder it writes "prompt.ready" once the name is typed
// and waits for "prompt.done" (the test takes its screenshot in between).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kTitle[] = L"\u4f5c\u4e1a\u540d\u79f0\u8bbe\u7f6e";
constexpr int kNameField = 1006;

// The dialog of a printing stand-in, not one some other program left open.
bool shownByRenderHost(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return false;
  wchar_t image[MAX_PATH] = L"";
  DWORD size = MAX_PATH;
  const bool ok = QueryFullProcessImageNameW(process, 0, image, &size) != FALSE;
  CloseHandle(process);
  const std::wstring path(image);
  const std::wstring tail = L"render-host.exe";
  return ok && path.size() >= tail.size() &&
         _wcsicmp(path.c_str() + path.size() - tail.size(), tail.c_str()) == 0;
}

struct Search {
  HWND found = nullptr;
};

BOOL CALLBACK findPromptDialog(HWND window, LPARAM param) {
  wchar_t title[64] = L"";
  GetWindowTextW(window, title, 64);
  if (std::wstring(title) == kTitle && shownByRenderHost(window)) {
    reinterpret_cast<Search*>(param)->found = window;
    return FALSE;
  }
  return TRUE;
}

bool fileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: job-name-prompt-driver.exe NAME [--screenshot-marker DIR]\n");
    return 2;
  }
  const std::wstring name = argv[1];
  const std::wstring markers = argc >= 4 && std::wstring(argv[2]) == L"--screenshot-marker"
                                   ? std::wstring(argv[3])
                                   : std::wstring();
  HWND dialog = nullptr;
  for (int waited = 0; waited < 20000 && dialog == nullptr; waited += 50) {
    Search search;
    EnumWindows(findPromptDialog, reinterpret_cast<LPARAM>(&search));
    dialog = search.found;
    if (dialog == nullptr) Sleep(50);
  }
  if (dialog == nullptr) {
    std::fwprintf(stderr, L"job-name-prompt-driver: no job-name dialog appeared\n");
    return 3;
  }
  HWND field = GetDlgItem(dialog, kNameField);
  SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  if (!markers.empty()) {
    HANDLE ready = CreateFileW((markers + L"\\prompt.ready").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    for (int waited = 0; waited < 20000 && !fileExists(markers + L"\\prompt.done"); waited += 50) {
      Sleep(50);
    }
  }
  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return 0;
}
