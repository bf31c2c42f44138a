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

// The largest page number a page hands over: a printer's integers are 32-bit signed.
inline constexpr std::uint32_t kMaxPageNumber = 0x7fffffff;

// The line of a page's setup that gives the page's own number (1-based, at most
// kMaxPageNumber) to the overlay and watermark procedures as globaldict's /VX@PageNumber, so
// that what a page gets (first, odd, even or listed pages) does not depend on the pages printed
// before it. In global VM, so a page's restore before its showpage does not undo it.
std::string pageNumberLine(std::uint32_t page);

}  // namespace vex
