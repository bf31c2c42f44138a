#include "ddi_hooks.h"
#include "document_state.h"
#include "module_state.h"

namespace vex {

ModuleState& moduleState() {
  static ModuleState state;
  return state;
}

DocumentState& documentState(PDEVOBJ pdevobj) {
  if (pdevobj != nullptr && pdevobj->pdevOEM != nullptr) {
    return static_cast<PluginPdev*>(pdevobj->pdevOEM)->document;
  }
  static DocumentState withoutPdev;
  return withoutPdev;
}

void forgetDocumentValues(DocumentState& document) {
  document.jobTypeKnown = false;
  document.jobType.clear();
}

void moveDocumentState(PDEVOBJ from, PDEVOBJ to) {
  if (from == nullptr || to == nullptr || from->pdevOEM == nullptr || to->pdevOEM == nullptr ||
      from->pdevOEM == to->pdevOEM) {
    return;
  }
  DocumentState& source = documentState(from);
  DocumentState& target = documentState(to);
  target = std::move(source);
  source = DocumentState{};
}

}  // namespace vex
