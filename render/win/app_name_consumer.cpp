#include "app_name_consumer.h"

#include <winspool.h>

#include <cstring>
#include <vector>

#include "app_channel.h"
#include "config_files.h"
#include "text_convert.h"
#include "unique_handle.h"

namespace vex {
namespace {

DWORD threadSessionId() {
  HANDLE token = nullptr;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token)) {
    if (GetLastError() != ERROR_ACCESS_DENIED ||
        !OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) {
      return 0;
    }
  }
  KernelHandle owned(token);
  DWORD session = 0;
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenSessionId, &session, sizeof(session), &size)) return 0;
  return session;
}

// The name from a 122-byte section: at most 60 characters, ended by the first NUL or the bound.
std::wstring nameFromSection(const wchar_t* view) { return boundedWide(view, kAppNameChars - 1); }

std::wstring readSection(const std::u16string& local, const std::u16string& session) {
  HANDLE h = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, toWide(local).c_str());
  if (h == nullptr) h = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, toWide(session).c_str());
  KernelHandle section(h);
  if (!section) return {};
  void* view = MapViewOfFile(section.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (view == nullptr) return {};
  // A section smaller than the name's size is read only as far as it goes.
  MEMORY_BASIC_INFORMATION info{};
  std::size_t bytes = kAppNameBytes;
  if (VirtualQuery(view, &info, sizeof(info)) != 0) {
    const std::size_t available = info.RegionSize;
    if (available < bytes) bytes = available;
  }
  std::vector<wchar_t> copy(kAppNameChars, L'\0');
  std::memcpy(copy.data(), view, bytes < kAppNameBytes ? bytes : kAppNameBytes);
  UnmapViewOfFile(view);
  return nameFromSection(copy.data());
}

std::wstring servePipeOnce(const std::wstring& pipeName) {
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);  // open to everyone
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
  KernelHandle pipe(CreateNamedPipeW(
      pipeName.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
      // the producer and its relay run on this machine: no remote client
      PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0, 0,
      2000, &attributes));
  if (!pipe) return {};
  KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!event) return {};
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  bool connected = ConnectNamedPipe(pipe.get(), &overlapped) != FALSE;
  if (!connected) {
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED) {
      connected = true;
    } else if (error == ERROR_IO_PENDING) {
      connected = WaitForSingleObject(event.get(), kHandOffWaitMs) == WAIT_OBJECT_0;
      if (!connected) {
        CancelIo(pipe.get());
        DWORD ignored = 0;
        GetOverlappedResult(pipe.get(), &overlapped, &ignored, TRUE);
      }
    }
  }
  std::wstring name;
  if (connected) {
    wchar_t buffer[kAppNameChars] = L"";
    DWORD read = 0;
    OVERLAPPED readOverlapped{};
    readOverlapped.hEvent = event.get();
    ResetEvent(event.get());
    BOOL ok = ReadFile(pipe.get(), buffer, kAppNameBytes, &read, &readOverlapped);
    if (!ok && (GetLastError() == ERROR_IO_PENDING || GetLastError() == ERROR_MORE_DATA)) {
      if (GetLastError() == ERROR_IO_PENDING &&
          WaitForSingleObject(event.get(), kHandOffWaitMs) != WAIT_OBJECT_0) {
        CancelIo(pipe.get());
      }
      ok = GetOverlappedResult(pipe.get(), &readOverlapped, &read, TRUE) ||
           GetLastError() == ERROR_MORE_DATA;
    }
    if (ok) name = boundedWide(buffer, (read < kAppNameBytes ? read : kAppNameBytes) / 2);
    if (name.size() > kAppNameChars - 1) name.resize(kAppNameChars - 1);
    DisconnectNamedPipe(pipe.get());
  }
  return name;
}

}  // namespace

std::wstring receiveApplicationName(HANDLE printer, DWORD jobId) {
  DWORD needed = 0;
  GetPrinterW(printer, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W) || needed > 16 * 1024 * 1024) return {};
  std::vector<BYTE> block(needed, 0);
  if (!GetPrinterW(printer, 2, block.data(), needed, &needed)) return {};
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(block.data());
  const std::wstring printerName = info->pPrinterName ? info->pPrinterName : L"";
  const std::wstring shareName = info->pShareName ? info->pShareName : L"";
  const std::wstring driverName = info->pDriverName ? info->pDriverName : L"";
  const bool shared = (info->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
  const bool hasServer = info->pServerName != nullptr && info->pServerName[0] != L'\0';

  const DWORD session = threadSessionId();
  const std::u16string base = channelBaseName(toU16(printerName), toU16(shareName), shared);
  HANDLE m = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, toWide(mutexName(base, jobId)).c_str());
  if (m == nullptr) {
    m = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, toWide(sessionMutexName(base, jobId, session)).c_str());
  }
  KernelHandle mutex(m);
  if (mutex) {
    // Bounded: any process may create or hold a mutex of this name, and rendering must not hang.
    if (WaitForSingleObject(mutex.get(), kHandOffWaitMs) != WAIT_OBJECT_0) return {};
    std::wstring name =
        readSection(sectionName(base, jobId), sessionSectionName(base, jobId, session));
    ReleaseMutex(mutex.get());
    return name;
  }
  const std::u16string pipe = consumerPipeName(toU16(printerName), toU16(shareName),
                                               toU16(driverName), hasServer || shared, jobId);
  return servePipeOnce(toWide(pipe));
}

}  // namespace vex
