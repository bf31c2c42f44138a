// The encrypted output of secure jobs: the cleartext header, then the job encrypted by the crypto
// library and sent as resource-write frames. Platform-neutral; the plug-in supplies the spooler,
// the IC-card reader and the loaded library through the interfaces below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "header_filter.h"

namespace vex {

inline constexpr std::string_view kFrameExit = "\x1b%-12345X";
inline constexpr std::string_view kSecureEndOfJob = "@PJL EOJ NAME = \"END\"\n\x1b%-12345X";
inline constexpr std::string_view kIcCardJobComment = "@PJL COMMENT ICCARDJOB\r\n";

enum class FrameKind { kStart, kData, kEnd };

// "@PJL VEXRESOURCEWRITE LOCATION=..." with its size and LF.
std::string frameHead(FrameKind kind, std::size_t size);

// The 44-byte parameter block of the Init functions: settings A and B, then a 36-byte secret.
inline constexpr std::size_t kEncryptionParamsSize = 44;
inline constexpr std::size_t kSecretOffset = 8;
inline constexpr std::size_t kSecretBytes = 36;
// What GetCardData and DecryptPassword may put into the secret.
inline constexpr std::uint32_t kSecretCapacity = 33;

// Library output larger than this is refused, whatever the library says it wrote: a start or
// end payload is small, a data payload is the chunk plus a bounded overhead.
inline constexpr std::uint32_t kMaxFixedOutput = 1u << 20;
std::uint64_t maxUpdateOutput(std::size_t inputLength);

// The crypto library loaded for one job, with its encryption context. Destroying it deletes the
// context and frees the library. Output buffers belong to the library.
class JobEncryptor {
 public:
  virtual ~JobEncryptor() = default;
  virtual bool hasContext() const = 0;
  virtual bool hasInitEx2() const = 0;
  virtual int init(const std::uint8_t* params, const std::uint8_t** out, std::uint32_t* length) = 0;
  virtual int initEx(const std::uint8_t* params, std::uint32_t secretLength,
                     const std::uint8_t** out, std::uint32_t* length) = 0;
  virtual int initEx2(std::uint32_t variant, const std::uint8_t* params, std::uint32_t secretLength,
                      const std::uint8_t** out, std::uint32_t* length) = 0;
  virtual int update(const std::uint8_t* data, std::uint32_t dataLength, const std::uint8_t** out,
                     std::uint32_t* length) = 0;
  virtual int end(const std::uint8_t** out, std::uint32_t* length) = 0;
  // Nonzero: the password, zero-terminated, in out.
  virtual int decryptPassword(const std::uint8_t* blob, std::uint32_t blobLength, char* out,
                              std::uint32_t* capacity) = 0;
  // Lets the user type the password into the 36-byte secret.
  virtual void askPassword(char* secret) = 0;
};

// The crypto fields of the job's private settings record.
struct SecureJobSettings {
  std::uint32_t settingA = 0;
  std::uint32_t settingB = 0;
  std::uint32_t keepingTime = 0;
  std::uint32_t cryptoFlag = 0;
  std::vector<std::uint8_t> encryptedPassword;
};

class SecureJobHost {
 public:
  virtual ~SecureJobHost() = default;
  // The spooler; false when the bytes were not all written.
  virtual bool write(const std::uint8_t* bytes, std::size_t length) = 0;
  virtual bool isIcCardPrinter() = 0;
  // size: capacity on entry, data length on success.
  virtual bool readCard(std::uint8_t* buffer, std::uint32_t* size) = 0;
  // Null when the library does not load or lacks a required export.
  virtual std::unique_ptr<JobEncryptor> openEncryptor() = 0;
  virtual SecureJobSettings settings() = 0;
  // Sets cryptoFlag in the job's record: the password is asked for at print time.
  virtual void setCryptoFlag() = 0;
  // False where no user can answer a window of the process (no interactive desktop): the
  // password is then never asked for, and the job fails instead of waiting forever.
  virtual bool userCanAnswer() = 0;
};

// The process's secure-output state: idle, collecting the header (filter), encrypting.
class SecureOutputPath {
 public:
  // One chunk of the job's output. reported: bytes written outside the frames (cleartext header,
  // IC-card comment). False: the job must be cancelled; the path is idle again.
  bool write(SecureJobHost& host, const std::uint8_t* bytes, std::size_t length,
             std::size_t* reported);

  // The plug-in's own trailer is being written: the session ends with the chunk that completes
  // it (the driver may pass it on later). Text inside the document never ends a session.
  void expectTrailer();

  // The document ends (DrvEndDoc): a filter still collecting hands its bytes to the encryptor,
  // and an open session is finished with its end frame. False: the job must be cancelled.
  bool finish(SecureJobHost& host, std::size_t* reported);

  // Forgets a job that did not end (a new job starts).
  void reset();

  bool collecting() const { return filter_ != nullptr; }
  bool encrypting() const { return encryptor_ != nullptr; }

 private:
  bool start(SecureJobHost& host, std::size_t* reported);
  bool encrypt(SecureJobHost& host, const std::uint8_t* bytes, std::size_t length,
               std::size_t* reported);
  bool end(SecureJobHost& host);
  bool fail();

  std::unique_ptr<HeaderFilter> filter_;
  std::unique_ptr<JobEncryptor> encryptor_;
  std::unique_ptr<EndOfJobDetector> trailer_;  // made when the trailer is expected
  bool icCardPrinter_ = false;
};

}  // namespace vex
