#include "job_info_block.h"

#include <winspool.h>

#include <cstring>
#include <new>
#include <vector>

#include "app_channel.h"
#include "app_name_consumer.h"
#include "driver_paths.h"
#include "job_info_request.h"
#include "job_info_text.h"
#include "outside_library.h"
#include "text_convert.h"

namespace vex {
namespace {

using GetJobInfoCmdFn = int(__cdecl*)(std::uint32_t version, JobInfoRequest* request, char* buffer,
                                      std::uint32_t* size);

constexpr int kAnswerSize = 1;
constexpr int kAnswerFilled = 0;
constexpr int kAnswerNoVersion2 = 3;
// The most the plug-in allocates for the library's text: far above any real block (a few hundred
// bytes) and above what a library may add to its size (the companion up to 64 KiB). A library
// asking for more gets this much and still fills its text when it fits.
constexpr std::uint32_t kMaxBlockBytes = 1024 * 1024;

std::wstring libraryPath(const wchar_t* name) {
  wchar_t directory[255] = L"";  // 510 bytes
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                  sizeof(directory), &needed)) {
    return {};
  }
  const std::wstring file = boundedWide(name, 128);
  // Like every other configured library: a bare name in the driver's own folder, never a path
  // that leads elsewhere into the spooler.
  if (!isBareFileName(toU16(file))) return {};
  return boundedWide(directory, 255) + L"\\3\\" + file;
}

}  // namespace

std::string jobInformationBlock(HANDLE printer, const JobInfoRecord& job,
                                std::uint8_t nupSelection) {
  const std::wstring path = libraryPath(job.libraryName);
  if (path.empty()) return {};
  OutsideLibrary library(path);
  const auto getJobInfoCmd = library.entry<GetJobInfoCmdFn>("GetJobInfoCmd");
  if (getJobInfoCmd == nullptr) return {};

  // Anyone can fill the section or connect to the pipe first: only printable text is passed on.
  const std::wstring received = receiveApplicationName(printer, job.jobId);
  const std::string applicationName =
      toUserLocaleMultibyte(toWide(printableApplicationName(toU16(received))), kAppNameChars);
  JobInfoRequest request{};
  request.printerName = job.printerName;
  request.configPath = job.configFilePath;
  request.jobId = job.jobId;
  request.pagesPerSheet = pagesPerSheet(nupSelection);
  request.applicationName = applicationName.c_str();

  std::uint32_t size = 0;
  std::uint32_t version = 2;
  int answer = getJobInfoCmd(2, &request, nullptr, &size);
  if (answer == kAnswerNoVersion2) {
    version = 0;
    request.applicationName = nullptr;
    answer = getJobInfoCmd(0, &request, nullptr, &size);
  } else {
    answer = getJobInfoCmd(2, &request, nullptr, &size);
  }
  if (answer != kAnswerSize || size == 0) return {};
  const std::uint32_t capacity = size < kMaxBlockBytes ? size : kMaxBlockBytes;
  std::vector<char> buffer;
  try {
    buffer.assign(std::size_t{capacity} + 1, '\0');  // one byte more: the text always ends
  } catch (const std::bad_alloc&) {
    return {};
  }
  std::uint32_t filled = capacity;
  if (getJobInfoCmd(version, &request, buffer.data(), &filled) != kAnswerFilled) return {};
  // The library is outside code: only clean PJL lines of its text reach the header.
  return acceptedJobInfoLines(std::string_view(buffer.data(), strnlen(buffer.data(), capacity)));
}

}  // namespace vex
