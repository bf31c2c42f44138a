// The driver's option-item trees as the plug-in binds them: CommonUIProp for the document and
// printer trees, the contexts it builds, and the routines the pages use to write their choices
// back into the driver's items.
#pragma once

#include <windows.h>

#include <memory>

#include "oem/oem_platform.h"
#include "property_contexts.h"

namespace vex {

// What one UiPlugin keeps of the driver's property sheets.
struct UiSheetState {
  HANDLE oemHeap = nullptr;
  std::unique_ptr<DocumentContext> pageContext;
  PrinterContext* printerPageContext = nullptr;
  POEMCUIPPARAM docPropParam = nullptr;
  POEMCUIPPARAM printerPropParam = nullptr;
  LONG hideStandardUiQueried = 0;
};

// CommonUIProp of the plug-in: `owner` becomes the callbacks' pOEMUserData and must lead back to
// `state` (see uiSheetStateOf).
HRESULT commonUiProp(UiSheetState& state, void* owner, DWORD mode, POEMCUIPPARAM param);

// Whether the user may change the printer's data: a trial write of the value "W_TEST" (the tick
// count) succeeds.
bool probePrinterDataWrite(HANDLE printer);

// The sheet state behind a common-UI parameter's pOEMUserData; null when there is none.
UiSheetState* uiSheetStateOf(POEMCUIPPARAM param);

// Sets the driver's item `index` to `value` through the driver's DrvUpdateUISetting (mode 1 for
// document, 2 for printer properties). A value the driver refuses (or that cannot be offered to
// it) is not kept: `value` returns to the item's previous selection. Returns the driver's answer;
// 0 for an item the driver does not have.
BOOL updateDriverItem(POEMCUIPPARAM param, DWORD index, DWORD& value, DWORD mode);

// Every page's choices back into the driver's document items, in the driver's order.
void writeBackDocumentItems(DocumentContext* context);

// The eight discovered values into the printer tree's installable-option items.
void applyInstalledOptions(POEMCUIPPARAM param, const DWORD (&values)[8]);

// The common-UI callbacks installed in the trees.
LONG APIENTRY documentItemsCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param);
LONG APIENTRY printerItemsCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param);

}  // namespace vex
