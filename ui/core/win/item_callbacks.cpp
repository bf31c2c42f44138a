// The common-UI callback of the document tree.
#include "driver_item_view.h"
#include "no_throw.h"
#include "private_settings.h"
#include "property_items.h"
#include "ui_module_state.h"

namespace vex {
namespace {

// The selection of the slot's item, when the tree has that item.
std::optional<LONG> slotSelection(const DocumentContext& context, int slot) {
  const OPTITEM* item = driverItem(context.cuiParam, context.itemIndex[slot]);
  if (item == nullptr) return std::nullopt;
  return item->Sel;
}

void copyPluginItem(POEMCUIPPARAM param, std::uint8_t* record) {
  if (param->pOEMOptItems == nullptr || param->cOEMOptItems == 0) return;
  setI32(record, rec::oemUiValue, param->pOEMOptItems[0].Sel);
}

LONG handleDocumentItems(PCPSUICBPARAM callback, POEMCUIPPARAM param) {
  UiSheetState* state = uiSheetStateOf(param);
  auto* record = static_cast<std::uint8_t*>(param->pOEMDM);
  switch (callback->Reason) {
    case CPSUICB_REASON_APPLYNOW:
      if (record == nullptr) break;
      if (state != nullptr && state->pageContext != nullptr) {
        const DocumentContext& context = *state->pageContext;
        if (auto nup = slotSelection(context, kNupSlot)) {
          setU8(record, rec::nupSelection, static_cast<std::uint8_t>(*nup));
        }
        if (auto orientation = slotSelection(context, kOrientationSlot)) {
          setU8(record, rec::orientationSelection, static_cast<std::uint8_t>(*orientation));
        }
      }
      copyPluginItem(param, record);
      break;
    case CPSUICB_REASON_KILLACTIVE:
      if (record != nullptr) copyPluginItem(param, record);
      break;
    case CPSUICB_REASON_SETACTIVE:
      markDriverPagesCurrent();
      break;
    default:
      break;
  }
  return CPSUICB_ACTION_NONE;
}

}  // namespace

LONG APIENTRY documentItemsCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param) {
  if (callback == nullptr || param == nullptr) return CPSUICB_ACTION_NONE;
  return noThrow<LONG>(CPSUICB_ACTION_NONE, [&] { return handleDocumentItems(callback, param); });
}

}  // namespace vex
