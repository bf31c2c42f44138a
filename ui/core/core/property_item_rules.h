// What the driver's option items mean to the plug-in: which feature slot an item of the
// document tree fills, which help number it gets and whether the plug-in's own pages replace it;
// the papers to hide; the order in which the pages' choices go back to the driver; and the
// installable options of the printer tree.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

inline constexpr int kSlotCount = 80;
inline constexpr std::uint32_t kNoItem = 0xFFFF;  // itemIndex of a slot the driver has no item for

// Standard item identifiers of the common UI (DMPUB_*).
namespace dmpub {
inline constexpr std::uint32_t kNone = 0, kOrientation = 1, kScale = 2, kCopiesCollate = 3,
                               kDefaultSource = 4, kPrintQuality = 5, kColor = 6, kDuplex = 7,
                               kTrueTypeOption = 8, kFormName = 9, kIcmMethod = 10,
                               kIcmIntent = 11, kMediaType = 12, kDitherType = 13,
                               kOutputBin = 14, kQuality = 15, kNup = 16, kPageOrder = 17;
}

// The driver's names for the mirror- and negative-image items (string resources of the driver).
inline constexpr std::uint32_t kMirrorImageName = 423;
inline constexpr std::uint32_t kNegativeImageName = 424;
// The driver item whose USERDATA identifier is this one follows the overlay choice.
inline constexpr std::uint64_t kOverlayFollowerItemId = 25;

// One effect of an item on the plug-in's bookkeeping. slot < 0: only a help number.
struct SlotBinding {
  int slot = -1;
  std::uint16_t help = 0;    // 0: none
  bool hide = false;         // the plug-in's pages show it instead of the driver's tree
  bool recordValue = false;  // itemValue keeps the item's selection
  bool operator==(const SlotBinding&) const = default;
};

// What the plug-in knows of one driver item of the document tree.
struct DocumentItemFacts {
  std::uint32_t dmPubId = dmpub::kNone;
  std::optional<std::uint64_t> itemId;     // USERDATA identifier, when the item has USERDATA
  std::uint32_t nameResource = 0;          // the item's name as a resource number; 0 for text
  std::optional<std::string_view> keyword;  // USERDATA keyword, when there is one
};

struct DocumentItemRole {
  bool hidePapers = false;  // the form-name item: its options are checked against HidePaperName
  std::vector<SlotBinding> bindings;
};

DocumentItemRole documentItemRole(const DocumentItemFacts& item);

// The "HidePaperName" value split at commas into at most 12 pieces; every piece counts, so a
// thirteenth is ignored however many of the first twelve are empty. A name longer than 63
// characters cannot be one the driver shows in full and is ignored, never shortened (a shortened
// name could hide a different paper); empty names hide nothing.
inline constexpr std::size_t kMaxHiddenPapers = 12;
inline constexpr std::size_t kMaxPaperNameChars = 63;
std::vector<std::u16string> hiddenPaperNames(std::u16string_view value);

// The slots whose values go back to the driver, in order; staple (32) and punch (41) decide
// whether the output bin (31) goes before or after them.
std::vector<int> writeBackOrder(std::uint32_t stapleValue, std::uint32_t punchValue);
// After the write-back: the overlay slot's value that also sets the slot-45 item, and to what.
inline constexpr int kOverlaySlot = 38;
inline constexpr int kOverlayFollowerSlot = 45;
inline constexpr std::uint32_t kOverlayFollowValue = 2;

// Document-tree slots outside the keyword table.
inline constexpr int kOrientationSlot = 26;
inline constexpr int kNupSlot = 40;
inline constexpr int kCompressionSlot = 55;

// The installable options of the printer tree.
struct InstallableOption {
  std::string_view keyword;
  std::uint16_t help;
  std::uint16_t userItemId;
  int valueIndex;  // into the eight values of an option discovery
};
const std::array<InstallableOption, 8>& installableOptions();
const InstallableOption* installableOptionFor(std::string_view keyword);
const InstallableOption* installableOptionForUserItem(std::uint32_t userItemId);

// The printer tree's collapsed group ("Installable Options", a string of the common UI).
inline constexpr std::uint32_t kInstallableOptionsName = 64798;
// The plug-in's own push button of the printer tree.
inline constexpr std::uint16_t kPushButtonUserItemId = 2;
inline constexpr std::uint16_t kPushButtonHelp = 2210;
inline constexpr std::uint16_t kJobLimitUserItemId = 11;

}  // namespace vex
