// The rendering plug-in object the PostScript driver creates for each use of the plug-in.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex {

class RenderPlugin final : public IPrintOemPS2 {
 public:
  RenderPlugin();
  RenderPlugin(const RenderPlugin&) = delete;
  RenderPlugin& operator=(const RenderPlugin&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IPrintOemCommon
  HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                    PDWORD pcbNeeded) override;
  HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
  // IPrintOemPS
  HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize,
                                         DRVENABLEDATA* pded) override;
  HRESULT STDMETHODCALLTYPE DisableDriver() override;
  HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                                       HSURF* phsurfPatterns, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                                       ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                       PDEVOEM* pDevOem) override;
  HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) override;
  HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) override;
  HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) override;
  HRESULT STDMETHODCALLTYPE Command(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pData, DWORD cbSize,
                                    DWORD* pdwResult) override;
  // IPrintOemPS2
  HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ pdevobj, PVOID pBuf, DWORD cbBuffer,
                                         PDWORD pcbWritten) override;
  HRESULT STDMETHODCALLTYPE GetPDEVAdjustment(PDEVOBJ pdevobj, DWORD dwAdjustType, PVOID pBuf,
                                              DWORD cbBuffer, BOOL* pbAdjustmentDone) override;

 private:
  ~RenderPlugin();
  void releaseDriverHelper();

  volatile LONG refCount_ = 1;
  IPrintOemDriverPS* driverHelper_ = nullptr;
};

// The device-mode callback of the rendering plug-in.
HRESULT renderDevMode(DWORD mode, POEMDMPARAM param);

}  // namespace vex
