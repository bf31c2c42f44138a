// Arbitrary job streams, cut into arbitrary chunks, through the secure job's scanners and the
// encrypted-output path with a library that answers with hostile outputs. Aborts on any broken
// invariant; the sanitizers catch reads outside a chunk. Every chunk carries a line of the
// document's own that no header line can hold: it must never reach the spooler, whatever else
// the path sends in clear (the library's output never holds its input).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "header_filter.h"
#include "secure_job.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "secure_stream_fuzz: invariant broken: %s\n", what);
    std::abort();
  }
}

// The input: a control byte, then chunks, each a length byte (scaled) and that many bytes.
struct Reader {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  std::uint8_t byte() { return at < size ? data[at++] : 0; }
  std::vector<std::uint8_t> chunk() {
    std::size_t n = byte();
    if (n >= 250) n = (n - 249) * 9000;  // now and then a chunk past the give-up size
    n = std::min(n, size - std::min(at, size));
    std::vector<std::uint8_t> c(data + at, data + at + n);  // its own allocation, exact size
    at += n;
    return c;
  }
  bool done() const { return at >= size; }
};

bool contains(const std::string& hay, const char* needle) {
  return hay.find(needle) != std::string::npos;
}

// A document line: on a line of its own, so that no captured header line runs into it.
constexpr char kDocumentLine[] =
    "\n\x02"
    "document body\x03\n";
constexpr char kDocumentMark[] =
    "\x02"
    "document body\x03";

class HostileEncryptor : public vex::JobEncryptor {
 public:
  explicit HostileEncryptor(std::uint8_t mode) : mode_(mode) {}
  bool hasContext() const override { return (mode_ & 0x80) == 0; }
  bool hasInitEx2() const override { return (mode_ & 0x40) != 0; }
  int init(const std::uint8_t*, const std::uint8_t** o, std::uint32_t* l) override {
    return give(o, l);
  }
  int initEx(const std::uint8_t*, std::uint32_t n, const std::uint8_t** o,
             std::uint32_t* l) override {
    require(n >= 1 && n <= vex::kSecretCapacity, "card secret length");
    return give(o, l);
  }
  int initEx2(std::uint32_t, const std::uint8_t*, std::uint32_t n, const std::uint8_t** o,
              std::uint32_t* l) override {
    require(n >= 1 && n <= vex::kSecretCapacity, "card secret length");
    return give(o, l);
  }
  int update(const std::uint8_t*, std::uint32_t, const std::uint8_t** o,
             std::uint32_t* l) override {
    return give(o, l);
  }
  int end(const std::uint8_t** o, std::uint32_t* l) override { return give(o, l); }
  int decryptPassword(const std::uint8_t*, std::uint32_t, char* out, std::uint32_t* cap) override {
    std::memset(out, 'p', *cap);  // no terminating zero within the capacity
    return 1;
  }
  void askPassword(char* secret) override { std::memset(secret, 'q', vex::kSecretBytes); }

 private:
  int give(const std::uint8_t** o, std::uint32_t* l) {
    ++calls_;
    switch ((mode_ + calls_) % 5) {
      case 0:
        *o = nullptr;
        *l = 16;
        break;  // null with a length
      case 1:
        *o = buffer_;
        *l = 0xFFFFFFF0u;
        break;  // far more than it has
      default:
        *o = buffer_;
        *l = sizeof buffer_;
        break;
    }
    return (mode_ & 0x20) != 0 && calls_ % 3 == 0;
  }
  std::uint8_t mode_;
  int calls_ = 0;
  std::uint8_t buffer_[8] = {'c', 'i', 'p', 'h', 'e', 'r', 'e', 'd'};
};

struct Host : vex::SecureJobHost {
  std::uint8_t mode = 0;
  std::string spooled;
  bool write(const std::uint8_t* b, std::size_t n) override {
    spooled.append(reinterpret_cast<const char*>(b), n);
    return true;
  }
  bool isIcCardPrinter() override { return (mode & 1) != 0; }
  bool readCard(std::uint8_t* buffer, std::uint32_t* size) override {
    std::memset(buffer, 'k', *size);
    *size = (mode & 2) ? 200 : 12;  // card data longer than the buffer, now and then
    return true;
  }
  std::unique_ptr<vex::JobEncryptor> openEncryptor() override {
    return std::make_unique<HostileEncryptor>(mode);
  }
  vex::SecureJobSettings settings() override {
    vex::SecureJobSettings s;
    s.keepingTime = 0xFFFFFFFF;
    s.encryptedPassword = {1, 2, 3};
    return s;
  }
  void setCryptoFlag() override {}
  bool userCanAnswer() override { return (mode & 0x10) == 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An input that spells the mark itself could put it into a header line.
  if (std::string(reinterpret_cast<const char*>(data), size).find(kDocumentMark) !=
      std::string::npos) {
    return 0;
  }
  Reader in{data, size};
  const std::uint8_t control = in.byte();
  vex::HeaderFilter filter(control * 0x01010101u, (control & 1) != 0);
  vex::EndOfJobDetector detector;
  vex::SecureOutputPath path;
  Host host;
  host.mode = control;
  std::string stream, tail;
  int state = 1;
  while (!in.done()) {
    std::vector<std::uint8_t> chunk = in.chunk();
    if ((control & 8) != 0 || chunk.size() % 3 == 0) {
      chunk.insert(chunk.end(), kDocumentLine, kDocumentLine + sizeof kDocumentLine - 1);
    }
    const std::string c(chunk.begin(), chunk.end());
    if (state == 1) {
      state = filter.feed(chunk.data(), chunk.size());
      stream += c;
      require(state == 1 || state == 4 || state == 8, "filter state");
      require(std::string(filter.data().begin(), filter.data().end()) == stream, "filter buffer");
      const auto header = filter.compose();
      require(header.has_value() == (state == 4), "header only when complete");
      if (header) {
        require(header->rfind("\x1b%-12345X", 0) == 0, "header starts with the exit sequence");
        require(header->size() >= 2 && header->substr(header->size() - 2) == "\r\n",
                "header ends with a line end");
        require(header->size() <= 9 + 8 * (255 + 2) + 64, "header bounded");
      }
    }
    // The detector against a plain search of its window and the chunk: only the plug-in's
    // trailer counts.
    const char* trailer = "\x1b%-12345X@PJL EOJ\r\n";
    const std::string window = tail + c.substr(0, 256);
    const bool expected = contains(window, trailer) || contains(c, trailer);
    require(detector.check(chunk.data(), chunk.size()) == expected, "end-of-job detector");
    if (!expected) {
      tail += c;
      if (tail.size() > 256) tail.erase(0, tail.size() - 256);
    }
    if ((control & 4) != 0 && in.done()) path.expectTrailer();  // the last chunk may end it
    std::size_t reported = 0;
    if (!path.write(host, chunk.data(), chunk.size(), &reported)) {
      require(!path.encrypting() && !path.collecting(), "idle after a failure");
    }
    require(reported <= host.spooled.size(), "reported bytes were written");
    require(!contains(host.spooled, kDocumentMark), "document bytes in clear");
  }
  // The end of the document leaves nothing open, whatever it finished.
  std::size_t reported = 0;
  path.finish(host, &reported);
  require(!path.encrypting() && !path.collecting(), "idle at the end of the document");
  require(reported <= host.spooled.size(), "reported bytes were written");
  require(!contains(host.spooled, kDocumentMark), "document bytes in clear");
  return 0;
}
