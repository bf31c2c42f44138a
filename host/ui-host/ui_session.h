// The UI plug-in loaded and created as the driver's configuration module does it: the library,
// its class factory, the object for IPrintOemUI2 and the driver's helper interface.
#pragma once

#include <windows.h>

#include <string>

#include "oem/oem_platform.h"

namespace vex::uihost {

enum ExitCode : int {
  kOk = 0,
  kFailure = 1,
  kBadInput = 2,
  kSpooler = 3,
  kNoPlugin = 4,
  kPluginFailed = 6,
  kScriptFailed = 7,
};

struct HostError {
  int code;
  std::wstring message;
};

// The driver's helper for UI plug-ins. While a sheet is up it answers from that sheet's option
// tree (as the driver's UI procedures do); otherwise no setting is known.
class DriverUiHelper final : public IPrintOemDriverUI {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                PDWORD) override;
  HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override;
  HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override;
  LONG references() const { return refCount_; }

 private:
  volatile LONG refCount_ = 1;
};

class UiSession {
 public:
  // Loads the plug-in, creates the object, publishes the helper and checks GetInfo; throws
  // HostError.
  explicit UiSession(const std::wstring& pluginPath);
  // Releases the object, checks that the plug-in let go of the helper and may unload, frees it.
  ~UiSession();
  UiSession(const UiSession&) = delete;
  UiSession& operator=(const UiSession&) = delete;

  IPrintOemUI2* plugin() const { return plugin_; }
  HMODULE module() const { return module_; }
  // Ends the session now; a rule the plug-in broke on the way out is returned as an error text.
  std::wstring close();

 private:
  [[noreturn]] void failAfterLoad(const HostError& error);

  HMODULE module_ = nullptr;
  IPrintOemUI2* plugin_ = nullptr;
  DriverUiHelper* helper_ = nullptr;
};

}  // namespace vex::uihost
