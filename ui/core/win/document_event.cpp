#include "document_event.h"

#include <sddl.h>
#include <winddiui.h>
#include <winspool.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app_channel.h"
#include "config_files.h"
#include "outside_library.h"
#include "text_convert.h"
#include "ui_module_state.h"

namespace vex {
namespace {

using GetPrintingApplicationFn = int(__cdecl*)(std::uint32_t reserved, char* buffer,
                                               std::uint32_t* size);

// Largest block the spooler's answers are read into: a printer or job with more is not ours.
constexpr DWORD kMaxInfoBytes = 1u << 20;

// A string of a spooler information block, never read past the block.
std::u16string blockString(const std::vector<BYTE>& block, const wchar_t* text) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text);
  if (p == nullptr || p < block.data() || p >= block.data() + block.size()) return {};
  const std::size_t chars = static_cast<std::size_t>(block.data() + block.size() - p) / 2;
  return toU16(boundedWide(text, chars));
}

std::vector<BYTE> printerInfo2(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W) || needed > kMaxInfoBytes) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterW(printer, 2, block.data(), needed, &needed)) return {};
  return block;
}

std::vector<BYTE> jobInfo2(HANDLE printer, DWORD jobId) {
  DWORD needed = 0;
  GetJobW(printer, jobId, 2, nullptr, 0, &needed);
  if (needed < sizeof(JOB_INFO_2W) || needed > kMaxInfoBytes) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetJobW(printer, jobId, 2, block.data(), needed, &needed)) return {};
  return block;
}

std::optional<std::uint32_t> emfDespoolingSetting(HANDLE printer) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD needed = 0;
  if (GetPrinterDataW(printer, const_cast<wchar_t*>(L"EMFDespoolingSetting"), &type,
                      reinterpret_cast<BYTE*>(&value), sizeof(value), &needed) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

void queryFilter(ULONG cbOut, PVOID pvOut) {
  // The header and the one element are written only where the caller's buffer has room.
  constexpr ULONG header = offsetof(DOCEVENT_FILTER, aDocEventCall);
  if (pvOut == nullptr || cbOut < header) return;
  auto* filter = static_cast<DOCEVENT_FILTER*>(pvOut);
  if (filter->cElementsAllocated >= 1 && cbOut >= header + sizeof(DWORD)) {
    filter->cElementsReturned = 1;
    filter->aDocEventCall[0] = DOCUMENTEVENT_STARTDOCPOST;
  } else {
    filter->cElementsNeeded = 1;
  }
}

}  // namespace

ChannelSecurity::ChannelSecurity(bool osVersion6OrLater) {
  if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION)) return;
  if (osVersion6OrLater) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"S:(ML;;NW;;;LW)", SDDL_REVISION_1,
                                                              &converted_, nullptr)) {
      converted_ = nullptr;
      return;
    }
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL sacl = nullptr;
    if (!GetSecurityDescriptorSacl(converted_, &present, &sacl, &defaulted) || !present ||
        !SetSecurityDescriptorSacl(&descriptor_, TRUE, sacl, FALSE)) {
      return;
    }
  }
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
  usable_ = true;
}

ChannelSecurity::~ChannelSecurity() {
  if (converted_ != nullptr) LocalFree(converted_);
}

std::wstring applicationNameFromBuffer(
    const std::array<std::uint8_t, kApplicationBufferSize>& buffer) {
  const std::string half = applicationHalf(buffer);  // bounded to its half, zero-terminated
  if (half.empty()) return {};
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  const std::string saved = current != nullptr ? current : "C";
  std::setlocale(LC_CTYPE, "");
  wchar_t name[kApplicationNameMaxChars + 1] = L"";
  const std::size_t n = std::mbstowcs(name, half.c_str(), kApplicationNameMaxChars);
  std::setlocale(LC_CTYPE, saved.c_str());
  if (n == static_cast<std::size_t>(-1)) return {};
  return std::wstring(name, n < kApplicationNameMaxChars ? n : kApplicationNameMaxChars);
}

std::wstring printingApplicationName(HANDLE printer) {
  // Located for this printer every time: a process that prints to printers of several models
  // must not ask one model's library for another's job.
  wchar_t iniPath[kPathChars] = L"";
  findDriverFiles(printer, iniPath);
  OutsideLibrary library = loadConfiguredLibrary(printer, L"JobInfoDLL");
  const auto getPrintingApplication =
      library.entry<GetPrintingApplicationFn>("GetPrintingApplication");
  if (getPrintingApplication == nullptr) return {};
  std::array<std::uint8_t, kApplicationBufferSize> buffer{};
  std::uint32_t size = kApplicationBufferSize;
  getPrintingApplication(0, reinterpret_cast<char*>(buffer.data()), &size);
  return applicationNameFromBuffer(buffer);
}

bool readHandOffPrinter(HANDLE printer, DWORD jobId, HandOffPrinter* facts) {
  const std::vector<BYTE> block = printerInfo2(printer);
  if (block.empty()) return false;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(block.data());
  facts->printerName = blockString(block, info->pPrinterName);
  facts->shareName = blockString(block, info->pShareName);
  facts->serverName = blockString(block, info->pServerName);
  facts->driverName = blockString(block, info->pDriverName);
  facts->shared = (info->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
  const std::vector<BYTE> job = jobInfo2(printer, jobId);
  facts->rawJob = false;
  if (!job.empty()) {
    const auto* jobInfo = reinterpret_cast<const JOB_INFO_2W*>(job.data());
    facts->rawJob = blockString(job, jobInfo->pDatatype) == u"RAW";
  }
  return true;
}

bool publishApplicationName(const HandOffPrinter& printer, DWORD jobId, const std::wstring& name) {
  const std::u16string base =
      channelBaseName(printer.printerName, printer.shareName, printer.shared);
  ChannelSecurity security(isOsVersion6OrLater());
  HANDLE mutex = CreateMutexW(security.attributes(), TRUE, toWide(mutexName(base, jobId)).c_str());
  if (mutex == nullptr) return false;
  HANDLE section = CreateFileMappingW(INVALID_HANDLE_VALUE, security.attributes(), PAGE_READWRITE,
                                      0, static_cast<DWORD>(kAppNameBytes),
                                      toWide(sectionName(base, jobId)).c_str());
  if (section == nullptr) {
    CloseHandle(mutex);
    return false;
  }
  void* view = MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (view == nullptr) {
    CloseHandle(section);
    CloseHandle(mutex);
    return false;
  }
  wchar_t text[kAppNameChars] = L"";
  copyBounded(text, kAppNameChars, name);
  std::memcpy(view, text, kAppNameBytes);
  UnmapViewOfFile(view);
  ReleaseMutex(mutex);
  // Both handles stay open on purpose: the objects must outlive this call until the job's
  // header has been written, and they go with the printing application's process.
  return true;
}

bool startRelayProgram(HANDLE printer, const HandOffPrinter& facts, DWORD jobId,
                       const std::wstring& name) {
  const bool clientSide =
      !facts.serverName.empty() && !facts.rawJob &&
      isClientSideRendering(isOsVersion6OrLater(), emfDespoolingSetting(printer));
  const std::u16string pipe = producerPipeName(facts, clientSide, jobId);
  std::wstring commandLine = toWide(relayCommandLine(toU16(name), pipe));
  wchar_t iniPath[kPathChars] = L"";
  findDriverFiles(printer, iniPath);
  if (configFilePath()[0] == L'\0') return false;
  const std::wstring program = readModelString(printer, L"COLORAPEXE");
  if (program.empty()) return false;
  const std::wstring path = driverFilePath(program);
  if (path.empty()) return false;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void handOffApplicationName(HANDLE printer, DWORD jobId) {
  const std::wstring name = printingApplicationName(printer);
  HandOffPrinter facts;
  if (!readHandOffPrinter(printer, jobId, &facts)) return;
  if (!isRemoteNonRawJob(facts) && publishApplicationName(facts, jobId, name)) return;
  startRelayProgram(printer, facts, jobId, name);
}

HRESULT uiDocumentEvent(HANDLE printer, INT escape, ULONG cbIn, PVOID pvIn, ULONG cbOut,
                        PVOID pvOut, PINT result) {
  try {
    switch (escape) {
      case DOCUMENTEVENT_CREATEDCPRE:
        if (result != nullptr) *result = DOCUMENTEVENT_SUCCESS;
        break;
      case DOCUMENTEVENT_QUERYFILTER:
        queryFilter(cbOut, pvOut);
        if (result != nullptr) *result = DOCUMENTEVENT_SUCCESS;
        break;
      case DOCUMENTEVENT_STARTDOCPOST:
        if (pvIn != nullptr && cbIn >= sizeof(DWORD)) {
          DWORD jobId = 0;
          std::memcpy(&jobId, pvIn, sizeof(jobId));
          handOffApplicationName(printer, jobId);
        }
        break;
      default:
        break;
    }
  } catch (...) {
    // Printing goes on without the name.
  }
  return S_OK;
}

}  // namespace vex
