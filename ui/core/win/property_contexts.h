// The per-tree blocks the plug-in keeps while the driver's property sheet is open. Both come
// zero-filled from the driver's OEM heap and die with the UiPlugin object.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"
#include "property_item_rules.h"

namespace vex {

// Shared by every document page of one sheet.
struct DocumentContext {
  HWND propertySheet;            // set when the plug-in's pages are built
  HANDLE pageHandles[3];         // the plug-in's pages
  POEMUIPSPARAM uiParam;         // of the property-sheet call; pOEMDM is the private record
  POEMCUIPPARAM cuiParam;        // of the common-UI call; pOEMDM is the same record
  PFNCOMPROPSHEET comPropSheet;  // the common sheet's callback
  DWORD itemIndex[kSlotCount];   // index into cuiParam->pDrvOptItems, kNoItem when absent
  DWORD itemValue[kSlotCount];   // the item's selection as found, then as edited by the pages
  LONG hideStandardUiQueried;
  wchar_t* iniPath;  // the plug-in INI file (a 261-character block from the OEM heap)
};

// One per printer-properties tree; the driver's sheet keeps 168 bytes for it.
struct PrinterContext {
  HANDLE propertySheet;
  LPARAM initParam;
  PFNCOMPROPSHEET comPropSheet;
  POEMCUIPPARAM cuiParam;
};
constexpr SIZE_T kPrinterContextBytes = 168;
static_assert(sizeof(PrinterContext) <= kPrinterContextBytes, "printer context fits its block");

}  // namespace vex
