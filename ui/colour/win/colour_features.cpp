#include "colour_features.h"

#include "driver_item_view.h"
#include "driver_settings.h"

namespace vex {

bool featurePresent(const DocumentContext& context, int slot) {
  if (slot < 0 || slot >= kSlotCount) return false;
  return driverItem(context.cuiParam, context.itemIndex[slot]) != nullptr;
}

int fillFeatureList(HWND dialog, int listId, const DocumentContext& context, int slot) {
  SendDlgItemMessageW(dialog, listId, CB_RESETCONTENT, 0, 0);
  if (!featurePresent(context, slot)) return 0;
  const OPTITEM* item = driverItem(context.cuiParam, context.itemIndex[slot]);
  int rows = 0;
  for (const std::wstring& name : optionNames(*item, driverModuleOf(context))) {
    if (SendDlgItemMessageW(dialog, listId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(name.c_str())) < 0) {
      break;
    }
    ++rows;
  }
  return rows;
}

void selectListRow(HWND dialog, int listId, DWORD row) {
  const LRESULT rows = SendDlgItemMessageW(dialog, listId, CB_GETCOUNT, 0, 0);
  const WPARAM shown = rows > 0 && row < static_cast<DWORD>(rows) ? row : static_cast<WPARAM>(-1);
  SendDlgItemMessageW(dialog, listId, CB_SETCURSEL, shown, 0);
}

DWORD selectedListRow(HWND dialog, int listId, DWORD fallback) {
  const LRESULT row = SendDlgItemMessageW(dialog, listId, CB_GETCURSEL, 0, 0);
  return row >= 0 ? static_cast<DWORD>(row) : fallback;
}

bool sheetHasNoPermission(const DocumentContext& context) {
  return context.uiParam != nullptr && (context.uiParam->dwFlags & DM_NOPERMISSION) != 0;
}

}  // namespace vex
