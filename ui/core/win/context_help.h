// The context-help convention of every dialog and page of the UI plug-in: the title-bar help
// button where the platform's help viewer still shows it, and WM_HELP / WM_CONTEXTMENU answered
// from the driver's help file with the one help-context table.
#pragma once

#include <windows.h>

namespace vex {

// Called on WM_INITDIALOG: removes WS_EX_CONTEXTHELP on platforms of version 6 or later, adds
// it on older ones.
void applyContextHelpStyle(HWND dialog);

// Answers WM_HELP (HELP_WM_HELP for the control of the request) and WM_CONTEXTMENU
// (HELP_CONTEXTMENU for the clicked window) when context help is available and a help file is
// known. Returns true for those two messages, also when there was nothing to show, so that the
// dialog procedure reports them handled; false for every other message.
bool handleContextHelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vex
