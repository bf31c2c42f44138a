// The per-tree state the plug-in keeps while the driver's property sheet is open. The document
// context is a C++ object owned by the UiPlugin (see UiSheetState): it lives from the common-UI
// call that binds the tree until the plug-in object is released or the tree is bound again, and
// whatever the pages keep in it is destroyed with it. The printer context is a plain block from
// the driver's OEM heap.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config_files.h"
#include "dialog_base.h"
#include "oem/oem_platform.h"
#include "overlay_store.h"
#include "property_item_rules.h"
#include "watermark_store.h"

namespace vex {

// The saved-text buffer of the numeric edit guard holds this many characters with the terminator.
inline constexpr int kNumericSavedChars = 12;

// Shared by every document page of one sheet. Every member starts at zero, except the item
// indexes, which start at kNoItem.
struct DocumentContext {
  DocumentContext() { std::fill(std::begin(itemIndex), std::end(itemIndex), kNoItem); }
  DocumentContext(const DocumentContext&) = delete;
  DocumentContext& operator=(const DocumentContext&) = delete;

  // The sheet, from the property-sheet call.
  HANDLE propertySheet = nullptr;          // the common property sheet's handle
  PFNCOMPROPSHEET comPropSheet = nullptr;  // the common sheet's callback
  POEMUIPSPARAM uiParam = nullptr;         // pOEMDM is the private record
  HANDLE pageHandles[3] = {};              // the plug-in's pages
  // The objects behind the plug-in's pages: they answer the pages' messages until the sheet is
  // gone, and the context outlives the sheet.
  std::vector<std::unique_ptr<DialogBase>> pageObjects;

  // The driver's items, from the common-UI call.
  POEMCUIPPARAM cuiParam = nullptr;  // pOEMDM is the same record
  DWORD itemIndex[kSlotCount] = {};  // index into cuiParam->pDrvOptItems, kNoItem when absent
  DWORD itemValue[kSlotCount] = {};  // the item's selection as found, then as edited by the pages
  LONG hideStandardUiQueried = 0;
  wchar_t iniPath[kPathChars] = {};  // the plug-in INI file

  // Overlays.
  OverlayWorkspace overlays;

  // Watermarks: the list of this sheet, the font file its definitions name, and the text a
  // numeric field of the watermark dialogs had before the last keystroke.
  WatermarkList watermarks;
  std::wstring watermarkFontFile;
  wchar_t savedText[kNumericSavedChars] = {};

  // Modes of the job options page.
  bool icCardMode = false;
  bool jobLimitMode = false;

  // The private record both parameters carry; null when the driver gave none.
  std::uint8_t* record() const;
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

inline std::uint8_t* DocumentContext::record() const {
  if (cuiParam != nullptr && cuiParam->pOEMDM != nullptr) {
    return static_cast<std::uint8_t*>(cuiParam->pOEMDM);
  }
  return uiParam != nullptr ? static_cast<std::uint8_t*>(uiParam->pOEMDM) : nullptr;
}

}  // namespace vex
