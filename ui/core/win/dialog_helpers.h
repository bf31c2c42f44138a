// Small routines that the pages and dialogs of the UI plug-in share: control ranges, message
// boxes from the string table, the once-only warning, bitmap drawing, the numeric edit guard,
// the link font and the sheet notifications. Resources come from uiModuleState().moduleInstance
// unless a routine takes a module.
#pragma once

#include <windows.h>

#include "numeric_edit_rules.h"
#include "property_contexts.h"
#include "unique_handle.h"

namespace vex {

// Ids run from first to last inclusive; ids outside 0..0xFFFF are not controls and are skipped.
// Switches controls off, or leaves them as they are: a disabled control is never enabled here.
void enableControlRange(HWND dialog, int firstId, int lastId, BOOL enable);
// Shows and enables, or hides and disables.
void showControlRange(HWND dialog, int firstId, int lastId, BOOL show);
// Destroys the controls (features the printer lacks).
void removeControlRange(HWND dialog, int firstId, int lastId);

inline constexpr int kMessageTextChars = 600;
inline constexpr int kMessageCaptionChars = 160;

// A message box with the text of string `textId` and the caption of string `captionId` (none
// when 0), of the box type's low 16 bits. Returns MessageBoxW's answer, or 0 without showing
// anything when the text is not in the string table.
int messageFromStrings(HWND owner, UINT textId, UINT captionId, UINT type);

// The printer's attributes masked to shared (0x8) and network (0x10); 0 when unreadable.
DWORD printerIsSharedOrNetwork(HANDLE printer);

enum class AlertOutcome {
  notShown,         // the alert key says the user has seen it
  shownAgainNext,   // shown; the user wants to see it next time
  shownSuppressed,  // shown; "1" written, it is not shown again
  failed,           // no context or INI path, or the dialog could not be shown
};

// The warning (dialog 301) that the job-name-required feature is off on shared printers and with
// several users signed in, unless the plug-in INI file's alert key says it was seen.
AlertOutcome showAlertOnce(HWND owner, const DocumentContext* context);

// Pictures larger than this on either side are refused: bitmaps come from resources, but a
// damaged one must not make us allocate without bound.
inline constexpr LONG kMaxPictureSide = 4096;

// Draws bitmap `bitmapId` of `module` at the control's top-left corner on the dialog itself,
// with its magenta (0xFF00FF) pixels left transparent. FALSE when nothing was drawn.
BOOL drawTransparentBitmap(HWND dialog, HINSTANCE module, int controlId, int bitmapId);

// Draws the device-independent bitmap resource `bitmapId` of `module` at the control's top-left
// corner plus (2, 2), realising its colour table as a palette (none for more than 8 bits per
// pixel), inside a sunken frame. FALSE when nothing was drawn.
BOOL drawFramedDib(HWND dialog, HINSTANCE module, int bitmapId, int controlId);

// Tells the page's sheet that the page changed (enables Apply).
void notifySheetChanged(HWND page);

// After a plug-in dialog changed the driver's settings (markDriverSettingsChanged), makes the
// driver's pages reload them by visiting page 2 and coming back, once per change, and only for
// users who cannot change the printer's data. Returns whether the pages were switched.
bool refreshDriverPages(HWND page);

// The edit notifications of a numeric field: remembers the text on focus and change, restores
// the default into an empty field on focus loss, and judges each update (numeric_edit_rules.h).
// `savedText` has room for kNumericSavedChars characters. Returns what the update did (keep for
// the other notifications).
NumericEditAction guardNumericEdit(HWND dialog, WORD notification, int controlId, int defaultValue,
                                   int minimum, int maximum, wchar_t* savedText, bool isSigned);

// The underlined "Verdana" font of link texts, as large as the sheet's font.
GdiObject<HFONT> createLinkFont(HWND dialog);

}  // namespace vex
