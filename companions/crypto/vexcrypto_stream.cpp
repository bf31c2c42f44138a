// The secure-job stream: a key derived from the secret with PBKDF2-SHA256 and a random salt,
// AES-256-GCM records numbered in order, and a final record that carries the totals, so that
// the receiver detects a changed, reordered, dropped or truncated record. The byte layout is
// written down in docs/secure-stream.md.
#include <windows.h>
// after windows.h, which it needs
#include <bcrypt.h>

#include <array>
#include <cstring>
#include <mutex>
#include <new>
#include <set>

#include "vexcrypto_internal.h"

namespace vexcrypto {

namespace {

constexpr std::uint8_t kMagic[4] = {'V', 'X', 'S', 'J'};
constexpr std::uint8_t kVersion = 1;
constexpr std::uint32_t kIterations = 100000;
constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHeaderBytes = 12 + kSaltBytes;  // magic, version, source, A, B, iterations
constexpr std::size_t kTagBytes = 16;
constexpr std::size_t kRecordPlain = 65536;
constexpr std::uint8_t kDataRecord = 0;
constexpr std::uint8_t kFinalRecord = 1;

bool ok(NTSTATUS status) { return status >= 0; }

void putBE(std::uint8_t* at, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) at[i] = static_cast<std::uint8_t>(v);
}

struct Algorithm {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~Algorithm() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
};
struct Key {
  BCRYPT_KEY_HANDLE handle = nullptr;
  ~Key() {
    if (handle) BCryptDestroyKey(handle);
  }
};

void wipe(void* p, std::size_t n) { SecureZeroMemory(p, n); }

bool deriveKey(const BYTE* secret, DWORD secretLength, const std::uint8_t* salt,
               std::uint32_t iterations, std::uint8_t key[32]) {
  Algorithm hmac;
  if (!ok(BCryptOpenAlgorithmProvider(&hmac.handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                      BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
    return false;
  }
  return ok(BCryptDeriveKeyPBKDF2(hmac.handle, const_cast<PUCHAR>(secret), secretLength,
                                  const_cast<PUCHAR>(salt), kSaltBytes, iterations, key, 32, 0));
}

bool openGcm(Algorithm& aes, Key& key, const std::uint8_t* keyBytes) {
  if (!ok(BCryptOpenAlgorithmProvider(&aes.handle, BCRYPT_AES_ALGORITHM, nullptr, 0))) return false;
  if (!ok(BCryptSetProperty(aes.handle, BCRYPT_CHAINING_MODE,
                            reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                            sizeof(BCRYPT_CHAIN_MODE_GCM), 0))) {
    return false;
  }
  return ok(BCryptGenerateSymmetricKey(aes.handle, &key.handle, nullptr, 0,
                                       const_cast<PUCHAR>(keyBytes), 32, 0));
}

// One GCM operation. aad may be empty; encrypt appends ciphertext and tag to out.
bool gcmSeal(BCRYPT_KEY_HANDLE key, const std::uint8_t nonce[12], const std::uint8_t* aad,
             std::size_t aadLength, const std::uint8_t* plain, std::size_t length,
             std::uint8_t* cipherOut, std::uint8_t tag[kTagBytes]) {
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
  BCRYPT_INIT_AUTH_MODE_INFO(info);
  info.pbNonce = const_cast<PUCHAR>(nonce);
  info.cbNonce = 12;
  info.pbAuthData = const_cast<PUCHAR>(aad);
  info.cbAuthData = static_cast<ULONG>(aadLength);
  info.pbTag = tag;
  info.cbTag = kTagBytes;
  ULONG written = 0;
  return ok(BCryptEncrypt(key, const_cast<PUCHAR>(plain), static_cast<ULONG>(length), &info,
                          nullptr, 0, cipherOut, static_cast<ULONG>(length), &written, 0)) &&
         written == length;
}

bool gcmOpen(BCRYPT_KEY_HANDLE key, const std::uint8_t nonce[12], const std::uint8_t* cipher,
             std::size_t length, const std::uint8_t tag[kTagBytes], std::uint8_t* plainOut) {
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
  BCRYPT_INIT_AUTH_MODE_INFO(info);
  info.pbNonce = const_cast<PUCHAR>(nonce);
  info.cbNonce = 12;
  info.pbTag = const_cast<PUCHAR>(tag);
  info.cbTag = kTagBytes;
  ULONG written = 0;
  return ok(BCryptDecrypt(key, const_cast<PUCHAR>(cipher), static_cast<ULONG>(length), &info,
                          nullptr, 0, plainOut, static_cast<ULONG>(length), &written, 0)) &&
         written == length;
}

std::mutex& sessionsLock() {
  static std::mutex lock;
  return lock;
}
std::set<void*>& liveSessions() {
  static std::set<void*> sessions;
  return sessions;
}

}  // namespace

class Session {
 public:
  enum class Phase { kCreated, kStreaming, kEnded, kFailed };

  int init(const BYTE* params, const BYTE* secret, DWORD secretLength, KeySource source,
           const BYTE** out, DWORD* outLength) {
    if (phase_ != Phase::kCreated || secret == nullptr || secretLength == 0 ||
        secretLength > kParamsSecretBytes || params == nullptr) {
      return fail();
    }
    std::uint32_t settingA = 0, settingB = 0;
    std::memcpy(&settingA, params, 4);
    std::memcpy(&settingB, params + 4, 4);
    if (settingA > 255 || settingB > 255) return fail();
    std::memcpy(header_.data(), kMagic, 4);
    header_[4] = kVersion;
    header_[5] = static_cast<std::uint8_t>(source);
    header_[6] = static_cast<std::uint8_t>(settingA);
    header_[7] = static_cast<std::uint8_t>(settingB);
    putBE(header_.data() + 8, kIterations, 4);
    std::uint8_t* salt = header_.data() + 12;
    if (!ok(BCryptGenRandom(nullptr, salt, kSaltBytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
      return fail();
    }
    std::uint8_t keyBytes[32];
    const bool derived = deriveKey(secret, secretLength, salt, kIterations, keyBytes);
    const bool opened = derived && openGcm(aes_, key_, keyBytes);
    wipe(keyBytes, sizeof keyBytes);
    if (!opened) return fail();
    phase_ = Phase::kStreaming;
    return give(header_.data(), header_.size(), out, outLength);
  }

  int update(const BYTE* data, DWORD length, const BYTE** out, DWORD* outLength) {
    if (phase_ != Phase::kStreaming || (data == nullptr && length > 0)) return fail();
    const std::size_t records = (length + kRecordPlain - 1) / kRecordPlain;
    try {
      output_.resize(static_cast<std::size_t>(length) + records * (4 + kTagBytes));
    } catch (const std::bad_alloc&) {
      return fail();
    }
    std::uint8_t* at = output_.data();
    for (std::size_t done = 0; done < length;) {
      const std::size_t n = std::min<std::size_t>(length - done, kRecordPlain);
      putBE(at, n, 4);
      if (!sealRecord(kDataRecord, data + done, n, at + 4, at + 4 + n)) return fail();
      at += 4 + n + kTagBytes;
      done += n;
      total_ += n;
    }
    return give(output_.data(), output_.size(), out, outLength);
  }

  int end(const BYTE** out, DWORD* outLength) {
    if (phase_ != Phase::kStreaming) return fail();
    std::uint8_t totals[16];
    putBE(totals, total_, 8);
    putBE(totals + 8, sequence_, 8);
    output_.assign(4 + sizeof totals + kTagBytes, 0);
    putBE(output_.data(), sizeof totals, 4);
    if (!sealRecord(kFinalRecord, totals, sizeof totals, output_.data() + 4,
                    output_.data() + 4 + sizeof totals)) {
      return fail();
    }
    phase_ = Phase::kEnded;
    return give(output_.data(), output_.size(), out, outLength);
  }

 private:
  // Nonce: four zero bytes and the record number; additional data: the stream header, the record
  // number and the record kind.
  bool sealRecord(std::uint8_t kind, const std::uint8_t* plain, std::size_t n,
                  std::uint8_t* cipherOut, std::uint8_t* tagOut) {
    std::uint8_t nonce[12] = {};
    putBE(nonce + 4, sequence_, 8);
    std::uint8_t aad[kHeaderBytes + 9];
    std::memcpy(aad, header_.data(), kHeaderBytes);
    putBE(aad + kHeaderBytes, sequence_, 8);
    aad[kHeaderBytes + 8] = kind;
    if (!gcmSeal(key_.handle, nonce, aad, sizeof aad, plain, n, cipherOut, tagOut)) return false;
    ++sequence_;
    return true;
  }
  int give(const std::uint8_t* data, std::size_t n, const BYTE** out, DWORD* outLength) {
    if (out == nullptr || outLength == nullptr) return fail();
    *out = n ? data : nullptr;
    *outLength = static_cast<DWORD>(n);
    return 0;
  }
  int fail() {
    phase_ = Phase::kFailed;
    return 1;
  }

  Phase phase_ = Phase::kCreated;
  std::array<std::uint8_t, kHeaderBytes> header_{};
  Algorithm aes_;
  Key key_;
  std::uint64_t sequence_ = 0;
  std::uint64_t total_ = 0;
  std::vector<std::uint8_t> output_;
};

Session* createSession() {
  Session* session = new (std::nothrow) Session;
  if (session == nullptr) return nullptr;
  try {
    std::lock_guard<std::mutex> guard(sessionsLock());
    liveSessions().insert(session);
  } catch (...) {
    delete session;
    return nullptr;
  }
  return session;
}

bool isSession(void* context) {
  std::lock_guard<std::mutex> guard(sessionsLock());
  return context != nullptr && liveSessions().count(context) != 0;
}

void deleteSession(Session* session) {
  {
    std::lock_guard<std::mutex> guard(sessionsLock());
    if (liveSessions().erase(session) == 0) return;
  }
  delete session;
}

int initSession(Session* s, const BYTE* params, const BYTE* secret, DWORD secretLength,
                KeySource source, const BYTE** out, DWORD* outLength) {
  return s->init(params, secret, secretLength, source, out, outLength);
}
int updateSession(Session* s, const BYTE* data, DWORD length, const BYTE** out, DWORD* outLength) {
  return s->update(data, length, out, outLength);
}
int endSession(Session* s, const BYTE** out, DWORD* outLength) { return s->end(out, outLength); }

// Stored passwords: "VXP1", a random 12-byte nonce, the enciphered password and the GCM tag,
// under a key that ships inside this library.
namespace {
constexpr std::uint8_t kPasswordMagic[4] = {'V', 'X', 'P', '1'};
constexpr std::uint8_t kPasswordKey[32] = {
    0x3a, 0x91, 0x5c, 0x0e, 0x77, 0xd2, 0x48, 0xb3, 0x1f, 0x6a, 0xc4, 0x29, 0x85, 0xee, 0x03, 0x5b,
    0x9d, 0x40, 0x27, 0xf8, 0x61, 0xbc, 0x12, 0xa5, 0x7e, 0x33, 0xd9, 0x0c, 0x56, 0xe1, 0x8f, 0x24};
constexpr std::size_t kPasswordOverhead = 4 + 12 + kTagBytes;
}  // namespace

bool obscurePassword(const char* password, DWORD length, BYTE* output, DWORD* outputLength) {
  if (password == nullptr || output == nullptr || outputLength == nullptr || length == 0 ||
      length > kMaxPasswordBytes || *outputLength < length + kPasswordOverhead) {
    return false;
  }
  Algorithm aes;
  Key key;
  if (!openGcm(aes, key, kPasswordKey)) return false;
  std::memcpy(output, kPasswordMagic, 4);
  if (!ok(BCryptGenRandom(nullptr, output + 4, 12, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
  if (!gcmSeal(key.handle, output + 4, nullptr, 0, reinterpret_cast<const std::uint8_t*>(password),
               length, output + 16, output + 16 + length)) {
    return false;
  }
  *outputLength = length + kPasswordOverhead;
  return true;
}

bool revealPassword(const BYTE* blob, DWORD length, char* output, DWORD* capacity) {
  if (blob == nullptr || output == nullptr || capacity == nullptr || length <= kPasswordOverhead ||
      length > kPasswordOverhead + kMaxPasswordBytes || std::memcmp(blob, kPasswordMagic, 4) != 0) {
    return false;
  }
  const DWORD n = length - kPasswordOverhead;
  if (*capacity < n + 1) return false;
  Algorithm aes;
  Key key;
  std::uint8_t plain[kMaxPasswordBytes];
  if (!openGcm(aes, key, kPasswordKey) ||
      !gcmOpen(key.handle, blob + 4, blob + 16, n, blob + 16 + n, plain)) {
    return false;
  }
  std::memcpy(output, plain, n);
  output[n] = '\0';
  wipe(plain, sizeof plain);
  *capacity = n;
  return true;
}

}  // namespace vexcrypto
