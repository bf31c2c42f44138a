#include "ui_plugin.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

#include "config_files.h"
#include "document_event.h"
#include "document_pages.h"
#include "no_throw.h"
#include "oem_heap_blocks.h"
#include "printer_init.h"
#include "private_settings.h"
#include "ui_module_state.h"
#include "ui_record_rules.h"

namespace vex {
namespace {

constexpr wchar_t kProfileName[] = L"OEMPROFILE.icm";
constexpr ULONG kProfileBytes = 32;
constexpr DWORD kQcpProfileDisk = 2;  // QCP_PROFILEDISK

bool isOemUiInterface(REFIID riid) {
  return IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI2) ||
         IsEqualIID(riid, IID_IPrintOemUI);
}

HRESULT invalidParameter() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return E_FAIL;
}

}  // namespace

// ---- device mode, information, colour profile ------------------------------------------------

HRESULT uiDevMode(DWORD mode, POEMDMPARAM param) {
  if (param == nullptr || mode < OEMDM_SIZE || mode > OEMDM_MERGE) return invalidParameter();
  if (mode == OEMDM_SIZE) {
    param->cbBufSize = kRecordSize;
    return S_OK;
  }
  auto* out = static_cast<std::uint8_t*>(param->pOEMDMOut);
  const auto* in = static_cast<const std::uint8_t*>(param->pOEMDMIn);
  // The output is the driver's buffer of the size it states: a record never spills past it.
  if (out != nullptr && param->cbBufSize < kRecordSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  switch (mode) {
    case OEMDM_DEFAULT:
      applyUiDefaults(param->hPrinter, out);
      break;
    case OEMDM_CONVERT:
      applyUiConvert(param->hPrinter, in, out);
      break;
    case OEMDM_MERGE:
      applyUiMerge(param->hPrinter, in, out);
      break;
  }
  return S_OK;
}

HRESULT uiGetInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
  if (needed == nullptr) return invalidParameter();
  switch (mode) {
    case OEMGI_GETSIGNATURE:
    case OEMGI_GETVERSION:
    case OEMGI_GETPUBLISHERINFO:
      break;
    default:
      return invalidParameter();
  }
  *needed = sizeof(DWORD);
  if (buffer == nullptr || size < sizeof(DWORD)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  if (mode == OEMGI_GETPUBLISHERINFO) {
    *needed = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return E_FAIL;
  }
  const DWORD value = mode == OEMGI_GETSIGNATURE ? kRecordSignature : kRecordVersion;
  std::memcpy(buffer, &value, sizeof(value));
  return S_OK;
}

HRESULT uiQueryColorProfile(ULONG queryMode, VOID* profile, ULONG* profileSize, FLONG* flags) {
  if (queryMode != 0) return E_FAIL;  // only the device profile is answered
  if (profileSize == nullptr) return invalidParameter();
  if (profile == nullptr || *profileSize < kProfileBytes) {
    *profileSize = kProfileBytes;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  // Bounded by the buffer's bytes: the name takes 30 of the 32 at least given.
  const std::size_t chars = *profileSize / sizeof(wchar_t);
  const std::size_t copy = std::min(chars - 1, std::wcslen(kProfileName));
  auto* out = static_cast<wchar_t*>(profile);
  std::memcpy(out, kProfileName, copy * sizeof(wchar_t));
  out[copy] = L'\0';
  *profileSize = kProfileBytes;
  if (flags != nullptr) *flags = kQcpProfileDisk;
  return S_OK;
}

// ---- UiPlugin ----------------------------------------------------------------------------------

UiPlugin::UiPlugin() { InterlockedIncrement(&uiModuleState().liveObjectCount); }

UiPlugin::~UiPlugin() { InterlockedDecrement(&uiModuleState().liveObjectCount); }

HRESULT STDMETHODCALLTYPE UiPlugin::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (isOemUiInterface(riid)) {
    *ppv = static_cast<IPrintOemUI2*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE UiPlugin::AddRef() { return InterlockedIncrement(&refCount_); }

ULONG STDMETHODCALLTYPE UiPlugin::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count > 0) return static_cast<ULONG>(count);
  if (driverHelper_ != nullptr) {
    driverHelper_->Release();
    driverHelper_ = nullptr;
  }
  // The pages' state goes whatever became of the driver's heap; the printer context is a block
  // of that heap.
  sheets_.pageContext.reset();
  if (sheets_.oemHeap != nullptr) {
    freeHeapBlock(sheets_.oemHeap, sheets_.printerPageContext);
    sheets_.printerPageContext = nullptr;
    sheets_.oemHeap = nullptr;
  }
  delete this;
  return 0;
}

HRESULT STDMETHODCALLTYPE UiPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                            PDWORD pcbNeeded) {
  return uiGetInfo(dwMode, pBuffer, cbSize, pcbNeeded);
}

HRESULT STDMETHODCALLTYPE UiPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  try {
    runVersionProbe();
    return uiDevMode(dwMode, pOemDMParam);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE UiPlugin::PublishDriverInterface(IUnknown* pIUnknown) {
  if (driverHelper_ != nullptr) return S_OK;
  if (pIUnknown == nullptr) return E_FAIL;
  void* helper = nullptr;
  if (FAILED(pIUnknown->QueryInterface(IID_IPrintOemDriverUI, &helper)) || helper == nullptr) {
    driverHelper_ = nullptr;
    return E_FAIL;
  }
  driverHelper_ = static_cast<IPrintOemDriverUI*>(helper);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE UiPlugin::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
  try {
    return commonUiProp(sheets_, this, dwMode, pOemCUIPParam);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// No document page exists yet: init adds none and answers 1, destroy 1, set-result the block's
// result; other reasons answer 0. The result is also the return value.
HRESULT STDMETHODCALLTYPE UiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                           LPARAM lParam) {
  runVersionProbe();
  if (pPSUIInfo == nullptr || pPSUIInfo->Version != PROPSHEETUI_INFO_VERSION) {
    return invalidParameter();
  }
  LONG_PTR result = 0;
  switch (pPSUIInfo->Reason) {
    case PROPSHEETUI_REASON_INIT:
      // The sheet's handles go with the document tree's context, when the tree was bound.
      result = 1;
      if (DocumentContext* context = sheets_.pageContext.get()) {
        result = noThrow<LONG_PTR>(1, [&] { return addDocumentPages(*context, *pPSUIInfo); });
      }
      break;
    case PROPSHEETUI_REASON_DESTROY:
      result = 1;
      break;
    case PROPSHEETUI_REASON_SET_RESULT: {
      const auto* info = reinterpret_cast<const SETRESULT_INFO*>(lParam);
      result = info != nullptr ? info->Result : 0;
      break;
    }
    default:
      break;
  }
  pPSUIInfo->Result = result;
  return static_cast<HRESULT>(result);
}

HRESULT STDMETHODCALLTYPE UiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                         LPARAM lParam) {
  runVersionProbe();
  if (pPSUIInfo == nullptr || pPSUIInfo->Version != PROPSHEETUI_INFO_VERSION) {
    return invalidParameter();
  }
  LONG_PTR result = 0;
  switch (pPSUIInfo->Reason) {
    case PROPSHEETUI_REASON_INIT:
      // The sheet's handles go with the printer tree's context, when the tree was bound.
      if (PrinterContext* context = sheets_.printerPageContext) {
        context->propertySheet = pPSUIInfo->hComPropSheet;
        context->comPropSheet = pPSUIInfo->pfnComPropSheet;
        context->initParam = pPSUIInfo->lParamInit;
      }
      result = 1;
      break;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
      if (header != nullptr) header->pTitle = const_cast<LPTSTR>(L"OEM UI Page");
      result = 1;
      break;
    }
    case PROPSHEETUI_REASON_DESTROY:
      result = 1;
      break;
    case PROPSHEETUI_REASON_SET_RESULT: {
      const auto* info = reinterpret_cast<const SETRESULT_INFO*>(lParam);
      result = info != nullptr ? info->Result : 0;
      break;
    }
    case PROPSHEETUI_REASON_GET_ICON:
    default:
      result = 0;
      break;
  }
  pPSUIInfo->Result = result;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE UiPlugin::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW,
                                                    PVOID) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE UiPlugin::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID,
                                                       PDEVMODEW, PVOID, DWORD, DWORD*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE UiPlugin::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE UiPlugin::PrinterEvent(PWSTR pPrinterName, INT iDriverEvent, DWORD,
                                                 LPARAM) {
  constexpr INT kPrinterEventInitialize = 3;  // PRINTER_EVENT_INITIALIZE
  if (iDriverEvent != kPrinterEventInitialize) return S_OK;
  try {
    return initialisePrinter(pPrinterName) == 0 ? S_OK : E_FAIL;
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT STDMETHODCALLTYPE UiPlugin::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE UiPlugin::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID,
                                                      ULONG ulQueryMode, VOID* pvProfileData,
                                                      ULONG* pcbProfileData,
                                                      FLONG* pflProfileData) {
  return uiQueryColorProfile(ulQueryMode, pvProfileData, pcbProfileData, pflProfileData);
}

HRESULT STDMETHODCALLTYPE UiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE UiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE UiPlugin::QueryJobAttributes(HANDLE, PDEVMODEW, DWORD, LPBYTE) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE UiPlugin::HideStandardUI(DWORD dwMode) {
  if (dwMode == OEMCUIP_DOCPROP || dwMode == OEMCUIP_PRNPROP) sheets_.hideStandardUiQueried = 1;
  return E_NOTIMPL;  // the driver's standard pages stay
}

HRESULT STDMETHODCALLTYPE UiPlugin::DocumentEvent(HANDLE hPrinter, HDC, INT iEsc, ULONG cbIn,
                                                  PVOID pvIn, ULONG cbOut, PVOID pvOut,
                                                  PINT piResult) {
  return uiDocumentEvent(hPrinter, iEsc, cbIn, pvIn, cbOut, pvOut, piResult);
}

UiSheetState* uiSheetStateOf(POEMCUIPPARAM param) {
  if (param == nullptr || param->pOEMUserData == nullptr) return nullptr;
  return &static_cast<UiPlugin*>(param->pOEMUserData)->sheets();
}

// ---- UiClassFactory ----------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE UiClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE UiClassFactory::AddRef() { return InterlockedIncrement(&refCount_); }

ULONG STDMETHODCALLTYPE UiClassFactory::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE UiClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  auto* plugin = new (std::nothrow) UiPlugin();
  if (plugin == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = plugin->QueryInterface(riid, ppv);
  plugin->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE UiClassFactory::LockServer(BOOL lock) {
  if (lock) {
    InterlockedIncrement(&uiModuleState().serverLockCount);
  } else {
    InterlockedDecrement(&uiModuleState().serverLockCount);
  }
  return S_OK;
}

}  // namespace vex
