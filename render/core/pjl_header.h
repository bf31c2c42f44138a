// The PJL job header and trailer the rendering plug-in writes around every PostScript job.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

inline constexpr std::string_view kUniversalExit = "\x1b%-12345X";
inline constexpr std::string_view kJobTrailer = "\x1b%-12345X@PJL EOJ\r\n";
inline constexpr std::string_view kEnterPostScript = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";

// "Normal" 0, "Secure" 1, "Spool" 2, "Secure_Chip" 3, anything else 0.
int jobTypeIndex(std::string_view jobType);

// The FLATE level announced for a compression field value: 1 → 1, 2 → 6, 3 → 9; 0 (none) else.
int compressionLevel(std::uint16_t compression);

// The version in a "DriverVer" value: what follows the last comma within its first 32
// characters, up to a double quote or the end, at most 32 characters; empty without a comma.
// Control characters are dropped.
std::string driverVersionFromValue(std::u16string_view value);

// What the job lines may carry: a job name as a user can type it (printable ASCII without the
// double quote, at most 16 characters) and a password of digits (at most 4). Anything else in the
// record is dropped, so the header always has exactly its own lines.
std::string jobNameForHeader(std::u16string_view recordJobName);
std::string passwordForHeader(std::u16string_view recordPassword);

struct JobHeaderInputs {
  std::string jobType;          // effective job type
  bool hddSpool = false;        // "VXHDDSpool" is "True"
  std::string documentName;     // cleaned, ANSI
  std::string jobName;          // for Secure and Spool jobs
  std::string password;         // likewise
  bool icCardComments = false;  // IC-card printer and a "Secure_Chip" job
  std::string driverName;       // multibyte, at most 221 bytes
  std::string driverVersion;
  std::string jobInfoBlock;  // the job-information library's text, written unchanged
  std::uint16_t compression = 0;
};

struct HeaderWrite {
  std::string bytes;
  bool counts = true;  // its result is part of the header's (the library's block is not)
};

// The header as the sequence of writes that make it, in order.
std::vector<HeaderWrite> jobHeaderWrites(const JobHeaderInputs& inputs);

}  // namespace vex
