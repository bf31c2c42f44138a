// Installs the sample driver and printers into the spooler of the running process, as the
// driver's installer would, so that the plug-ins find their files through the driver's
// dependent-file list. Used by the driver stand-ins and by the DLL tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vex {

inline constexpr wchar_t kSamplePrinterName[] = L"VEX Demo Color";
inline constexpr wchar_t kSampleDriverName[] = L"VEX Demo Color PS";

struct PrinterSetup {
  std::wstring printerName = kSamplePrinterName;
  std::wstring driverName = kSampleDriverName;
  // Folder with the driver files; empty = the sample package (<exe dir>\..\package).
  std::wstring packageDir;
  // Bare file names of the driver's dependent files; empty = the sample set. A name is taken
  // from `extraFiles`, else from the package folder, else from what the driver directory already
  // holds; a name found nowhere is still listed (the spooler lists missing files too).
  std::vector<std::wstring> dependentFiles;
  // Name and bytes of files written into the driver directory's "3" folder before install.
  // They are not added to the dependent files by themselves.
  std::vector<std::pair<std::wstring, std::string>> extraFiles;
  // Model-section keys written into a per-printer copy of the configuration file (the last
  // ".cap" among the dependent files). The copy is named after the printer and replaces that
  // file in the driver's list, so the driver name should be one of this printer's own when
  // other printers of the same driver need the unchanged file.
  std::vector<std::pair<std::wstring, std::wstring>> modelOverrides;
  bool shared = false;
  std::wstring shareName;
  // DLLs of the build copied in too and listed as dependent files; a bare name is looked up in
  // the running program's folder. Empty = vexps.dll from that folder, with the companion
  // libraries the sample model names (vexjobinfo.dll, vexrelay.exe) when the build has them.
  std::vector<std::wstring> pluginFiles;
};

// vexps.dll of the running program's folder with the companion libraries the sample model names
// that the build has: what a printer gets when `pluginFiles` is empty.
std::vector<std::wstring> defaultPluginFiles();

// Creates or refreshes the driver and the printer (port "FILE:", print processor "WinPrint",
// datatype "RAW"). Files go to <driver directory>\3. Running it again with the same setup
// changes nothing; a changed setup updates the files, the driver and the printer.
bool ensurePrinter(const PrinterSetup& setup, std::wstring* error);

// Deletes the printer; a printer that does not exist is not an error. The driver stays.
bool removePrinter(const std::wstring& printerName, std::wstring* error);

// <printer-driver directory of this process's environment>\3, or empty when the spooler does not
// answer.
std::wstring driverDirectory3();

// Folder of the running program, without a trailing separator.
std::wstring programDirectory();

// The sample package folder: <program folder>\..\package.
std::wstring samplePackageDirectory();

}  // namespace vex
