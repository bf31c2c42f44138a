// Arbitrary record texts and "DriverVer" values through the PJL header's text helpers, and the
// header they make for every job type: a job name keeps to printable ASCII without the quote
// (16 at most), a password to 4 digits, a version to 32 bytes without a control byte, and the
// plug-in's own writes stay whole PJL lines with the language switch last. Aborts on any
// broken invariant.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pjl_header.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "pjl_text_fuzz: invariant broken: %s\n", what);
    std::abort();
  }
}

std::u16string wide(const std::uint8_t* data, std::size_t bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) text.push_back(data[i] | data[i + 1] << 8);
  return text;
}

bool printable(char c) { return c >= 0x20 && c < 0x7F; }

// Whole lines: each starts with "@PJL ", holds printable bytes and ends in CR LF.
void requirePjlLines(const std::string& text, const char* what) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    require(end != std::string::npos, what);
    require(text.compare(at, 5, "@PJL ") == 0, what);
    for (std::size_t i = at; i < end; ++i) require(printable(text[i]), what);
    at = end + 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t third = size / 3;
  const std::u16string name = wide(data, third);
  const std::u16string password = wide(data + third, third);
  const std::u16string version = wide(data + 2 * third, size - 2 * third);

  const std::string jobName = vex::jobNameForHeader(name);
  require(jobName.size() <= 16, "job name longer than 16");
  for (char c : jobName) require(printable(c) && c != '"', "job name character");
  const std::string digits = vex::passwordForHeader(password);
  require(digits.size() <= 4, "password longer than 4");
  for (char c : digits) require(c >= '0' && c <= '9', "password character");
  const std::string driverVersion = vex::driverVersionFromValue(version);
  require(driverVersion.size() <= 32, "version longer than 32");
  for (char c : driverVersion) require(printable(c), "version character");

  for (const char* type : {"Normal", "Secure", "Spool", "Secure_Chip"}) {
    vex::JobHeaderInputs in;
    in.jobType = type;
    in.hddSpool = size % 2 == 0;
    in.documentName = "Doc";
    in.jobName = jobName;
    in.password = digits;
    in.icCardComments = size % 3 == 0;
    in.driverName = "VEX Demo Color PS";
    in.driverVersion = driverVersion;
    in.compression = size > 0 ? data[0] % 5 : 0;
    const std::vector<vex::HeaderWrite> writes = vex::jobHeaderWrites(in);
    require(writes.size() >= 3, "header too short");
    require(writes.front().bytes == "\x1b%-12345X", "header does not start with the exit");
    require(writes.back().bytes == "@PJL ENTER LANGUAGE=POSTSCRIPT\n", "language switch not last");
    for (std::size_t i = 1; i + 1 < writes.size(); ++i) {
      requirePjlLines(writes[i].bytes, "a header write that is not whole PJL lines");
    }
  }
  return 0;
}
