// Process-wide state of the rendering plug-in: the module and its object counts. What belongs
// to a document is kept with its PDEV (document_state.h).
#pragma once

#include <windows.h>

namespace vex {

struct ModuleState {
  HINSTANCE instance = nullptr;
  volatile LONG objectCount = 0;
  volatile LONG lockCount = 0;
};

ModuleState& moduleState();

}  // namespace vex
