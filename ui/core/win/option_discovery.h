// Discovery of the printer's installed options through the network and USB extension libraries:
// the values become the selections of the printer tree's installable-option items (in the order
// of DiscoveryIndex, option_discovery_rules.h). Nothing is shown to the user; a missing library,
// entry point, data file or printer section ends a discovery without values.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "oem/oem_platform.h"
#include "option_discovery_rules.h"

namespace vex {

// The push button: "ReadPrinterOptionFlag32" with 0x800080, then "GetDataFileName"; the values
// come from the printer's section of that file (wide profile API). Non-zero (the library's
// "GetDataFileName" answer) when `result` was filled.
BOOL networkDiscovery(POEMCUIPPARAM param, HWND sheet, DWORD result[kDiscoveryValueCount]);

// Page activation: a port beginning with "USB" asks the USB library, any other port the network
// library ("IsValidPort", "GetNetextCapability", "ReadPrinterOptionFlag32" with 0xA00000 answering
// exactly 1, "GetDataFileName"); the values come from the data file (ANSI profile API). True when
// `result` was filled.
bool localDiscovery(POEMCUIPPARAM param, HWND sheet, DWORD result[kDiscoveryValueCount]);

// Whether the push button is enabled: the network library's "IsValidPort" answer (0 when the
// library or the entry point is missing).
BOOL networkLibraryAnswers(POEMCUIPPARAM param);

// The option texts of the driver's memory item (the first item whose UserItemID is 7), as far as
// the tree holds them; empty when there is no such item. An option without a text (null, or a
// resource number instead of a pointer) is nullopt; texts are read within 128 characters.
std::vector<std::optional<std::wstring>> memoryOptionTexts(const OPTITEM* items, DWORD count);

inline constexpr BYTE kMemoryItemId = 7;

}  // namespace vex
