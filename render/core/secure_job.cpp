#include "secure_job.h"

#include <cstdio>
#include <cstring>

namespace vex {

namespace {

void wipe(void* p, std::size_t n) {
  volatile auto* bytes = static_cast<volatile std::uint8_t*>(p);
  while (n-- > 0) *bytes++ = 0;
}

void putU32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool writeText(SecureJobHost& host, std::string_view text) {
  return host.write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Library output is trusted only as far as it is plausible: no null buffer with a length, and
// no length beyond the limit.
bool plausible(const std::uint8_t* out, std::uint32_t length, std::uint64_t limit) {
  if (length == 0) return true;
  return out != nullptr && length <= limit;
}

bool writeFrame(SecureJobHost& host, FrameKind kind, const std::uint8_t* payload,
                std::uint32_t length) {
  if (!writeText(host, frameHead(kind, length))) return false;
  if (length > 0 && !host.write(payload, length)) return false;
  if (!writeText(host, kFrameExit)) return false;
  return kind != FrameKind::kEnd || writeText(host, kSecureEndOfJob);
}

}  // namespace

std::string frameHead(FrameKind kind, std::size_t size) {
  const char* location = kind == FrameKind::kStart  ? "write_start"
                         : kind == FrameKind::kData ? "write"
                                                    : "write_end";
  char head[128];
  std::snprintf(head, sizeof head,
                "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:%s\" SIZE=%llu\n", location,
                static_cast<unsigned long long>(size));
  return head;
}

std::uint64_t maxUpdateOutput(std::size_t inputLength) {
  return 2 * static_cast<std::uint64_t>(inputLength) + kMaxFixedOutput;
}

bool SecureOutputPath::fail() {
  encryptor_.reset();
  filter_.reset();
  trailer_.reset();
  return false;
}

void SecureOutputPath::reset() {
  encryptor_.reset();
  filter_.reset();
  trailer_.reset();
}

void SecureOutputPath::expectTrailer() { trailer_ = std::make_unique<EndOfJobDetector>(); }

bool SecureOutputPath::start(SecureJobHost& host, std::size_t* reported) {
  encryptor_ = host.openEncryptor();
  if (encryptor_ == nullptr || !encryptor_->hasContext()) return false;

  const SecureJobSettings settings = host.settings();
  std::uint8_t params[kEncryptionParamsSize] = {};
  char* secret = reinterpret_cast<char*>(params + kSecretOffset);
  const std::uint8_t* out = nullptr;
  std::uint32_t outLength = 0;
  int result = -1;

  if (icCardPrinter_) {
    std::uint32_t size = kSecretCapacity;
    const bool read = host.readCard(params + kSecretOffset, &size);
    if (!read || size == 0 || size > kSecretCapacity) {
      // The printer is told the job is over before it is cancelled.
      writeText(host, kFrameExit);
      writeText(host, kSecureEndOfJob);
      wipe(params, sizeof params);
      return false;
    }
    if (!writeText(host, kIcCardJobComment)) {
      wipe(params, sizeof params);
      return false;
    }
    *reported += kIcCardJobComment.size();
    putU32(params, settings.settingA);
    putU32(params + 4, settings.settingB);
    result = encryptor_->hasInitEx2() ? encryptor_->initEx2(2, params, size, &out, &outLength)
                                      : encryptor_->initEx(params, size, &out, &outLength);
  } else {
    if (!settings.encryptedPassword.empty()) {
      std::uint32_t capacity = kSecretCapacity;
      const int ok = encryptor_->decryptPassword(
          settings.encryptedPassword.data(),
          static_cast<std::uint32_t>(settings.encryptedPassword.size()), secret, &capacity);
      if (ok == 0 || capacity == 0) wipe(secret, kSecretBytes);
    }
    // Whatever the library did, the secret ends within its capacity.
    wipe(secret + kSecretCapacity, kSecretBytes - kSecretCapacity);
    std::uint32_t cryptoFlag = settings.cryptoFlag;
    if (secret[0] == '\0') {
      host.setCryptoFlag();
      cryptoFlag = 1;
    }
    putU32(params, settings.settingA);
    putU32(params + 4, settings.settingB);
    if (cryptoFlag != 0) {
      if (!host.userCanAnswer()) {
        wipe(params, sizeof params);
        return false;
      }
      encryptor_->askPassword(secret);
      secret[kSecretBytes - 1] = '\0';
    }
    result = encryptor_->init(params, &out, &outLength);
  }
  wipe(params, sizeof params);
  if (result != 0 || !plausible(out, outLength, kMaxFixedOutput)) return false;
  return writeFrame(host, FrameKind::kStart, out, outLength);
}

bool SecureOutputPath::write(SecureJobHost& host, const std::uint8_t* bytes, std::size_t length,
                             std::size_t* reported) {
  std::size_t ignored = 0;
  if (reported == nullptr) reported = &ignored;
  *reported = 0;
  if (bytes == nullptr) length = 0;
  const bool lastChunk = trailer_ != nullptr && trailer_->check(bytes, length);

  if (encryptor_ == nullptr) {
    if (filter_ == nullptr) {
      icCardPrinter_ = host.isIcCardPrinter();
      filter_ = std::make_unique<HeaderFilter>(host.settings().keepingTime, icCardPrinter_);
    }
    const int state = filter_->feed(bytes, length);
    if (state == HeaderFilter::kCollecting && !lastChunk) return true;
  }
  if (!encrypt(host, bytes, length, reported)) return false;
  return !lastChunk || end(host);
}

bool SecureOutputPath::finish(SecureJobHost& host, std::size_t* reported) {
  std::size_t ignored = 0;
  if (reported == nullptr) reported = &ignored;
  *reported = 0;
  if (encryptor_ == nullptr && filter_ == nullptr) return true;  // nothing open
  if (!encrypt(host, nullptr, 0, reported)) return false;
  return end(host);
}

// The filter's bytes (a session starts with them) or this chunk's go to the encryptor; a session
// starts with the cleartext header when the filter found one.
bool SecureOutputPath::encrypt(SecureJobHost& host, const std::uint8_t* bytes, std::size_t length,
                               std::size_t* reported) {
  if (encryptor_ == nullptr) {
    if (filter_ != nullptr && filter_->state() == HeaderFilter::kHeaderComplete) {
      if (const auto header = filter_->compose()) {
        if (!writeText(host, *header)) return fail();
        *reported += header->size();
      }
    }
    if (!start(host, reported)) return fail();
  }

  const std::uint8_t* plain = bytes;
  std::size_t plainLength = length;
  if (filter_ != nullptr) {
    plain = filter_->data().data();
    plainLength = filter_->data().size();
  }
  if (plainLength > 0xFFFFFFFFu) return fail();
  if (plainLength > 0) {
    const std::uint8_t* out = nullptr;
    std::uint32_t outLength = 0;
    if (encryptor_->update(plain, static_cast<std::uint32_t>(plainLength), &out, &outLength) != 0 ||
        !plausible(out, outLength, maxUpdateOutput(plainLength))) {
      return fail();
    }
    if (outLength > 0 && !writeFrame(host, FrameKind::kData, out, outLength)) return fail();
  }
  filter_.reset();
  return true;
}

bool SecureOutputPath::end(SecureJobHost& host) {
  const std::uint8_t* out = nullptr;
  std::uint32_t outLength = 0;
  if (encryptor_->end(&out, &outLength) != 0 || !plausible(out, outLength, kMaxFixedOutput) ||
      !writeFrame(host, FrameKind::kEnd, out, outLength)) {
    return fail();
  }
  encryptor_.reset();
  trailer_.reset();
  return true;
}

}  // namespace vex
