// The crypto library named by "CryptoDll": password and job-stream encryption. Every export is
// resolved by name and called with the C calling convention.
#pragma once

#include <windows.h>

#include <optional>

#include "outside_library.h"
#include "private_settings.h"

namespace vex {

namespace crypto {
using GetDefaultSettingFn = int(__cdecl*)(CryptoSettingsBlock* block, int mode);
using DispCryptoUIExFn = int(__cdecl*)(HWND parent, CryptoSettingsBlock* block, DWORD flags);
using EncryptPasswordFn = int(__cdecl*)(const char* password, DWORD length, BYTE* output,
                                        DWORD* outputLength);
using DecryptPasswordFn = int(__cdecl*)(const BYTE* enciphered, DWORD length, char* output,
                                        DWORD* outputCapacity);
using DispPasswordUIFn = int(__cdecl*)(char* output);
using CreateEncryptionFn = void*(__cdecl*)();
using InitEncryptionFn = int(__cdecl*)(void* context, const BYTE* parameters, const BYTE** output,
                                       DWORD* outputLength);
using InitEncryptionExFn = int(__cdecl*)(void* context, const BYTE* parameters,
                                         DWORD secretLength, const BYTE** output,
                                         DWORD* outputLength);
using InitEncryptionEx2Fn = int(__cdecl*)(void* context, DWORD variant, const BYTE* parameters,
                                          DWORD secretLength, const BYTE** output,
                                          DWORD* outputLength);
using UpdateEncryptionFn = int(__cdecl*)(void* context, const BYTE* data, DWORD length,
                                         const BYTE** output, DWORD* outputLength);
using EndEncryptionFn = int(__cdecl*)(void* context, const BYTE** output, DWORD* outputLength);
using DeleteEncryptionFn = void(__cdecl*)(void* context);
}  // namespace crypto

// The library and its exports; a missing export is null.
struct CryptoLibrary {
  OutsideLibrary library;
  crypto::GetDefaultSettingFn getDefaultSetting = nullptr;
  crypto::DispCryptoUIExFn dispCryptoUIEx = nullptr;
  crypto::EncryptPasswordFn encryptPassword = nullptr;
  crypto::DecryptPasswordFn decryptPassword = nullptr;
  crypto::DispPasswordUIFn dispPasswordUI = nullptr;
  crypto::CreateEncryptionFn createEncryption = nullptr;
  crypto::InitEncryptionFn initEncryption = nullptr;
  crypto::InitEncryptionExFn initEncryptionEx = nullptr;
  crypto::InitEncryptionEx2Fn initEncryptionEx2 = nullptr;
  crypto::UpdateEncryptionFn updateEncryption = nullptr;
  crypto::EndEncryptionFn endEncryption = nullptr;
  crypto::DeleteEncryptionFn deleteEncryption = nullptr;

  bool loaded() const { return library.loaded(); }
  // Every export the encrypted job stream needs ("InitEncryptionEx2" is optional).
  bool hasJobStreamExports() const;
};

// Loads the printer's crypto library (nothing when "CryptoDll" is empty or does not load).
CryptoLibrary loadCryptoLibrary(HANDLE printer);

// The library's default settings block: present only when the library loads, exports
// "GetDefaultSetting" and that returns non-zero for mode 1. The library is freed again.
std::optional<CryptoSettingsBlock> cryptoDefaults(HANDLE printer);

// True when the printer's model names a crypto library (the value is not empty).
bool cryptoLibraryConfigured(HANDLE printer);

}  // namespace vex
