// Decryption of the secure-job stream (format in docs/secure-stream.md), with OpenSSL.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job_file.h"

namespace jobinspect {

struct StreamHeader {
  int version = 0;
  int keySource = 0;  // 1 password, 2 IC card
  int settingA = 0;
  int settingB = 0;
  std::uint32_t iterations = 0;
  std::string salt;
};

inline constexpr std::size_t kStreamHeaderBytes = 28;
inline constexpr std::uint32_t kMaxIterations = 10'000'000;

bool parseStreamHeader(std::string_view payload, StreamHeader& header, std::string& error);

// Decrypts and verifies the frames of a secure job with the secret (password bytes or card
// data); the plaintext is appended to `plain`. False with a message for a wrong secret, an
// altered, dropped or reordered record, or a stream whose totals do not match.
bool decryptStream(const JobFile& job, std::string_view secret, std::string& plain,
                   std::string& error);

// The writer's side, for tests: one stream of the given plaintext chunks. Every chunk becomes
// the payload of one data frame (empty chunks give no frame).
struct EncryptedJob {
  std::string start;
  std::vector<std::string> data;
  std::string end;
};
EncryptedJob encryptForTest(std::string_view secret, int keySource,
                            const std::vector<std::string>& chunks, std::uint32_t iterations);

}  // namespace jobinspect
