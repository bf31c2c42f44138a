// A crypto library that misbehaves on request, for the password cipher's tests. The password
// window accepts at once with the password "4321" (no window). What the other exports do is
// chosen by the environment variable VEX_HOSTILE_CRYPTO:
//   good           enciphers as "X" + password, deciphers it back (a well-behaved library)
//   zero-length    "EncryptPassword" succeeds and reports 0 bytes
//   long-length    "EncryptPassword" reports 256 bytes
//   overrun        "EncryptPassword" and "DecryptPassword" write 300 bytes whatever capacity
//                  they were given
//   window-overrun "DispCryptoUIEx" writes 48 bytes into the caller's 40
//   fail           "EncryptPassword" returns 0
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

bool modeIs(const char* mode) {
  char value[32] = "";
  const DWORD length = GetEnvironmentVariableA("VEX_HOSTILE_CRYPTO", value, sizeof value);
  return length > 0 && length < sizeof value && std::strcmp(value, mode) == 0;
}

constexpr std::size_t kOverrunBytes = 300;

}  // namespace

extern "C" __declspec(dllexport) int __cdecl GetDefaultSetting(std::uint8_t* block, int mode) {
  if (block == nullptr || mode != 1) return 0;
  std::memset(block, 0, 32);
  return 1;
}

extern "C" __declspec(dllexport) int __cdecl DispCryptoUIEx(HWND, std::uint8_t* block, DWORD) {
  if (block == nullptr) return 0;
  std::memset(block + 8, 0, 16);
  std::memcpy(block + 8, "4321", 4);
  if (modeIs("window-overrun")) std::memset(block + 32, 0x5A, 16);
  return 1;
}

extern "C" __declspec(dllexport) int __cdecl EncryptPassword(const char* password, DWORD length,
                                                             BYTE* output, DWORD* outputLength) {
  if (password == nullptr || output == nullptr || outputLength == nullptr) return 0;
  if (modeIs("fail")) return 0;
  if (modeIs("zero-length")) {
    *outputLength = 0;
    return 1;
  }
  if (modeIs("long-length")) {
    std::memset(output, 0x77, *outputLength);
    *outputLength = 256;
    return 1;
  }
  if (modeIs("overrun")) {
    std::memset(output, 0x66, kOverrunBytes);
    *outputLength = 255;
    return 1;
  }
  if (length + 1 > *outputLength) return 0;
  output[0] = 'X';
  std::memcpy(output + 1, password, length);
  *outputLength = length + 1;
  return 1;
}

extern "C" __declspec(dllexport) int __cdecl DecryptPassword(const BYTE* enciphered, DWORD length,
                                                             char* output, DWORD* capacity) {
  if (enciphered == nullptr || output == nullptr || capacity == nullptr) return 0;
  if (modeIs("overrun")) {
    std::memset(output, 0x44, kOverrunBytes);
    return 1;
  }
  if (length < 1 || enciphered[0] != 'X' || length > *capacity) return 0;
  std::memcpy(output, enciphered + 1, length - 1);
  output[length - 1] = '\0';
  return 1;
}
