// A job-information library for the tests that answers with one PJL comment echoing the request
// it was given and the calls it received since it was loaded ("2?" a version-2 size query, "0f"
// a version-0 fill, ...), so that both can be checked in the job. For a printer whose name
// contains "Refuse" it answers 3 to every version-2 call; "Hostile" adds lines that must not
// reach a PJL header; "Huge" reports a size of almost 4 GiB and fills any buffer its text fits.
// "Raise" raises a software exception that it does not handle; "Probe" first reads an address
// that is not mapped through a system function that handles its own fault, and reports its
// answer as "|probe=1".
#include <windows.h>

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
bool hasWord(const char* printerName, const char* word) {
  return field(printerName).find(word) != std::string::npos;
}

std::string extraLines(const char* printerName) {
  if (!hasWord(printerName, "Hostile")) return {};
  return std::string("\x1b%-12345X@PJL SET HOSTILE=1\r\n") +  // an exit sequence
         "@PJL SET HOSTILE=2\n" +                             // LF only
         "@PJL SET HOSTILE=3\x01\r\n" +                       // a control byte
         "%!PS HOSTILE=4\r\n" +                               // not PJL
         "@PJL ENTER LANGUAGE=POSTSCRIPT\r\nHOSTILE=5 showpage\r\n" + "@PJL EOJ HOSTILE=6\r\n" +
         "@PJL COMMENT KEPT\r\n" + "@PJL SET HOSTILE=7";
}

}  // namespace

extern "C" __declspec(dllexport) int __cdecl GetJobInfoCmd(std::uint32_t version,
                                                           const JobInfoRequest* request,
                                                           char* buffer, std::uint32_t* size) {
  if (request == nullptr || size == nullptr) return 2;
  if (hasWord(request->printerName, "Raise")) {
    RaiseException(0xE0564558u, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  }
  std::string probe;
  if (hasWord(request->printerName, "Probe")) {
    probe = "|probe=" + std::to_string(IsBadReadPtr(reinterpret_cast<void*>(16), 4));
  }
  g_calls += std::to_string(version) + (buffer == nullptr ? "?" : "f") + ",";
  if (version == 2 && field(request->printerName).find("Refuse") != std::string::npos) return 3;
  const std::string text = "@PJL COMMENT REQUEST version=" + std::to_string(version) +
                           "|printer=" + field(request->printerName) +
                           "|config=" + field(request->configPath) +
                           "|job=" + std::to_string(request->jobId) +
                           "|pages=" + std::to_string(request->pagesPerSheet) +
                           "|app=" + (version == 2 ? field(request->applicationName) : "-") +
                           "|calls=" + g_calls + probe + "\r\n" + extraLines(request->printerName);
  if (buffer == nullptr) {
    // Room for the calls still to come; the text ends at its zero.
    *size = hasWord(request->printerName, "Huge")
                ? 0xFFFFFFF0u
                : static_cast<std::uint32_t>(text.size() + 1 + 64);
    return 1;
  }
  if (*size < text.size() + 1) return 2;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return 0;
}
