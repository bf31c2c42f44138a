#include "secure_stream.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstring>
#include <memory>

namespace jobinspect {

namespace {

constexpr std::size_t kTag = 16;
constexpr std::size_t kSalt = 16;
constexpr std::uint32_t kMaxRecord = 65536;

std::uint64_t getBE(const unsigned char* p, int n) {
  std::uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}
void putBE(unsigned char* p, std::uint64_t v, int n) {
  for (int i = n - 1; i >= 0; --i, v >>= 8) p[i] = static_cast<unsigned char>(v);
}
const unsigned char* u(std::string_view s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

using Cipher = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

void recordNonceAndAad(std::string_view header, std::uint64_t seq, unsigned char kind,
                       unsigned char nonce[12], std::string& aad) {
  std::memset(nonce, 0, 12);
  putBE(nonce + 4, seq, 8);
  aad.assign(header);
  unsigned char tail[9];
  putBE(tail, seq, 8);
  tail[8] = kind;
  aad.append(reinterpret_cast<const char*>(tail), 9);
}

bool gcm(bool encrypt, const unsigned char key[32], const unsigned char nonce[12],
         const std::string& aad, const unsigned char* in, std::size_t n, unsigned char* out,
         unsigned char tag[kTag]) {
  Cipher ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
  if (!ctx) return false;
  int len = 0;
  if (EVP_CipherInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr, encrypt) != 1 ||
      EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_IVLEN, 12, nullptr) != 1 ||
      EVP_CipherInit_ex(ctx.get(), nullptr, nullptr, key, nonce, encrypt) != 1 ||
      EVP_CipherUpdate(ctx.get(), nullptr, &len, u(aad), static_cast<int>(aad.size())) != 1) {
    return false;
  }
  if (n > 0 && EVP_CipherUpdate(ctx.get(), out, &len, in, static_cast<int>(n)) != 1) return false;
  if (!encrypt && EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, kTag, tag) != 1) {
    return false;
  }
  if (EVP_CipherFinal_ex(ctx.get(), out + n, &len) != 1) return false;
  return !encrypt || EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, kTag, tag) == 1;
}

bool deriveKey(std::string_view secret, const StreamHeader& h, unsigned char key[32]) {
  return PKCS5_PBKDF2_HMAC(secret.data(), static_cast<int>(secret.size()), u(h.salt),
                           static_cast<int>(h.salt.size()), static_cast<int>(h.iterations),
                           EVP_sha256(), 32, key) == 1;
}

}  // namespace

bool parseStreamHeader(std::string_view p, StreamHeader& h, std::string& error) {
  if (p.size() != kStreamHeaderBytes || p.substr(0, 4) != "VXSJ") {
    error = "write_start payload is not a stream header (" + std::to_string(p.size()) + " bytes)";
    return false;
  }
  h.version = static_cast<unsigned char>(p[4]);
  h.keySource = static_cast<unsigned char>(p[5]);
  h.settingA = static_cast<unsigned char>(p[6]);
  h.settingB = static_cast<unsigned char>(p[7]);
  h.iterations = static_cast<std::uint32_t>(getBE(u(p) + 8, 4));
  h.salt.assign(p.substr(12, kSalt));
  if (h.version != 1) {
    error = "unknown stream version " + std::to_string(h.version);
    return false;
  }
  if (h.keySource != 1 && h.keySource != 2) {
    error = "unknown key source " + std::to_string(h.keySource);
    return false;
  }
  if (h.iterations == 0 || h.iterations > kMaxIterations) {
    error = "implausible iteration count " + std::to_string(h.iterations);
    return false;
  }
  return true;
}

bool decryptStream(const JobFile& job, std::string_view secret, std::string& plain,
                   std::string& error) {
  if (!job.secure || job.frames.empty() || job.frames.back().location != "write_end") {
    error = "not a complete secure job";
    return false;
  }
  const std::string_view header = job.frames.front().payload;
  StreamHeader h;
  if (!parseStreamHeader(header, h, error)) return false;
  if (secret.empty()) {
    error = "empty secret";
    return false;
  }
  unsigned char key[32];
  if (!deriveKey(secret, h, key)) {
    error = "key derivation failed";
    return false;
  }
  std::uint64_t seq = 0, total = 0;
  std::string aad;
  unsigned char nonce[12];
  std::vector<unsigned char> out;
  for (std::size_t f = 1; f < job.frames.size(); ++f) {
    const Frame& frame = job.frames[f];
    const bool last = f + 1 == job.frames.size();
    std::string_view p = frame.payload;
    if (last && p.size() != 4 + 16 + kTag) {
      error = "end frame: expected a 36-byte final record, found " + std::to_string(p.size());
      return false;
    }
    while (!p.empty()) {
      if (p.size() < 4 + kTag) {
        error = "record " + std::to_string(seq) + ": cut short";
        return false;
      }
      const std::uint64_t n = getBE(u(p), 4);
      if (n > kMaxRecord || p.size() < 4 + n + kTag) {
        error = "record " + std::to_string(seq) + ": bad length " + std::to_string(n);
        return false;
      }
      recordNonceAndAad(header, seq, last ? 1 : 0, nonce, aad);
      out.assign(n + kTag, 0);
      unsigned char tag[kTag];
      std::memcpy(tag, p.data() + 4 + n, kTag);
      if (!gcm(false, key, nonce, aad, u(p) + 4, n, out.data(), tag)) {
        error = "record " + std::to_string(seq) +
                ": bad tag (wrong password or card, or the data was changed, dropped or reordered)";
        return false;
      }
      if (last) {
        const std::uint64_t wantTotal = getBE(out.data(), 8),
                            wantRecords = getBE(out.data() + 8, 8);
        if (wantTotal != total || wantRecords != seq) {
          error = "truncated stream: the end record counts " + std::to_string(wantRecords) +
                  " records of " + std::to_string(wantTotal) + " bytes, found " +
                  std::to_string(seq) + " of " + std::to_string(total);
          return false;
        }
      } else {
        plain.append(reinterpret_cast<const char*>(out.data()), n);
        total += n;
      }
      ++seq;
      p.remove_prefix(4 + n + kTag);
    }
  }
  return true;
}

EncryptedJob encryptForTest(std::string_view secret, int keySource,
                            const std::vector<std::string>& chunks, std::uint32_t iterations) {
  EncryptedJob job;
  unsigned char head[kStreamHeaderBytes] = {'V', 'X', 'S', 'J', 1};
  head[5] = static_cast<unsigned char>(keySource);
  putBE(head + 8, iterations, 4);
  RAND_bytes(head + 12, kSalt);
  job.start.assign(reinterpret_cast<const char*>(head), sizeof head);
  StreamHeader h;
  std::string error;
  parseStreamHeader(job.start, h, error);
  unsigned char key[32];
  deriveKey(secret, h, key);
  std::uint64_t seq = 0, total = 0;
  auto seal = [&](std::string_view plain, unsigned char kind) {
    std::string aad;
    unsigned char nonce[12], tag[kTag];
    recordNonceAndAad(job.start, seq++, kind, nonce, aad);
    std::string rec(4 + plain.size() + kTag, '\0');
    putBE(reinterpret_cast<unsigned char*>(rec.data()), plain.size(), 4);
    gcm(true, key, nonce, aad, u(plain), plain.size(),
        reinterpret_cast<unsigned char*>(rec.data() + 4), tag);
    std::memcpy(rec.data() + 4 + plain.size(), tag, kTag);
    return rec;
  };
  for (const std::string& chunk : chunks) {
    std::string payload;
    for (std::size_t at = 0; at < chunk.size(); at += kMaxRecord) {
      payload += seal(std::string_view(chunk).substr(at, kMaxRecord), 0);
    }
    total += chunk.size();
    if (!payload.empty()) job.data.push_back(payload);
  }
  unsigned char totals[16];
  putBE(totals, total, 8);
  putBE(totals + 8, seq, 8);
  job.end = seal(std::string_view(reinterpret_cast<const char*>(totals), 16), 1);
  return job;
}

}  // namespace jobinspect
