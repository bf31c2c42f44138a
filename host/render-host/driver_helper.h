// What the driver offers the plug-in: its DEVOBJ with the driver procedures, and its helper
// interface IPrintOemDriverPS. Injected bytes and the document's own bytes both go through the
// plug-in's WritePrinter, as in the driver.
#pragma once

#include <cstdint>

#include "job_file.h"
#include "oem/oem_platform.h"

namespace vex::host {

struct OutputCounters {
  std::uint64_t documentBytes = 0;  // the stand-in's own bytes offered to the plug-in
  std::uint64_t injectedBytes = 0;  // bytes the plug-in wrote through DrvWriteSpoolBuf
  std::uint64_t shortBytes = 0;     // bytes WritePrinter answered S_OK for but did not count
  HRESULT firstFailure = S_OK;      // first failed WritePrinter
};

struct HostDevice {
  DEVOBJ devobj{};  // its address is what the plug-in hands back
  DRVPROCS procs{};
  IPrintOemPS2* plugin = nullptr;
  const FeatureSettings* features = nullptr;
  OutputCounters counters;
  HANDLE injectedLog = nullptr;  // receives a copy of every injected byte, when set
};

// The device of the running job (one at a time, as on the driver's rendering thread).
void setActiveDevice(HostDevice* device);
// The active device when `pdevobj` is its DEVOBJ, else null.
HostDevice* deviceOf(const void* pdevobj);

struct WriteResult {
  HRESULT hr;
  DWORD written;
};
// Offers bytes to the plug-in's WritePrinter and keeps count.
WriteResult writeThroughPlugin(HostDevice& device, const void* data, DWORD size, bool injected);

// DrvGetDriverSetting as the driver answers it: a feature keyword gives its option keyword
// (NUL-terminated); OEMGDS_PSDM_DIALECT gives the dialect as a DWORD; anything else fails with
// ERROR_INVALID_PARAMETER, a short buffer with ERROR_INSUFFICIENT_BUFFER.
BOOL answerDriverSetting(const FeatureSettings& features, PCSTR feature, PVOID output,
                         DWORD outputSize, PDWORD needed, PDWORD optionsReturned);

// The driver procedure table handed over in DEVOBJ.pDrvProcs.
DRVPROCS driverProcedures();

// The driver's helper interface, given to PublishDriverInterface. It lives as long as its owner
// and only counts references; `references()` tells whether the plug-in let go of it.
class DriverHelper final : public IPrintOemDriverPS {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned) override;
  HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                             DWORD* pdwResult) override;
  LONG references() const { return references_; }

 private:
  volatile LONG references_ = 1;  // the owner's
};

}  // namespace vex::host
