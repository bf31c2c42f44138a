// Asks the job-information library beside this program for the printing application, as the UI
// plug-in does, and saves the 120-byte answer:
//   jobinfo-probe.exe OUTPUT-FILE
// Exit code: the library's answer, or 10 when the library or its entry point is missing, 11 when
// the output file cannot be written, 12 on a bad command line.
#include <windows.h>

#include <cstdint>
#include <string>

namespace {

using GetPrintingApplicationFn = int(__cdecl*)(std::uint32_t, char*, std::uint32_t*);

std::wstring besideThisProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH] = L"";
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return file;
  std::wstring folder(path, n);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder + file;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 12;
  HMODULE library = LoadLibraryW(besideThisProgram(L"vexjobinfo.dll").c_str());
  if (library == nullptr) return 10;
  const auto entry = reinterpret_cast<GetPrintingApplicationFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "GetPrintingApplication")));
  if (entry == nullptr) {
    FreeLibrary(library);
    return 10;
  }
  char buffer[120];
  FillMemory(buffer, sizeof buffer, 0xCC);
  std::uint32_t size = sizeof buffer;
  const int answer = entry(0, buffer, &size);
  FreeLibrary(library);

  HANDLE out = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 11;
  DWORD written = 0;
  const BOOL ok = WriteFile(out, buffer, sizeof buffer, &written, nullptr);
  CloseHandle(out);
  return ok && written == sizeof buffer ? answer : 11;
}
