// Module entry and the two COM exports of the rendering plug-in.
#include <windows.h>

#include <new>

#include "module_state.h"
#include "oem/oem_platform.h"
#include "render_factory.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) vex::moduleState().instance = instance;
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_OEMRENDER)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) vex::RenderPluginFactory();
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(riid, ppv);
  factory->Release();
  return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  const vex::ModuleState& state = vex::moduleState();
  return (state.objectCount != 0 || state.lockCount != 0) ? S_FALSE : S_OK;
}
