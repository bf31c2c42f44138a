// Loading the rendering plug-in DLL of the build the way the driver does.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex::test {

// A plug-in DLL of the build, loaded as the driver loads it, with its two COM exports.
class PluginModule {
 public:
  PluginModule(const wchar_t* dllName, const CLSID& clsid);
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out) const;
  HRESULT canUnloadNow() const;

 protected:
  // A new object of the plug-in's class through its class factory (null on failure).
  void* createObject(REFIID iid) const;

 private:
  HMODULE module_ = nullptr;
  CLSID clsid_;
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
  GetClassObjectFn getClassObject_ = nullptr;
  CanUnloadNowFn canUnloadNow_ = nullptr;
};

class RenderModule : public PluginModule {
 public:
  RenderModule() : PluginModule(L"vexps.dll", CLSID_OEMRENDER) {}
  IPrintOemPS2* createPlugin() const {
    return static_cast<IPrintOemPS2*>(createObject(IID_IPrintOemPS2));
  }
};

}  // namespace vex::test

namespace vex::test {

// A buffer whose last byte sits just before an inaccessible page (and whose first byte just
// after one when `atStart`), so that any read or write past it faults.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(std::size_t size, bool atStart = false);
  ~GuardedBuffer();
  GuardedBuffer(const GuardedBuffer&) = delete;
  GuardedBuffer& operator=(const GuardedBuffer&) = delete;
  unsigned char* data() { return data_; }
  std::size_t size() const { return size_; }

 private:
  void* region_ = nullptr;
  unsigned char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace vex::test
