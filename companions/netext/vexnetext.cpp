// The network extension library that the configuration names with "NetExtDLL", backed by
// simulated printers (simulated_device.h): its INI file "vexnetext.ini" lies beside it. A device
// file's [Answers] give each entry point's answer (default 1; 0 for a printer the INI does not
// name) and:
//   DataFile=<path>        where the data file goes (default vexnetext.dat beside the library)
//   WriteSection=0         ReadPrinterOptionFlag32 leaves no section for the printer
//   GetDataFileName=unterminated   fills the whole buffer without a terminator and answers 1
// ReadPrinterOptionFlag32 writes the printer's section (the device's [Options]) into the data
// file when its answer is non-zero; GetDataFileName hands out that file's path.
#include <windows.h>

#include <cstring>
#include <string>

#include "simulated_device.h"

using vex::companion::Device;

namespace {

std::string iniPath() {
  return vex::companion::moduleFolder(reinterpret_cast<const void*>(&iniPath)) + "vexnetext.ini";
}

std::string dataFilePath(const Device& device) {
  const std::string configured = device.text("DataFile");
  if (!configured.empty()) {
    return vex::companion::resolve(vex::companion::folderOf(device.file()), configured);
  }
  return vex::companion::moduleFolder(reinterpret_cast<const void*>(&iniPath)) + "vexnetext.dat";
}

}  // namespace

extern "C" int __cdecl GetNetextCapability(const char* printerName) {
  const Device device(iniPath(), printerName);
  device.log("GetNetextCapability", 0, printerName);
  return device.answer("GetNetextCapability");
}

extern "C" int __cdecl IsValidPort(const char* printerName) {
  const Device device(iniPath(), printerName);
  device.log("IsValidPort", 0, printerName);
  return device.answer("IsValidPort");
}

extern "C" int __cdecl ReadPrinterOptionFlag32(const char* printerName, HWND, DWORD, DWORD,
                                               DWORD flags) {
  const Device device(iniPath(), printerName);
  device.log("ReadPrinterOptionFlag32", flags, printerName);
  const int answer = device.answer("ReadPrinterOptionFlag32");
  if (answer == 0) return 0;
  return device.writeSection(dataFilePath(device), printerName) ? answer : 0;
}

extern "C" int __cdecl GetDataFileName(const char* printerName, char* path, DWORD pathBytes) {
  const Device device(iniPath(), printerName);
  device.log("GetDataFileName", pathBytes, printerName);
  if (path == nullptr || pathBytes == 0) return 0;
  if (device.text("GetDataFileName") == "unterminated") {
    std::memset(path, 'A', pathBytes);  // hostile: no terminator anywhere in the buffer
    return 1;
  }
  const int answer = device.answer("GetDataFileName");
  if (answer == 0) return 0;
  const std::string file = dataFilePath(device);
  if (file.size() + 1 > pathBytes) return 0;
  std::memcpy(path, file.c_str(), file.size() + 1);
  return answer;
}
