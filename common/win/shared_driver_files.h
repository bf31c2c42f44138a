// The driver files that printer initialisation opens to every user (the plug-in INI file, the
// PPD beside it, the colour-matching information file), and the files no user may change (the
// configuration and version files, libraries and programs). Both plug-ins apply the same rules:
// the UI plug-in when it opens files, the rendering plug-in when it sends a file into the job.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vex {

// A file as the file system knows it, whatever name, letter case or short name reaches it.
struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> fileIdentity(HANDLE file);
std::optional<FileIdentity> fileIdentity(const std::wstring& path);

// A library or program by its name or by its first bytes; a file that cannot be read counts as
// one (nothing is opened that could not be checked).
bool isProgramFile(const std::wstring& path);

// The PPD that printer initialisation opens beside the plug-in INI file: the same path with its
// three-letter extension replaced by "PPD"; empty when the path has none.
std::wstring ppdBesidePluginIni(const std::wstring& pluginIniPath);

// The colour-matching information file that the model section's "CCMInfoFile" names, as a path
// of the driver's folder; empty when the key is empty or names no file there.
std::wstring ccmInfoFilePath(HANDLE printer);

// The files that no user may change: configuration file (the last findDriverFiles' one) and
// version file.
std::vector<std::wstring> ownDriverDataFiles(HANDLE printer);

// Files that are writable by everyone after printer initialisation, or that no user may
// change: none of them may be sent into a job as a PostScript resource.
std::vector<std::wstring> filesRefusedAsResources(HANDLE printer, const std::wstring& pluginIni);

// Whether printer initialisation may open `path` to every user: a data file (no library or
// program) that is neither the configuration nor the version file.
bool mayOpenToEveryone(HANDLE printer, const std::wstring& path);

}  // namespace vex
