#include "ui_session.h"

#include "driver_ui.h"

namespace vex::uihost {
namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

std::wstring hex(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(hr));
  return text;
}

}  // namespace

HRESULT STDMETHODCALLTYPE DriverUiHelper::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
    *ppv = static_cast<IPrintOemDriverUI*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DriverUiHelper::AddRef() { return InterlockedIncrement(&refCount_); }

ULONG STDMETHODCALLTYPE DriverUiHelper::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE DriverUiHelper::DrvGetDriverSetting(PVOID pci, PCSTR feature,
                                                              PVOID output, DWORD size,
                                                              PDWORD needed, PDWORD returned) {
  return DriverUi::instance().getDriverSetting(pci, feature, output, size, needed, returned)
             ? S_OK
             : E_FAIL;
}

HRESULT STDMETHODCALLTYPE DriverUiHelper::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverUiHelper::DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previous,
                                                             DWORD mode) {
  return DriverUi::instance().updateUiSetting(pci, item, previous, mode) ? S_OK : E_FAIL;
}

UiSession::UiSession(const std::wstring& pluginPath) {
  module_ = LoadLibraryW(pluginPath.c_str());
  if (module_ == nullptr) {
    throw HostError{kNoPlugin,
                    L"cannot load " + pluginPath + L", error " + std::to_wstring(GetLastError())};
  }
  const auto getClassObject = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  if (getClassObject == nullptr) {
    FreeLibrary(module_);
    throw HostError{kNoPlugin, pluginPath + L" does not export DllGetClassObject"};
  }
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr) || factory == nullptr) {
    FreeLibrary(module_);
    throw HostError{kNoPlugin, L"DllGetClassObject returned " + hex(hr)};
  }
  hr = factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&plugin_));
  factory->Release();
  if (FAILED(hr) || plugin_ == nullptr) {
    FreeLibrary(module_);
    throw HostError{kNoPlugin, L"CreateInstance(IPrintOemUI2) returned " + hex(hr)};
  }
  helper_ = new DriverUiHelper();
  hr = plugin_->PublishDriverInterface(helper_);
  if (hr != S_OK) failAfterLoad({kPluginFailed, L"PublishDriverInterface returned " + hex(hr)});
  DWORD value = 0;
  DWORD needed = 0;
  hr = plugin_->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed);
  if (hr != S_OK || value != 0x32303030u) {
    failAfterLoad({kPluginFailed, L"GetInfo(OEMGI_GETSIGNATURE) returned " + hex(hr)});
  }
  hr = plugin_->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed);
  if (hr != S_OK) failAfterLoad({kPluginFailed, L"GetInfo(OEMGI_GETVERSION) returned " + hex(hr)});
}

void UiSession::failAfterLoad(const HostError& error) {
  close();
  throw error;
}

std::wstring UiSession::close() {
  std::wstring problem;
  if (plugin_ != nullptr) {
    const ULONG left = plugin_->Release();
    plugin_ = nullptr;
    if (left != 0) problem = L"the last Release returned " + std::to_wstring(left);
  }
  if (helper_ != nullptr) {
    if (problem.empty() && helper_->references() != 1) {
      problem = L"the plug-in keeps " + std::to_wstring(helper_->references() - 1) +
                L" reference(s) to the driver's helper";
    }
    helper_->Release();
    helper_ = nullptr;
  }
  if (module_ != nullptr) {
    const auto canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    if (problem.empty() && (canUnloadNow == nullptr || canUnloadNow() != S_OK)) {
      problem = L"DllCanUnloadNow does not answer S_OK after the last Release";
    }
    FreeLibrary(module_);
    module_ = nullptr;
  }
  return problem;
}

UiSession::~UiSession() { close(); }

}  // namespace vex::uihost
