#include "sheet_host.h"

#include <commctrl.h>
#include <prsht.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "driver_page.h"
#include "driver_ui.h"
#include "host_files.h"
#include "installable_settings.h"
#include "option_tree.h"
#include "ppd_model.h"
#include "printer_data.h"
#include "private_settings.h"
#include "resource.h"
#include "script_runner.h"

namespace vex::uihost {
namespace {

constexpr DWORD kSheetCloseTimeoutMs = 20000;  // an automated sheet must close by then
constexpr std::size_t kMaxPpdBytes = 4u << 20;
constexpr WORD kMaxOptions = 256;                      // of one plug-in item
constexpr DWORD kScriptTimeoutMs = 30u * 60u * 1000u;  // every step is bounded; this bounds all
// The driver settings a page asks for, answered in the dump as the plug-in would read them.
constexpr const char* kDumpedSettings[] = {"VXHDD",       "VXFinisher", "VXJobLimit",
                                           "VXPunchUnit", "PageSize",   "Duplex"};

std::string hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%08llx", static_cast<unsigned long long>(value));
  return text;
}

std::string narrow(const std::wstring& text) { return utf8(text); }

const char* reasonName(WORD reason) {
  switch (reason) {
    case CPSUICB_REASON_SEL_CHANGED:
      return "SEL_CHANGED";
    case CPSUICB_REASON_APPLYNOW:
      return "APPLYNOW";
    case 7:
      return "OPTITEMS_CREATED";
    case CPSUICB_REASON_SETACTIVE:
      return "SETACTIVE";
    case CPSUICB_REASON_KILLACTIVE:
      return "KILLACTIVE";
    default:
      return "OTHER";
  }
}

const char* functionName(UINT function) {
  switch (function) {
    case CPSFUNC_ADD_HPROPSHEETPAGE:
      return "ADD_HPROPSHEETPAGE";
    case CPSFUNC_ADD_PROPSHEETPAGEW:
      return "ADD_PROPSHEETPAGEW";
    case CPSFUNC_ADD_PCOMPROPSHEETUIW:
      return "ADD_PCOMPROPSHEETUIW";
    case CPSFUNC_GET_PAGECOUNT:
      return "GET_PAGECOUNT";
    case CPSFUNC_SET_RESULT:
      return "SET_RESULT";
    default:
      return "OTHER";
  }
}

std::string flagNames(DWORD flags) {
  static const struct {
    DWORD bit;
    const char* name;
  } names[] = {{OPTIF_COLLAPSE, "COLLAPSE"},         {OPTIF_HIDE, "HIDE"},
               {OPTIF_CALLBACK, "CALLBACK"},         {OPTIF_CHANGED, "CHANGED"},
               {OPTIF_CHANGEONCE, "CHANGEONCE"},     {OPTIF_DISABLED, "DISABLED"},
               {OPTIF_ECB_CHECKED, "ECB_CHECKED"},   {OPTIF_EXT_HIDE, "EXT_HIDE"},
               {OPTIF_EXT_DISABLED, "EXT_DISABLED"}, {OPTIF_HAS_POIEXT, "HAS_POIEXT"}};
  std::string out;
  for (const auto& n : names) {
    if ((flags & n.bit) == 0) continue;
    out += (out.empty() ? "" : ",") + std::string(n.name);
    flags &= ~n.bit;
  }
  if (flags != 0) out += (out.empty() ? "" : ",") + hex(flags);
  return out.empty() ? "0" : out;
}

std::string typeName(const OPTITEM& item) {
  if (item.pOptType == nullptr) return "group";
  static const char* const names[] = {"2STATES", "3STATES",  "UDARROW", "TRACKBAR",   "SCROLLBAR",
                                      "LISTBOX", "COMBOBOX", "EDITBOX", "PUSHBUTTON", "CHKBOX"};
  const BYTE type = item.pOptType->Type;
  return type < 10 ? names[type] : std::to_string(type);
}

// Paper sizes of the platform for the sample PPD's papers.
short paperSize(const std::string& keyword) {
  static const struct {
    const char* keyword;
    short size;
  } papers[] = {{"Letter", DMPAPER_LETTER}, {"Legal", DMPAPER_LEGAL}, {"A3", DMPAPER_A3},
                {"A4", DMPAPER_A4},         {"A5", DMPAPER_A5},       {"B5", DMPAPER_B5}};
  for (const auto& p : papers) {
    if (keyword == p.keyword) return p.size;
  }
  return 0;
}

class OemHeap {
 public:
  OemHeap() : heap_(HeapCreate(0, 0, 0)) {
    if (heap_ == nullptr) throw HostError{kFailure, L"HeapCreate failed"};
  }
  ~OemHeap() { HeapDestroy(heap_); }
  OemHeap(const OemHeap&) = delete;
  OemHeap& operator=(const OemHeap&) = delete;
  HANDLE get() const { return heap_; }

 private:
  HANDLE heap_;
};

ppd::Model readPpd(const SheetRequest& request, HANDLE printer) {
  std::wstring path = request.ppdPath;
  if (path.empty()) {
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> block(needed ? needed : 1, 0);
    if (needed < sizeof(DRIVER_INFO_2W) ||
        !GetPrinterDriverW(printer, nullptr, 2, block.data(), needed, &needed)) {
      throw HostError{kSpooler, L"GetPrinterDriverW level 2: " + win32ErrorText(GetLastError())};
    }
    const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(block.data());
    if (info->pDataFile != nullptr) path = info->pDataFile;
  }
  std::string bytes;
  DWORD code = 0;
  if (path.empty() || !readWholeFile(path, kMaxPpdBytes, &bytes, &code)) {
    throw HostError{kBadInput, L"cannot read the PPD file " + path + L": " + win32ErrorText(code)};
  }
  return ppd::parse(bytes);
}

class SheetHost;
SheetHost* activeSheet = nullptr;  // one sheet at a time, as in the driver

class SheetHost final : public PageOwner {
 public:
  SheetHost(const SheetRequest& request, UiSession& session, HANDLE printer,
            const std::wstring& printerName, std::vector<std::uint8_t> record,
            const ppd::Model& model)
      : request_(request),
        session_(session),
        printer_(printer),
        printerName_(printerName),
        record_(std::move(record)),
        model_(model),
        tree_(request.document ? OptionTree::Kind::Document : OptionTree::Kind::Printer, model),
        page_(*this, request.document ? IDS_DOCUMENT_PAGE : IDS_PRINTER_PAGE) {
    if (request.testDialogs) page_.enableTestButtons();
  }
  // On every way out the plug-in is released before its OEM heap goes.
  ~SheetHost() { session_.close(); }
  SheetHost(const SheetHost&) = delete;
  SheetHost& operator=(const SheetHost&) = delete;

  void run();

  OptionTree& tree() override { return tree_; }
  LONG notify(WORD reason, HWND page, OPTITEM* item, LONG oldSel) override;
  void applied() override { applied_ = true; }
  void note(const std::string& line) override { testLog_ += line + "\n"; }

  static LONG_PTR CALLBACK comPropSheet(HANDLE handle, UINT function, LPARAM first, LPARAM second);

 private:
  void commonUi();
  void applyRawSelections();
  void validatePluginItems();
  HRESULT sheetCall(WORD reason, LPARAM lParam, const char* name);
  void showSheet();
  void pump(DWORD ms);
  bool closed() const {
    return sheet_ == nullptr || PropSheet_GetCurrentPageHwnd(sheet_) == nullptr;
  }
  void actions();
  void runScript();
  std::string driverSettings();
  void actionFailed(const std::wstring& what);
  void fillDevmode();
  std::string describeItem(DWORD index);
  std::string dump();
  void writeOutputs();
  void log(const std::string& line) { log_ += line + "\n"; }
  HANDLE handle() const { return reinterpret_cast<HANDLE>(const_cast<SheetHost*>(this)); }

  const SheetRequest& request_;
  UiSession& session_;
  HANDLE printer_;
  std::wstring printerName_;
  std::vector<std::uint8_t> record_;
  const ppd::Model& model_;
  OptionTree tree_;
  DriverPage page_;
  OemHeap heap_;
  FullDevmode devmode_{};
  InstallableSettings installable_;
  std::string blockNote_;
  OEMCUIPPARAM param_{};
  OEMUIPSPARAM psParam_{};
  PROPSHEETUI_INFO info_{};
  std::vector<HPROPSHEETPAGE> pluginPages_;
  HWND sheet_ = nullptr;
  bool applied_ = false;
  bool pluginBroke_ = false;
  std::chrono::steady_clock::time_point sheetStart_{};
  std::chrono::microseconds pluginTime_{0};  // spent inside the plug-in's sheet calls
  // Runs one call of the plug-in and adds its time to pluginTime_.
  template <typename Call>
  auto timed(Call call) {
    const auto start = std::chrono::steady_clock::now();
    auto result = call();
    pluginTime_ += std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    return result;
  }
  std::vector<std::wstring> actionFailures_;
  std::string log_;
  std::string actionsLog_;
  std::string testLog_;
  std::unique_ptr<ScriptRunner> runner_;
};

LONG SheetHost::notify(WORD reason, HWND page, OPTITEM* item, LONG oldSel) {
  if (param_.OEMCUIPCallback == nullptr) return 0;
  fillDevmode();  // the driver's device mode follows its items before the plug-in hears
  CPSUICBPARAM cb{};
  cb.cbSize = sizeof(cb);
  cb.Reason = reason;
  cb.hDlg = page;
  cb.pOptItem = tree_.items();
  cb.cOptItem = static_cast<WORD>(tree_.totalCount());
  cb.pCurItem = item;
  cb.OldSel = oldSel;
  const LONG action = param_.OEMCUIPCallback(&cb, &param_);
  const int index = tree_.indexOf(item);
  log("callback " + std::string(reasonName(reason)) + " item " + std::to_string(index) + " \"" +
      utf8(index >= 0 ? itemName(*item) : L"") + "\": action " + std::to_string(action));
  return action;
}

LONG_PTR CALLBACK SheetHost::comPropSheet(HANDLE handle, UINT function, LPARAM first,
                                          LPARAM second) {
  SheetHost* self = activeSheet;
  if (self == nullptr || handle != self->handle()) {
    if (self != nullptr) self->log("pfnComPropSheet with a foreign handle: refused");
    return 0;
  }
  LONG_PTR result = 0;
  switch (function) {
    case CPSFUNC_ADD_PROPSHEETPAGEW:
    case CPSFUNC_ADD_HPROPSHEETPAGE: {
      HPROPSHEETPAGE page = nullptr;
      if (function == CPSFUNC_ADD_HPROPSHEETPAGE) {
        page = reinterpret_cast<HPROPSHEETPAGE>(first);
      } else if (first != 0) {
        page = CreatePropertySheetPageW(reinterpret_cast<const PROPSHEETPAGEW*>(first));
      }
      if (page == nullptr) break;
      if (self->sheet_ != nullptr) {
        if (!PropSheet_AddPage(self->sheet_, page)) break;
      }
      self->pluginPages_.push_back(page);
      result = reinterpret_cast<LONG_PTR>(page);
      break;
    }
    case CPSFUNC_SET_RESULT:
      result = 1;
      self->log("pfnComPropSheet SET_RESULT handle " + hex(static_cast<std::uint64_t>(first)) +
                " result " + std::to_string(static_cast<long long>(second)));
      return result;
    case CPSFUNC_GET_PAGECOUNT:
      result = static_cast<LONG_PTR>(self->pluginPages_.size() + 1);
      break;
    default:
      break;  // the stand-in has no other common-UI functions: ignored
  }
  self->log("pfnComPropSheet " + std::string(functionName(function)) + " (" +
            std::to_string(function) + "): " + (result != 0 ? "done" : "0"));
  return result;
}

void SheetHost::applyRawSelections() {
  for (const auto& [keyword, number] : request_.rawSelects) {
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || errno != 0 || value < INT32_MIN || value > INT32_MAX) {
      throw HostError{kBadInput, L"--raw-select " + fromAnsi(keyword) + L": \"" + fromAnsi(number) +
                                     L"\" is not a 32-bit number"};
    }
    bool found = false;
    for (DWORD i = 0; i < tree_.driverCount(); ++i) {
      OPTITEM& item = tree_.items()[i];
      if (tree_.keyword(item) != keyword && utf8(itemName(item)) != keyword) continue;
      item.Sel = static_cast<LONG>(value);
      found = true;
      log("raw selection " + keyword + " = " + number);
    }
    if (!found) throw HostError{kBadInput, L"--raw-select: no item " + fromAnsi(keyword)};
  }
}

void SheetHost::fillDevmode() {
  DEVMODEW& dm = devmode_.pub;
  BYTE* whole = reinterpret_cast<BYTE*>(&devmode_);
  const std::size_t nameChars = std::min<std::size_t>(printerName_.size(), CCHDEVICENAME - 1);
  std::memset(dm.dmDeviceName, 0, sizeof(dm.dmDeviceName));
  std::memcpy(dm.dmDeviceName, printerName_.data(), nameChars * sizeof(wchar_t));
  dm.dmSpecVersion = DM_SPECVERSION;
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmDriverExtra = static_cast<WORD>(kCoreDriverExtra);  // the plug-in's record is beside it
  whole[kDevmodeLayoutOffset] = static_cast<BYTE>(request_.layout);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR |
                DM_DUPLEX | DM_FORMNAME;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmScale = 100;
  dm.dmCopies = 1;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmPrintQuality = 600;
  for (DWORD i = 0; i < tree_.driverCount(); ++i) {
    const OPTITEM& item = tree_.items()[i];
    const std::string option = tree_.optionKeyword(item, item.Sel);
    if (tree_.userData(item)->dwItemID == kItemPsOutput) {
      whole[kDevmodePsDialectOffset] = static_cast<BYTE>(item.Sel);
    }
    switch (item.DMPubID) {
      case DMPUB_ORIENTATION:
        dm.dmOrientation = item.Sel == 0 ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
        break;
      case DMPUB_SCALE:
        dm.dmScale = static_cast<short>(item.Sel);
        break;
      case DMPUB_COPIES_COLLATE:
        dm.dmCopies = static_cast<short>(item.Sel);
        break;
      case DMPUB_PRINTQUALITY:
        dm.dmPrintQuality = static_cast<short>(std::atoi(option.c_str()));
        break;
      case DMPUB_COLOR:
        dm.dmColor = item.Sel == 0 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR;
        break;
      case DMPUB_DUPLEX:
        dm.dmDuplex = option == "DuplexNoTumble" ? DMDUP_VERTICAL
                      : option == "DuplexTumble" ? DMDUP_HORIZONTAL
                                                 : DMDUP_SIMPLEX;
        break;
      case DMPUB_FORMNAME: {
        dm.dmPaperSize = paperSize(option);
        std::memset(dm.dmFormName, 0, sizeof(dm.dmFormName));
        if (item.Sel >= 0 && item.Sel < item.pOptType->Count) {
          const wchar_t* text = item.pOptType->pOptParam[item.Sel].pData;
          std::memcpy(dm.dmFormName, text,
                      std::min<std::size_t>(wcslen(text), CCHFORMNAME - 1) * sizeof(wchar_t));
        }
        break;
      }
      default:
        break;
    }
  }
}

void SheetHost::commonUi() {
  const DWORD mode = request_.document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
  const std::string call = "CommonUIProp(" + std::to_string(mode) + ")";
  param_.cbSize = sizeof(param_);
  param_.poemuiobj = DriverUi::instance().uiObject();
  param_.hPrinter = printer_;
  param_.pPrinterName = printerName_.data();
  param_.hModule = session_.module();
  param_.hOEMHeap = heap_.get();
  param_.pPublicDM = &devmode_.pub;
  param_.pOEMDM = record_.data();
  param_.pDrvOptItems = tree_.items();
  param_.cDrvOptItems = tree_.driverCount();
  // The driver asks whether the plug-in hides its standard pages before it builds the tree.
  const HRESULT hidden = timed([&] { return session_.plugin()->HideStandardUI(mode); });
  log("HideStandardUI(" + std::to_string(mode) + "): " + hex(static_cast<std::uint32_t>(hidden)));
  HRESULT hr = timed([&] { return session_.plugin()->CommonUIProp(mode, &param_); });
  log(call + " without items: " + hex(static_cast<std::uint32_t>(hr)) + ", plug-in items " +
      std::to_string(param_.cOEMOptItems));
  if (hr != S_OK) {
    throw HostError{kPluginFailed, L"CommonUIProp without items returned " +
                                       fromAnsi(hex(static_cast<std::uint32_t>(hr)))};
  }
  if (!tree_.addPluginItems(param_.cOEMOptItems)) {
    throw HostError{kPluginFailed,
                    L"CommonUIProp asks for " + std::to_wstring(param_.cOEMOptItems) +
                        L" plug-in items (at most " + std::to_wstring(kMaxPluginItems) + L")"};
  }
  // Even with no plug-in item the second call gets a buffer: that is the plug-in's cue to set
  // up its context.
  param_.pOEMOptItems = tree_.pluginItems();
  hr = timed([&] { return session_.plugin()->CommonUIProp(mode, &param_); });
  log(call + " with " + std::to_string(tree_.pluginCount()) +
      " items: " + hex(static_cast<std::uint32_t>(hr)));
  if (hr != S_OK) {
    throw HostError{kPluginFailed, L"CommonUIProp with items returned " +
                                       fromAnsi(hex(static_cast<std::uint32_t>(hr)))};
  }
  validatePluginItems();
}

// The plug-in's items are drawn by the page: what they point to must be sound first.
void SheetHost::validatePluginItems() {
  for (DWORD k = 0; k < tree_.pluginCount(); ++k) {
    const OPTITEM& item = tree_.pluginItems()[k];
    std::wstring fault;
    if (item.cbSize != sizeof(OPTITEM)) {
      fault = L"cbSize " + std::to_wstring(item.cbSize);
    } else if (item.pOptType != nullptr &&
               (item.pOptType->Count > kMaxOptions ||
                (item.pOptType->Count > 0 && item.pOptType->pOptParam == nullptr))) {
      fault = L"an option type with " + std::to_wstring(item.pOptType->Count) + L" parameters at " +
              std::to_wstring(reinterpret_cast<ULONG_PTR>(item.pOptType->pOptParam));
    } else if (item.pOptType != nullptr && item.pOptType->Type == TVOT_UDARROW &&
               item.pOptType->Count < 2) {
      fault = L"a number item without its range parameter";
    }
    if (!fault.empty()) {
      throw HostError{kPluginFailed,
                      L"plug-in item " + std::to_wstring(k) + L" is not sound: " + fault};
    }
  }
}

HRESULT SheetHost::sheetCall(WORD reason, LPARAM lParam, const char* name) {
  info_.Reason = reason;
  info_.Result = 0;
  const HRESULT hr = timed([&] {
    return request_.document ? session_.plugin()->DocumentPropertySheets(&info_, lParam)
                             : session_.plugin()->DevicePropertySheets(&info_, lParam);
  });
  log(std::string(request_.document ? "DocumentPropertySheets(" : "DevicePropertySheets(") + name +
      "): " + hex(static_cast<std::uint32_t>(hr)) + ", result " +
      std::to_string(static_cast<long long>(info_.Result)));
  if (FAILED(hr)) pluginBroke_ = true;
  return hr;
}

void SheetHost::pump(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (sheet_ == nullptr || !PropSheet_IsDialogMessage(sheet_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    if (closed()) return;
    const DWORD spent = GetTickCount() - start;
    if (ms != INFINITE && spent >= ms) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

void SheetHost::actionFailed(const std::wstring& what) {
  actionFailures_.push_back(what);
  actionsLog_ += "failed: " + utf8(what) + "\n";
}

void SheetHost::actions() {
  if (request_.page >= 0) {
    if (PropSheet_SetCurSel(sheet_, nullptr, request_.page)) {
      actionsLog_ += "page " + std::to_string(request_.page) + ": shown\n";
    } else {
      actionFailed(L"no page " + std::to_wstring(request_.page));
    }
    pump(100);
  }
  for (const auto& [item, option] : request_.selects) {
    std::wstring error;
    if (page_.window() != nullptr && page_.select(item, option, &error)) {
      actionsLog_ += "select " + item + "=" + option + ": done\n";
    } else {
      actionFailed(L"--select " + fromAnsi(item) + L"=" + fromAnsi(option) + L": " + error);
    }
    pump(50);
  }
  if (!request_.pressButton.empty()) {
    std::wstring error;
    if (page_.window() != nullptr && page_.pressButton(request_.pressButton, &error)) {
      actionsLog_ += "press-button " + utf8(request_.pressButton) + ": clicked\n";
    } else {
      actionFailed(L"--press-button: " + error);
    }
    pump(50);
  }
}

std::string SheetHost::driverSettings() {
  const BYTE* whole = reinterpret_cast<const BYTE*>(&devmode_);
  std::string out = "permission flags " + hex(psParam_.dwFlags) + "\n";
  out += "devmode size " + std::to_string(sizeof(devmode_)) + " driver-extra " +
         std::to_string(devmode_.pub.dmDriverExtra) + " layout " +
         std::to_string(whole[kDevmodeLayoutOffset]) + " dialect " +
         std::to_string(whole[kDevmodePsDialectOffset]) + "\n";
  if (!request_.document) return out;
  if (!blockNote_.empty()) out += blockNote_ + "\n";
  out += installable_.describe();
  for (const char* keyword : kDumpedSettings) {
    const std::optional<std::string> value = DriverUi::instance().answer(keyword);
    out += std::string("setting ") + keyword + " = " + (value ? "\"" + *value + "\"" : "(none)") +
           "\n";
  }
  out += DriverUi::instance().settingCalls();
  return out;
}

// The script acts from its own thread; this thread keeps the sheet's messages flowing (also
// through every modal loop the script opens) until the runner is done.
void SheetHost::runScript() {
  RunnerSetup setup;
  setup.steps = request_.steps;
  setup.sheet = sheet_;
  setup.artifacts = request_.artifactsDir;
  setup.dumpControls = !request_.controlsPath.empty();
  runner_ = std::make_unique<ScriptRunner>(std::move(setup));
  runner_->start();
  const HANDLE done = runner_->done();
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD wait = MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) break;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (closed() || !PropSheet_IsDialogMessage(sheet_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    if (GetTickCount() - start > kScriptTimeoutMs) {
      actionFailed(L"the script did not end");
      break;
    }
  }
  runner_->join();
  std::wprintf(L"ui-host: script %ls\n", runner_->failed() ? L"failed" : L"done");
  pump(100);
}

void SheetHost::showSheet() {
  HPROPSHEETPAGE driverPage = page_.create();
  if (driverPage == nullptr) {
    throw HostError{kFailure,
                    L"the driver page cannot be created: " + win32ErrorText(GetLastError())};
  }
  std::vector<HPROPSHEETPAGE> pages{driverPage};
  pages.insert(pages.end(), pluginPages_.begin(), pluginPages_.end());
  const std::wstring caption =
      printerName_ + (request_.document ? L" Printing Preferences" : L" Properties");
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_MODELESS | PSH_NOCONTEXTHELP;
  header.hInstance = GetModuleHandleW(nullptr);
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(pages.size());
  header.phpage = pages.data();
  const INT_PTR sheet = PropertySheetW(&header);
  if (sheet == 0 || sheet == -1) {
    throw HostError{kFailure, L"PropertySheetW failed: " + win32ErrorText(GetLastError())};
  }
  sheet_ = reinterpret_cast<HWND>(sheet);
  // The first page paints before UpdateWindow returns.
  UpdateWindow(sheet_);
  if (HWND first = PropSheet_GetCurrentPageHwnd(sheet_)) UpdateWindow(first);
  const auto painted = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - sheetStart_);
  std::wprintf(L"ui-host: first page painted after %lld us (in the plug-in's calls %lld us)\n",
               static_cast<long long>(painted.count()),
               static_cast<long long>(pluginTime_.count()));
  log("sheet shown with " + std::to_string(pages.size()) + " page(s)");
  pump(300);
  actions();
  if (request_.script || !request_.controlsPath.empty()) runScript();
  std::wprintf(L"ui-host: sheet up\n");
  std::fflush(stdout);
  if (request_.screenshotWaitMs > 0) pump(request_.screenshotWaitMs);
  switch (request_.press) {
    case Press::None:
      pump(INFINITE);  // a person closes it
      break;
    case Press::Apply:
      if (!closed()) {
        const BOOL accepted = static_cast<BOOL>(SendMessageW(sheet_, PSM_APPLY, 0, 0));
        actionsLog_ += std::string("apply: ") + (accepted ? "accepted" : "refused") + "\n";
        pump(100);
      }
      if (!closed()) PropSheet_PressButton(sheet_, PSBTN_CANCEL);
      break;
    case Press::Ok:
      if (!closed()) PropSheet_PressButton(sheet_, PSBTN_OK);
      break;
    case Press::Cancel:
      if (!closed()) PropSheet_PressButton(sheet_, PSBTN_CANCEL);
      break;
  }
  pump(kSheetCloseTimeoutMs);
  const bool timedOut = !closed();
  DestroyWindow(sheet_);
  sheet_ = nullptr;
  if (timedOut) actionFailed(L"the sheet did not close");
}

std::string SheetHost::describeItem(DWORD index) {
  const OPTITEM& item = tree_.items()[index];
  const bool driver = index < tree_.driverCount();
  std::string line = driver ? "item " : "oem-item ";
  if (driver) {
    const std::string keyword = tree_.keyword(item);
    line += (keyword.empty() ? "-" : keyword) +
            " id=" + std::to_string(tree_.userData(item)->dwItemID) + " ";
  }
  line += "index=" + std::to_string(index) + " name=\"" + utf8(itemName(item)) + "\"";
  line += " dmpub=" + std::to_string(item.DMPubID) + " level=" + std::to_string(item.Level) +
          " type=" + typeName(item) + " flags=" + flagNames(item.Flags) +
          " sel=" + std::to_string(item.Sel) + " help=" + std::to_string(item.HelpIndex) +
          " oiext=" + (item.pOIExt != nullptr ? "yes" : "no") +
          " user-item=" + std::to_string(item.UserItemID);
  if (item.pOptType != nullptr) {
    std::string hidden;
    for (WORD j = 0; j < item.pOptType->Count; ++j) {
      const OPTPARAM& param = item.pOptType->pOptParam[j];
      if ((param.Flags & OPTPF_HIDE) == 0) continue;
      hidden += (hidden.empty() ? "" : ",") + utf8(optionText(param));
    }
    line += " hidden-options=\"" + hidden + "\"";
    if (!driver) {
      line +=
          " style=" + hex(item.pOptType->Style) + " params=" + std::to_string(item.pOptType->Count);
    }
  }
  return line;
}

std::string SheetHost::dump() {
  std::string out = std::string("sheet: ") + (request_.document ? "document" : "printer") + "\n";
  out += "printer: " + narrow(printerName_) + "\n";
  out += std::string("applied: ") + (applied_ ? "yes" : "no") + "\n";
  out += "[calls]\n" + log_;
  out += "[page]\n" + page_.lastReadBack();
  out += "[tree]\n";
  for (DWORD i = 0; i < tree_.totalCount(); ++i) out += describeItem(i) + "\n";
  out += "[updates]\n";
  for (const UpdateCall& call : DriverUi::instance().calls()) {
    out += "DrvUpdateUISetting " +
           (call.index < 0 ? std::string("(not a driver item)") : call.name) +
           " previous=" + std::to_string(call.previous) +
           " requested=" + std::to_string(call.requested) + " mode=" + std::to_string(call.mode) +
           ": " + (call.accepted ? "accepted" : "refused");
    if (call.index >= 0) {
      out += ", now " + std::to_string(tree_.items()[call.index].Sel);
    }
    out += "\n";
  }
  out += "[actions]\n" + actionsLog_;
  out += "[driver-settings]\n" + driverSettings();
  out += "[script]\n" + (runner_ != nullptr ? runner_->log() : std::string());
  out += "[test-dialogs]\n" + testLog_;
  return out;
}

void SheetHost::writeOutputs() {
  const auto write = [](const std::wstring& path, const void* data, std::size_t size) {
    bool written = false;
    DWORD code = 0;
    if (!writeFileIfDifferent(path, std::string_view(static_cast<const char*>(data), size),
                              &written, &code)) {
      throw HostError{kBadInput, L"cannot write " + path + L": " + win32ErrorText(code)};
    }
  };
  if (applied_) {
    if (!request_.outRecord.empty()) write(request_.outRecord, record_.data(), record_.size());
    if (!request_.outDevmode.empty()) write(request_.outDevmode, &devmode_, sizeof(devmode_));
  } else if (!request_.outRecord.empty() || !request_.outDevmode.empty()) {
    std::wprintf(L"ui-host: the sheet was not applied; no record or device mode written\n");
  }
  if (!request_.dumpPath.empty()) {
    const std::string text = dump();
    write(request_.dumpPath, text.data(), text.size());
  }
  if (!request_.controlsPath.empty()) {
    const std::string text = runner_ != nullptr ? runner_->controls() : "window none\n";
    write(request_.controlsPath, text.data(), text.size());
  }
}

void SheetHost::run() {
  activeSheet = this;
  DriverUi& driver = DriverUi::instance();
  driver.attach(&tree_);
  if (request_.document) {
    const std::string block = readFeatureKeywordBlock(printerName_, &blockNote_);
    installable_ = InstallableSettings(model_, block, request_.installable);
    driver.setInstallable(&installable_);
  }
  driver.setRefusals(request_.refusals);
  applyRawSelections();
  fillDevmode();
  struct Detach {
    ~Detach() {
      DriverUi::instance().detach();
      activeSheet = nullptr;
    }
  } detach;

  // The time the user waits: from the driver's first call of the plug-in to the first page
  // painted on the screen.
  sheetStart_ = std::chrono::steady_clock::now();
  if (!request_.driverPagesOnly) commonUi();

  psParam_.cbSize = sizeof(psParam_);
  psParam_.poemuiobj = driver.uiObject();
  psParam_.hPrinter = printer_;
  psParam_.pPrinterName = printerName_.data();
  psParam_.hModule = session_.module();
  psParam_.hOEMHeap = heap_.get();
  psParam_.pPublicDM = &devmode_.pub;
  psParam_.dwFlags = request_.noPermission ? DM_NOPERMISSION : 0;
  psParam_.pOEMDM = record_.data();
  psParam_.pOEMUserData = param_.pOEMUserData;
  info_.cbSize = sizeof(info_);
  info_.Version = PROPSHEETUI_INFO_VERSION;
  info_.Flags = PSUIINFO_UNICODE;
  info_.hComPropSheet = handle();
  info_.pfnComPropSheet = comPropSheet;
  info_.lParamInit = reinterpret_cast<LPARAM>(&psParam_);

  if (!request_.driverPagesOnly) {
    sheetCall(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&psParam_), "INIT");
    PROPSHEETUI_INFO_HEADER header{};
    header.cbSize = sizeof(header);
    header.hInst = GetModuleHandleW(nullptr);
    sheetCall(PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header),
              "GET_INFO_HEADER");
    if (header.pTitle != nullptr && !IS_INTRESOURCE(header.pTitle)) {
      log("header title \"" + utf8(std::wstring(header.pTitle, wcsnlen(header.pTitle, 128))) +
          "\"");
    }
  }

  InitCommonControls();
  showSheet();
  if (applied_) fillDevmode();

  SETRESULT_INFO result{};
  result.cbSize = sizeof(result);
  result.hSetResult = handle();
  result.Result = applied_ ? CPSUI_OK : CPSUI_CANCEL;
  if (!request_.driverPagesOnly) {
    sheetCall(PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&result), "SET_RESULT");
    sheetCall(PROPSHEETUI_REASON_DESTROY, applied_ ? 1 : 0, "DESTROY");
  }

  // The plug-in frees its blocks of the OEM heap when it is released: before the heap goes.
  const std::wstring problem = session_.close();
  if (!problem.empty()) log("release: " + utf8(problem));
  writeOutputs();
  std::wprintf(L"ui-host: %ls sheet closed, %ls\n", request_.document ? L"document" : L"printer",
               applied_ ? L"applied" : L"not applied");
  if (!problem.empty()) throw HostError{kPluginFailed, problem};
  if (pluginBroke_) throw HostError{kPluginFailed, L"a property-sheet call of the plug-in failed"};
  if (runner_ != nullptr && runner_->failed()) {
    throw HostError{kScriptFailed, wideText(runner_->failure())};
  }
  if (!actionFailures_.empty()) throw HostError{kBadInput, actionFailures_.front()};
}

}  // namespace

void runSheet(const SheetRequest& request, UiSession& session, HANDLE printer,
              const std::wstring& printerName, std::vector<std::uint8_t> record) {
  const ppd::Model model = readPpd(request, printer);
  if (record.size() != kRecordSize) record.resize(kRecordSize, 0);
  auto host =
      std::make_unique<SheetHost>(request, session, printer, printerName, std::move(record), model);
  host->run();
}

}  // namespace vex::uihost
