#include "plugin_support.h"

#include <new>

#include <gtest/gtest.h>

namespace vex::test {

PluginModule::PluginModule(const wchar_t* dllName, const CLSID& clsid) : clsid_(clsid) {
  module_ = LoadLibraryW(dllName);
  EXPECT_NE(module_, nullptr) << "plug-in not loadable, error " << GetLastError();
  if (module_ == nullptr) return;
  getClassObject_ = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
  EXPECT_NE(getClassObject_, nullptr);
  EXPECT_NE(canUnloadNow_, nullptr);
}

PluginModule::~PluginModule() {
  if (module_ != nullptr) FreeLibrary(module_);
}

HRESULT PluginModule::getClassObject(REFCLSID clsid, REFIID iid, void** out) const {
  return getClassObject_ ? getClassObject_(clsid, iid, out) : E_UNEXPECTED;
}

HRESULT PluginModule::canUnloadNow() const {
  return canUnloadNow_ ? canUnloadNow_() : E_UNEXPECTED;
}

void* PluginModule::createObject(REFIID iid) const {
  IClassFactory* factory = nullptr;
  if (FAILED(getClassObject(clsid_, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return nullptr;
  }
  void* object = nullptr;
  factory->CreateInstance(nullptr, iid, &object);
  factory->Release();
  return object;
}

}  // namespace vex::test

namespace vex::test {

GuardedBuffer::GuardedBuffer(std::size_t size, bool atStart) : size_(size) {
  const std::size_t page = 4096;
  const std::size_t pages = (size + page - 1) / page;
  const std::size_t total = (pages + 2) * page;
  region_ = VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS);
  if (region_ == nullptr) throw std::bad_alloc();
  auto* base = static_cast<unsigned char*>(region_);
  DWORD old = 0;
  VirtualProtect(base + page, pages * page, PAGE_READWRITE, &old);
  data_ = atStart ? base + page : base + page + pages * page - size;
}

GuardedBuffer::~GuardedBuffer() {
  if (region_ != nullptr) VirtualFree(region_, 0, MEM_RELEASE);
}

}  // namespace vex::test
