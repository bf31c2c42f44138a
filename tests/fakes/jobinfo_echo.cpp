// A job-information library for the tests that answers with one PJL comment echoing the request
// it was given and the calls it received since it was loaded ("2?" a version-2 size query, "0f"
// a version-0 fill, ...), so that both can be checked in the job. For a printer whose name
// contains "Refuse" it answers 3 to every version-2 call.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "job_info_request.h"

namespace {
std::string g_calls;

std::string field(const char* text) {
  if (text == nullptr) return "(null)";
  return std::string(text, strnlen(text, 256));
}
}  // namespace

extern "C" __declspec(dllexport) int __cdecl GetJobInfoCmd(std::uint32_t version,
                                                           const JobInfoRequest* request,
                                                           char* buffer, std::uint32_t* size) {
  if (request == nullptr || size == nullptr) return 2;
  g_calls += std::to_string(version) + (buffer == nullptr ? "?" : "f") + ",";
  if (version == 2 && field(request->printerName).find("Refuse") != std::string::npos) return 3;
  const std::string text = "@PJL COMMENT REQUEST version=" + std::to_string(version) +
                           "|printer=" + field(request->printerName) +
                           "|config=" + field(request->configPath) +
                           "|job=" + std::to_string(request->jobId) +
                           "|pages=" + std::to_string(request->pagesPerSheet) +
                           "|app=" + (version == 2 ? field(request->applicationName) : "-") +
                           "|calls=" + g_calls + "\r\n";
  if (buffer == nullptr) {
    // Room for the calls still to come; the text ends at its zero.
    *size = static_cast<std::uint32_t>(text.size() + 1 + 64);
    return 1;
  }
  if (*size < text.size() + 1) return 2;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return 0;
}
