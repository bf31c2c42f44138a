#include "driver_helper.h"

#include <cstring>

namespace vex::host {
namespace {

HostDevice* g_activeDevice = nullptr;

DWORD APIENTRY procWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size) {
  HostDevice* device = deviceOf(pdevobj);
  if (!device || (!buffer && size != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return writeThroughPlugin(*device, buffer, size, true).written;
}

// Cursor moves belong to the raster driver; this driver only takes note of them.
INT APIENTRY procXMoveTo(PDEVOBJ pdevobj, INT x, DWORD) { return deviceOf(pdevobj) ? x : 0; }
INT APIENTRY procYMoveTo(PDEVOBJ pdevobj, INT y, DWORD) { return deviceOf(pdevobj) ? y : 0; }

BOOL APIENTRY procGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID output, DWORD size,
                                   PDWORD needed, PDWORD options) {
  HostDevice* device = deviceOf(pdriverobj);
  if (!device) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return answerDriverSetting(*device->features, feature, output, size, needed, options);
}

}  // namespace

void setActiveDevice(HostDevice* device) { g_activeDevice = device; }

HostDevice* deviceOf(const void* pdevobj) {
  if (g_activeDevice && pdevobj == &g_activeDevice->devobj) return g_activeDevice;
  return nullptr;
}

WriteResult writeThroughPlugin(HostDevice& device, const void* data, DWORD size, bool injected) {
  DWORD written = 0;
  HRESULT hr = device.plugin->WritePrinter(&device.devobj, const_cast<void*>(data), size, &written);
  OutputCounters& c = device.counters;
  if (injected) {
    c.injectedBytes += size;
    if (device.injectedLog != nullptr) {
      DWORD logged = 0;
      WriteFile(device.injectedLog, data, size, &logged, nullptr);
    }
  } else {
    c.documentBytes += size;
  }
  if (FAILED(hr)) {
    if (c.firstFailure == S_OK) c.firstFailure = hr;
    return {hr, 0};
  }
  if (written < size) c.shortBytes += size - written;
  return {hr, written};
}

BOOL answerDriverSetting(const FeatureSettings& features, PCSTR feature, PVOID output,
                         DWORD outputSize, PDWORD needed, PDWORD optionsReturned) {
  if (!needed) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto index = reinterpret_cast<ULONG_PTR>(feature);
  if (index < OEMGDS_MAX) {
    // A predefined index in place of a keyword.
    if (index != OEMGDS_PSDM_DIALECT) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *needed = sizeof(DWORD);
    if (!output || outputSize < sizeof(DWORD)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    DWORD dialect = features.dialect;
    std::memcpy(output, &dialect, sizeof dialect);
    if (optionsReturned) *optionsReturned = 1;
    return TRUE;
  }
  for (const auto& [keyword, option] : features.options) {
    if (std::strcmp(keyword.c_str(), feature) != 0) continue;
    *needed = static_cast<DWORD>(option.size() + 1);
    if (!output || outputSize < option.size() + 1) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    std::memcpy(output, option.c_str(), option.size() + 1);
    if (optionsReturned) *optionsReturned = 1;
    return TRUE;
  }
  // The driver does not know the feature.
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

DRVPROCS driverProcedures() {
  DRVPROCS procs{};
  procs.DrvWriteSpoolBuf = procWriteSpoolBuf;
  procs.DrvXMoveTo = procXMoveTo;
  procs.DrvYMoveTo = procYMoveTo;
  procs.DrvGetDriverSetting = procGetDriverSetting;
  return procs;
}

HRESULT STDMETHODCALLTYPE DriverHelper::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverPS)) {
    *ppv = static_cast<IPrintOemDriverPS*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DriverHelper::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE DriverHelper::Release() {
  return static_cast<ULONG>(InterlockedDecrement(&references_));
}

HRESULT STDMETHODCALLTYPE DriverHelper::DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature,
                                                            PVOID pOutput, DWORD cbSize,
                                                            PDWORD pcbNeeded,
                                                            PDWORD pdwOptionsReturned) {
  HostDevice* device = deviceOf(pdriverobj);
  if (!device) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_INVALIDARG;
  }
  return answerDriverSetting(*device->features, Feature, pOutput, cbSize, pcbNeeded,
                             pdwOptionsReturned)
             ? S_OK
             : E_FAIL;
}

HRESULT STDMETHODCALLTYPE DriverHelper::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer,
                                                         DWORD cbSize, DWORD* pdwResult) {
  HostDevice* device = deviceOf(pdevobj);
  if (!device || !pdwResult || (!pBuffer && cbSize != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_INVALIDARG;
  }
  WriteResult result = writeThroughPlugin(*device, pBuffer, cbSize, true);
  *pdwResult = result.written;
  return SUCCEEDED(result.hr) && result.written == cbSize ? S_OK : E_FAIL;
}

}  // namespace vex::host
