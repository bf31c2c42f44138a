#include "crypto_library.h"

#include "config_files.h"

namespace vex {

bool CryptoLibrary::hasJobStreamExports() const {
  return createEncryption && initEncryption && initEncryptionEx && updateEncryption &&
         endEncryption && deleteEncryption && decryptPassword && dispPasswordUI;
}

CryptoLibrary loadCryptoLibrary(HANDLE printer) {
  CryptoLibrary crypto;
  crypto.library = loadConfiguredLibrary(printer, L"CryptoDll");
  const OutsideLibrary& lib = crypto.library;
  crypto.getDefaultSetting = lib.entry<crypto::GetDefaultSettingFn>("GetDefaultSetting");
  crypto.dispCryptoUIEx = lib.entry<crypto::DispCryptoUIExFn>("DispCryptoUIEx");
  crypto.encryptPassword = lib.entry<crypto::EncryptPasswordFn>("EncryptPassword");
  crypto.decryptPassword = lib.entry<crypto::DecryptPasswordFn>("DecryptPassword");
  crypto.dispPasswordUI = lib.entry<crypto::DispPasswordUIFn>("DispPasswordUI");
  crypto.createEncryption = lib.entry<crypto::CreateEncryptionFn>("CreateEncryption");
  crypto.initEncryption = lib.entry<crypto::InitEncryptionFn>("InitEncryption");
  crypto.initEncryptionEx = lib.entry<crypto::InitEncryptionExFn>("InitEncryptionEx");
  crypto.initEncryptionEx2 = lib.entry<crypto::InitEncryptionEx2Fn>("InitEncryptionEx2");
  crypto.updateEncryption = lib.entry<crypto::UpdateEncryptionFn>("UpdateEncryption");
  crypto.endEncryption = lib.entry<crypto::EndEncryptionFn>("EndEncryption");
  crypto.deleteEncryption = lib.entry<crypto::DeleteEncryptionFn>("DeleteEncryption");
  return crypto;
}

std::optional<CryptoSettingsBlock> cryptoDefaults(HANDLE printer) {
  const CryptoLibrary crypto = loadCryptoLibrary(printer);
  if (crypto.getDefaultSetting == nullptr) return std::nullopt;
  CryptoSettingsBlock block{};
  if (crypto.getDefaultSetting(&block, 1) == 0) return std::nullopt;
  return block;
}

bool cryptoLibraryConfigured(HANDLE printer) {
  return !readModelString(printer, L"CryptoDll").empty();
}

}  // namespace vex
