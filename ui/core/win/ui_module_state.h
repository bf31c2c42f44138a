// Process-wide state of the UI plug-in. Apart from the interlocked counts nothing here is
// synchronised: one sheet or one document at a time runs through the plug-in in a process, and
// the version probe writes only idempotent values.
#pragma once

#include <windows.h>

namespace vex {

struct UiModuleState {
  HINSTANCE moduleInstance = nullptr;
  HMODULE resourceLibrary = nullptr;  // the support page's library, loaded by the property pages
  volatile LONG serverLockCount = 0;
  volatile LONG liveObjectCount = 0;
  bool versionProbeDone = false;
  bool isOsVersion6OrLater = false;
  bool contextHelpAvailable = true;

  // Property items and dialogs (refreshed on every common-UI call of the driver).
  wchar_t helpFilePath[260] = L"";   // the driver's help file, for items and dialogs
  bool canWritePrinterData = false;  // the user may change the printer's data
  bool applyPending = false;         // the printer sheet has just been applied
  // Bit 0: the driver's pages show the current settings (refreshed, or its document page
  // activated since the last change); bit 1: a plug-in dialog changed the driver's settings.
  DWORD pageRefreshFlags = 0;
};

constexpr DWORD kPagesRefreshed = 0x1;
constexpr DWORD kDriverSettingsChanged = 0x2;

UiModuleState& uiModuleState();

// Once per process: the platform's major version and whether the help viewer still shows the
// dialogs' context help.
void runVersionProbe();

// The probe's answers; each runs the probe first, so that no caller can read them unprobed.
bool isOsVersion6OrLater();
bool contextHelpAvailable();

// A plug-in page or dialog changed the driver's settings: the driver's pages are to be reloaded
// (refreshDriverPages) until the driver's document page is activated again.
void markDriverSettingsChanged();
// The driver's own document page was activated: it shows the settings as they are.
void markDriverPagesCurrent();

// True when the file's version resource has a root block whose product version major part is 6
// or more (the help viewer of such a platform no longer shows context help).
bool isNewHelpViewer(const wchar_t* path);

}  // namespace vex
