#include "plugin_session.h"

#include "driver_ddi.h"
#include "function_cast.h"
#include "host_files.h"
#include "private_settings.h"

namespace vex::host {
namespace {

typedef HRESULT(STDAPICALLTYPE* DllGetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* DllCanUnloadNowFn)();

constexpr ULONG kMaxHookCount = 1024;
constexpr ULONG kBitmapFormat24Bpp = 6;  // BMF_24BPP

const wchar_t* injectionName(DWORD index) {
  switch (index) {
    case PSINJECT_BEGINSTREAM:
      return L"PSINJECT_BEGINSTREAM";
    case PSINJECT_BEGINPROLOG:
      return L"PSINJECT_BEGINPROLOG";
    case PSINJECT_BEGINSETUP:
      return L"PSINJECT_BEGINSETUP";
    case PSINJECT_ENDPAGESETUP:
      return L"PSINJECT_ENDPAGESETUP";
    case PSINJECT_ENDSTREAM:
      return L"PSINJECT_ENDSTREAM";
    default:
      return L"PSINJECT_?";
  }
}

std::wstring hr(HRESULT value) { return hresultText(value); }

}  // namespace

PluginSession::PluginSession(const std::wstring& pluginPath, HANDLE printer,
                             const JobDescription& job, Outcome& outcome)
    : outcome_(outcome), printer_(printer) {
  device_.features = &job.features;
  device_.procs = driverProcedures();
  setActiveDevice(&device_);
  try {
    load(pluginPath);
    negotiateDevMode(job);
    enable(job);
  } catch (...) {
    teardown();
    throw;
  }
}

PluginSession::~PluginSession() { teardown(); }

void PluginSession::load(const std::wstring& pluginPath) {
  module_ = LoadLibraryW(pluginPath.c_str());
  if (!module_) {
    failWith(ExitCode::kPluginLoad,
             L"cannot load the plug-in " + pluginPath + L": " + win32ErrorText(GetLastError()));
  }
  auto getClassObject =
      functionCast<DllGetClassObjectFn>(GetProcAddress(module_, "DllGetClassObject"));
  if (!getClassObject) {
    failWith(ExitCode::kPluginLoad, pluginPath + L" exports no DllGetClassObject");
  }
  IClassFactory* factory = nullptr;
  HRESULT result =
      getClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(result) || !factory) {
    failWith(ExitCode::kPluginLoad, L"DllGetClassObject(CLSID_OEMRENDER) returned " + hr(result));
  }
  result = factory->CreateInstance(nullptr, IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin_));
  factory->Release();
  if (FAILED(result) || !plugin_) {
    plugin_ = nullptr;
    failWith(ExitCode::kPluginLoad, L"CreateInstance(IID_IPrintOemPS2) returned " + hr(result));
  }
  device_.plugin = plugin_;

  result = plugin_->PublishDriverInterface(static_cast<IPrintOemDriverPS*>(&helper_));
  if (FAILED(result)) {
    failWith(ExitCode::kPluginCall, L"PublishDriverInterface returned " + hr(result));
  }
  // A plug-in that answers the null probe with S_OK writes the job itself.
  DWORD written = 0;
  result = plugin_->WritePrinter(nullptr, nullptr, 0, &written);
  if (result != S_OK) {
    failWith(ExitCode::kPluginCall, L"the WritePrinter probe (null DEVOBJ) returned " + hr(result) +
                                        L"; the plug-in must take the job's output");
  }
  DWORD needed = 0;
  result = plugin_->GetInfo(OEMGI_GETSIGNATURE, &signature_, sizeof signature_, &needed);
  if (result != S_OK) {
    failWith(ExitCode::kPluginCall, L"GetInfo(OEMGI_GETSIGNATURE) returned " + hr(result));
  }
  DWORD version = 0;
  result = plugin_->GetInfo(OEMGI_GETVERSION, &version, sizeof version, &needed);
  if (result != S_OK) {
    failWith(ExitCode::kPluginCall, L"GetInfo(OEMGI_GETVERSION) returned " + hr(result));
  }
}

HRESULT PluginSession::devModeCall(DWORD mode, void* in, void* out, DWORD* size) {
  OEMDMPARAM param{};
  param.cbSize = sizeof param;
  param.pdriverobj = &device_.devobj;
  param.hPrinter = printer_;
  param.hModule = module_;
  param.pPublicDMIn = &devMode_;
  param.pPublicDMOut = &devMode_;
  param.pOEMDMIn = in;
  param.pOEMDMOut = out;
  param.cbBufSize = *size;
  HRESULT result = plugin_->DevMode(mode, &param);
  *size = param.cbBufSize;
  return result;
}

void PluginSession::negotiateDevMode(const JobDescription& job) {
  devMode_ = job.devMode;
  DWORD size = 0;
  HRESULT result = devModeCall(OEMDM_SIZE, nullptr, nullptr, &size);
  if (result != S_OK)
    failWith(ExitCode::kPluginCall, L"DevMode(OEMDM_SIZE) returned " + hr(result));
  if (size != kRecordSize) {
    failWith(ExitCode::kPluginCall, L"DevMode(OEMDM_SIZE) asks for " + std::to_wstring(size) +
                                        L" bytes; the private record has " +
                                        std::to_wstring(kRecordSize));
  }
  // The driver's buffers come zeroed.
  std::vector<std::uint8_t> merged(kRecordSize, 0);
  result = devModeCall(OEMDM_DEFAULT, nullptr, merged.data(), &size);
  if (result != S_OK) {
    failWith(ExitCode::kPluginCall, L"DevMode(OEMDM_DEFAULT) returned " + hr(result));
  }
  std::vector<std::uint8_t> jobRecord = merged;
  applyRecordSettings(job, jobRecord.data());
  if (!job.mergeRecord) {
    // As a driver that lost the merge would: the record's bytes reach the rendering side
    // unvalidated.
    publicDevMode_ = publicDevModeWithRecord(devMode_, jobRecord);
    return;
  }
  result = devModeCall(OEMDM_MERGE, jobRecord.data(), merged.data(), &size);
  if (result != S_OK) {
    failWith(ExitCode::kPluginCall, L"DevMode(OEMDM_MERGE) returned " + hr(result));
  }
  if (getU32(merged.data(), rec::dwSize) != kRecordSize ||
      getU32(merged.data(), rec::dwSignature) != signature_) {
    outcome_.report(
        ExitCode::kPluginCall,
        L"the merged record's header (size " + std::to_wstring(getU32(merged.data(), rec::dwSize)) +
            L", signature " + hr(static_cast<HRESULT>(getU32(merged.data(), rec::dwSignature))) +
            L") does not match the plug-in's signature " + hr(static_cast<HRESULT>(signature_)));
  }
  publicDevMode_ = publicDevModeWithRecord(devMode_, merged);
}

void PluginSession::enable(const JobDescription& job) {
  HRESULT result =
      plugin_->EnableDriver(DDI_DRIVER_VERSION_NT5, sizeof pluginFunctions_, &pluginFunctions_);
  if (result != S_OK) failWith(ExitCode::kPluginCall, L"EnableDriver returned " + hr(result));
  driverEnabled_ = true;
  if (pluginFunctions_.c > kMaxHookCount || (pluginFunctions_.c > 0 && !pluginFunctions_.pdrvfn)) {
    failWith(ExitCode::kPluginCall, L"EnableDriver gave a hook table of " +
                                        std::to_wstring(pluginFunctions_.c) + L" entries at " +
                                        (pluginFunctions_.pdrvfn ? L"a valid address" : L"null"));
  }
  for (ULONG i = 0; i < pluginFunctions_.c; ++i) {
    const DRVFN& fn = pluginFunctions_.pdrvfn[i];
    if (!fn.pfn || fn.iFunc >= kDdiIndexLimit) {
      failWith(ExitCode::kPluginCall, L"hook table entry " + std::to_wstring(i) + L" (index " +
                                          std::to_wstring(fn.iFunc) + L") is not usable");
    }
  }

  DEVOBJ& d = device_.devobj;
  d.dwSize = sizeof(DEVOBJ);
  d.hPrinter = printer_;
  d.hOEM = module_;
  d.pPublicDM = reinterpret_cast<PDEVMODEW>(publicDevMode_.data());
  d.pOEMDM = publicDevMode_.data() + sizeof(DEVMODEW);
  d.pDrvProcs = &device_.procs;

  std::wstring name = job.printer.printerName;
  PDEVOEM pdev = nullptr;
  result = plugin_->EnablePDEV(&d, name.data(), 0, nullptr, 0, nullptr, 0, nullptr,
                               &driverFunctions(), &pdev);
  if (result != S_OK) failWith(ExitCode::kPluginCall, L"EnablePDEV returned " + hr(result));
  if (!pdev) failWith(ExitCode::kPluginCall, L"EnablePDEV returned S_OK without a PDEV");
  d.pdevOEM = pdev;
  pdevEnabled_ = true;

  const PageGeometry page = pageGeometry(devMode_);
  docSurface_.dhpdev = reinterpret_cast<DHPDEV>(&d);
  docSurface_.iType = STYPE_DEVICE;
  docSurface_.sizlBitmap = {page.width * 600 / 72, page.height * 600 / 72};
  pageSurface_ = docSurface_;
  if (job.document.bitmapSurface) {
    pageSurface_.iType = STYPE_BITMAP;
    pageSurface_.iBitmapFormat = kBitmapFormat24Bpp;
  }
}

template <typename Fn, typename... Args>
void PluginSession::callDdi(ULONG index, const wchar_t* name, SURFOBJ* surface, Args... args) {
  PFN hook = findFunction(pluginFunctions_, index);
  PFN own = findFunction(driverFunctions(), index);
  const ULONG before = ddiRecord(index).calls;
  BOOL ok = functionCast<Fn>(hook ? hook : own)(surface, args...);
  if (!ok) {
    outcome_.report(ExitCode::kPluginCall,
                    std::wstring(L"the plug-in's ") + name + L" returned FALSE");
  }
  const DdiRecord& after = ddiRecord(index);
  if (after.calls != before + 1 || after.surface != surface) {
    outcome_.report(ExitCode::kPluginCall, std::wstring(L"the plug-in's ") + name +
                                               L" hook did not pass the call on to the driver");
  }
}

void PluginSession::startDoc(const std::wstring& documentName, DWORD jobId) {
  std::wstring name = documentName;
  callDdi<PFN_DrvStartDoc>(INDEX_DrvStartDoc, L"DrvStartDoc", &docSurface_, name.data(), jobId);
  if (ddiRecord(INDEX_DrvStartDoc).jobId != jobId) {
    outcome_.report(ExitCode::kPluginCall, L"the plug-in's DrvStartDoc hook changed the job id");
  }
}

void PluginSession::endDoc() {
  callDdi<PFN_DrvEndDoc>(INDEX_DrvEndDoc, L"DrvEndDoc", &docSurface_, FLONG{0});
}

void PluginSession::checkOutput() {
  OutputCounters& c = device_.counters;
  if (c.shortBytes) {
    outcome_.report(ExitCode::kOutput, L"the plug-in's WritePrinter answered S_OK but wrote " +
                                           std::to_wstring(c.shortBytes) +
                                           L" bytes fewer than it was given");
  }
  c = OutputCounters{};
}

void PluginSession::Target::write(const char* data, std::size_t size) {
  HostDevice& device = session_.device_;
  while (size > 0) {
    DWORD want = static_cast<DWORD>(size > 0x10000000 ? 0x10000000 : size);
    WriteResult result = writeThroughPlugin(device, data, want, false);
    if (FAILED(result.hr)) {
      failWith(ExitCode::kOutput, L"the plug-in's WritePrinter returned " + hr(result.hr));
    }
    data += want;
    size -= want;
  }
}

void PluginSession::Target::inject(DWORD index) {
  DWORD result = 0;
  HRESULT status = session_.plugin_->Command(&session_.device_.devobj, index, nullptr, 0, &result);
  if (status == S_OK) return;
  session_.outcome_.report(ExitCode::kInjection, std::wstring(L"injection point ") +
                                                     injectionName(index) +
                                                     L" failed: Command returned " + hr(status) +
                                                     L", result " + std::to_wstring(result));
}

void PluginSession::Target::startPage() {
  session_.callDdi<PFN_DrvStartPage>(INDEX_DrvStartPage, L"DrvStartPage", &session_.pageSurface_);
}

void PluginSession::Target::textOut() {
  session_.callDdi<PFN_DrvTextOut>(
      INDEX_DrvTextOut, L"DrvTextOut", &session_.pageSurface_, static_cast<STROBJ*>(nullptr),
      static_cast<FONTOBJ*>(nullptr), static_cast<CLIPOBJ*>(nullptr), static_cast<RECTL*>(nullptr),
      static_cast<RECTL*>(nullptr), static_cast<BRUSHOBJ*>(nullptr),
      static_cast<BRUSHOBJ*>(nullptr), static_cast<POINTL*>(nullptr), MIX{0x0D0D});
}

void PluginSession::Target::sendPage() {
  session_.callDdi<PFN_DrvSendPage>(INDEX_DrvSendPage, L"DrvSendPage", &session_.pageSurface_);
}

void PluginSession::close() {
  if (pdevEnabled_) {
    pdevEnabled_ = false;
    HRESULT result = plugin_->DisablePDEV(&device_.devobj);
    if (result != S_OK)
      outcome_.report(ExitCode::kPluginCall, L"DisablePDEV returned " + hr(result));
  }
  if (driverEnabled_) {
    driverEnabled_ = false;
    HRESULT result = plugin_->DisableDriver();
    if (result != S_OK)
      outcome_.report(ExitCode::kPluginCall, L"DisableDriver returned " + hr(result));
  }
  if (plugin_) {
    plugin_->Release();
    plugin_ = nullptr;
    device_.plugin = nullptr;
  }
  const LONG kept = helper_.references() - 1;  // the session's own reference aside
  if (kept > 0) {
    outcome_.report(ExitCode::kPluginCall, L"the plug-in still holds " + std::to_wstring(kept) +
                                               (kept == 1 ? L" reference" : L" references") +
                                               L" to the driver's helper interface");
  } else if (kept < 0) {
    outcome_.report(ExitCode::kPluginCall, L"the plug-in released the driver's helper interface " +
                                               std::to_wstring(-kept) +
                                               L" more time(s) than it took it");
  }
  if (module_) {
    auto canUnload = functionCast<DllCanUnloadNowFn>(GetProcAddress(module_, "DllCanUnloadNow"));
    if (!canUnload) {
      outcome_.report(ExitCode::kPluginCall, L"the plug-in exports no DllCanUnloadNow");
    } else if (HRESULT result = canUnload(); result != S_OK) {
      outcome_.report(ExitCode::kPluginCall,
                      L"DllCanUnloadNow returned " + hr(result) + L" after the last Release");
    }
    FreeLibrary(module_);
    module_ = nullptr;
  }
  setActiveDevice(nullptr);
}

void PluginSession::teardown() {
  // After a failure: undo what was done, without judging the plug-in any further.
  if (pdevEnabled_ && plugin_) plugin_->DisablePDEV(&device_.devobj);
  pdevEnabled_ = false;
  if (driverEnabled_ && plugin_) plugin_->DisableDriver();
  driverEnabled_ = false;
  if (plugin_) plugin_->Release();
  plugin_ = nullptr;
  device_.plugin = nullptr;
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
  setActiveDevice(nullptr);
}

}  // namespace vex::host
