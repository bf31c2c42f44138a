// The UI plug-in's COM surface and its small methods, as the driver's configuration module meets
// them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "printer_support.h"
#include "ui_module_state.h"
#include "ui_module_support.h"
#include "ui_plugin.h"

namespace {

using vex::test::UiModule;

TEST(UiComSurface, OnlyTheUiClassIsServed) {
  UiModule module;
  const CLSID others[] = {CLSID_OEMRENDER, IID_IPrintOemUI2, CLSID_NULL};
  for (const CLSID& clsid : others) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(module.getClassObject(clsid, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(module.canUnloadNow(), S_OK);
}

TEST(UiComSurface, FactoryAnswersItsInterfacesOnly) {
  UiModule module;
  IUnknown* unknown = nullptr;
  ASSERT_EQ(module.getClassObject(CLSID_OEMUI, IID_IUnknown, reinterpret_cast<void**>(&unknown)),
            S_OK);
  IClassFactory* factory = nullptr;
  EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  void* other = reinterpret_cast<void*>(1);
  EXPECT_EQ(unknown->QueryInterface(IID_IPrintOemUI, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(module.getClassObject(CLSID_OEMUI, IID_IPrintOemUI2, &none), E_NOINTERFACE)
      << "a failed query of the exported function returns the query's error";
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(factory->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
}

TEST(UiComSurface, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
  UiModule module;
  IClassFactory* factory = nullptr;
  ASSERT_EQ(
      module.getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      S_OK);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(factory, IID_IPrintOemUI2, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemPS2, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(module.canUnloadNow(), S_OK) << "a refused object must not stay counted";
  factory->Release();
}

TEST(UiComSurface, PluginAnswersThreeInterfaces) {
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  for (const IID& iid : {IID_IUnknown, IID_IPrintOemUI, IID_IPrintOemUI2}) {
    void* same = nullptr;
    EXPECT_EQ(plugin->QueryInterface(iid, &same), S_OK);
    EXPECT_EQ(same, static_cast<void*>(plugin));
    if (same != nullptr) plugin->Release();
  }
  for (const IID& iid : {IID_IPrintOemPS, IID_IPrintOemPS2, IID_IClassFactory}) {
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(plugin->QueryInterface(iid, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
  }
  EXPECT_EQ(plugin->AddRef(), 2u);
  EXPECT_EQ(plugin->Release(), 1u);
  EXPECT_EQ(plugin->Release(), 0u);
}

TEST(UiComSurface, CannotUnloadWhileAnObjectLivesOrTheServerIsLocked) {
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(module.canUnloadNow(), S_FALSE);
  plugin->Release();
  EXPECT_EQ(module.canUnloadNow(), S_OK);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(
      module.getClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(module.canUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(module.canUnloadNow(), S_OK);
  factory->Release();
}

TEST(UiComSurface, DriverHelperIsKeptOnceAndReleasedWithTheObject) {
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  vex::test::FakeDriverUi helper;
  EXPECT_EQ(plugin->PublishDriverInterface(&helper), S_OK);
  EXPECT_EQ(helper.refs(), 2);
  EXPECT_EQ(plugin->PublishDriverInterface(&helper), S_OK);
  EXPECT_EQ(helper.refs(), 2) << "a second publication keeps the first helper";
  plugin->Release();
  EXPECT_EQ(helper.refs(), 1);

  IPrintOemUI2* other = module.createPlugin();
  ASSERT_NE(other, nullptr);
  IUnknown* notAHelper = other;  // answers neither IPrintOemDriverUI
  EXPECT_EQ(other->PublishDriverInterface(notAHelper), E_FAIL);
  EXPECT_EQ(other->PublishDriverInterface(nullptr), E_FAIL);
  EXPECT_EQ(other->Release(), 0u);
}

struct InfoCase {
  DWORD mode;
  DWORD size;
  bool buffer;
  HRESULT hr;
  DWORD lastError;  // 0: success
  DWORD needed;
  DWORD value;
};

TEST(UiGetInfo, ModesAndBuffers) {
  const InfoCase cases[] = {
      {OEMGI_GETSIGNATURE, 4, true, S_OK, 0, 4, 0x32303030u},
      {OEMGI_GETVERSION, 8, true, S_OK, 0, 4, 1},
      {OEMGI_GETSIGNATURE, 3, true, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
      {OEMGI_GETVERSION, 4, false, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
      {OEMGI_GETPUBLISHERINFO, 4, true, E_FAIL, ERROR_NOT_SUPPORTED, 0, 0},
      {OEMGI_GETPUBLISHERINFO, 2, true, E_FAIL, ERROR_INSUFFICIENT_BUFFER, 4, 0},
      {OEMGI_GETINTERFACEVERSION, 4, true, E_FAIL, ERROR_INVALID_PARAMETER, 0xAAAA, 0},
      {5, 4, true, E_FAIL, ERROR_INVALID_PARAMETER, 0xAAAA, 0},
  };
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  for (const InfoCase& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + ", size " + std::to_string(c.size));
    DWORD value = 0;
    DWORD needed = 0xAAAA;
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(c.mode, c.buffer ? &value : nullptr, c.size, &needed), c.hr);
    if (c.lastError != 0) {
      EXPECT_EQ(GetLastError(), c.lastError);
    }
    EXPECT_EQ(needed, c.needed);
    EXPECT_EQ(value, c.value);
  }
  DWORD value = 0;
  SetLastError(0);
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, 4, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  plugin->Release();
}

TEST(UiQueryColorProfile, DeviceProfileOnlyWithThirtyTwoBytes) {
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  struct Case {
    ULONG size;
    HRESULT hr;
  } cases[] = {{31, E_FAIL}, {0, E_FAIL}, {32, S_OK}, {64, S_OK}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    wchar_t profile[32];
    std::memset(profile, 0x5A, sizeof(profile));
    ULONG size = c.size;
    FLONG flags = 0;
    SetLastError(0);
    EXPECT_EQ(
        plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, profile, &size, &flags),
        c.hr);
    EXPECT_EQ(size, 32u);
    if (c.hr == S_OK) {
      EXPECT_STREQ(profile, L"OEMPROFILE.icm");
      EXPECT_EQ(flags, 2u);
    } else {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
      EXPECT_EQ(flags, 0u);
      EXPECT_EQ(reinterpret_cast<unsigned char*>(profile)[0], 0x5A) << "nothing written";
    }
  }
  ULONG size = 32;
  EXPECT_EQ(
      plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 0, nullptr, &size, nullptr),
      E_FAIL);
  EXPECT_EQ(size, 32u);
  wchar_t profile[32] = L"";
  size = 32;
  EXPECT_EQ(
      plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, 1, profile, &size, nullptr),
      E_FAIL)
      << "only the device profile is answered";
  EXPECT_EQ(profile[0], L'\0');
  plugin->Release();
}

TEST(UiHideStandardUI, FlagForDocumentAndPrinterPropertiesOnly) {
  const struct {
    DWORD mode;
    bool flagged;
  } cases[] = {{OEMCUIP_DOCPROP, true}, {OEMCUIP_PRNPROP, true}, {3, false}, {0, false}};
  for (const auto& c : cases) {
    // The object of the build's UI library itself, to see its fields.
    auto* plugin = new vex::UiPlugin();
    EXPECT_EQ(plugin->HideStandardUI(c.mode), E_NOTIMPL) << c.mode;
    EXPECT_EQ(plugin->hideStandardUiQueried(), c.flagged) << c.mode;
    plugin->Release();
  }
}

TEST(UiPluginSlots, NotImplementedSlotsAndPrinterEvents) {
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  DWORD result = 0;
  EXPECT_EQ(plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0,
                                       &result),
            E_NOTIMPL);
  EXPECT_EQ(plugin->UpgradePrinter(1, nullptr), E_NOTIMPL);
  EXPECT_EQ(plugin->DriverEvent(1, 1, nullptr, 0), E_NOTIMPL);
  EXPECT_EQ(plugin->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
  EXPECT_EQ(plugin->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(plugin->QueryJobAttributes(nullptr, nullptr, 1, nullptr), E_NOTIMPL);
  // Only initialisation does work; it fails for a printer that does not exist.
  wchar_t name[] = L"VEX UI Events (not installed)";
  for (INT event = 1; event <= 6; ++event) {
    EXPECT_EQ(plugin->PrinterEvent(name, event, 0, 0), event == 3 ? E_FAIL : S_OK) << event;
  }
  plugin->Release();
}

struct SheetCase {
  WORD reason;
  LONG_PTR lParamResult;  // the set-result block's result
  LONG_PTR deviceResult;
  LONG_PTR documentResult;
};

TEST(UiPropertySheets, ReasonsAndResults) {
  const SheetCase cases[] = {
      {PROPSHEETUI_REASON_INIT, 0, 1, 1},
      {PROPSHEETUI_REASON_DESTROY, 0, 1, 1},
      {PROPSHEETUI_REASON_SET_RESULT, 7, 7, 7},
      {PROPSHEETUI_REASON_GET_ICON, 0, 0, 0},
      {9, 0, 0, 0},
  };
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  for (const SheetCase& c : cases) {
    SCOPED_TRACE(c.reason);
    SETRESULT_INFO setResult{};
    setResult.cbSize = sizeof(setResult);
    setResult.Result = c.lParamResult;
    const LPARAM lParam =
        c.reason == PROPSHEETUI_REASON_SET_RESULT ? reinterpret_cast<LPARAM>(&setResult) : 0;
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = c.reason;
    info.Result = -99;
    EXPECT_EQ(plugin->DevicePropertySheets(&info, lParam), S_OK);
    EXPECT_EQ(info.Result, c.deviceResult);
    info.Result = -99;
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, lParam),
              static_cast<HRESULT>(c.documentResult));
    EXPECT_EQ(info.Result, c.documentResult);
  }
  PROPSHEETUI_INFO_HEADER header{};
  header.cbSize = sizeof(header);
  PROPSHEETUI_INFO info{};
  info.cbSize = sizeof(info);
  info.Version = PROPSHEETUI_INFO_VERSION;
  info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
  EXPECT_EQ(plugin->DevicePropertySheets(&info, reinterpret_cast<LPARAM>(&header)), S_OK);
  EXPECT_EQ(info.Result, 1);
  ASSERT_NE(header.pTitle, nullptr);
  EXPECT_STREQ(header.pTitle, L"OEM UI Page");

  for (auto sheets : {&IPrintOemUI2::DevicePropertySheets, &IPrintOemUI2::DocumentPropertySheets}) {
    SetLastError(0);
    EXPECT_EQ((plugin->*sheets)(nullptr, 0), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    info.Version = 0x0101;
    SetLastError(0);
    EXPECT_EQ((plugin->*sheets)(&info, 0), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    info.Version = PROPSHEETUI_INFO_VERSION;
  }
  plugin->Release();
}

TEST(UiCommonUIProp, ModesAndDriverFiles) {
  vex::test::TestPrinter printer(vex::test::ownDriverSetup(L"VEX UI Common"));
  vex::PrinterSetup bare = vex::test::ownDriverSetup(L"VEX UI Common Bare");
  bare.dependentFiles = {L"VEXDEMO.PPD"};  // neither configuration file nor plug-in INI
  vex::test::TestPrinter barePrinter(bare);
  UiModule module;
  IPrintOemUI2* plugin = module.createPlugin();
  ASSERT_NE(plugin, nullptr);
  OEMCUIPPARAM param{};
  param.cbSize = sizeof(param);
  param.hPrinter = printer.handle();
  param.hOEMHeap = GetProcessHeap();
  param.cOEMOptItems = 77;
  SetLastError(0);
  EXPECT_EQ(plugin->CommonUIProp(3, &param), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(param.cOEMOptItems, 77u) << "nothing touched for a bad mode";
  // The first call of each tree asks how many items the plug-in adds.
  for (auto [mode, items] : {std::pair{OEMCUIP_DOCPROP, 0u}, std::pair{OEMCUIP_PRNPROP, 1u}}) {
    param.cOEMOptItems = 77;
    EXPECT_EQ(plugin->CommonUIProp(mode, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, items) << mode;
  }
  param.hPrinter = barePrinter.handle();
  EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), E_FAIL);
  EXPECT_EQ(plugin->Release(), 0u);
}

TEST(UiVersionProbe, HelpViewerVersionDecidesContextHelp) {
  vex::runVersionProbe();
  const vex::UiModuleState& state = vex::uiModuleState();
  EXPECT_TRUE(state.versionProbeDone);
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExW(&version));
  EXPECT_EQ(state.isOsVersion6OrLater, version.dwMajorVersion >= 6);
  wchar_t windows[MAX_PATH] = L"";
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring viewer = std::wstring(windows) + L"\\WINHLP32.EXE";
  EXPECT_EQ(state.contextHelpAvailable,
            !(state.isOsVersion6OrLater && vex::isNewHelpViewer(viewer.c_str())));

  EXPECT_FALSE(vex::isNewHelpViewer(L"vexui.dll")) << "product version 1";
  EXPECT_FALSE(vex::isNewHelpViewer(L"dll_tests.exe")) << "no version resource";
  EXPECT_FALSE(vex::isNewHelpViewer(L"no such file.exe"));
  wchar_t system[MAX_PATH] = L"";
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_TRUE(vex::isNewHelpViewer((std::wstring(system) + L"\\kernel32.dll").c_str()))
      << "the platform's own files carry its version";
}

}  // namespace
