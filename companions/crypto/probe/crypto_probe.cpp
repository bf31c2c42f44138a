// Calls a crypto library through its exports, as the plug-ins do, for tests and the benchmark:
//   crypto-probe DLL encipher PASSWORD   prints the enciphered password in hexadecimal
//   crypto-probe DLL bench BYTES CHUNK   encrypts BYTES bytes in CHUNK-byte pieces
//                                         (Create/Init/Update/End) and prints the time taken
//   crypto-probe answer PASSWORD         waits up to 20 s for the library's print-time password
//                                         dialog, types PASSWORD and presses OK (exit 3: none)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

using EncryptPasswordFn = int(__cdecl*)(const char*, DWORD, BYTE*, DWORD*);
using CreateFn = void*(__cdecl*)();
using InitFn = int(__cdecl*)(void*, const BYTE*, const BYTE**, DWORD*);
using UpdateFn = int(__cdecl*)(void*, const BYTE*, DWORD, const BYTE**, DWORD*);
using EndFn = int(__cdecl*)(void*, const BYTE**, DWORD*);
using DeleteFn = void(__cdecl*)(void*);

int usage() {
  std::fprintf(stderr,
               "usage: crypto-probe DLL encipher PASSWORD\n"
               "       crypto-probe DLL bench BYTES CHUNK\n"
               "       crypto-probe answer PASSWORD\n");
  return 2;
}

template <typename T>
T entry(HMODULE m, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

}  // namespace

// Answers the password dialog the way a user would.
int answer(const wchar_t* password) {
  constexpr wchar_t kTitle[] = L"\u52a0\u5bc6\u6253\u5370";
  constexpr int kPasswordField = 1001;
  HWND dialog = nullptr;
  for (int waited = 0; waited < 20000 && dialog == nullptr; waited += 50) {
    dialog = FindWindowW(L"#32770", kTitle);
    if (dialog == nullptr) Sleep(50);
  }
  if (dialog == nullptr) {
    std::fprintf(stderr, "crypto-probe: no password dialog appeared\n");
    return 3;
  }
  SendMessageW(GetDlgItem(dialog, kPasswordField), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(password));
  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"answer") == 0) return answer(argv[2]);
  if (argc < 4) return usage();
  HMODULE lib = LoadLibraryW(argv[1]);
  if (lib == nullptr) {
    std::fprintf(stderr, "crypto-probe: cannot load the library (error %lu)\n", GetLastError());
    return 1;
  }
  if (std::wcscmp(argv[2], L"encipher") == 0) {
    auto encrypt = entry<EncryptPasswordFn>(lib, "EncryptPassword");
    char password[64] = "";
    WideCharToMultiByte(CP_ACP, 0, argv[3], -1, password, sizeof password - 1, nullptr, nullptr);
    BYTE out[256];
    DWORD length = 255;
    if (encrypt == nullptr ||
        encrypt(password, static_cast<DWORD>(std::strlen(password)), out, &length) == 0 ||
        length > 255) {
      std::fprintf(stderr, "crypto-probe: EncryptPassword failed\n");
      return 1;
    }
    for (DWORD i = 0; i < length; ++i) std::printf("%02X", out[i]);
    std::printf("\n");
    return 0;
  }
  if (std::wcscmp(argv[2], L"bench") == 0 && argc >= 5) {
    const unsigned long long total = std::wcstoull(argv[3], nullptr, 10);
    const unsigned long chunk = std::wcstoul(argv[4], nullptr, 10);
    auto create = entry<CreateFn>(lib, "CreateEncryption");
    auto init = entry<InitFn>(lib, "InitEncryption");
    auto update = entry<UpdateFn>(lib, "UpdateEncryption");
    auto end = entry<EndFn>(lib, "EndEncryption");
    auto destroy = entry<DeleteFn>(lib, "DeleteEncryption");
    if (!create || !init || !update || !end || !destroy || chunk == 0 || chunk > (1u << 28)) {
      return usage();
    }
    std::vector<BYTE> data(chunk, 'x');
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t0);
    void* ctx = create();
    BYTE params[44] = {};
    std::strcpy(reinterpret_cast<char*>(params + 8), "4321");
    const BYTE* out = nullptr;
    DWORD outLength = 0;
    unsigned long long produced = 0;
    bool ok = ctx != nullptr && init(ctx, params, &out, &outLength) == 0;
    for (unsigned long long done = 0; ok && done < total;) {
      const DWORD n = static_cast<DWORD>(total - done < chunk ? total - done : chunk);
      ok = update(ctx, data.data(), n, &out, &outLength) == 0;
      produced += outLength;
      done += n;
    }
    ok = ok && end(ctx, &out, &outLength) == 0;
    if (ctx) destroy(ctx);
    QueryPerformanceCounter(&t1);
    if (!ok) {
      std::fprintf(stderr, "crypto-probe: encryption failed\n");
      return 1;
    }
    const double seconds = double(t1.QuadPart - t0.QuadPart) / double(frequency.QuadPart);
    std::printf("crypto-probe: %llu bytes in %.3f s (%.1f MiB/s), %llu bytes out\n", total, seconds,
                total / seconds / 1048576.0, produced);
    return 0;
  }
  return usage();
}
