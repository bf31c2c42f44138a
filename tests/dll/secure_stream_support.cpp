#include "secure_stream_support.h"

#include <windows.h>
// after windows.h, which it needs
#include <bcrypt.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace vex::test {
namespace {

constexpr std::size_t kStreamHeaderBytes = 28;
constexpr std::size_t kTagBytes = 16;
constexpr char kFramePrefix[] = "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:";
constexpr char kExit[] = "\x1b%-12345X";

std::uint64_t readBE(const std::uint8_t* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

void putBE(std::uint8_t* p, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) p[i] = static_cast<std::uint8_t>(v);
}

struct Frame {
  std::string kind;
  std::string payload;
};

// Splits the job into frames and what lies outside them; false on a malformed frame.
bool splitFrames(const std::string& job, std::vector<Frame>* frames, std::string* outside,
                 std::string* error) {
  std::size_t at = 0;
  for (;;) {
    const std::size_t head = job.find(kFramePrefix, at);
    if (head == std::string::npos) break;
    *outside += job.substr(at, head - at);
    const std::size_t kindStart = head + sizeof kFramePrefix - 1;
    const std::size_t kindEnd = job.find('"', kindStart);
    const std::size_t lineEnd = job.find('\n', kindStart);
    if (kindEnd == std::string::npos || lineEnd == std::string::npos || kindEnd > lineEnd ||
        job.compare(kindEnd, 7, "\" SIZE=") != 0) {
      *error = "malformed frame head";
      return false;
    }
    const std::string digits = job.substr(kindEnd + 7, lineEnd - kindEnd - 7);
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      *error = "malformed frame size";
      return false;
    }
    const std::size_t size = std::stoul(digits);
    const std::size_t payload = lineEnd + 1;
    if (payload + size + sizeof kExit - 1 > job.size() ||
        job.compare(payload + size, sizeof kExit - 1, kExit) != 0) {
      *error = "frame without its exit";
      return false;
    }
    *outside += job.substr(head, payload - head);
    frames->push_back({job.substr(kindStart, kindEnd - kindStart), job.substr(payload, size)});
    at = payload + size;
  }
  *outside += job.substr(at);
  return true;
}

struct Provider {
  BCRYPT_ALG_HANDLE handle = nullptr;
  ~Provider() {
    if (handle) BCryptCloseAlgorithmProvider(handle, 0);
  }
};
struct Key {
  BCRYPT_KEY_HANDLE handle = nullptr;
  ~Key() {
    if (handle) BCryptDestroyKey(handle);
  }
};

bool openRecord(BCRYPT_KEY_HANDLE key, const std::uint8_t* header, std::uint64_t number, bool final,
                const std::uint8_t* cipher, std::size_t length, const std::uint8_t* tag,
                std::string* plain) {
  std::uint8_t nonce[12] = {};
  putBE(nonce + 4, number, 8);
  std::uint8_t aad[kStreamHeaderBytes + 9];
  std::memcpy(aad, header, kStreamHeaderBytes);
  putBE(aad + kStreamHeaderBytes, number, 8);
  aad[kStreamHeaderBytes + 8] = final ? 1 : 0;
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
  BCRYPT_INIT_AUTH_MODE_INFO(info);
  info.pbNonce = nonce;
  info.cbNonce = sizeof nonce;
  info.pbAuthData = aad;
  info.cbAuthData = sizeof aad;
  info.pbTag = const_cast<std::uint8_t*>(tag);
  info.cbTag = kTagBytes;
  std::vector<std::uint8_t> out(length + 1);
  ULONG produced = 0;
  if (BCryptDecrypt(key, const_cast<std::uint8_t*>(cipher), static_cast<ULONG>(length), &info,
                    nullptr, 0, out.data(), static_cast<ULONG>(length), &produced, 0) < 0) {
    return false;
  }
  plain->append(reinterpret_cast<const char*>(out.data()), produced);
  return true;
}

}  // namespace

DecryptedJob decryptSecureJob(const std::string& job, const std::string& password) {
  DecryptedJob result;
  std::vector<Frame> frames;
  if (!splitFrames(job, &frames, &result.outside, &result.error)) return result;
  if (frames.size() < 2 || frames.front().kind != "write_start" ||
      frames.back().kind != "write_end") {
    result.error = "frames not in the order start, data, end";
    return result;
  }
  const std::string& start = frames.front().payload;
  if (start.size() != kStreamHeaderBytes || start.compare(0, 4, "VXSJ") != 0) {
    result.error = "bad stream header";
    return result;
  }
  const auto* header = reinterpret_cast<const std::uint8_t*>(start.data());
  const auto iterations = readBE(header + 8, 4);

  Provider hmac;
  Provider aes;
  Key key;
  std::uint8_t keyBytes[32];
  if (BCryptOpenAlgorithmProvider(&hmac.handle, BCRYPT_SHA256_ALGORITHM, nullptr,
                                  BCRYPT_ALG_HANDLE_HMAC_FLAG) < 0 ||
      BCryptDeriveKeyPBKDF2(hmac.handle,
                            reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
                            static_cast<ULONG>(password.size()), const_cast<PUCHAR>(header + 12),
                            16, iterations, keyBytes, sizeof keyBytes, 0) < 0 ||
      BCryptOpenAlgorithmProvider(&aes.handle, BCRYPT_AES_ALGORITHM, nullptr, 0) < 0 ||
      BCryptSetProperty(aes.handle, BCRYPT_CHAINING_MODE,
                        reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                        sizeof(BCRYPT_CHAIN_MODE_GCM), 0) < 0 ||
      BCryptGenerateSymmetricKey(aes.handle, &key.handle, nullptr, 0, keyBytes, sizeof keyBytes,
                                 0) < 0) {
    result.error = "no key";
    return result;
  }

  std::uint64_t number = 0;
  std::string totals;
  for (std::size_t f = 1; f < frames.size(); ++f) {
    const bool final = f + 1 == frames.size();
    if (!final && frames[f].kind != "write") {
      result.error = "unexpected frame " + frames[f].kind;
      return result;
    }
    const std::string& payload = frames[f].payload;
    const auto* p = reinterpret_cast<const std::uint8_t*>(payload.data());
    std::size_t at = 0;
    while (at < payload.size()) {
      if (payload.size() - at < 4 + kTagBytes) {
        result.error = "cut record";
        return result;
      }
      const std::size_t n = readBE(p + at, 4);
      if (n > payload.size() - at - 4 - kTagBytes) {
        result.error = "cut record";
        return result;
      }
      std::string* into = final ? &totals : &result.plaintext;
      if (!openRecord(key.handle, header, number, final, p + at + 4, n, p + at + 4 + n, into)) {
        result.error = "record " + std::to_string(number) + " does not open with this key";
        return result;
      }
      ++number;
      at += 4 + n + kTagBytes;
    }
  }
  // The final record carries the document's length and the number of data records before it.
  const auto* t = reinterpret_cast<const std::uint8_t*>(totals.data());
  if (totals.size() != 16 || readBE(t, 8) != result.plaintext.size() ||
      readBE(t + 8, 8) + 1 != number) {
    result.error = "the final record's totals do not match";
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace vex::test
