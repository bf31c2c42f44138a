#include "ui_module_support.h"

#include <gtest/gtest.h>

#include "host_files.h"
#include "printer_setup.h"

namespace vex::test {


HRESULT STDMETHODCALLTYPE FakeDriverUi::QueryInterface(REFIID riid, void** ppv) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
    *ppv = static_cast<IPrintOemDriverUI*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

JobInfoSwitches::JobInfoSwitches(const std::string& text)
    : path_(joinPath(driverDirectory3(), L"vexjobinfo.ini")) {
  bool written = false;
  DWORD code = 0;
  EXPECT_TRUE(writeFileIfDifferent(path_, text, &written, &code)) << "error " << code;
}

JobInfoSwitches::~JobInfoSwitches() { DeleteFileW(path_.c_str()); }

}  // namespace vex::test
