// A test affordance of the stand-in, off unless `--test-dialogs` is given: a modal dialog and
// message boxes of the stand-in's own resources, opened from buttons on the driver page, so that
// the script runner's dialog and message-box paths can be proven before the plug-in has any.
#pragma once

#include <windows.h>

#include <string>

namespace vex::uihost {

// Runs the test dialog modally over `owner`; returns what it ended with, for the dump
// ("test dialog: ok number=12 check=1 radio=2 list=0 combo=1 answer=yes" or "test dialog:
// cancel").
std::string runTestDialog(HWND owner);

// The page's test message box (OK and Cancel, two lines of text); returns "test message: ok" or
// "test message: cancel".
std::string runTestMessage(HWND owner);

}  // namespace vex::uihost
