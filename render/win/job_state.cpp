#include "module_state.h"

namespace vex {

ModuleState& moduleState() {
  static ModuleState state;
  return state;
}

void forgetDocumentValues() {
  ModuleState& state = moduleState();
  state.jobTypeKnown = false;
  state.jobTypePdev = nullptr;
  state.jobType.clear();
}

}  // namespace vex
