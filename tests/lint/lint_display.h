// What the dialog lint needs from the display around the checks: a desktop of its own, UTF-8
// output, and a photograph of a dialog for people to look at.
#pragma once

#include <windows.h>

#include <string>

namespace vexlint {

// True when Wine has an X display to open windows on (DISPLAY is set).
bool haveDisplay();

// True when the prefix links the dialogs' fonts, "MS Shell Dlg" and Tahoma, to another font
// (scripts/setup links them to the CJK font), so that Chinese texts are drawn and measured.
bool cjkFontLinked();

// Moves the calling thread to a desktop of the program's own, so that Wine opens its windows on
// this program's DISPLAY whatever another program left on the session's default desktop.
bool useOwnDesktop(const wchar_t* name);

std::string utf8(const std::wstring& text);

// Writes a line to stdout as UTF-8.
void printLine(const std::wstring& line);

// Shows the dialog (a property page inside its host window), lets it paint, and saves the window
// with its frame as a PNG file. Hides it again. False, with the reason, when the file could not
// be written or the picture is one colour (nothing drawn).
bool saveShot(HWND dialog, const std::wstring& path, std::wstring& why);

}  // namespace vexlint
