#include "fake_driver_support.h"

#include <cstring>

namespace vex::test {

std::vector<DriverCall>& driverCalls() {
  static std::vector<DriverCall> calls;
  return calls;
}

struct FakeDriverAccess {
  static FakeDriver* of(PDEVOBJ pdevobj) {
    return reinterpret_cast<FakeDriver::Frame*>(pdevobj)->owner;
  }
};

namespace {

template <typename F>
PFN asPfn(F f) {
  return reinterpret_cast<PFN>(reinterpret_cast<void*>(f));
}

void record(ULONG index, void* first, ULONG_PTR last) {
  driverCalls().push_back({index, first, last});
}

BOOL APIENTRY DriverBitBlt(SURFOBJ* t, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*,
                           POINTL*, BRUSHOBJ*, POINTL*, ROP4 rop) {
  record(INDEX_DrvBitBlt, t, rop);
  return TRUE;
}
BOOL APIENTRY DriverTextOut(SURFOBJ* s, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                            BRUSHOBJ*, POINTL*, MIX mix) {
  record(INDEX_DrvTextOut, s, mix);
  return TRUE;
}
BOOL APIENTRY DriverStartPage(SURFOBJ* s) {
  record(INDEX_DrvStartPage, s, 0);
  return TRUE;
}
BOOL APIENTRY DriverSendPage(SURFOBJ* s) {
  record(INDEX_DrvSendPage, s, 0);
  return TRUE;
}
BOOL APIENTRY DriverStartDoc(SURFOBJ* s, LPWSTR, DWORD jobId) {
  record(INDEX_DrvStartDoc, s, jobId);
  return TRUE;
}
BOOL APIENTRY DriverEndDoc(SURFOBJ* s, FLONG fl) {
  record(INDEX_DrvEndDoc, s, fl);
  return TRUE;
}
BOOL APIENTRY DriverRealizeBrush(BRUSHOBJ* b, SURFOBJ*, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG h) {
  record(INDEX_DrvRealizeBrush, b, h);
  return FALSE;
}
ULONG APIENTRY DriverGetGlyphMode(DHPDEV d, FONTOBJ*) {
  record(INDEX_DrvGetGlyphMode, d, 0);
  return 7;
}
LONG APIENTRY DriverQueryFontData(DHPDEV d, FONTOBJ*, ULONG, HGLYPH, GLYPHDATA*, PVOID,
                                  ULONG cj) {
  record(INDEX_DrvQueryFontData, d, cj);
  return 42;
}

DWORD APIENTRY ProcWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size) {
  FakeDriverAccess::of(pdevobj)->injected.append(static_cast<const char*>(buffer), size);
  return size;
}
INT APIENTRY ProcMoveTo(PDEVOBJ, INT, DWORD) { return 0; }

BOOL APIENTRY ProcGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID output, DWORD size,
                                   PDWORD needed, PDWORD options) {
  FakeDriver* driver = FakeDriverAccess::of(static_cast<PDEVOBJ>(pdriverobj));
  return SUCCEEDED(driver->DrvGetDriverSetting(pdriverobj, feature, output, size, needed, options));
}

}  // namespace

FakeDriver::FakeDriver() {
  frame_.owner = this;
  frame_.devobj.dwSize = sizeof(DEVOBJ);
  frame_.devobj.pDrvProcs = &procs_;
  procs_.DrvWriteSpoolBuf = ProcWriteSpoolBuf;
  procs_.DrvXMoveTo = ProcMoveTo;
  procs_.DrvYMoveTo = ProcMoveTo;
  procs_.DrvGetDriverSetting = ProcGetDriverSetting;
  driverFunctions_ = {
      {INDEX_DrvBitBlt, asPfn(DriverBitBlt)},         {INDEX_DrvTextOut, asPfn(DriverTextOut)},
      {INDEX_DrvStartPage, asPfn(DriverStartPage)},   {INDEX_DrvSendPage, asPfn(DriverSendPage)},
      {INDEX_DrvStartDoc, asPfn(DriverStartDoc)},     {INDEX_DrvEndDoc, asPfn(DriverEndDoc)},
      {INDEX_DrvRealizeBrush, asPfn(DriverRealizeBrush)},
      {INDEX_DrvGetGlyphMode, asPfn(DriverGetGlyphMode)},
      {INDEX_DrvQueryFontData, asPfn(DriverQueryFontData)},
  };
  driverTable_.iDriverVersion = DDI_DRIVER_VERSION_NT5;
  driverTable_.c = static_cast<ULONG>(driverFunctions_.size());
  driverTable_.pdrvfn = driverFunctions_.data();
}

HRESULT STDMETHODCALLTYPE FakeDriver::QueryInterface(REFIID riid, void** ppv) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverPS)) {
    *ppv = static_cast<IPrintOemDriverPS*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

BOOL FakeDriver::answerSetting(PCSTR feature, PVOID output, DWORD size, PDWORD needed) {
  if (reinterpret_cast<ULONG_PTR>(feature) < OEMGDS_MAX) {
    settingsAsked.push_back("#" + std::to_string(reinterpret_cast<ULONG_PTR>(feature)));
    if (reinterpret_cast<ULONG_PTR>(feature) != OEMGDS_PSDM_DIALECT || size < sizeof(DWORD)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    const DWORD value = dialect;
    std::memcpy(output, &value, sizeof(value));
    *needed = sizeof(DWORD);
    return TRUE;
  }
  settingsAsked.push_back(feature);
  const auto it = features.find(feature);
  if (it == features.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *needed = static_cast<DWORD>(it->second.size() + 1);
  if (size < *needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(output, it->second.c_str(), *needed);
  return TRUE;
}

HRESULT STDMETHODCALLTYPE FakeDriver::DrvGetDriverSetting(PVOID, PCSTR feature, PVOID output,
                                                          DWORD size, PDWORD needed,
                                                          PDWORD options) {
  if (settingFault == Fault::AccessViolation) {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
  } else if (settingFault == Fault::DivideByZero) {
    volatile int one = 1;
    volatile int zero = 0;
    volatile int result = one / zero;
    (void)result;
  }
  if (options != nullptr) *options = 1;
  return answerSetting(feature, output, size, needed) ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE FakeDriver::DrvWriteSpoolBuf(PDEVOBJ, PVOID buffer, DWORD size,
                                                       DWORD* written) {
  const DWORD taken = size > shortWriteBy ? size - shortWriteBy : 0;
  injected.append(static_cast<const char*>(buffer), taken);
  *written = taken;
  return S_OK;
}

}  // namespace vex::test
