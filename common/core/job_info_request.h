// The request that the rendering plug-in passes by address to the job-information library's
// "GetJobInfoCmd". A wire format between two separately built modules: natural layout, which in
// the 32-bit build is five 4-byte fields at offsets 0, 4, 8, 12 and 16.
#pragma once

#include <cstddef>
#include <cstdint>

struct JobInfoRequest {
  const char* printerName;      // system ANSI code page, zero-terminated
  const char* configPath;       // ANSI, zero-terminated
  std::uint32_t jobId;          // spooler job id
  std::uint32_t pagesPerSheet;  // 1, 2, 4, 6, 9 or 16
  const char* applicationName;  // at most 61 bytes with the terminator; null in a version-0 call
};

#if UINTPTR_MAX == 0xFFFFFFFF
static_assert(sizeof(JobInfoRequest) == 20, "JobInfoRequest is 20 bytes in the 32-bit build");
static_assert(offsetof(JobInfoRequest, printerName) == 0);
static_assert(offsetof(JobInfoRequest, configPath) == 4);
static_assert(offsetof(JobInfoRequest, jobId) == 8);
static_assert(offsetof(JobInfoRequest, pagesPerSheet) == 12);
static_assert(offsetof(JobInfoRequest, applicationName) == 16);
#endif
