// The feature slots the colour page and its dialogs work on, and the few reads they share: is a
// feature present, its options' names for a list, a list filled and selected.
#pragma once

#include <windows.h>

#include "property_contexts.h"

namespace vex {

namespace colourslot {
inline constexpr int kColourMode = 11;  // "VXControl"
inline constexpr int kSeparationOrder = 12;
inline constexpr int kOverPrint = 13;
inline constexpr int kBlackSubstitution = 16;
inline constexpr int kAlwaysPrinterHalftone = 17;
inline constexpr int kRenderStyle = 18;
inline constexpr int kRenderDict = 19;
inline constexpr int kTargetColor = 21;
inline constexpr int kCalibration = 22;  // no feature is bound to it by the bridge
inline constexpr int kMatchingMethod = 56;
inline constexpr int kCmykProfile = 57;
inline constexpr int kRgbProfile = 58;
inline constexpr int kCmykInputProfile = 59;
inline constexpr int kCmykLinkProfile = 60;
inline constexpr int kOutProfile = 61;
inline constexpr int kSimProfile = 62;
inline constexpr int kPureBlack = 63;
inline constexpr int kPreserveBlack = 64;
inline constexpr int kColourMatch = 65;
inline constexpr int kResolution = 67;
inline constexpr int kBlackSubGrey = 69;
inline constexpr int kScreenObo = 72;
}  // namespace colourslot

// The driver has an item for the slot's feature.
bool featurePresent(const DocumentContext& context, int slot);

// Fills the drop-down list `listId` with the option names of the slot's item (row k is option
// k); an absent feature leaves the list empty. Returns the number of rows.
int fillFeatureList(HWND dialog, int listId, const DocumentContext& context, int slot);

// Selects row `row` of a drop-down list (none when the list has no such row).
void selectListRow(HWND dialog, int listId, DWORD row);
// The selected row; `fallback` when none is.
DWORD selectedListRow(HWND dialog, int listId, DWORD fallback);

// The sheet forbids changes (DM_NOPERMISSION in the document sheet's flags).
bool sheetHasNoPermission(const DocumentContext& context);

}  // namespace vex
