// Module entry and the two COM exports of the UI plug-in.
#include <windows.h>

#include <new>

#include "oem/oem_platform.h"
#include "ui_module_state.h"
#include "ui_plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  vex::UiModuleState& state = vex::uiModuleState();
  if (reason == DLL_PROCESS_ATTACH) {
    state.resourceLibrary = nullptr;
    state.moduleInstance = instance;
  } else if (reason == DLL_PROCESS_DETACH && state.resourceLibrary != nullptr) {
    FreeLibrary(state.resourceLibrary);
    state.resourceLibrary = nullptr;
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) vex::UiClassFactory();
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(riid, ppv);
  factory->Release();
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  const vex::UiModuleState& state = vex::uiModuleState();
  return (state.liveObjectCount != 0 || state.serverLockCount != 0) ? S_FALSE : S_OK;
}
