#include "property_item_rules.h"

#include <algorithm>

namespace vex {
namespace {

struct KeywordRow {
  std::string_view keyword;
  SlotBinding binding;
};

constexpr SlotBinding hidden(int slot, std::uint16_t help = 0) { return {slot, help, true, true}; }
constexpr SlotBinding helpOnly(std::uint16_t help) { return {-1, help, false, false}; }

// Every keyword the document tree binds. Keywords are compared whole and case-sensitively, so one
// table answers for all three groups of features; "VXHairLine" belongs to two of them with the
// same effect.
constexpr KeywordRow kKeywords[] = {
    {"VXOutputMode", hidden(25, 802)},
    {"VXCollate", hidden(30, 807)},
    {"OutputBin", hidden(31, 808)},
    {"VXStaple", hidden(32, 822)},
    {"VXMediaType", helpOnly(423)},
    {"VXManualFeed", helpOnly(603)},
    {"TraySwitch", helpOnly(601)},
    {"VXPageSizeCheck", helpOnly(604)},
    {"VXEnvRotate", helpOnly(2201)},
    {"VXHDDSpool", hidden(35, 1211)},
    {"VXDrumClean", hidden(34, 1203)},
    {"VXJob_Type", hidden(28)},
    {"VXOverlay", hidden(38)},
    {"VXControl", hidden(11)},
    {"VXSeparationorder", hidden(12)},
    {"VXOverPrint", hidden(13)},
    {"VXProcessMode", hidden(14)},
    {"VXBlackSubstitution", hidden(16)},
    {"VXHalftoneMode", hidden(24)},
    {"VXAlwaysPrnHT", hidden(17)},
    {"VXColorRenderStyle", hidden(18)},
    {"VXColorRenderDict", hidden(19)},
    {"VXTargetColor", hidden(21)},
    {"VXTone", helpOnly(1302)},
    {"VXHairLine", hidden(73)},
    {"VXPunch", hidden(41, 823)},
    {"VXBindPosition", hidden(42, 824)},
    {"VXBlackSubGra", hidden(69)},
    {"VXColorICMS", hidden(56)},
    {"VXCMYKProfile", hidden(57)},
    {"VXRGBProfile", hidden(58)},
    {"VXCMYKInputProfile", hidden(59)},
    {"VXCMYKLinkProfile", hidden(60)},
    {"VXOutProfile", hidden(61)},
    {"VXSimProfile", hidden(62)},
    {"VXPureBlack", hidden(63)},
    {"VXPreserveBlack", hidden(64)},
    {"VXColorMatch", hidden(65)},
    {"VXResolution", hidden(67)},
    {"VXImageSmoothing", hidden(68)},
    {"VXTrapping", hidden(76)},
    {"VXScreenObo", hidden(72)},
};

constexpr std::array<InstallableOption, 8> kInstallable = {{
    {"VXHDD", 2213, 3, 0},
    {"VXOptionDuplex", 2204, 5, 1},
    {"VXOptionTray", 2203, 6, 2},
    {"InstalledMemory", 2207, 7, 3},
    {"VXFinisher", 2206, 8, 4},
    {"VXOptionMPF", 2209, 9, 5},
    {"VXPunchUnit", 2211, 10, 6},
    {"VXJobLimit", 2212, 11, 7},
}};

std::optional<SlotBinding> standardItemBinding(std::uint32_t id) {
  switch (id) {
    case dmpub::kOrientation: return SlotBinding{kOrientationSlot, 0, false, false};
    case dmpub::kColor: return SlotBinding{10, 0, false, false};
    case dmpub::kDuplex: return SlotBinding{43, 0, false, false};
    case dmpub::kNup: return SlotBinding{kNupSlot, 0, false, false};
    case dmpub::kScale: return hidden(33);
    case dmpub::kCopiesCollate: return hidden(29);
    case dmpub::kPrintQuality: return hidden(67);
    default: return std::nullopt;
  }
}

bool isIgnoredStandardItem(std::uint32_t id) {
  switch (id) {
    case dmpub::kDefaultSource:
    case dmpub::kTrueTypeOption:
    case dmpub::kIcmMethod:
    case dmpub::kIcmIntent:
    case dmpub::kMediaType:
    case dmpub::kDitherType:
    case dmpub::kPageOrder:
      return true;
    default:
      return false;
  }
}

}  // namespace

DocumentItemRole documentItemRole(const DocumentItemFacts& item) {
  DocumentItemRole role;
  if (auto standard = standardItemBinding(item.dmPubId)) {
    role.bindings.push_back(*standard);
    return role;
  }
  if (item.dmPubId == dmpub::kFormName) {
    role.hidePapers = true;
    return role;
  }
  if (isIgnoredStandardItem(item.dmPubId)) return role;
  // DMPUB_NONE, DMPUB_OUTPUTBIN, DMPUB_QUALITY and the identifiers above the standard ones are
  // the driver's own and PPD features: recognised by identifier, name and keyword.
  if (item.itemId == kOverlayFollowerItemId) {
    role.bindings.push_back({kOverlayFollowerSlot, 0, false, false});
  }
  if (item.nameResource == kMirrorImageName) role.bindings.push_back(hidden(36));
  if (item.nameResource == kNegativeImageName) role.bindings.push_back(hidden(37));
  if (!item.keyword) return role;
  for (const KeywordRow& row : kKeywords) {
    if (row.keyword == *item.keyword) {
      role.bindings.push_back(row.binding);
      break;
    }
  }
  return role;
}

std::vector<std::u16string> hiddenPaperNames(std::u16string_view value) {
  std::vector<std::u16string> names;
  std::size_t start = 0;
  for (std::size_t piece = 0; start <= value.size() && piece < kMaxHiddenPapers; ++piece) {
    std::size_t comma = value.find(u',', start);
    if (comma == std::u16string_view::npos) comma = value.size();
    const std::u16string_view name = value.substr(start, comma - start);
    if (!name.empty() && name.size() <= kMaxPaperNameChars) names.emplace_back(name);
    start = comma + 1;
  }
  return names;
}

std::vector<int> writeBackOrder(std::uint32_t stapleValue, std::uint32_t punchValue) {
  std::vector<int> order = {11, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22,
                            23, 25, 33, 28, 29, 30, 36, 37, 35, 34, 73};
  // The finisher needs its bin chosen first when it staples or punches.
  if (stapleValue != 0 || punchValue != 0) {
    order.insert(order.end(), {31, 32, 41});
  } else {
    order.insert(order.end(), {32, 41, 31});
  }
  order.insert(order.end(),
               {42, 69, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 67, 68, 72, 76, kOverlaySlot});
  return order;
}

const std::array<InstallableOption, 8>& installableOptions() { return kInstallable; }

const InstallableOption* installableOptionFor(std::string_view keyword) {
  const auto it = std::find_if(kInstallable.begin(), kInstallable.end(),
                               [&](const InstallableOption& o) { return o.keyword == keyword; });
  return it == kInstallable.end() ? nullptr : &*it;
}

const InstallableOption* installableOptionForUserItem(std::uint32_t userItemId) {
  const auto it = std::find_if(kInstallable.begin(), kInstallable.end(),
                               [&](const InstallableOption& o) { return o.userItemId == userItemId; });
  return it == kInstallable.end() ? nullptr : &*it;
}

}  // namespace vex
