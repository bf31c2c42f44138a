// A job-information library for the tests that answers with one PJL comment echoing the request
// it was given, so that the request's fields can be checked in the job.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "job_info_request.h"

namespace {
std::string field(const char* text) {
  if (text == nullptr) return "(null)";
  return std::string(text, strnlen(text, 256));
}
}  // namespace

extern "C" __declspec(dllexport) int __cdecl GetJobInfoCmd(std::uint32_t version,
                                                           const JobInfoRequest* request,
                                                           char* buffer, std::uint32_t* size) {
  if (request == nullptr || size == nullptr) return 2;
  const std::string text = "@PJL COMMENT REQUEST version=" + std::to_string(version) +
                           "|printer=" + field(request->printerName) +
                           "|config=" + field(request->configPath) +
                           "|job=" + std::to_string(request->jobId) +
                           "|pages=" + std::to_string(request->pagesPerSheet) +
                           "|app=" + (version == 2 ? field(request->applicationName) : "-") +
                           "\r\n";
  if (buffer == nullptr) {
    *size = static_cast<std::uint32_t>(text.size() + 1);
    return 1;
  }
  if (*size < text.size() + 1) return 2;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return 0;
}
