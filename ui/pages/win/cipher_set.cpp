#include "cipher_set.h"

#include <array>
#include <cstring>

#include "config_files.h"
#include "crypto_library.h"

namespace vex {
namespace {

constexpr std::size_t kMaxLibraryPathChars = 259;

// A buffer the library may write `usable` bytes of, followed by a guard that must come back as
// it was handed over. Wiped when it goes, since it may hold a plain password.
template <std::size_t usable>
class GuardedScratch {
 public:
  static constexpr std::size_t kGuardBytes = 512;
  static constexpr std::uint8_t kGuardByte = 0xA5;

  GuardedScratch() { std::memset(bytes_.data() + usable, kGuardByte, kGuardBytes); }
  ~GuardedScratch() {
    volatile std::uint8_t* p = bytes_.data();
    for (std::size_t i = 0; i < bytes_.size(); ++i) p[i] = 0;
  }
  GuardedScratch(const GuardedScratch&) = delete;
  GuardedScratch& operator=(const GuardedScratch&) = delete;

  std::uint8_t* data() { return bytes_.data(); }
  bool guardIntact() const {
    for (std::size_t i = usable; i < bytes_.size(); ++i) {
      if (bytes_[i] != kGuardByte) return false;
    }
    return true;
  }

 private:
  std::array<std::uint8_t, usable + kGuardBytes> bytes_{};
};

}  // namespace

void showCipherMessage(const wchar_t* text) { MessageBoxW(nullptr, text, L"", MB_OK); }

bool CCiperSet::Load(HANDLE printer) {
  m_hModule.reset();
  const std::wstring name = readModelString(printer, L"CryptoDll");
  if (name.empty()) return false;
  const std::wstring path = driverFilePath(name);
  if (path.empty() || path.size() > kMaxLibraryPathChars) return false;
  m_hModule = OutsideLibrary(path);
  return m_hModule.loaded();
}

int CCiperSet::DecryptPassword(const BYTE* enciphered, DWORD length, char* output,
                               DWORD* size) const {
  const auto decrypt = m_hModule.entry<crypto::DecryptPasswordFn>("DecryptPassword");
  if (decrypt == nullptr) {
    showCipherMessage(kNoDecryptExport);
    return 0;
  }
  return decrypt(enciphered, length, output, size);
}

bool CCiperSet::decipherInto(CryptoBlock& block, const std::uint8_t* record) const {
  block.clearPassword();
  const std::span<const std::uint8_t> stored = storedEncipheredPassword(record);
  if (stored.empty()) return false;
  if (!loaded()) {
    showCipherMessage(kNoCryptoModule);
    return false;
  }
  // The library gets a copy of the stored bytes and a scratch output; only a clean answer
  // reaches the block.
  std::array<std::uint8_t, rec::encryptedPasswordCapacity> input{};
  std::memcpy(input.data(), stored.data(), stored.size());
  GuardedScratch<cryptoblock::passwordBytes> output;
  DWORD capacity = cryptoblock::decipherCapacity;
  const int result = DecryptPassword(input.data(), static_cast<DWORD>(stored.size()),
                                     reinterpret_cast<char*>(output.data()), &capacity);
  if (!output.guardIntact()) return false;
  std::memcpy(block.passwordField(), output.data(), cryptoblock::passwordBytes);
  return takeDecipheredPassword(block, result);
}

bool CCiperSet::showPasswordWindow(HWND parent, CryptoBlock& block, DWORD flags) const {
  const auto show = m_hModule.entry<crypto::DispCryptoUIExFn>("DispCryptoUIEx");
  if (show == nullptr) return false;
  GuardedScratch<cryptoblock::reservedBytes> scratch;
  std::memcpy(scratch.data(), block.data(), cryptoblock::reservedBytes);
  const int accepted = show(parent, reinterpret_cast<CryptoSettingsBlock*>(scratch.data()), flags);
  if (!scratch.guardIntact()) return false;
  std::memcpy(block.data(), scratch.data(), cryptoblock::usedBytes);
  return accepted != 0;
}

void CCiperSet::encipher(const CryptoBlock& block, std::uint8_t (&output)[256],
                         EncipherResult& result) const {
  result = EncipherResult{};
  result.output = std::span<const std::uint8_t>(output, sizeof output);
  const auto encrypt = m_hModule.entry<crypto::EncryptPasswordFn>("EncryptPassword");
  if (encrypt == nullptr) return;
  result.exported = true;
  GuardedScratch<sizeof output> scratch;
  DWORD length = 255;
  result.returned = encrypt(block.passwordField(), static_cast<DWORD>(block.passwordLength()),
                            scratch.data(), &length);
  if (!scratch.guardIntact()) {
    result.returned = 0;
    return;
  }
  std::memcpy(output, scratch.data(), sizeof output);
  result.length = length;
}

}  // namespace vex
