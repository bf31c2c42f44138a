// Blocks the plug-in takes from the driver's OEM heap for a property tree.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"
#include "ui_module_state.h"

namespace vex {

// Gives a block back to the heap it came from; a block the heap does not know is left alone.
inline void freeHeapBlock(HANDLE heap, void* block) {
  if (heap != nullptr && block != nullptr && HeapValidate(heap, 0, block)) HeapFree(heap, 0, block);
}

// The help-file extension that every item with a help number of one tree shares.
inline POIEXT newHelpExtension(HANDLE heap) {
  auto* ext = static_cast<POIEXT>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(OIEXT)));
  if (ext == nullptr) return nullptr;
  ext->cbSize = sizeof(OIEXT);
  ext->pHelpFile = uiModuleState().helpFilePath;
  return ext;
}

}  // namespace vex
