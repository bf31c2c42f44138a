#include "secure_output.h"

#include <memory>

#include "card_library.h"
#include "crypto_library.h"
#include "document_state.h"
#include "interactive_session.h"
#include "private_settings.h"
#include "secure_job.h"

namespace vex {

namespace {

// The crypto library held for one job with its encryption context.
class LibraryJobEncryptor final : public JobEncryptor {
 public:
  explicit LibraryJobEncryptor(CryptoLibrary library) : lib_(std::move(library)) {
    if (lib_.hasJobStreamExports()) context_ = lib_.createEncryption();
  }
  ~LibraryJobEncryptor() override {
    if (context_ != nullptr) lib_.deleteEncryption(context_);
  }
  bool hasContext() const override { return context_ != nullptr; }
  bool hasInitEx2() const override { return lib_.initEncryptionEx2 != nullptr; }
  int init(const std::uint8_t* params, const std::uint8_t** out, std::uint32_t* length) override {
    return lib_.initEncryption(context_, params, out, dw(length));
  }
  int initEx(const std::uint8_t* params, std::uint32_t secretLength, const std::uint8_t** out,
             std::uint32_t* length) override {
    return lib_.initEncryptionEx(context_, params, secretLength, out, dw(length));
  }
  int initEx2(std::uint32_t variant, const std::uint8_t* params, std::uint32_t secretLength,
              const std::uint8_t** out, std::uint32_t* length) override {
    return lib_.initEncryptionEx2(context_, variant, params, secretLength, out, dw(length));
  }
  int update(const std::uint8_t* data, std::uint32_t dataLength, const std::uint8_t** out,
             std::uint32_t* length) override {
    return lib_.updateEncryption(context_, data, dataLength, out, dw(length));
  }
  int end(const std::uint8_t** out, std::uint32_t* length) override {
    return lib_.endEncryption(context_, out, dw(length));
  }
  int decryptPassword(const std::uint8_t* blob, std::uint32_t blobLength, char* out,
                      std::uint32_t* capacity) override {
    return lib_.decryptPassword(blob, blobLength, out, dw(capacity));
  }
  void askPassword(char* secret) override { lib_.dispPasswordUI(secret); }

 private:
  static DWORD* dw(std::uint32_t* p) { return reinterpret_cast<DWORD*>(p); }
  CryptoLibrary lib_;
  void* context_ = nullptr;
};

class PluginSecureHost final : public SecureJobHost {
 public:
  explicit PluginSecureHost(PDEVOBJ pdevobj) : pdevobj_(pdevobj) {}

  bool write(const std::uint8_t* bytes, std::size_t length) override {
    while (length > 0) {
      const DWORD piece = length > 0x40000000 ? 0x40000000 : static_cast<DWORD>(length);
      DWORD written = 0;
      if (!::WritePrinter(pdevobj_->hPrinter, const_cast<std::uint8_t*>(bytes), piece, &written) ||
          written != piece) {
        return false;
      }
      bytes += piece;
      length -= piece;
    }
    return true;
  }
  bool isIcCardPrinter() override { return vex::isIcCardPrinter(pdevobj_->hPrinter); }
  bool readCard(std::uint8_t* buffer, std::uint32_t* size) override {
    DWORD n = *size;
    const bool ok = getCardData(pdevobj_->hPrinter, buffer, &n);
    *size = n;
    return ok;
  }
  std::unique_ptr<JobEncryptor> openEncryptor() override {
    CryptoLibrary library = loadCryptoLibrary(pdevobj_->hPrinter);
    if (!library.loaded()) return nullptr;
    return std::make_unique<LibraryJobEncryptor>(std::move(library));
  }
  SecureJobSettings settings() override {
    SecureJobSettings s;
    const auto* record = static_cast<const std::uint8_t*>(pdevobj_->pOEMDM);
    if (record == nullptr) return s;
    s.settingA = getU32(record, rec::cryptoSettingA);
    s.settingB = getU32(record, rec::cryptoSettingB);
    s.keepingTime = getU32(record, rec::cryptoTime);
    s.cryptoFlag = getU32(record, rec::cryptoFlag);
    const std::uint32_t length = getU32(record, rec::encryptedPasswordLength);
    if (length > 0 && length <= rec::encryptedPasswordCapacity) {
      s.encryptedPassword.assign(record + rec::encryptedPassword,
                                 record + rec::encryptedPassword + length);
    }
    return s;
  }
  bool userCanAnswer() override { return userCanAnswerDialogs(); }
  void setCryptoFlag() override {
    auto* record = static_cast<std::uint8_t*>(pdevobj_->pOEMDM);
    if (record != nullptr) setU32(record, rec::cryptoFlag, 1);
  }

 private:
  PDEVOBJ pdevobj_;
};

SecureOutputPath& securePath(PDEVOBJ pdevobj) { return documentState(pdevobj).secureOutput; }

}  // namespace

bool writeSecureOutput(PDEVOBJ pdevobj, const void* bytes, DWORD count, DWORD* taken) {
  try {
    PluginSecureHost host(pdevobj);
    std::size_t reported = 0;
    if (!securePath(pdevobj).write(host, static_cast<const std::uint8_t*>(bytes), count,
                                   &reported)) {
      return false;
    }
    if (taken != nullptr) *taken = count;
    return true;
  } catch (...) {  // out of memory: the job is cancelled, never sent in clear
    securePath(pdevobj).reset();
    return false;
  }
}

void expectSecureTrailer(PDEVOBJ pdevobj) { securePath(pdevobj).expectTrailer(); }

bool finishSecureOutput(PDEVOBJ pdevobj) {
  try {
    PluginSecureHost host(pdevobj);
    return securePath(pdevobj).finish(host, nullptr);
  } catch (...) {  // out of memory: the job is cancelled, never sent in clear
    securePath(pdevobj).reset();
    return false;
  }
}

void resetSecureOutput(PDEVOBJ pdevobj) { securePath(pdevobj).reset(); }

}  // namespace vex
