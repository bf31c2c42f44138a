#include "printer_setup.h"

#include <windows.h>
#include <winspool.h>

#include <optional>

#include "driver_install.h"
#include "host_files.h"
#include "ini_text.h"
#include "swatch_registration.h"

namespace vex {
namespace {

constexpr wchar_t kDriverFile[] = L"PSCRIPT5.DLL";
constexpr wchar_t kConfigFile[] = L"PS5UI.DLL";
constexpr wchar_t kDataFile[] = L"VEXDEMO.PPD";
constexpr wchar_t kDefaultPlugin[] = L"vexps.dll";
constexpr std::size_t kMaxDriverFileBytes = 64u << 20;

const std::vector<std::wstring>& sampleDependentFiles() {
  // The PostScript resources and the watermark font list are the files [DependentFiles] of
  // VEXDEMO.INI names.
  static const std::vector<std::wstring> files = {L"VEXDEMO.CAP",  L"VEXDEMO.INI", L"VEXDEMO.VER",
                                                  L"VEXPROC.PS",   L"VEXOVL.PS",   L"VEXOVP.PS",
                                                  L"VEXWMFNT.INI", L"VEXCCM.INI"};
  return files;
}

bool fail(std::wstring* error, const std::wstring& message) {
  if (error) *error = message;
  return false;
}

bool endsWithIgnoringCase(const std::wstring& name, std::wstring_view suffix) {
  return name.size() >= suffix.size() &&
         sameName(std::wstring_view(name).substr(name.size() - suffix.size()), suffix);
}

// A bare file name: no folder part, nothing that ends the spooler's NUL-separated list.
bool isBareName(const std::wstring& name) {
  return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos &&
         name.find(L'\0') == std::wstring::npos && name != L"." && name != L"..";
}

// The printer's name as a file name: characters that a file name cannot hold become '_'.
std::wstring fileNameFor(const std::wstring& printerName) {
  std::wstring name = printerName;
  for (wchar_t& c : name) {
    if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
  }
  return name + L".cap";
}

bool copyIfDifferent(const std::wstring& from, const std::wstring& to, std::wstring* error) {
  std::string bytes;
  DWORD code = 0;
  if (!readWholeFile(from, kMaxDriverFileBytes, &bytes, &code)) {
    return fail(error, L"cannot read " + from + L": " + win32ErrorText(code));
  }
  bool written = false;
  if (!writeFileIfDifferent(to, bytes, &written, &code)) {
    return fail(error, L"cannot write " + to + L": " + win32ErrorText(code));
  }
  return true;
}

const std::string* extraFile(const PrinterSetup& setup, const std::wstring& name) {
  for (const auto& [extraName, bytes] : setup.extraFiles) {
    if (sameName(extraName, name)) return &bytes;
  }
  return nullptr;
}

// Brings <dir3>\name up to date from the extra files or the package; a name found in neither
// keeps what the folder holds (possibly nothing).
bool placeFile(const PrinterSetup& setup, const std::wstring& packageDir, const std::wstring& dir3,
               const std::wstring& name, std::wstring* error) {
  if (extraFile(setup, name)) return true;  // written before
  std::wstring source = joinPath(packageDir, name);
  if (fileExists(source)) return copyIfDifferent(source, joinPath(dir3, name), error);
  return true;
}

// Writes the per-printer configuration file: the source .cap with the model overrides applied.
bool writeConfigurationCopy(const PrinterSetup& setup, const std::wstring& dir3,
                            const std::wstring& sourceName, const std::wstring& copyName,
                            std::wstring* error) {
  std::string text;
  DWORD code = 0;
  std::wstring source = joinPath(dir3, sourceName);
  if (!readWholeFile(source, kMaxDriverFileBytes, &text, &code)) {
    return fail(error, L"model overrides need the configuration file " + source + L": " +
                           win32ErrorText(code));
  }
  std::string driver = toAnsi(setup.driverName);
  std::optional<std::string> model = iniValue(text, "Capability", driver);
  if (!model || model->empty()) {
    // A driver of the caller's own naming gets the model of the file's first entry.
    auto first = firstIniEntry(text, "Capability");
    if (!first || first->second.empty()) {
      return fail(error, source + L" names no model section in [Capability]");
    }
    model = first->second;
    text = setIniValue(text, "Capability", driver, *model);
  }
  for (const auto& [key, value] : setup.modelOverrides) {
    if (key.empty() || key.find_first_of(L"=[]\r\n") != std::wstring::npos || key[0] == L';' ||
        value.find_first_of(L"\r\n") != std::wstring::npos) {
      return fail(error, L"model override \"" + key + L"\" is not a valid key and value");
    }
    text = setIniValue(text, *model, toAnsi(key), toAnsi(value));
  }
  bool written = false;
  std::wstring target = joinPath(dir3, copyName);
  if (!writeFileIfDifferent(target, text, &written, &code)) {
    return fail(error, L"cannot write " + target + L": " + win32ErrorText(code));
  }
  return true;
}

}  // namespace

std::wstring programDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  std::size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

std::wstring samplePackageDirectory() {
  std::wstring joined = joinPath(programDirectory(), L"..\\package");
  DWORD length = GetFullPathNameW(joined.c_str(), 0, nullptr, nullptr);
  if (length == 0) return joined;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(joined.c_str(), length, full.data(), nullptr);
  full.resize(length);
  return full;
}

std::wstring driverDirectory3() {
  DWORD needed = 0;
  GetPrinterDriverDirectoryW(nullptr, nullptr, 1, nullptr, 0, &needed);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed / sizeof(wchar_t) + 1, L'\0');
  if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(buffer.data()),
                                  static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), &needed)) {
    return {};
  }
  return joinPath(buffer.data(), L"3");
}

std::vector<std::wstring> defaultPluginFiles() {
  std::vector<std::wstring> plugins{kDefaultPlugin};
  for (const wchar_t* companion :
       {L"vexui.dll", L"vexjobinfo.dll", L"vexrelay.exe", L"vexcrypto.dll", L"vexcard.dll"}) {
    if (fileExists(joinPath(programDirectory(), companion))) plugins.push_back(companion);
  }
  return plugins;
}

bool ensurePrinter(const PrinterSetup& setup, std::wstring* error) {
  if (setup.printerName.empty() || setup.printerName.size() > 220 ||
      setup.printerName.find_first_of(L"\\,") != std::wstring::npos) {
    return fail(error, L"printer name \"" + setup.printerName +
                           L"\" is empty, too long or holds '\\' or ','");
  }
  if (setup.driverName.empty() || setup.driverName.size() > 220 ||
      setup.driverName.find_first_of(L"\\,") != std::wstring::npos) {
    return fail(error, L"driver name \"" + setup.driverName +
                           L"\" is empty, too long or holds '\\' or ','");
  }
  if (setup.shared && setup.shareName.empty()) {
    return fail(error, L"a shared printer needs a share name");
  }
  const std::wstring dir3 = driverDirectory3();
  if (dir3.empty()) {
    return fail(error, L"GetPrinterDriverDirectoryW: " + win32ErrorText(GetLastError()));
  }
  if (!CreateDirectoryW(dir3.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return fail(error, L"cannot create " + dir3 + L": " + win32ErrorText(GetLastError()));
  }
  const std::wstring sampleDir = samplePackageDirectory();
  const std::wstring packageDir = setup.packageDir.empty() ? sampleDir : setup.packageDir;

  for (const auto& [name, bytes] : setup.extraFiles) {
    if (!isBareName(name)) return fail(error, L"extra file \"" + name + L"\" is not a bare name");
    bool written = false;
    DWORD code = 0;
    if (!writeFileIfDifferent(joinPath(dir3, name), bytes, &written, &code)) {
      return fail(error, L"cannot write " + joinPath(dir3, name) + L": " + win32ErrorText(code));
    }
  }

  std::vector<std::wstring> dependents =
      setup.dependentFiles.empty() ? sampleDependentFiles() : setup.dependentFiles;
  for (const auto& name : dependents) {
    if (!isBareName(name)) {
      return fail(error, L"dependent file \"" + name + L"\" is not a bare name");
    }
    if (!placeFile(setup, packageDir, dir3, name, error)) return false;
  }

  // The data file comes from the package, else from the sample.
  std::wstring dataSource = joinPath(packageDir, kDataFile);
  if (!fileExists(dataSource)) dataSource = joinPath(sampleDir, kDataFile);
  if (!extraFile(setup, kDataFile) &&
      !copyIfDifferent(dataSource, joinPath(dir3, kDataFile), error)) {
    return false;
  }

  const std::vector<std::wstring> plugins =
      setup.pluginFiles.empty() ? defaultPluginFiles() : setup.pluginFiles;
  for (const auto& plugin : plugins) {
    std::wstring source = isBareName(plugin) ? joinPath(programDirectory(), plugin) : plugin;
    std::wstring name = baseName(source);
    if (!isBareName(name)) return fail(error, L"plug-in file \"" + plugin + L"\" has no name");
    if (!copyIfDifferent(source, joinPath(dir3, name), error)) return false;
    dependents.push_back(name);
  }

  if (!setup.modelOverrides.empty()) {
    // The last configuration file in the list is the one the plug-ins use.
    auto it = dependents.end();
    for (auto i = dependents.begin(); i != dependents.end(); ++i) {
      if (endsWithIgnoringCase(*i, L".cap")) it = i;
    }
    if (it == dependents.end()) {
      return fail(error, L"model overrides need a .cap file among the dependent files");
    }
    std::wstring copyName = fileNameFor(setup.printerName);
    if (!writeConfigurationCopy(setup, dir3, *it, copyName, error)) return false;
    *it = copyName;
  }

  if (!registerSampleSwatchTool(joinPath(packageDir, L"VEXDEMO.CAP"), setup.driverName, error)) {
    return false;
  }

  DriverSpec driver{setup.driverName, kDriverFile, kConfigFile, kDataFile, dependents};
  if (!installDriver(driver, error)) return false;
  PrinterSpec printer{setup.printerName, setup.driverName, setup.shared, setup.shareName};
  return installPrinter(printer, error);
}

bool removePrinter(const std::wstring& printerName, std::wstring* error) {
  HANDLE handle = nullptr;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (!OpenPrinterW(const_cast<wchar_t*>(printerName.c_str()), &handle, &defaults)) {
    DWORD code = GetLastError();
    if (code == ERROR_INVALID_PRINTER_NAME) return true;
    return fail(error, L"OpenPrinterW(\"" + printerName + L"\"): " + win32ErrorText(code));
  }
  bool deleted = DeletePrinter(handle) != FALSE;
  DWORD code = GetLastError();
  ClosePrinter(handle);
  if (!deleted) {
    return fail(error, L"DeletePrinter(\"" + printerName + L"\"): " + win32ErrorText(code));
  }
  return true;
}

}  // namespace vex
