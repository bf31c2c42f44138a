// A stand-in for the PostScript driver's side of the rendering plug-in: its helper interface,
// its procedure table, its DEVOBJ and its own graphics entry points, all recording what the
// plug-in asks of them.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "oem/oem_platform.h"

namespace vex::test {

class FakeDriver final : public IPrintOemDriverPS {
 public:
  FakeDriver();
  FakeDriver(const FakeDriver&) = delete;
  FakeDriver& operator=(const FakeDriver&) = delete;

  // IUnknown (the object lives on the test's stack; counts are only observed)
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount; }
  ULONG STDMETHODCALLTYPE Release() override { return --refCount; }
  // IPrintOemDriverPS
  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature, PVOID output,
                                                DWORD size, PDWORD needed,
                                                PDWORD options) override;
  HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer, DWORD size,
                                             DWORD* written) override;

  PDEVOBJ devobj() { return &frame_.devobj; }
  // The driver's own entry points, as EnablePDEV receives them.
  DRVENABLEDATA* driverTable() { return &driverTable_; }

  // What the driver answers.
  std::map<std::string, std::string> features;  // keyword → option keyword
  BYTE dialect = 0;
  enum class Fault { None, AccessViolation, DivideByZero } settingFault = Fault::None;
  DWORD shortWriteBy = 0;  // DrvWriteSpoolBuf reports this many bytes fewer than asked

  // What the plug-in asked.
  ULONG refCount = 1;
  std::string injected;                // bytes through DrvWriteSpoolBuf (helper interface)
  std::vector<std::string> settingsAsked;  // keywords, or "#n" for a predefined index

 private:
  friend struct FakeDriverAccess;
  struct Frame {
    DEVOBJ devobj;
    FakeDriver* owner;
  } frame_{};
  DRVPROCS procs_{};
  std::vector<DRVFN> driverFunctions_;
  DRVENABLEDATA driverTable_{};
  BOOL answerSetting(PCSTR feature, PVOID output, DWORD size, PDWORD needed);
};

// Calls of the fake driver's graphics entry points: function index and first argument.
struct DriverCall {
  ULONG index;
  void* first;
  ULONG_PTR last;  // the last argument, to see that every argument was passed along
};
std::vector<DriverCall>& driverCalls();

}  // namespace vex::test
