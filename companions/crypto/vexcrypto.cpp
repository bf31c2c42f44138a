// The crypto library's exports. Every entry point checks its arguments and never lets an
// exception out; a failure is a zero (or, for the stream calls, a nonzero) result.
#include <cstring>

#include "vexcrypto_internal.h"

#define VEXCRYPTO_EXPORT extern "C" __declspec(dllexport)

using namespace vexcrypto;

namespace {

HINSTANCE g_instance = nullptr;

constexpr std::uint32_t kDefaultKeepingTime = 2u << 16;  // 02:00

Session* sessionOf(void* context) {
  return isSession(context) ? static_cast<Session*>(context) : nullptr;
}

template <typename Fn>
int guarded(int failure, Fn fn) {
  try {
    return fn();
  } catch (...) {
    return failure;
  }
}

}  // namespace

namespace vexcrypto {
HINSTANCE moduleInstance() { return g_instance; }
}  // namespace vexcrypto

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  return TRUE;
}

VEXCRYPTO_EXPORT int __cdecl GetDefaultSetting(SettingsBlock* block, int mode) {
  if (block == nullptr || mode != 1) return 0;
  std::memset(block, 0, sizeof *block);
  block->keepingTime = kDefaultKeepingTime;
  return 1;
}

VEXCRYPTO_EXPORT int __cdecl DispCryptoUIEx(HWND parent, SettingsBlock* block, DWORD) {
  if (block == nullptr) return 0;
  return guarded(0, [&] { return showSettingsDialog(parent, block) ? 1 : 0; });
}

VEXCRYPTO_EXPORT int __cdecl EncryptPassword(const char* password, DWORD length, BYTE* output,
                                             DWORD* outputLength) {
  return guarded(0,
                 [&] { return obscurePassword(password, length, output, outputLength) ? 1 : 0; });
}

VEXCRYPTO_EXPORT int __cdecl DecryptPassword(const BYTE* enciphered, DWORD length, char* output,
                                             DWORD* outputCapacity) {
  return guarded(
      0, [&] { return revealPassword(enciphered, length, output, outputCapacity) ? 1 : 0; });
}

VEXCRYPTO_EXPORT int __cdecl DispPasswordUI(char* output) {
  if (output == nullptr) return 0;
  return guarded(0, [&] { return showPasswordDialog(output, kParamsSecretBytes) ? 1 : 0; });
}

VEXCRYPTO_EXPORT void* __cdecl CreateEncryption() { return createSession(); }

VEXCRYPTO_EXPORT int __cdecl InitEncryption(void* context, const BYTE* params, const BYTE** out,
                                            DWORD* outLength) {
  Session* s = sessionOf(context);
  if (s == nullptr || params == nullptr) return 1;
  const BYTE* secret = params + kParamsSecretOffset;
  const DWORD length =
      static_cast<DWORD>(strnlen(reinterpret_cast<const char*>(secret), kParamsSecretBytes));
  return guarded(1, [&] {
    return initSession(s, params, secret, length, KeySource::kPassword, out, outLength);
  });
}

VEXCRYPTO_EXPORT int __cdecl InitEncryptionEx(void* context, const BYTE* params, DWORD secretLength,
                                              const BYTE** out, DWORD* outLength) {
  Session* s = sessionOf(context);
  if (s == nullptr || params == nullptr) return 1;
  return guarded(1, [&] {
    return initSession(s, params, params + kParamsSecretOffset, secretLength, KeySource::kCard, out,
                       outLength);
  });
}

VEXCRYPTO_EXPORT int __cdecl InitEncryptionEx2(void* context, DWORD variant, const BYTE* params,
                                               DWORD secretLength, const BYTE** out,
                                               DWORD* outLength) {
  if (variant != 2) return 1;  // the only layout of the parameters this library knows
  return InitEncryptionEx(context, params, secretLength, out, outLength);
}

VEXCRYPTO_EXPORT int __cdecl UpdateEncryption(void* context, const BYTE* data, DWORD length,
                                              const BYTE** out, DWORD* outLength) {
  Session* s = sessionOf(context);
  if (s == nullptr) return 1;
  return guarded(1, [&] { return updateSession(s, data, length, out, outLength); });
}

VEXCRYPTO_EXPORT int __cdecl EndEncryption(void* context, const BYTE** out, DWORD* outLength) {
  Session* s = sessionOf(context);
  if (s == nullptr) return 1;
  return guarded(1, [&] { return endSession(s, out, outLength); });
}

VEXCRYPTO_EXPORT void __cdecl DeleteEncryption(void* context) {
  try {
    deleteSession(static_cast<Session*>(context));
  } catch (...) {
  }
}
