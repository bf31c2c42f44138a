#include "colour_rules.h"

#include <algorithm>

#include "custom_colour_settings.h"

namespace vex {

std::uint32_t shownColourMode(std::uint32_t mode) {
  return mode < kColourModeCount ? mode : kColourModeAuto;
}

ColourPageView colourPageView(std::uint32_t mode) {
  ColourPageView view;
  view.mode = shownColourMode(mode);
  view.officeDetails = view.mode == kColourModeOffice;
  view.pictureDetails = view.mode == kColourModePicture;
  view.tonerSave = view.mode != kColourModeGreyscale;
  return view;
}

UserSettingView userSettingView(std::uint32_t selection, std::span<const std::uint16_t> itemData) {
  UserSettingView view;
  const std::uint16_t wanted = customColourItemData(selection);
  const auto match = std::find(itemData.begin(), itemData.end(), wanted);
  if (match != itemData.end()) {
    view.row = static_cast<int>(match - itemData.begin());
    view.selection = selection;
  } else if (!itemData.empty()) {
    view.row = 0;
    view.selection = customColourSelection(itemData.front(), false);
  } else {
    // Nothing to choose: the setting cannot be in use; the id stays for a later file.
    view.selection = withCustomColourInUse(selection, false);
  }
  const bool inUse = customColourInUse(view.selection);
  view.styleListEnabled = !inUse;
  view.userListEnabled = inUse;
  view.checkEnabled = !itemData.empty();
  view.checked = !itemData.empty() && inUse;
  return view;
}

PictureDetailsView pictureDetailsView(std::uint32_t method, std::uint32_t cmykProfile,
                                      std::uint32_t outProfile, std::uint32_t preserveBlack) {
  PictureDetailsView view;
  const bool icc = method == 0;
  const bool emulation = method == 1;
  view.method = method;
  view.profileControls = icc || emulation;
  view.cmykControls = icc;
  view.simulationControls = emulation;
  view.flow[0] = icc;
  view.flow[1] = emulation || (icc && cmykProfile == 0);
  view.flow[2] = emulation;
  view.flow[3] = icc && cmykProfile == 1;
  if (icc && cmykProfile <= 1) view.cmykRadio = cmykProfile;
  const bool linkProfile = icc && cmykProfile == 1;
  // Hidden controls stay disabled: only what is shown is enabled again.
  view.preserveBlackEnabled = view.profileControls && !linkProfile;
  view.cmykInputEnabled = view.cmykControls && !linkProfile;
  view.linkEnabled = view.cmykControls && linkProfile;
  view.preserveBlackTicked = preserveBlack == 0;
  view.renderDictEnabled = view.profileControls && outProfile != 0;
  return view;
}

std::optional<std::u16string> swatchInstallFolder(std::uint32_t valueType,
                                                  std::span<const std::uint8_t> data,
                                                  bool complete) {
  if (valueType != kRegistryString || !complete) return std::nullopt;
  const std::size_t bytes = std::min(data.size(), kSwatchInstallBytes);
  std::u16string folder;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == u'\0') break;
    folder.push_back(c);
  }
  if (folder.empty()) return std::nullopt;
  return folder;
}

std::u16string swatchProgramPath(std::u16string_view folder) {
  std::u16string path(folder);
  if (path.empty() || (path.back() != u'\\' && path.back() != u'/')) path += u'\\';
  return path + u"swatch.exe";
}

}  // namespace vex
