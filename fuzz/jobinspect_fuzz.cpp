// Arbitrary bytes as a job file for jobinspect's readers: the job-file parser, the stream
// header and the decryption of a secure job. The parser's views stay inside the input, frames
// come in their order, and a real stream whose bytes the input changed either still decrypts to
// its own plaintext or is refused. Aborts on any broken invariant.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "job_file.h"
#include "secure_stream.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "jobinspect_fuzz: invariant broken: %s\n", what);
    std::abort();
  }
}

bool inside(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void checkParse(std::string_view bytes) {
  jobinspect::JobFile job;
  std::string error;
  if (!jobinspect::parseJobFile(bytes, job, error)) {
    require(!error.empty(), "a refusal without its reason");
    return;
  }
  require(inside(job.payload, bytes), "payload outside the file");
  for (std::size_t i = 0; i < job.frames.size(); ++i) {
    const jobinspect::Frame& f = job.frames[i];
    require(inside(f.payload, bytes), "frame payload outside the file");
    require(f.offset < bytes.size(), "frame offset beyond the file");
    const char* expected = i == 0                       ? "write_start"
                           : i + 1 == job.frames.size() ? "write_end"
                                                        : "write";
    require(f.location == expected, "frames out of order");
  }
  require(!job.secure || job.frames.size() >= 2, "a secure job without start and end");
  if (job.secure && !job.frames.empty()) {
    jobinspect::StreamHeader header;
    if (jobinspect::parseStreamHeader(job.frames.front().payload, header, error)) {
      require(header.iterations <= jobinspect::kMaxIterations, "iterations beyond the bound");
      require(header.salt.size() == 16, "salt size");
    }
  }
}

std::string frame(const char* where, const std::string& payload) {
  return "@PJL VEXRESOURCEWRITE LOCATION=\"SecureJobAccessor:" + std::string(where) +
         "\" SIZE=" + std::to_string(payload.size()) + "\n" + payload + "\x1b%-12345X";
}

// One real stream (a single PBKDF2 iteration keeps runs fast), with bytes of the input written
// over it from the position its first byte names.
void checkAlteredStream(std::string_view bytes) {
  static const std::string plain = "%!PS-Adobe-3.0\n(secret) show showpage\n";
  static const jobinspect::EncryptedJob encrypted =
      jobinspect::encryptForTest("4321", 1, {plain.substr(0, 20), plain.substr(20)}, 1);
  static const std::string good = [] {
    std::string s = "\x1b%-12345X@PJL JOB NAME=\"J\"\r\n" + frame("write_start", encrypted.start);
    for (const auto& d : encrypted.data) s += frame("write", d);
    return s + frame("write_end", encrypted.end) + "@PJL EOJ NAME = \"END\"\n\x1b%-12345X";
  }();
  if (bytes.empty()) return;
  std::string altered = good;
  const std::size_t at =
      (static_cast<std::size_t>(static_cast<std::uint8_t>(bytes[0])) * 7) % altered.size();
  const std::string_view over = bytes.substr(1, altered.size() - at);
  altered.replace(at, over.size(), over);
  jobinspect::JobFile job;
  std::string error;
  if (!jobinspect::parseJobFile(altered, job, error) || !job.secure || job.frames.empty()) return;
  jobinspect::StreamHeader header;
  if (!jobinspect::parseStreamHeader(job.frames.front().payload, header, error) ||
      header.iterations > 1) {
    return;  // a changed iteration count would only make the run slow
  }
  std::string decrypted;
  if (jobinspect::decryptStream(job, "4321", decrypted, error)) {
    require(decrypted == plain, "an altered stream decrypted to other text");
  } else {
    require(!error.empty(), "a refusal without its reason");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  checkParse(bytes);
  checkAlteredStream(bytes);
  return 0;
}
