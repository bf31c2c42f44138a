// The job-information block of the PJL header: text the job-information library composes from
// the job and the printing application's name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "job_info_record.h"

namespace vex {

// The library's text for the job (up to its first zero byte, never past the size it reported);
// empty when the library, its entry point or one of its answers is missing.
std::string jobInformationBlock(HANDLE printer, const JobInfoRecord& job,
                                std::uint8_t nupSelection);

}  // namespace vex
