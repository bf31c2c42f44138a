// ui-host.exe: the driver's configuration module, played for the UI plug-in. See docs/ui-host.md
// for the command line and the exit codes.
// The document-event header needs the platform's types first.
// clang-format off
#include <windows.h>
#include <winddiui.h>
// clang-format on
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "app_channel.h"
#include "dialog_script.h"
#include "driver_page.h"
#include "host_files.h"
#include "options.h"
#include "printer_setup.h"
#include "private_settings.h"
#include "record_fields.h"
#include "sheet_host.h"
#include "ui_session.h"
#include "unique_handle.h"

namespace vex::uihost {
namespace {

std::wstring hex(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(hr));
  return text;
}

std::wstring hex8(DWORD value) {
  wchar_t text[9];
  swprintf(text, 9, L"%08x", static_cast<unsigned>(value));
  return text;
}

class PrinterHandle {
 public:
  explicit PrinterHandle(const std::wstring& name) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &handle_, &defaults)) {
      throw HostError{kSpooler,
                      L"OpenPrinterW(\"" + name + L"\"): " + win32ErrorText(GetLastError())};
    }
  }
  ~PrinterHandle() { ClosePrinter(handle_); }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

void install(const Options& options, const std::wstring& pluginPath) {
  PrinterSetup setup;
  setup.printerName = options.printerName;
  setup.driverName = options.driverName;
  setup.shared = !options.shareName.empty();
  setup.shareName = options.shareName;
  setup.modelOverrides = options.modelOverrides;
  setup.pluginFiles.push_back(pluginPath);
  for (const wchar_t* companion : {L"vexjobinfo.dll", L"vexrelay.exe"}) {
    if (fileExists(joinPath(programDirectory(), companion))) setup.pluginFiles.push_back(companion);
  }
  for (const std::wstring& file : options.files) setup.pluginFiles.push_back(file);
  std::wstring error;
  if (!ensurePrinter(setup, &error)) throw HostError{kSpooler, L"printer not installed: " + error};
}

// The driver's device-mode calls: the size, then `mode` into `out` with `in` as input.
void devMode(IPrintOemUI2* plugin, HANDLE printer, DWORD mode, const std::uint8_t* in,
             std::uint8_t* out) {
  DEVMODEW publicIn{};
  publicIn.dmSize = sizeof(DEVMODEW);
  publicIn.dmDriverExtra = static_cast<WORD>(kRecordSize);
  DEVMODEW publicOut = publicIn;
  OEMDMPARAM param{};
  param.cbSize = sizeof(param);
  param.hPrinter = printer;
  HRESULT hr = plugin->DevMode(OEMDM_SIZE, &param);
  if (hr != S_OK || param.cbBufSize != kRecordSize) {
    throw HostError{kPluginFailed, L"DevMode(OEMDM_SIZE) returned " + hex(hr) + L" and " +
                                       std::to_wstring(param.cbBufSize) + L" bytes"};
  }
  param.pPublicDMIn = &publicIn;
  param.pPublicDMOut = &publicOut;
  param.pOEMDMIn = const_cast<std::uint8_t*>(in);
  param.pOEMDMOut = out;
  hr = plugin->DevMode(mode, &param);
  if (hr != S_OK) {
    throw HostError{kPluginFailed, L"DevMode(" + std::to_wstring(mode) + L") returned " + hex(hr)};
  }
  if (getU32(out, rec::dwSignature) != kRecordSignature ||
      getU32(out, rec::dwSize) != kRecordSize) {
    throw HostError{kPluginFailed, L"DevMode(" + std::to_wstring(mode) +
                                       L") left a record without the plug-in's header"};
  }
}

void writeRecord(const std::wstring& path, const std::vector<std::uint8_t>& record) {
  bool written = false;
  DWORD code = 0;
  const std::string_view bytes(reinterpret_cast<const char*>(record.data()), record.size());
  if (!writeFileIfDifferent(path, bytes, &written, &code)) {
    throw HostError{kBadInput, L"cannot write " + path + L": " + win32ErrorText(code)};
  }
}

// A file given on the command line, at most `limit` bytes; anything else is a usage error.
std::string readInputFile(const std::wstring& path, std::size_t limit, const wchar_t* what) {
  std::string bytes;
  DWORD code = 0;
  if (!readWholeFile(path, limit, &bytes, &code)) {
    throw HostError{kBadInput, L"cannot read " + std::wstring(what) + path + L" (at most " +
                                   std::to_wstring(limit) + L" bytes): " + win32ErrorText(code)};
  }
  return bytes;
}

// The record as an application or the pages leave it (the defaults overwritten by the bytes of
// `inPath` and by the fields), then the driver's merge over the defaults.
std::vector<std::uint8_t> mergedRecord(
    IPrintOemUI2* plugin, HANDLE printer, const std::vector<std::uint8_t>& defaults,
    const std::wstring& inPath, const std::vector<std::pair<std::string, std::wstring>>& fields) {
  std::vector<std::uint8_t> edited = defaults;
  if (!inPath.empty()) {
    const std::string bytes = readInputFile(inPath, kRecordSize, L"");
    std::memcpy(edited.data(), bytes.data(), bytes.size());
  }
  for (const auto& [name, text] : fields) {
    std::string error;
    if (!setRecordFieldFromText(edited.data(), name, std::u16string(text.begin(), text.end()),
                                &error)) {
      throw HostError{kBadInput, L"--set: " + fromAnsi(error)};
    }
  }
  std::vector<std::uint8_t> merged = defaults;
  devMode(plugin, printer, OEMDM_MERGE, edited.data(), merged.data());
  return merged;
}

void runRecord(const Options& options, IPrintOemUI2* plugin, HANDLE printer) {
  std::vector<std::uint8_t> defaults(kRecordSize, 0);
  devMode(plugin, printer, OEMDM_DEFAULT, nullptr, defaults.data());
  if (options.command == Command::Defaults) {
    writeRecord(options.outPath, defaults);
    std::wprintf(L"ui-host: default record written to %ls\n", options.outPath.c_str());
    return;
  }
  writeRecord(options.outPath,
              mergedRecord(plugin, printer, defaults, options.inPath, options.fields));
  std::wprintf(L"ui-host: merged record written to %ls\n", options.outPath.c_str());
}

// The whole script is read and parsed before anything is installed or shown: a bad script is a
// usage error with its line number.
std::vector<Step> loadScript(const std::wstring& path) {
  const std::string bytes = readInputFile(path, kMaxScriptBytes, L"the script ");
  std::vector<Step> steps;
  ScriptError error;
  if (!parseScript(bytes, &steps, &error)) {
    throw HostError{
        kBadInput, L"script line " + std::to_wstring(error.line) + L": " + fromAnsi(error.message)};
  }
  return steps;
}

void runSheetCommand(const Options& options, UiSession& session, HANDLE printer,
                     std::vector<Step> steps) {
  SheetRequest request;
  request.document = options.command == Command::DocSheet;
  request.press = options.press == SheetPress::Apply    ? Press::Apply
                  : options.press == SheetPress::Ok     ? Press::Ok
                  : options.press == SheetPress::Cancel ? Press::Cancel
                                                        : Press::None;
  request.pressButton = options.pressButton;
  request.page = options.page;
  request.selects = options.selects;
  request.rawSelects = options.rawSelects;
  request.refusals = options.refusals;
  request.ppdPath = options.ppdPath;
  request.outRecord = options.outRecord;
  request.outDevmode = options.outDevmode;
  request.dumpPath = options.dumpPath;
  request.screenshotWaitMs = options.screenshotWaitMs;
  request.noPermission = options.noPermission;
  request.driverPagesOnly = options.driverPagesOnly;
  request.layout = options.layout;
  request.installable = options.installable;
  request.testDialogs = options.testDialogs;
  request.script = !options.scriptPath.empty();
  request.steps = std::move(steps);
  request.controlsPath = options.controlsPath;
  // Screenshots go where the sheet tests keep theirs: the tree's artifacts folder beside bin.
  request.artifactsDir = !options.artifactsDir.empty()
                             ? options.artifactsDir
                             : joinPath(programDirectory(), L"..\\artifacts");
  // The driver keeps the record behind its device mode: the defaults, or a stored record
  // validated by the plug-in's merge.
  std::vector<std::uint8_t> record(kRecordSize, 0);
  devMode(session.plugin(), printer, OEMDM_DEFAULT, nullptr, record.data());
  if (!options.recordPath.empty()) {
    record = mergedRecord(session.plugin(), printer, record, options.recordPath, {});
  }
  runSheet(request, session, printer, options.printerName, std::move(record));
}

void runPrinterEvent(const Options& options, IPrintOemUI2* plugin) {
  std::wstring name = options.printerName;
  const HRESULT hr =
      plugin->PrinterEvent(name.data(), static_cast<INT>(options.event), options.eventFlags, 0);
  std::wprintf(L"ui-host: PrinterEvent(%u, flags 0x%x) returned %ls\n", options.event,
               options.eventFlags, hex(hr).c_str());
  if (hr != S_OK) throw HostError{kPluginFailed, L"PrinterEvent returned " + hex(hr)};
}

std::vector<DWORD> queryFilter(IPrintOemUI2* plugin, HANDLE printer, std::uint32_t allocated,
                               UINT* needed) {
  const std::size_t bytes =
      offsetof(DOCEVENT_FILTER, aDocEventCall) + (allocated + 1) * sizeof(DWORD);
  std::vector<std::uint8_t> block(bytes, 0);
  auto* filter = reinterpret_cast<DOCEVENT_FILTER*>(block.data());
  filter->cbSize = static_cast<UINT>(bytes);
  filter->cElementsAllocated = allocated;
  INT result = 0;
  const HRESULT hr = plugin->DocumentEvent(printer, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr,
                                           static_cast<ULONG>(bytes), filter, &result);
  if (hr != S_OK || result != DOCUMENTEVENT_SUCCESS) {
    throw HostError{kPluginFailed, L"DocumentEvent(QUERYFILTER) returned " + hex(hr) +
                                       L", result " + std::to_wstring(result)};
  }
  *needed = filter->cElementsNeeded;
  const UINT returned = filter->cElementsReturned <= allocated ? filter->cElementsReturned : 0;
  return std::vector<DWORD>(filter->aDocEventCall, filter->aDocEventCall + returned);
}

void runQueryFilter(const Options& options, IPrintOemUI2* plugin, HANDLE printer) {
  UINT needed = 0;
  const std::vector<DWORD> events = queryFilter(plugin, printer, options.filterElements, &needed);
  std::wprintf(L"ui-host: QUERYFILTER needed %u, returned %u:", needed,
               static_cast<unsigned>(events.size()));
  for (DWORD event : events) std::wprintf(L" %lu", static_cast<unsigned long>(event));
  std::wprintf(L"\n");
}

// Fills the name of the channel's mutex with an object of another kind, so that the plug-in
// cannot create the mutex and takes the relay program's path.
HANDLE occupyChannel(HANDLE printer, DWORD jobId) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  std::vector<BYTE> block(needed ? needed : 1, 0);
  if (needed < sizeof(PRINTER_INFO_2W) || !GetPrinterW(printer, 2, block.data(), needed, &needed)) {
    throw HostError{kSpooler, L"GetPrinterW level 2: " + win32ErrorText(GetLastError())};
  }
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(block.data());
  const std::wstring printerName = info->pPrinterName ? info->pPrinterName : L"";
  const std::wstring shareName = info->pShareName ? info->pShareName : L"";
  const bool shared = (info->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
  const std::u16string base =
      channelBaseName(std::u16string(printerName.begin(), printerName.end()),
                      std::u16string(shareName.begin(), shareName.end()), shared);
  const std::u16string name = mutexName(base, jobId);
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, std::wstring(name.begin(), name.end()).c_str());
  if (event == nullptr) {
    throw HostError{kFailure, L"cannot occupy the channel: " + win32ErrorText(GetLastError())};
  }
  return event;
}

void runStartDoc(const Options& options, IPrintOemUI2* plugin, HANDLE printer) {
  UINT needed = 0;
  const std::vector<DWORD> events = queryFilter(plugin, printer, 1, &needed);
  if (events.size() != 1 || events[0] != DOCUMENTEVENT_STARTDOCPOST) {
    throw HostError{kPluginFailed, L"QUERYFILTER does not ask for STARTDOCPOST"};
  }
  KernelHandle occupied(options.occupyChannel ? occupyChannel(printer, options.jobId) : nullptr);
  DWORD jobId = options.jobId;
  INT result = -12345;
  const HRESULT hr = plugin->DocumentEvent(printer, nullptr, DOCUMENTEVENT_STARTDOCPOST,
                                           sizeof(jobId), &jobId, 0, nullptr, &result);
  std::wprintf(L"ui-host: STARTDOCPOST for job %lu on \"%ls\" returned %ls\n",
               static_cast<unsigned long>(jobId), options.printerName.c_str(), hex(hr).c_str());
  if (hr != S_OK)
    throw HostError{kPluginFailed, L"DocumentEvent(STARTDOCPOST) returned " + hex(hr)};
  if (options.signalReady) {
    KernelHandle ready(
        CreateEventW(nullptr, TRUE, FALSE, (L"Local\\VexProducerReady" + hex8(jobId)).c_str()));
    if (ready.get() == nullptr || !SetEvent(ready.get())) {
      throw HostError{kFailure, L"cannot set the ready event: " + win32ErrorText(GetLastError())};
    }
    std::fflush(stdout);
    // The printing application's process lives on while the job is rendered.
    if (options.lingerSeconds > 0) Sleep(options.lingerSeconds * 1000);
  } else if (options.lingerSeconds > 0) {
    std::fflush(stdout);
    Sleep(options.lingerSeconds * 1000);
  }
}

int run(int argc, wchar_t** argv) {
  const Options options = parseOptions(argc, argv);
  std::vector<Step> steps;
  if (!options.scriptPath.empty()) steps = loadScript(options.scriptPath);
  const std::wstring pluginPath =
      options.pluginPath.empty() ? joinPath(programDirectory(), L"vexui.dll") : options.pluginPath;
  if (options.install) install(options, pluginPath);
  PrinterHandle printer(options.printerName);
  UiSession session(pluginPath);
  switch (options.command) {
    case Command::Defaults:
    case Command::Record:
      runRecord(options, session.plugin(), printer.get());
      break;
    case Command::QueryFilter:
      runQueryFilter(options, session.plugin(), printer.get());
      break;
    case Command::StartDoc:
      runStartDoc(options, session.plugin(), printer.get());
      break;
    case Command::DocSheet:
    case Command::PrnSheet:
      runSheetCommand(options, session, printer.get(), std::move(steps));
      break;
    case Command::PrinterEvent:
      runPrinterEvent(options, session.plugin());
      break;
  }
  const std::wstring problem = session.close();
  if (!problem.empty()) throw HostError{kPluginFailed, problem};
  return kOk;
}

// Errors go out as UTF-8: the C library's wide output stops at the first character outside its
// "C" locale, and the dialogs' captions and texts that a failed step quotes are Chinese.
void printError(const std::wstring& text) {
  const std::string bytes = utf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace
}  // namespace vex::uihost

int wmain(int argc, wchar_t** argv) {
  using namespace vex::uihost;
  try {
    return run(argc, argv);
  } catch (const UsageError& error) {
    printError(L"ui-host: " + error.message + L"\n" + kUsage + L"\n");
    return kBadInput;
  } catch (const HostError& error) {
    printError(L"ui-host: " + error.message + L"\n");
    return error.code;
  } catch (const std::bad_alloc&) {
    std::fwprintf(stderr, L"ui-host: out of memory\n");
    return kFailure;
  }
}
