// The network and USB extension libraries that the configuration names ("NetExtDLL",
// "USBExtDLL"): loaded for one operation and freed again. Each entry point takes the printer name
// in the ANSI code page; a missing library or entry point is a negative answer.
#pragma once

#include <windows.h>

#include <string>

#include "outside_library.h"

namespace vex {

// The libraries' entry points: plain C functions with the C calling convention.
using GetNetextCapabilityFn = int(__cdecl*)(const char* printerName);
using IsValidPortFn = int(__cdecl*)(const char* printerName);
using ReadPrinterOptionFlag32Fn = int(__cdecl*)(const char* printerName, HWND window,
                                                DWORD reserved1, DWORD reserved2, DWORD flags);
using GetDataFileNameFn = int(__cdecl*)(const char* printerName, char* path, DWORD pathBytes);
using ReadPrinterOptionUsbFn = int(__cdecl*)(const char* printerName);

inline constexpr std::size_t kExtensionNameBytes = 221;  // printer names passed to the libraries
inline constexpr DWORD kDataFileNameBytes = 260;         // "GetDataFileName"'s path buffer
inline constexpr DWORD kPushButtonFlags = 0x800080;      // discovery from the push button
inline constexpr DWORD kPageActivationFlags = 0xA00000;  // discovery on page activation

// The printer name in the ANSI code page, at most 221 bytes (never half a double-byte
// character); empty for a null name.
std::string extensionPrinterName(const wchar_t* printerName);

// The network extension library: the model section's "NetExtDLL", loaded by that bare name
// (the platform's search order). A value that is not a bare file name loads nothing.
class NetworkExtension {
 public:
  explicit NetworkExtension(HANDLE printer);
  bool loaded() const { return library_.loaded(); }
  bool capability(const std::string& name) const;  // "GetNetextCapability" non-zero
  bool validPort(const std::string& name) const;   // "IsValidPort" non-zero
  // "ReadPrinterOptionFlag32" (name, window, 0, 0, flags); 0 when missing.
  int readOptionFlags(const std::string& name, HWND window, DWORD flags) const;
  // "GetDataFileName": the path it wrote (terminated within its 260 bytes) and its non-zero
  // answer; 0 when missing, refused, or the path is empty or unterminated.
  int dataFileName(const std::string& name, std::string* path) const;

 private:
  OutsideLibrary library_;
};

// The USB extension library: the model section's "USBExtDLL", loaded from the folder of the
// module that holds this code; its data file is the user's application-data folder + "\" +
// "USBExtDAT".
class UsbExtension {
 public:
  explicit UsbExtension(HANDLE printer);
  bool loaded() const { return library_.loaded(); }
  bool readOptions(const std::string& name) const;  // "ReadPrinterOptionUSB" non-zero
  // Empty when "USBExtDAT" is not a bare file name or the path would not fit MAX_PATH.
  const std::wstring& dataFile() const { return dataFile_; }

 private:
  OutsideLibrary library_;
  std::wstring dataFile_;
};

// The folder of the module that contains this code (no trailing separator); empty on failure.
std::wstring thisModuleDirectory();

// The network library's "GetNetextCapability" answer for the printer, for a caller that has not
// located the printer's configuration yet; false when the library or the entry point is missing.
bool netextCapability(HANDLE printer, const wchar_t* printerName);

}  // namespace vex
