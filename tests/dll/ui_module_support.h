// Loading the UI plug-in DLL of the build the way the driver's configuration module does, and
// the pieces of the driver the UI tests hand to it.
#pragma once

#include <windows.h>

#include <string>

#include "oem/oem_platform.h"
#include "plugin_support.h"

namespace vex::test {

class UiModule : public PluginModule {
 public:
  UiModule() : PluginModule(L"vexui.dll", CLSID_OEMUI) {}
  IPrintOemUI2* createPlugin() const {
    return static_cast<IPrintOemUI2*>(createObject(IID_IPrintOemUI2));
  }
};

// The driver's UI helper, counting its references.
class FakeDriverUi final : public IPrintOemDriverUI {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }
  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                PDWORD) override {
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override {
    return E_NOTIMPL;
  }
  LONG refs() const { return refs_; }

 private:
  volatile LONG refs_ = 1;  // the test's own
};

// The job-information library's switch file in the driver's folder, removed again at the end.
class JobInfoSwitches {
 public:
  explicit JobInfoSwitches(const std::string& text);
  ~JobInfoSwitches();
  JobInfoSwitches(const JobInfoSwitches&) = delete;
  JobInfoSwitches& operator=(const JobInfoSwitches&) = delete;

 private:
  std::wstring path_;
};

}  // namespace vex::test
