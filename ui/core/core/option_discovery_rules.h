// Rules of the installable-option discovery over plain values: what the extension libraries' data
// files and the option file say about a printer, the eight values that become the selections of
// the printer tree's installable-option items, and the keyword texts recorded in the printer's
// "FeatureKeyword" block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vex {

// The five values of a printer's section in a data file (or the option file).
struct OptionDataValues {
  std::int32_t installed = 0;          // "Installed": bit flags
  std::int32_t memory = 0;             // "Random Access Memory" (or "RAM" as text), megabytes
  std::int32_t sdCard = 0;             // "SD Card" (bit 8 of "Installed" for the USB data file)
  std::int32_t punchType = 0;          // "PunchType": 0 none, 1..3
  std::int32_t jobLimitationMode = 0;  // "JobLimitationMode"
};

// Bits of "Installed".
inline constexpr std::uint32_t kInstalledTrayBits = 0x0F;
inline constexpr std::uint32_t kInstalledMpf = 0x10;
inline constexpr std::uint32_t kInstalledDuplex = 0x20;
inline constexpr std::uint32_t kInstalledFinisher = 0x40;
inline constexpr std::uint32_t kInstalledSdCard = 0x100;  // USB data file only

// Indexes of the discovery result, in the order of the printer tree's installable-option items.
enum DiscoveryIndex : std::size_t {
  kDiscoveredHdd = 0,
  kDiscoveredDuplex = 1,
  kDiscoveredTray = 2,
  kDiscoveredMemory = 3,
  kDiscoveredFinisher = 4,
  kDiscoveredMpf = 5,
  kDiscoveredPunch = 6,
  kDiscoveredJobLimit = 7,
};
inline constexpr std::size_t kDiscoveryValueCount = 8;
using DiscoveryResult = std::array<std::uint32_t, kDiscoveryValueCount>;

// Memory figures beyond this bound are read as the bound (a data file can hold any digits).
inline constexpr std::int32_t kNumberBound = 0x7FFFFFFF;

// A signed decimal number after leading blanks (spaces and tabs), as far as digits go; nullopt
// when no digit follows. Values beyond +-kNumberBound are held at the bound.
std::optional<std::int32_t> readSignedDecimal(std::string_view text);
std::optional<std::int32_t> readSignedDecimal(std::u16string_view text);

// The memory of the USB data file's "RAM" text; 0 when it holds no number.
std::int32_t memoryFromRamText(std::string_view text);

// The values of the USB data file: the SD card comes from bit 8 of "Installed".
OptionDataValues usbDataValues(std::int32_t installed, std::string_view ramText,
                               std::int32_t punchType, std::int32_t jobLimitationMode);

// Tray count for the highest set bit among bits 3..0: 4, 3, 2 or 1; 0 when none is set.
std::uint32_t trayCount(std::int32_t installed);

// An option text of the driver's memory item, as far as the tree lets it be read: nullopt for an
// option without a text.
using OptionText = std::optional<std::u16string_view>;

// Index of the first option whose text, less its last three characters (" MB"), reads as
// `memory`; 0 when none does. A text that holds no number never matches.
std::uint32_t memoryOptionIndex(std::int32_t memory, const std::vector<OptionText>& optionTexts);

// The eight discovery values. On platforms of version 6 or later the job-limit value is 1.
DiscoveryResult discoveryResult(const OptionDataValues& values, std::uint32_t memoryIndex,
                                bool osVersion6OrLater);

// True when the printer's port name begins with "USB" in any letter case; a null name is not.
bool isUsbPort(const char* portName);

// The (keyword, option text) pairs recorded from the option file, in the order they are set.
// "InstalledMemory" is left out unless the memory is a positive number of megabytes.
std::vector<std::pair<std::string, std::string>> optionFileKeywords(const OptionDataValues& values,
                                                                    bool osVersion6OrLater);

}  // namespace vex
