// The page-setup values the procedure set reads from globaldict, and the resource files sent
// ahead of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

// Keys of the plug-in INI file's "DependentFiles" section naming the resource files.
inline constexpr std::string_view kProcsetKey = "PROCSET_JP";
inline constexpr std::string_view kOverlayResourceKey = "OVERLAY_JP";
inline constexpr std::string_view kOverprintResourceKey = "OVERPRT_JP";

// Bytes per injection write of a resource file.
inline constexpr std::size_t kResourceBlockBytes = 1024;

// The keys of the resource files to send, in order, for the features' current options.
std::vector<std::string_view> resourceKeys(std::string_view overlayOption,
                                           std::string_view overprintOption);

// A resource file name from the INI file: a bare file name (no folder part, no drive, no
// control characters), so the value cannot send files from elsewhere into the job.
bool isResourceFileName(std::u16string_view name);

struct PageSetupInputs {
  std::uint8_t nupSelection = 0;
  std::uint8_t orientation = 0;
  std::int16_t dmColor = 0;
  bool icCard = false;
};

// The values as the sequence of injection writes (definition, then " put \r\n\n", per value).
std::vector<std::string> pageSetupWrites(const PageSetupInputs& inputs);

}  // namespace vex
