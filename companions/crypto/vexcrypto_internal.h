// Shared pieces of the crypto library: the stream cipher sessions and the dialogs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace vexcrypto {

// The 32-byte settings block of the plug-ins.
struct SettingsBlock {
  std::uint32_t settingA;
  std::uint32_t settingB;
  char password[16];
  std::uint32_t askAtPrint;
  std::uint32_t keepingTime;  // hours << 16 | minutes
};
static_assert(sizeof(SettingsBlock) == 32);

inline constexpr std::size_t kParamsSecretOffset = 8;
inline constexpr std::size_t kParamsSecretBytes = 36;
inline constexpr std::size_t kMaxPasswordBytes = 32;

enum class KeySource : std::uint8_t { kPassword = 1, kCard = 2 };

class Session;
Session* createSession();
// False for anything that is not a live session of this library.
bool isSession(void* context);
void deleteSession(Session* session);
int initSession(Session* session, const BYTE* params, const BYTE* secret, DWORD secretLength,
                KeySource source, const BYTE** out, DWORD* outLength);
int updateSession(Session* session, const BYTE* data, DWORD length, const BYTE** out,
                  DWORD* outLength);
int endSession(Session* session, const BYTE** out, DWORD* outLength);

// Stored-password obfuscation (a key inside this library: anyone holding it can undo it).
bool obscurePassword(const char* password, DWORD length, BYTE* output, DWORD* outputLength);
bool revealPassword(const BYTE* blob, DWORD length, char* output, DWORD* capacity);

HINSTANCE moduleInstance();
bool showSettingsDialog(HWND parent, SettingsBlock* block);
bool showPasswordDialog(char* output, std::size_t capacity);

}  // namespace vexcrypto
