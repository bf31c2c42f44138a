// The class factory of the rendering plug-in.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace vex {

class RenderPluginFactory final : public IClassFactory {
 public:
  RenderPluginFactory() = default;
  RenderPluginFactory(const RenderPluginFactory&) = delete;
  RenderPluginFactory& operator=(const RenderPluginFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~RenderPluginFactory() = default;
  volatile LONG refCount_ = 1;
};

}  // namespace vex
