// The UI plug-in's dialogs and pages: the common shape with the context-help convention (the
// title-bar help button by platform version, WM_HELP and WM_CONTEXTMENU from the help file).
#pragma once

#include "context_help.h"
#include "dialog_base.h"

namespace vex {

template <typename Derived>
class UiDialog : public Dialog<Derived> {
 protected:
  void applyConventions() override { applyContextHelpStyle(this->window()); }
  bool conventionHandles(UINT message, WPARAM wParam, LPARAM lParam) override {
    return handleContextHelp(this->window(), message, wParam, lParam);
  }
};

}  // namespace vex
