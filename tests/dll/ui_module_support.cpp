#include "ui_module_support.h"

#include <gtest/gtest.h>

#include "host_files.h"
#include "printer_setup.h"

namespace vex::test {

UiModule::UiModule() {
  module_ = LoadLibraryW(L"vexui.dll");
  EXPECT_NE(module_, nullptr) << "vexui.dll not loadable, error " << GetLastError();
  if (module_ == nullptr) return;
  getClassObject_ = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
  EXPECT_NE(getClassObject_, nullptr);
  EXPECT_NE(canUnloadNow_, nullptr);
}

UiModule::~UiModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

HRESULT UiModule::getClassObject(REFCLSID clsid, REFIID iid, void** out) const {
  return getClassObject_ ? getClassObject_(clsid, iid, out) : E_UNEXPECTED;
}

HRESULT UiModule::canUnloadNow() const { return canUnloadNow_ ? canUnloadNow_() : E_UNEXPECTED; }

IPrintOemUI2* UiModule::createPlugin() const {
  IClassFactory* factory = nullptr;
  if (FAILED(getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return nullptr;
  }
  IPrintOemUI2* plugin = nullptr;
  factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&plugin));
  factory->Release();
  return plugin;
}

HRESULT STDMETHODCALLTYPE FakeDriverUi::QueryInterface(REFIID riid, void** ppv) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
    *ppv = static_cast<IPrintOemDriverUI*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

JobInfoSwitches::JobInfoSwitches(const std::string& text)
    : path_(joinPath(driverDirectory3(), L"vexjobinfo.ini")) {
  bool written = false;
  DWORD code = 0;
  EXPECT_TRUE(writeFileIfDifferent(path_, text, &written, &code)) << "error " << code;
}

JobInfoSwitches::~JobInfoSwitches() { DeleteFileW(path_.c_str()); }

}  // namespace vex::test
