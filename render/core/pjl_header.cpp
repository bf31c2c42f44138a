#include "pjl_header.h"

namespace vex {

int jobTypeIndex(std::string_view jobType) {
  if (jobType == "Secure") return 1;
  if (jobType == "Spool") return 2;
  if (jobType == "Secure_Chip") return 3;
  return 0;
}

int compressionLevel(std::uint16_t compression) {
  switch (compression) {
    case 1:
      return 1;
    case 2:
      return 6;
    case 3:
      return 9;
    default:
      return 0;
  }
}

std::string driverVersionFromValue(std::u16string_view value) {
  const std::size_t scanned = value.size() < 32 ? value.size() : 32;
  std::string version;
  for (std::size_t i = 0; i < scanned; ++i) {
    if (value[i] != u',') continue;
    // The character after the comma is always taken; the rest up to a double quote.
    version.clear();
    for (std::size_t j = i + 1; j < value.size() && version.size() < 32; ++j) {
      if (j > i + 1 && value[j] == u'"') break;
      const char16_t c = value[j];
      if (c < 0x20 || c == 0x7F) continue;  // a control byte would end or break the comment line
      version.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
  }
  return version;
}

namespace {

std::string keepTyped(std::u16string_view text, std::size_t limit, bool (*allowed)(char16_t)) {
  std::string kept;
  for (char16_t c : text) {
    if (c == u'\0' || kept.size() == limit) break;
    if (allowed(c)) kept.push_back(static_cast<char>(c));
  }
  return kept;
}

}  // namespace

std::string jobNameForHeader(std::u16string_view recordJobName) {
  return keepTyped(recordJobName, 16,
                   [](char16_t c) { return c >= 0x20 && c < 0x7F && c != u'"'; });
}

std::string passwordForHeader(std::u16string_view recordPassword) {
  return keepTyped(recordPassword, 4, [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::vector<HeaderWrite> jobHeaderWrites(const JobHeaderInputs& in) {
  std::vector<HeaderWrite> writes;
  writes.push_back({std::string(kUniversalExit)});
  if (in.jobType == "Normal" && in.hddSpool) writes.push_back({"@PJL VEXSPOOL MODE=ALL\r\n"});
  switch (jobTypeIndex(in.jobType)) {
    case 1:
      writes.push_back({"@PJL VEXSECURE PASSWORD=" + in.password + "\r\n@PJL JOB NAME=\"" +
                        in.jobName + "\"\r\n"});
      break;
    case 2:
      writes.push_back({"@PJL VEXSECURE PASSWORD=" + in.password +
                        " PERMANENT=ON\r\n@PJL JOB NAME=\"" + in.jobName + "\"\r\n"});
      break;
    default:
      writes.push_back({"@PJL JOB NAME=\"" + in.documentName + "\"\r\n"});
      break;
  }
  if (in.icCardComments) {
    writes.push_back({"@PJL COMMENT Device Name :" + in.driverName + "\r\n"});
    writes.push_back({"@PJL COMMENT Version     :" + in.driverVersion + "\r\n"});
  }
  if (!in.jobInfoBlock.empty()) writes.push_back({in.jobInfoBlock, false});
  if (const int level = compressionLevel(in.compression); level != 0) {
    writes.push_back({"@PJL COMMENT COMPRESSION:FLATE LEVEL:" + std::to_string(level) + "\r\n"});
  }
  writes.push_back({std::string(kEnterPostScript)});
  return writes;
}

}  // namespace vex
