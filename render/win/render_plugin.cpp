#include "render_plugin.h"

#include <new>

#include "command_dispatch.h"
#include "ddi_hooks.h"
#include "document_state.h"
#include "module_state.h"
#include "output_routing.h"
#include "private_settings.h"

namespace vex {

RenderPlugin::RenderPlugin() { InterlockedIncrement(&moduleState().objectCount); }

RenderPlugin::~RenderPlugin() {
  releaseDriverHelper();
  InterlockedDecrement(&moduleState().objectCount);
}

void RenderPlugin::releaseDriverHelper() {
  if (driverHelper_ != nullptr) {
    driverHelper_->Release();
    driverHelper_ = nullptr;
  }
}

HRESULT STDMETHODCALLTYPE RenderPlugin::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemPS) ||
      IsEqualIID(riid, IID_IPrintOemPS2)) {
    *ppv = static_cast<IPrintOemPS2*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE RenderPlugin::AddRef() { return InterlockedIncrement(&refCount_); }

ULONG STDMETHODCALLTYPE RenderPlugin::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE RenderPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                                PDWORD pcbNeeded) {
  if (pcbNeeded == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  switch (dwMode) {
    case OEMGI_GETSIGNATURE:
    case OEMGI_GETVERSION: {
      *pcbNeeded = sizeof(DWORD);
      if (pBuffer == nullptr || cbSize < sizeof(DWORD)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
      }
      const DWORD value = dwMode == OEMGI_GETSIGNATURE ? kRecordSignature : kRecordVersion;
      CopyMemory(pBuffer, &value, sizeof(value));
      return S_OK;
    }
    case OEMGI_GETPUBLISHERINFO:
      *pcbNeeded = 8;  // no publisher information is given
      return E_FAIL;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE RenderPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  return renderDevMode(dwMode, pOemDMParam);
}

HRESULT STDMETHODCALLTYPE RenderPlugin::EnableDriver(DWORD, DWORD, DRVENABLEDATA* pded) {
  if (pded == nullptr) return E_POINTER;
  pded->iDriverVersion = 0x00010000;
  pded->c = kHookCount;
  pded->pdrvfn = DdiHookTable;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::DisableDriver() {
  releaseDriverHelper();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::EnablePDEV(PDEVOBJ, PWSTR, ULONG, HSURF*, ULONG, GDIINFO*,
                                                   ULONG, DEVINFO*, DRVENABLEDATA* pded,
                                                   PDEVOEM* pDevOem) {
  if (pDevOem == nullptr) return E_FAIL;
  auto* pdev = new (std::nothrow) PluginPdev{};
  if (pdev == nullptr) return E_FAIL;
  bindDriverEntries(*pdev, pded);
  *pDevOem = pdev;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::DisablePDEV(PDEVOBJ pdevobj) {
  if (pdevobj != nullptr) {
    delete static_cast<PluginPdev*>(pdevobj->pdevOEM);
    pdevobj->pdevOEM = nullptr;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
  moveDocumentState(pdevobjOld, pdevobjNew);
  forgetDocumentValues(documentState(pdevobjNew));  // the new PDEV may carry other settings
  return S_OK;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::PublishDriverInterface(IUnknown* pIUnknown) {
  if (driverHelper_ != nullptr) return S_OK;
  if (pIUnknown == nullptr) return E_FAIL;
  void* helper = nullptr;
  if (FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverPS, &helper)) || helper == nullptr) {
    driverHelper_ = nullptr;
    return E_FAIL;
  }
  driverHelper_ = static_cast<IPrintOemDriverPS*>(helper);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::Command(PDEVOBJ pdevobj, DWORD dwIndex, PVOID, DWORD,
                                                DWORD* pdwResult) {
  const bool ok = dispatchInjection(driverHelper_, pdevobj, dwIndex);
  const DWORD result = ok ? 0 : GetLastError();
  if (pdwResult != nullptr) *pdwResult = result;
  return ok ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE RenderPlugin::WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer,
                                                     PDWORD pcbWritten) {
  return routeOutput(pdevobj, pBuf, cbBuffer, pcbWritten);
}

HRESULT STDMETHODCALLTYPE RenderPlugin::GetPDEVAdjustment(PDEVOBJ, DWORD, PVOID, DWORD, BOOL*) {
  return E_NOTIMPL;
}

}  // namespace vex
