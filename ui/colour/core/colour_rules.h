// What the colour page and its detail dialogs show for a state: which controls are enabled,
// shown or ticked, which row of the user-setting list stands for the custom colour selection,
// and what the colour-sample tool's registered install value may be. Pure rules, so that they
// are table-tested without a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vex {

// Colour modes: the option index of the driver's colour-control feature.
inline constexpr std::uint32_t kColourModeAuto = 0;
inline constexpr std::uint32_t kColourModeOffice = 1;
inline constexpr std::uint32_t kColourModePicture = 2;
inline constexpr std::uint32_t kColourModeNoMatching = 3;
inline constexpr std::uint32_t kColourModeGreyscale = 4;
inline constexpr std::uint32_t kColourModeCount = 5;

// A stored mode beyond the five shows as "automatic": the page always has one radio ticked.
std::uint32_t shownColourMode(std::uint32_t mode);

struct ColourPageView {
  std::uint32_t mode = 0;       // the radio button ticked (0..4)
  bool officeDetails = false;   // "详细资料(&E)..."
  bool pictureDetails = false;  // "详细资料(&L)..."
  bool tonerSave = false;
  bool operator==(const ColourPageView&) const = default;
};
ColourPageView colourPageView(std::uint32_t mode);

// The office colour details' user-setting box and list for the selection value and the list's
// item data (row order).
struct UserSettingView {
  int row = -1;                  // the list row shown selected; -1 for an empty list
  std::uint32_t selection = 0;   // the selection value after the refresh
  bool styleListEnabled = true;  // the colour-setting list: only while the user setting is off
  bool userListEnabled = false;  // the user-setting list: only while it is on
  bool checkEnabled = false;     // the box: only when the list has rows
  bool checked = false;          // ticked when the list has rows and the setting is on
  bool operator==(const UserSettingView&) const = default;
};
UserSettingView userSettingView(std::uint32_t selection, std::span<const std::uint16_t> itemData);

// The advanced picture details for the matching method M, the CMYK profile choice L, the
// output-profile selection and the preserve-black selection.
struct PictureDetailsView {
  bool profileControls = false;            // 1656..1677 shown and enabled (M 0 or 1)
  bool cmykControls = false;               // 1680..1684 shown (M 0)
  bool simulationControls = false;         // 1690, 1691 shown (M 1)
  bool flow[4] = {};                       // pictures 1695..1698 shown
  std::uint32_t method = 0;                // radio 1651 + method ticked
  std::optional<std::uint32_t> cmykRadio;  // radio 1681 + this ticked, when 1695 is shown
  bool preserveBlackEnabled = false;       // 1677
  bool cmykInputEnabled = false;           // 1680
  bool linkEnabled = false;                // 1684
  bool preserveBlackTicked = false;        // set only while 1677 is enabled
  bool renderDictEnabled = false;          // 1663, 1664 (never re-enabling hidden ones)
  bool operator==(const PictureDetailsView&) const = default;
};
PictureDetailsView pictureDetailsView(std::uint32_t method, std::uint32_t cmykProfile,
                                      std::uint32_t outProfile, std::uint32_t preserveBlack);

// The install folder of the colour-sample tool from the registry value "install" as read into a
// buffer of at most kSwatchInstallBytes bytes: only a string value counts; the text ends at its
// first NUL or at the data's end (an odd last byte is not a character); an empty text, a value
// of another type, or one that did not fit the buffer (`complete` false) counts as missing.
inline constexpr std::size_t kSwatchInstallBytes = 2048;
inline constexpr std::uint32_t kRegistryString = 1;  // REG_SZ
std::optional<std::u16string> swatchInstallFolder(std::uint32_t valueType,
                                                  std::span<const std::uint8_t> data,
                                                  bool complete);
// The program to start: the folder and "\swatch.exe" (no doubled separator).
std::u16string swatchProgramPath(std::u16string_view folder);

}  // namespace vex
