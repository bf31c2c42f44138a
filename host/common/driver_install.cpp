#include "driver_install.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "host_files.h"

namespace vex {
namespace {

constexpr wchar_t kPort[] = L"FILE:";
constexpr wchar_t kPrintProcessor[] = L"WinPrint";
constexpr wchar_t kDatatype[] = L"RAW";

bool fail(std::wstring* error, const std::wstring& what, DWORD code) {
  if (error) *error = what + L": " + win32ErrorText(code);
  return false;
}

std::wstring field(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

std::vector<std::wstring> splitMultiString(const wchar_t* list) {
  std::vector<std::wstring> names;
  for (const wchar_t* p = list; p && *p; p += wcslen(p) + 1) names.push_back(baseName(p));
  return names;
}

// Whether the installed entry called spec.name already lists exactly these files.
bool driverMatches(const DriverSpec& spec) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, nullptr, 3, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrinterDriversW(nullptr, nullptr, 3, buffer.data(), needed, &needed, &count)) {
    return false;
  }
  auto* drivers = reinterpret_cast<DRIVER_INFO_3W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    const DRIVER_INFO_3W& d = drivers[i];
    if (!d.pName || !sameName(d.pName, spec.name)) continue;
    return baseName(field(d.pDriverPath)) == spec.driverFile &&
           baseName(field(d.pConfigFile)) == spec.configFile &&
           baseName(field(d.pDataFile)) == spec.dataFile &&
           splitMultiString(d.pDependentFiles) == spec.dependentFiles;
  }
  return false;
}

class Printer {
 public:
  Printer() = default;
  ~Printer() { close(); }
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;
  bool open(const std::wstring& name) {
    close();
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    return OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &handle_, &defaults) != FALSE;
  }
  void adopt(HANDLE handle) {
    close();
    handle_ = handle;
  }
  void close() {
    if (handle_) ClosePrinter(handle_);
    handle_ = nullptr;
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace

bool installDriver(const DriverSpec& spec, std::wstring* error) {
  if (driverMatches(spec)) return true;
  std::wstring dependents;
  for (const auto& name : spec.dependentFiles) {
    dependents += name;
    dependents += L'\0';
  }
  dependents += L'\0';
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = const_cast<wchar_t*>(spec.name.c_str());
  info.pDriverPath = const_cast<wchar_t*>(spec.driverFile.c_str());
  info.pDataFile = const_cast<wchar_t*>(spec.dataFile.c_str());
  info.pConfigFile = const_cast<wchar_t*>(spec.configFile.c_str());
  info.pDependentFiles = dependents.data();
  // The files are already in the "3" folder, where the spooler looks for bare names.
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES)) {
    return fail(error, L"AddPrinterDriverExW(\"" + spec.name + L"\")", GetLastError());
  }
  if (!driverMatches(spec)) {
    // An entry that the spooler would not replace in place goes first.
    DeletePrinterDriverW(nullptr, nullptr, const_cast<wchar_t*>(spec.name.c_str()));
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES)) {
      return fail(error, L"AddPrinterDriverExW(\"" + spec.name + L"\")", GetLastError());
    }
    if (!driverMatches(spec)) {
      if (error)
        *error = L"the spooler did not take the new file list of driver \"" + spec.name + L"\"";
      return false;
    }
  }
  return true;
}

bool installPrinter(const PrinterSpec& spec, std::wstring* error) {
  Printer printer;
  bool exists = printer.open(spec.name);
  if (!exists && GetLastError() != ERROR_INVALID_PRINTER_NAME) {
    return fail(error, L"OpenPrinterW(\"" + spec.name + L"\")", GetLastError());
  }
  if (exists) {
    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!GetPrinterW(printer.get(), 2, buffer.data(), needed, &needed)) {
      return fail(error, L"GetPrinterW(\"" + spec.name + L"\", 2)", GetLastError());
    }
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
    bool sameDriver = info->pDriverName && sameName(info->pDriverName, spec.driverName) &&
                      info->pPortName && sameName(info->pPortName, kPort);
    if (!sameDriver) {
      if (!DeletePrinter(printer.get())) {
        return fail(error, L"DeletePrinter(\"" + spec.name + L"\")", GetLastError());
      }
      printer.close();
      exists = false;
    } else {
      bool isShared = (info->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
      bool sameSharing =
          isShared == spec.shared && (!spec.shared || field(info->pShareName) == spec.shareName);
      if (sameSharing) return true;
      if (spec.shared) {
        info->Attributes |= PRINTER_ATTRIBUTE_SHARED;
        info->pShareName = const_cast<wchar_t*>(spec.shareName.c_str());
      } else {
        info->Attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_SHARED);
      }
      if (!SetPrinterW(printer.get(), 2, buffer.data(), 0)) {
        return fail(error, L"SetPrinterW(\"" + spec.name + L"\", 2)", GetLastError());
      }
      return true;
    }
  }
  PRINTER_INFO_2W info{};
  info.pPrinterName = const_cast<wchar_t*>(spec.name.c_str());
  info.pPortName = const_cast<wchar_t*>(kPort);
  info.pDriverName = const_cast<wchar_t*>(spec.driverName.c_str());
  info.pPrintProcessor = const_cast<wchar_t*>(kPrintProcessor);
  info.pDatatype = const_cast<wchar_t*>(kDatatype);
  if (spec.shared) {
    info.Attributes = PRINTER_ATTRIBUTE_SHARED;
    info.pShareName = const_cast<wchar_t*>(spec.shareName.c_str());
  }
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (!added) return fail(error, L"AddPrinterW(\"" + spec.name + L"\")", GetLastError());
  printer.adopt(added);
  if (spec.shared) {
    // Sharing set at creation is not kept by every spooler; make sure it holds.
    DWORD needed = 0;
    GetPrinterW(printer.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (GetPrinterW(printer.get(), 2, buffer.data(), needed, &needed)) {
      auto* current = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
      if ((current->Attributes & PRINTER_ATTRIBUTE_SHARED) == 0 ||
          field(current->pShareName) != spec.shareName) {
        current->Attributes |= PRINTER_ATTRIBUTE_SHARED;
        current->pShareName = const_cast<wchar_t*>(spec.shareName.c_str());
        if (!SetPrinterW(printer.get(), 2, buffer.data(), 0)) {
          return fail(error, L"SetPrinterW(\"" + spec.name + L"\", 2)", GetLastError());
        }
      }
    }
  }
  return true;
}

}  // namespace vex
