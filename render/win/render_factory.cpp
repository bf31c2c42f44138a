#include "render_factory.h"

#include <new>

#include "module_state.h"
#include "render_plugin.h"

namespace vex {

HRESULT STDMETHODCALLTYPE RenderPluginFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE RenderPluginFactory::AddRef() { return InterlockedIncrement(&refCount_); }

ULONG STDMETHODCALLTYPE RenderPluginFactory::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE RenderPluginFactory::CreateInstance(IUnknown* outer, REFIID riid,
                                                              void** ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  auto* plugin = new (std::nothrow) RenderPlugin();
  if (plugin == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = plugin->QueryInterface(riid, ppv);
  plugin->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE RenderPluginFactory::LockServer(BOOL lock) {
  if (lock) {
    InterlockedIncrement(&moduleState().lockCount);
  } else {
    InterlockedDecrement(&moduleState().lockCount);
  }
  return S_OK;
}

}  // namespace vex
