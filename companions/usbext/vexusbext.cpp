// The USB extension library that the configuration names with "USBExtDLL", backed by simulated
// printers (simulated_device.h): its INI file "vexusbext.ini" lies beside it and also names the
// data file, which lives in the user's application-data folder:
//   [Settings]  DataName=<bare file name>   (the model's "USBExtDAT"; default vexusbext.dat)
// ReadPrinterOptionUSB answers the device's [Answers] ReadPrinterOptionUSB (default 1; 0 for a
// printer the INI does not name) and, when that is non-zero, writes the printer's section (the
// device's [Options]) into the data file; "WriteSection=0" leaves no section.
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "simulated_device.h"

using vex::companion::Device;

namespace {

std::string iniPath() {
  return vex::companion::moduleFolder(reinterpret_cast<const void*>(&iniPath)) + "vexusbext.ini";
}

// CSIDL_APPDATA, asked of the shell at run time so that the library imports system DLLs only.
std::string appDataFolder() {
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  const HMODULE shell = LoadLibraryA("shell32.dll");
  if (shell == nullptr) return {};
  const auto getFolderPath = reinterpret_cast<GetFolderPathFn>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathA")));
  char folder[MAX_PATH] = "";
  const bool ok =
      getFolderPath != nullptr &&
      SUCCEEDED(getFolderPath(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder));
  FreeLibrary(shell);
  return ok ? std::string(folder) : std::string();
}

}  // namespace

extern "C" int __cdecl ReadPrinterOptionUSB(const char* printerName) {
  const std::string ini = iniPath();
  const Device device(ini, printerName);
  device.log("ReadPrinterOptionUSB", 0, printerName);
  const int answer = device.answer("ReadPrinterOptionUSB");
  if (answer == 0) return 0;
  const std::string dataName =
      vex::companion::profileString(ini, "Settings", "DataName", "vexusbext.dat");
  const std::string folder = appDataFolder();
  if (folder.empty() || !vex::companion::bareName(dataName)) return 0;
  return device.writeSection(folder + "\\" + dataName, printerName) ? answer : 0;
}
