// What the pages read from the driver beyond their feature slots: a feature's current option by
// keyword, the option names of an item in the item's order, and the range of a number item.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "oem/oem_platform.h"
#include "property_contexts.h"

namespace vex {

// Feature values are at most this many bytes, the terminator included.
inline constexpr DWORD kDriverSettingBytes = 64;

// The current option keyword of the driver feature `keyword` ("VXHDD", "VXFinisher",
// "VXJobLimit", "VXPunchUnit", "PageSize", "Duplex"), through the driver's DrvGetDriverSetting;
// absent when the context has no UI object or the driver does not answer. A value that fills
// the whole buffer is cut at the bound.
std::optional<std::string> readDriverSetting(const DocumentContext& context, const char* keyword);

// Shown for an option whose name is a resource number the driver's module does not have.
std::wstring missingOptionName(std::uint32_t resourceNumber);

// One row per option of the item, in the item's order, so that row k is option k: the option's
// text (cut to 128 characters), a name given as a resource number loaded from the driver's
// module, else missingOptionName; an option without any name is an empty row.
std::vector<std::wstring> optionNames(const OPTITEM& item, HMODULE driverModule);

// The module that holds the driver's procedures: the one whose string resources name its items.
HMODULE driverModuleOf(const DocumentContext& context);

// A number item's range (TVOT_UDARROW and TVOT_TRACKBAR keep it in their second parameter).
struct ItemRange {
  LONG minimum = 0;
  LONG maximum = 0;
};
std::optional<ItemRange> numberItemRange(const OPTITEM& item);
// Sets the maximum of a number item (the copies item goes to 999); false when it has no range.
bool setNumberItemMaximum(OPTITEM& item, LONG maximum);

}  // namespace vex
