// The crypto library as the job options page uses it: loaded anew for each operation and
// released when the operation ends, with guarded calls of the exports the page needs.
#pragma once

#include <windows.h>

#include "job_password_rules.h"
#include "outside_library.h"

namespace vex {

class CCiperSet {
 public:
  // Loads the library that "CryptoDll" names from the driver's "3" folder; nothing when the
  // value is empty, the path does not fit 259 characters, or the library does not load. Any
  // library loaded before is released first.
  bool Load(HANDLE printer);
  bool loaded() const { return m_hModule.loaded(); }
  void Release() { m_hModule.reset(); }

  // The export's answer (non-zero: deciphered), or 0 with the message box when the library
  // does not export "DecryptPassword". The output holds at most `*size` bytes.
  int DecryptPassword(const BYTE* enciphered, DWORD length, char* output, DWORD* size) const;

  // Deciphers the record's stored password into the block's password field (capacity 13), as
  // the page does before a password window. The library writes into a guarded scratch buffer,
  // so that an answer longer than its capacity is refused and reaches nothing else. Without a
  // library: the "m_hModule is NULL" message and false. False (field empty) when nothing is
  // stored or deciphering fails.
  bool decipherInto(CryptoBlock& block, const std::uint8_t* record) const;

  // "DispCryptoUIEx" over the block: true when accepted. A missing export counts as declined;
  // a library that writes past the block's 40 bytes is taken as having declined.
  bool showPasswordWindow(HWND parent, CryptoBlock& block, DWORD flags) const;

  // "EncryptPassword" of the block's password into a guarded 256-byte scratch output with the
  // length preset to 255; the answer for storeAcceptedCryptoSettings. A library that writes
  // past the output is taken as having failed.
  void encipher(const CryptoBlock& block, std::uint8_t (&output)[256],
                EncipherResult& result) const;

 private:
  OutsideLibrary m_hModule;
};

// The message box of a missing library or export (no owner, no caption, OK).
void showCipherMessage(const wchar_t* text);
inline constexpr wchar_t kNoCryptoModule[] = L"CCiperSet::DecryptPassword() : m_hModule is NULL";
inline constexpr wchar_t kNoDecryptExport[] =
    L"CCiperSet::DecryptPassword() : pfnDecryptPassword is NULL";

}  // namespace vex
