// The UI plug-in object that the driver's configuration module creates each time it opens the
// module for a printer, and its class factory.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"
#include "property_items.h"

namespace vex {

class UiPlugin final : public IPrintOemUI2 {
 public:
  UiPlugin();
  UiPlugin(const UiPlugin&) = delete;
  UiPlugin& operator=(const UiPlugin&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IPrintOemCommon
  HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                    PDWORD pcbNeeded) override;
  HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
  // IPrintOemUI
  HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) override;
  HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
  HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                   LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                 LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo,
                                            PDEVMODEW pPublicDM, PVOID pOEMDM) override;
  HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ poemuiobj, HANDLE hPrinter,
                                               PWSTR pDeviceName, WORD wCapability, PVOID pOutput,
                                               PDEVMODEW pPublicDM, PVOID pOEMDM, DWORD dwOld,
                                               DWORD* dwResult) override;
  HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD dwLevel, PBYTE pDriverUpgradeInfo) override;
  HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags,
                                         LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE DriverEvent(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo,
                                        LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj,
                                              PDEVMODEW pPublicDM, PVOID pOEMDM, ULONG ulQueryMode,
                                              VOID* pvProfileData, ULONG* pcbProfileData,
                                              FLONG* pflProfileData) override;
  HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND hWnd, UINT usMsg, WPARAM wParam,
                                                 LPARAM lParam) override;
  HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE hPrinter, HANDLE hHeap,
                                                PWSTR pwstrCartridges) override;
  // IPrintOemUI2
  HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE hPrinter, PDEVMODEW pDevmode, DWORD dwLevel,
                                               LPBYTE lpAttributeInfo) override;
  HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD dwMode) override;
  HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE hPrinter, HDC hdc, INT iEsc, ULONG cbIn,
                                          PVOID pvIn, ULONG cbOut, PVOID pvOut,
                                          PINT piResult) override;

  // What the driver left with the object (for the property pages and the tests).
  bool hideStandardUiQueried() const { return sheets_.hideStandardUiQueried != 0; }
  IPrintOemDriverUI* driverHelper() const { return driverHelper_; }
  UiSheetState& sheets() { return sheets_; }

 private:
  ~UiPlugin();

  volatile LONG refCount_ = 1;
  IPrintOemDriverUI* driverHelper_ = nullptr;
  UiSheetState sheets_;  // the property trees' contexts, from the driver's OEM heap
};

class UiClassFactory final : public IClassFactory {
 public:
  UiClassFactory() = default;
  UiClassFactory(const UiClassFactory&) = delete;
  UiClassFactory& operator=(const UiClassFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~UiClassFactory() = default;
  volatile LONG refCount_ = 1;
};

// The device-mode callback of the UI plug-in (after the version probe).
HRESULT uiDevMode(DWORD mode, POEMDMPARAM param);

// GetInfo and QueryColorProfile, without an object.
HRESULT uiGetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
HRESULT uiQueryColorProfile(ULONG queryMode, VOID* profile, ULONG* profileSize, FLONG* flags);

}  // namespace vex
