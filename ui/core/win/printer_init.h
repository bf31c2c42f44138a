// Printer initialisation (the spooler's PRINTER_EVENT_INITIALIZE): the printer's data values, the
// security of its writable driver files, the default device mode, and the installed options
// recorded from the option file "\vexopt.dat" into the printer's "FeatureKeyword" block.
#pragma once

#include <windows.h>

namespace vex {

// 0 on success, 1 on failure: the printer cannot be opened, or "Protocol" or
// "SPLUserModePrinterDriver" cannot be written. Failures of the later steps are ignored.
DWORD initialisePrinter(const wchar_t* printerName);

// Which way the default device mode was stored (for the tests: the platform may lack a call).
enum class DevmodeStore {
  None,    // nothing stored: the printer or a device mode could not be had
  Level8,  // SetPrinterW level 8 (the global default device mode)
  Level2,  // the platform refused level 8: SetPrinterW level 2 with the same device mode
  Failed,  // both levels refused
};

enum class DevmodeSource { None, Level8, Level2, DriverDefault };

struct DevmodeUpdateReport {
  bool revertedToSelf = false;  // spoolss "RevertToPrinterSelf" was found and answered a token
  bool clientRestored = false;  // ... and "ImpersonatePrinterClient" took it back
  DevmodeSource source = DevmodeSource::None;
  bool outputOptionSet = false;  // "PSOutputOpt" 0..3 written into the driver's part
  bool paperSizeSet = false;     // "DEFAULT_PAPER_SIZE" written into dmPaperSize
  DevmodeStore store = DevmodeStore::None;
};

// Writes the model section's "PSOutputOpt" and "DEFAULT_PAPER_SIZE" into the printer's default
// device mode, as the spooler's own identity when the platform lets it revert to it. True when
// the device mode was stored.
bool updateDefaultDevmode(const wchar_t* printerName, DevmodeUpdateReport* report = nullptr);

// Byte of the full device mode that "PSOutputOpt" sets (inside the driver's private part).
inline constexpr DWORD kOutputOptionOffset = 344;

// How recordOptionFile ended (for the tests).
enum class OptionFileRecord {
  NoPrinterName,  // level-1 information could not be read
  NoOptionFile,   // "\vexopt.dat" in the Windows directory cannot be opened for reading
  NoRegistryKey,  // the printer's "PrinterDriverData" key cannot be opened
  NoBlock,        // "FeatureKeyword" cannot be read (or is larger than 256 bytes)
  Refused,        // an edit would not fit 256 bytes: nothing was written
  Unchanged,      // no keyword of the block needed a change: nothing was written
  Written,        // "FeatureKeyword" and "FeatureKeywordSize" were written
  WriteFailed,
};

// Records the printer's section of "\vexopt.dat" into its "FeatureKeyword" block under
// HKLM\System\CurrentControlSet\Control\Print\Printers\<name>\PrinterDriverData. The block is
// edited as a whole: when any keyword's edit is refused the registry keeps the old block.
void recordOptionFile(HANDLE printer);
OptionFileRecord recordOptionFileReport(HANDLE printer);

// The permissions printer initialisation gives the files every user writes (overlays,
// watermarks, alert flags): everyone may read and write their data, but neither delete them nor
// change their permissions or owner; Administrators and SYSTEM keep full control.
class SharedFileSecurity {
 public:
  SharedFileSecurity();
  SharedFileSecurity(const SharedFileSecurity&) = delete;
  SharedFileSecurity& operator=(const SharedFileSecurity&) = delete;

  bool ok() const { return ok_; }
  PSECURITY_DESCRIPTOR descriptor() { return &descriptor_; }  // the DACL above
  PSID administrators() { return administrators_; }

  // Access that everyone is granted.
  static constexpr DWORD kEveryoneAccess = FILE_GENERIC_READ | FILE_GENERIC_WRITE;

 private:
  bool ok_ = false;
  SECURITY_DESCRIPTOR descriptor_{};
  alignas(DWORD) BYTE everyone_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE administrators_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE system_[SECURITY_MAX_SID_SIZE] = {};
  alignas(DWORD) BYTE acl_[512] = {};
};

// Gives the file `security`'s DACL; when that is refused, makes the local Administrators group
// the owner (with "SeTakeOwnershipPrivilege" if needed) and tries again.
bool openFileSecurity(const wchar_t* path, SharedFileSecurity& security);

// Enables "SeTakeOwnershipPrivilege" in the process token, or disables it again. True when the
// token was adjusted and the thread's last error is 0 afterwards.
bool takeOwnershipPrivilege(bool enable);

}  // namespace vex
