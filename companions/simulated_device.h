// Simulated printers for the option-discovery companions (vexnetext.dll, vexusbext.dll). Each
// library reads its own INI file beside itself, which names a device file per printer:
//   [Printers]  <printer name>=<device file>   (relative paths: the INI file's folder)
//   [Log]       File=<path>                    (optional: one line per call)
// A device file holds the answers of the entry points ([Answers]) and the values the library
// writes into its data file for the printer ([Options], copied line by line, unchecked).
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace vex::companion {

inline constexpr std::size_t kMaxPrinterNameBytes = 260;
inline constexpr DWORD kValueBytes = 1024;

inline bool boundedName(const char* name) {
  return name != nullptr && name[0] != '\0' &&
         strnlen(name, kMaxPrinterNameBytes + 1) <= kMaxPrinterNameBytes;
}

inline std::string profileString(const std::string& file, const char* section, const char* key,
                                 const char* fallback = "") {
  std::vector<char> value(kValueBytes, '\0');
  GetPrivateProfileStringA(section, key, fallback, value.data(), kValueBytes, file.c_str());
  return value.data();
}

// The folder of the module that holds `address`, with a trailing separator; empty on failure.
inline std::string moduleFolder(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module)) {
    return {};
  }
  char path[MAX_PATH + 1] = "";
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  std::string folder(path, length);
  const std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

inline std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

inline std::string resolve(const std::string& folder, const std::string& path) {
  const bool absolute = path.size() > 1 && (path[1] == ':' || path[0] == '\\' || path[0] == '/');
  return absolute ? path : folder + path;
}

inline bool bareName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." &&
         name != "..";
}

class Device {
 public:
  // `iniPath`: the library's own INI file; `printer`: the name the caller passed.
  Device(const std::string& iniPath, const char* printer) : ini_(iniPath) {
    if (!boundedName(printer)) return;
    const std::string device = profileString(ini_, "Printers", printer);
    if (!device.empty()) file_ = resolve(folderOf(ini_), device);
  }
  bool known() const { return !file_.empty(); }
  const std::string& file() const { return file_; }

  // The device's answer for `entry`: its integer, `fallback` when absent, 0 for an unknown
  // printer.
  int answer(const char* entry, int fallback = 1) const {
    if (!known()) return 0;
    return static_cast<int>(GetPrivateProfileIntA("Answers", entry, fallback, file_.c_str()));
  }
  std::string text(const char* key) const {
    return known() ? profileString(file_, "Answers", key) : std::string();
  }

  // Writes the printer's section of `dataFile` from [Options], or removes it when the device's
  // "WriteSection" is 0.
  bool writeSection(const std::string& dataFile, const char* printer) const {
    WritePrivateProfileStringA(printer, nullptr, nullptr, dataFile.c_str());
    if (answer("WriteSection", 1) == 0) return true;
    std::vector<char> lines(32768, '\0');
    const DWORD n = GetPrivateProfileSectionA("Options", lines.data(),
                                              static_cast<DWORD>(lines.size()), file_.c_str());
    if (n == 0) {  // nothing to report: the section still has to exist
      return WritePrivateProfileStringA(printer, "Device", "simulated", dataFile.c_str()) != FALSE;
    }
    return WritePrivateProfileSectionA(printer, lines.data(), dataFile.c_str()) != FALSE;
  }

  // Appends "<entry> <flags in hex> <name>" to the log file the INI names, if any.
  void log(const char* entry, DWORD flags, const char* printer) const {
    const std::string logFile = profileString(ini_, "Log", "File");
    if (logFile.empty()) return;
    const HANDLE file = CreateFileA(resolve(folderOf(ini_), logFile).c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char flagsText[16] = "";
    wsprintfA(flagsText, "%08lx", static_cast<unsigned long>(flags));
    std::string line = std::string(entry) + " " + flagsText + " ";
    line += printer ? std::string(printer, strnlen(printer, kMaxPrinterNameBytes + 1)) : "(null)";
    line += "\r\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
  }

 private:
  std::string ini_;
  std::string file_;
};

}  // namespace vex::companion
