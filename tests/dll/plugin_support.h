// Loading the rendering plug-in DLL of the build the way the driver does.
#pragma once

#include <windows.h>

#include "oem/oem_platform.h"

namespace vex::test {

class RenderModule {
 public:
  RenderModule();
  ~RenderModule();
  RenderModule(const RenderModule&) = delete;
  RenderModule& operator=(const RenderModule&) = delete;

  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out) const;
  HRESULT canUnloadNow() const;
  // A new plug-in object through the class factory (null on failure).
  IPrintOemPS2* createPlugin() const;

 private:
  HMODULE module_ = nullptr;
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
  GetClassObjectFn getClassObject_ = nullptr;
  CanUnloadNowFn canUnloadNow_ = nullptr;
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
