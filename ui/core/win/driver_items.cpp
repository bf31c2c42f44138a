// Writing the plug-in's choices into the driver's option items. The driver owns the items and may
// refuse a value; a refused value is never kept by the plug-in either.
#include "driver_item_view.h"
#include "property_items.h"

namespace vex {

BOOL updateDriverItem(POEMCUIPPARAM param, DWORD index, DWORD& value, DWORD mode) {
  if (index == kNoItem) return FALSE;
  OPTITEM* item = driverItem(param, index);
  if (item == nullptr) return FALSE;
  const LONG previous = item->Sel;
  const POEMUIOBJ uiObject = param->poemuiobj;
  if (uiObject == nullptr || uiObject->pOemUIProcs == nullptr ||
      uiObject->pOemUIProcs->DrvUpdateUISetting == nullptr) {
    value = static_cast<DWORD>(previous);  // nobody to offer it to: the item stays as it is
    return FALSE;
  }
  // The driver does not look at hidden items; the flag goes back once it has answered.
  const bool wasHidden = (item->Flags & OPTIF_HIDE) != 0;
  item->Flags &= ~static_cast<DWORD>(OPTIF_HIDE);
  item->Sel = static_cast<LONG>(value);
  item->Flags |= OPTIF_CHANGED;
  const BOOL accepted = uiObject->pOemUIProcs->DrvUpdateUISetting(
      uiObject, item, static_cast<DWORD>(previous), mode);
  if (wasHidden) item->Flags |= OPTIF_HIDE;
  if (!accepted) {
    // Neither the plug-in nor the sheet keeps what the driver refused.
    item->Sel = previous;
    value = static_cast<DWORD>(previous);
  }
  return accepted;
}

void writeBackDocumentItems(DocumentContext* context) {
  if (context == nullptr) return;
  const std::vector<int> order = writeBackOrder(context->itemValue[32], context->itemValue[41]);
  for (const int slot : order) {
    updateDriverItem(context->cuiParam, context->itemIndex[slot], context->itemValue[slot], 1);
  }
  if (context->itemIndex[kOverlaySlot] != kNoItem &&
      context->itemValue[kOverlaySlot] == kOverlayFollowValue) {
    DWORD follow = kOverlayFollowValue;
    updateDriverItem(context->cuiParam, context->itemIndex[kOverlayFollowerSlot], follow, 1);
  }
}

void applyInstalledOptions(POEMCUIPPARAM param, const DWORD (&values)[8]) {
  forEachDriverItem(param, [&](DWORD index, OPTITEM& item) {
    const InstallableOption* option = installableOptionForUserItem(item.UserItemID);
    if (option == nullptr) return;
    DWORD value = values[option->valueIndex];
    updateDriverItem(param, index, value, 2);
  });
}

}  // namespace vex
