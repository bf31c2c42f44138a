// What the script runner sees of the sheet's windows from its own thread: the window in front
// (message box, else modal dialog, else the sheet's current page), its controls and their
// states. Every read that needs the sheet's thread goes through a bounded SendMessageTimeout, so
// a busy or modal thread never blocks the runner for long.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace vex::uihost {

enum class FrontKind { None, MessageBox, Dialog, Page };

struct Front {
  FrontKind kind = FrontKind::None;
  HWND window = nullptr;  // the message box, the dialog, or the sheet's current page
  HWND top = nullptr;     // its top-level window (the sheet for a page)
};

Front findFront(HWND sheet);
// A modal dialog or message box is being made: its owner is disabled already, but the dialog
// loop shows it only once its queue is empty.
bool modalPending();
// "message box \"Caption\"", "dialog \"Caption\"", "page \"Title\"", or "no window".
std::string describeFront(const Front& front);

// The control with this id in the window in front (for a page also the sheet's own buttons),
// nearer levels first; null when there is none.
HWND findControl(const Front& front, int id);

std::optional<std::string> windowText(HWND window);  // UTF-8; none when the thread is stuck
std::string className(HWND window);
// BST_ state of a check box or radio button; none for other controls.
std::optional<int> checkState(HWND window);
// Rows and current row of a list box, combo box or list view; none for other controls.
std::optional<int> rowCount(HWND window);
std::optional<int> currentRow(HWND window);
std::optional<std::string> rowText(HWND window, int row);

// One line per control of the window in front (see docs/ui-host.md), headed by the window.
std::string dumpControls(const Front& front);

// A text in double quotes with `"`, `\`, line feeds and carriage returns escaped.
std::string quotedText(const std::string& text);

// UTF-16 of the runner's UTF-8 texts (utf8 of driver_page.h is the other way).
std::wstring wideText(const std::string& text);

inline constexpr UINT kReadTimeoutMs = 1000;

}  // namespace vex::uihost
