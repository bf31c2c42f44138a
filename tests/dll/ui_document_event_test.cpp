// The UI plug-in's document event: the events it asks for, and the hand-off of the printing
// application's name after a real spooler job has started, through the shared-memory section or
// through the relay program and the pipe the rendering side serves.
#include <gtest/gtest.h>

// The document-event header needs the platform's types first.
// clang-format off
#include <windows.h>
#include <winddiui.h>
#include <aclapi.h>
// clang-format on

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "document_event.h"
#include "printer_support.h"
#include "ui_module_state.h"
#include "ui_module_support.h"
#include "unique_handle.h"

namespace {

using vex::KernelHandle;
using vex::test::TestPrinter;

std::wstring hex8(DWORD value) {
  wchar_t text[9];
  swprintf(text, 9, L"%08x", static_cast<unsigned>(value));
  return text;
}

// A job of the spooler on the test printer, written to a file, open while the test runs.
class SpoolerJob {
 public:
  explicit SpoolerJob(HANDLE printer) : printer_(printer) {
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    wchar_t file[MAX_PATH] = L"";
    GetTempFileNameW(folder, L"vui", 0, file);  // a name of its own for each job
    output_ = file;
    DOC_INFO_1W info{const_cast<wchar_t*>(L"UI event job"), output_.data(),
                     const_cast<wchar_t*>(L"RAW")};
    // The spooler names its spool file after the job id, which other processes of the same
    // prefix may be using at this moment: a sharing violation is tried again with the next id.
    for (int attempt = 0; attempt < 20 && id_ == 0; ++attempt) {
      id_ = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&info));
      if (id_ == 0 && GetLastError() != ERROR_SHARING_VIOLATION) break;
      if (id_ == 0) Sleep(50);
    }
    EXPECT_NE(id_, 0u) << "StartDocPrinterW, error " << GetLastError();
  }
  ~SpoolerJob() {
    if (id_ != 0) EndDocPrinter(printer_);
    DeleteFileW(output_.c_str());
  }
  SpoolerJob(const SpoolerJob&) = delete;
  SpoolerJob& operator=(const SpoolerJob&) = delete;
  DWORD id() const { return id_; }

 private:
  HANDLE printer_;
  std::wstring output_;
  DWORD id_ = 0;
};

// A printer of its own driver whose configuration names the companions (a per-printer copy).
vex::PrinterSetup eventSetup(const std::wstring& name) {
  vex::PrinterSetup setup = vex::test::ownDriverSetup(name);
  setup.modelOverrides = {{L"JobInfoDLL", L"vexjobinfo.dll"}, {L"COLORAPEXE", L"vexrelay.exe"}};
  return setup;
}

class UiDocumentEvent : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = module_.createPlugin();
    ASSERT_NE(plugin_, nullptr);
  }
  void TearDown() override {
    if (plugin_ != nullptr) plugin_->Release();
  }

  HRESULT startDocPost(HANDLE printer, DWORD jobId, ULONG cbIn = sizeof(DWORD)) {
    INT result = -7;
    const HRESULT hr = plugin_->DocumentEvent(printer, nullptr, DOCUMENTEVENT_STARTDOCPOST, cbIn,
                                              &jobId, 0, nullptr, &result);
    EXPECT_EQ(result, -7) << "STARTDOCPOST leaves the result alone";
    return hr;
  }

  vex::test::UiModule module_;
  IPrintOemUI2* plugin_ = nullptr;
};

// What the section holds, once its mutex can be taken from another thread (the plug-in must have
// released it); nullopt when the objects do not exist.
std::optional<std::wstring> readChannel(const std::wstring& base, DWORD jobId) {
  const std::wstring mutexName = L"Local\\" + base + hex8(jobId) + L"B";
  const std::wstring sectionName = L"Local\\" + base + hex8(jobId) + L"A";
  KernelHandle mutex(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, mutexName.c_str()));
  if (!mutex) return std::nullopt;
  DWORD waited = WAIT_FAILED;
  std::thread other([&] {
    waited = WaitForSingleObject(mutex.get(), 2000);
    if (waited == WAIT_OBJECT_0) ReleaseMutex(mutex.get());
  });
  other.join();
  EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the producer still owns the mutex";
  KernelHandle section(OpenFileMappingW(FILE_MAP_READ, FALSE, sectionName.c_str()));
  if (!section) return std::nullopt;
  const void* view = MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) return std::nullopt;
  wchar_t name[61] = L"";
  std::memcpy(name, view, 122);
  UnmapViewOfFile(view);
  name[60] = L'\0';
  return std::wstring(name);
}

TEST_F(UiDocumentEvent, AsksForStartDocPostOnly) {
  struct Case {
    UINT allocated;
    ULONG extraBytes;  // room beyond the header
    UINT needed;
    UINT returned;
    DWORD first;
  } cases[] = {
      {0, 4, 1, 0, 0},  // nothing allocated: only the count needed
      {1, 4, 0, 1, DOCUMENTEVENT_STARTDOCPOST},
      {3, 12, 0, 1, DOCUMENTEVENT_STARTDOCPOST},
      {1, 0, 1, 0, 0},  // claims an element but the buffer has no room for it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.allocated);
    const ULONG header = offsetof(DOCEVENT_FILTER, aDocEventCall);
    std::vector<std::uint8_t> block(header + 16, 0);
    auto* filter = reinterpret_cast<DOCEVENT_FILTER*>(block.data());
    filter->cbSize = header + c.extraBytes;
    filter->cElementsAllocated = c.allocated;
    INT result = 0;
    EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr,
                                     header + c.extraBytes, filter, &result),
              S_OK);
    EXPECT_EQ(result, DOCUMENTEVENT_SUCCESS);
    EXPECT_EQ(filter->cElementsNeeded, c.needed);
    EXPECT_EQ(filter->cElementsReturned, c.returned);
    EXPECT_EQ(filter->aDocEventCall[0], c.first);
  }
  INT result = 0;
  EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr, 0,
                                   nullptr, &result),
            S_OK);
  std::uint32_t tooSmall[2] = {0xAAAAAAAA, 0xAAAAAAAA};
  EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_QUERYFILTER, 0, nullptr,
                                   sizeof(tooSmall), tooSmall, &result),
            S_OK);
  EXPECT_EQ(tooSmall[1], 0xAAAAAAAAu) << "nothing written past the caller's buffer";
}

TEST_F(UiDocumentEvent, CreateDcPreSucceedsOtherEventsAreLeftAlone) {
  INT result = 0;
  EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_CREATEDCPRE, 0, nullptr, 0,
                                   nullptr, &result),
            S_OK);
  EXPECT_EQ(result, DOCUMENTEVENT_SUCCESS);
  for (INT escape : {DOCUMENTEVENT_CREATEDCPOST, DOCUMENTEVENT_STARTDOCPRE,
                     DOCUMENTEVENT_ENDDOCPOST, DOCUMENTEVENT_DELETEDC, 0, 99, -1}) {
    result = -3;
    EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, escape, 0, nullptr, 0, nullptr, &result),
              S_OK);
    EXPECT_EQ(result, -3) << escape;
  }
}

struct NameCase {
  const char* what;
  const char* switches;  // vexjobinfo.ini; null: none
  const wchar_t* expected;
};

TEST_F(UiDocumentEvent, SectionCarriesTheApplicationNameOfARealJob) {
  const NameCase cases[] = {
      {"first half", "[Values]\r\nApplication=Test Writer\r\n", L"Test Writer"},
      {"second half when the first is empty", "[Values]\r\nApplicationSecondHalfOnly=tw\r\n",
       L"tw"},
      {"both halves: the first", "[Values]\r\nApplication=Big\r\nApplicationSecondHalfOnly=b\r\n",
       L"Big"},
      {"the calling program's file name", nullptr, L"dll_tests"},
  };
  TestPrinter printer(eventSetup(L"VEX UI Event"));
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::optional<vex::test::JobInfoSwitches> switches;
    if (c.switches != nullptr) switches.emplace(c.switches);
    SpoolerJob job(printer.handle());
    ASSERT_NE(job.id(), 0u);
    EXPECT_EQ(startDocPost(printer.handle(), job.id()), S_OK);
    const std::optional<std::wstring> name = readChannel(L"VEX UI Event", job.id());
    ASSERT_TRUE(name.has_value()) << "no section for job " << job.id();
    EXPECT_EQ(*name, c.expected);
  }
}

TEST_F(UiDocumentEvent, WithoutLibraryOrEntryPointTheSectionHoldsAnEmptyName) {
  const struct {
    const wchar_t* printer;
    const wchar_t* library;
  } cases[] = {
      {L"VEX UI Event No Library", L""},
      {L"VEX UI Event Missing Library", L"nowhere.dll"},
      {L"VEX UI Event No Entry Point", L"test_jobinfo_echo.dll"},  // GetJobInfoCmd only
  };
  vex::test::JobInfoSwitches switches("[Values]\r\nApplication=Never asked\r\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(vex::test::narrow(c.printer));
    vex::PrinterSetup setup = eventSetup(c.printer);
    setup.modelOverrides = {{L"JobInfoDLL", c.library}, {L"COLORAPEXE", L"vexrelay.exe"}};
    setup.pluginFiles = {L"vexui.dll", L"vexjobinfo.dll", L"vexrelay.exe",
                         L"test_jobinfo_echo.dll"};
    TestPrinter printer(setup);
    SpoolerJob job(printer.handle());
    EXPECT_EQ(startDocPost(printer.handle(), job.id()), S_OK);
    EXPECT_EQ(readChannel(c.printer, job.id()), std::wstring());
  }
}

TEST_F(UiDocumentEvent, ObjectNamesReplaceReservedCharactersWithZero) {
  TestPrinter printer(eventSetup(L"VEX UI Office/3F:Laser"));
  vex::test::JobInfoSwitches switches("[Values]\r\nApplication=Slash Colon\r\n");
  EXPECT_EQ(startDocPost(printer.handle(), 26), S_OK);
  EXPECT_EQ(readChannel(L"VEX UI Office03F0Laser", 26), std::wstring(L"Slash Colon"));
}

TEST_F(UiDocumentEvent, SharedQueueNamesTheObjectsAfterTheShare) {
  vex::PrinterSetup setup = eventSetup(L"VEX UI Event Shared");
  setup.shared = true;
  setup.shareName = L"UI:Share*";
  TestPrinter printer(setup);
  vex::test::JobInfoSwitches switches("[Values]\r\nApplication=Shared App\r\n");
  EXPECT_EQ(startDocPost(printer.handle(), 0x2a), S_OK);
  EXPECT_EQ(readChannel(L"UI0Share0", 0x2a), std::wstring(L"Shared App"));
  EXPECT_FALSE(readChannel(L"VEX UI Event Shared", 0x2a).has_value());
}

TEST_F(UiDocumentEvent, LongPrinterAndShareNames) {
  const std::wstring longName = L"VEX UI " + std::wstring(213, L'L');  // 220, the spooler's most
  vex::PrinterSetup setup;
  setup.printerName = longName;
  setup.driverName = vex::kSampleDriverName;  // the sample's configuration file, unchanged
  setup.shared = true;
  setup.shareName = L"VEX UI Long Share " + std::wstring(200, L'S');
  TestPrinter printer(setup);
  vex::test::JobInfoSwitches switches("[Values]\r\nApplication=" + std::string(100, 'N') +
                                      "\r\n");  // cut by the library
  EXPECT_EQ(startDocPost(printer.handle(), 77), S_OK);
  const std::optional<std::wstring> name = readChannel(setup.shareName, 77);
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(*name, std::wstring(59, L'N'));
}

TEST_F(UiDocumentEvent, BadJobIdArgumentsDoNothing) {
  TestPrinter printer(eventSetup(L"VEX UI Event"));
  DWORD jobId = 0x51;
  INT result = 0;
  EXPECT_EQ(plugin_->DocumentEvent(printer.handle(), nullptr, DOCUMENTEVENT_STARTDOCPOST, 4,
                                   nullptr, 0, nullptr, &result),
            S_OK);
  EXPECT_EQ(plugin_->DocumentEvent(printer.handle(), nullptr, DOCUMENTEVENT_STARTDOCPOST, 3, &jobId,
                                   0, nullptr, nullptr),
            S_OK);
  EXPECT_FALSE(readChannel(L"VEX UI Event", 0x51).has_value());
  EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, DOCUMENTEVENT_STARTDOCPOST, 4, &jobId, 0,
                                   nullptr, nullptr),
            S_OK)
      << "no printer: nothing to hand off, still S_OK";
}

// The pipe as the rendering side serves it, read once by a thread of the test.
class PipeServer {
 public:
  explicit PipeServer(const std::wstring& name) {
    pipe_ = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 0, 2000,
                             nullptr);
    EXPECT_NE(pipe_, INVALID_HANDLE_VALUE) << "CreateNamedPipeW, error " << GetLastError();
  }
  ~PipeServer() {
    if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
  }
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;

  // The message of the first client within `waitMs`; nullopt when none came.
  std::optional<std::wstring> receive(DWORD waitMs) {
    if (pipe_ == INVALID_HANDLE_VALUE) return std::nullopt;
    KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    bool connected = ConnectNamedPipe(pipe_, &overlapped) != FALSE;
    if (!connected) {
      const DWORD error = GetLastError();
      connected =
          error == ERROR_PIPE_CONNECTED ||
          (error == ERROR_IO_PENDING && WaitForSingleObject(event.get(), waitMs) == WAIT_OBJECT_0);
      if (!connected) {
        CancelIo(pipe_);
        return std::nullopt;
      }
    }
    wchar_t buffer[64] = L"";
    DWORD read = 0;
    OVERLAPPED readOverlapped{};
    readOverlapped.hEvent = event.get();
    ResetEvent(event.get());
    if (!ReadFile(pipe_, buffer, 122, &read, &readOverlapped) &&
        !GetOverlappedResult(pipe_, &readOverlapped, &read, TRUE)) {
      return std::nullopt;
    }
    DisconnectNamedPipe(pipe_);
    return std::wstring(buffer, wcsnlen(buffer, read / 2));
  }

 private:
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
};

struct RelayCase {
  const char* what;
  const wchar_t* printer;
  const wchar_t* occupied;  // suffix of the object name taken by an event: "B" mutex, "A" section
  const wchar_t* pipe;      // the local pipe's queue part
};

TEST_F(UiDocumentEvent, RelayProgramDeliversWhenTheSectionCannotBeMade) {
  const RelayCase cases[] = {
      {"mutex name taken", L"VEX UI Relay", L"B", L"VEX UI Relay"},
      {"section name taken", L"VEX UI Relay", L"A", L"VEX UI Relay"},
      {"reserved characters stay in the pipe name", L"VEX UI Relay/3F:Laser", L"B",
       L"VEX UI Relay/3F:Laser"},
  };
  for (const RelayCase& c : cases) {
    SCOPED_TRACE(c.what);
    TestPrinter printer(eventSetup(c.printer));
    vex::test::JobInfoSwitches switches("[Values]\r\nApplication=Relay \"Writer\"\r\n");
    SpoolerJob job(printer.handle());
    ASSERT_NE(job.id(), 0u);
    std::wstring base = c.printer;
    for (wchar_t& ch : base) {
      if (ch == L'/' || ch == L':') ch = L'0';
    }
    KernelHandle taken(CreateEventW(nullptr, TRUE, FALSE,
                                    (L"Local\\" + base + hex8(job.id()) + c.occupied).c_str()));
    ASSERT_TRUE(taken);
    PipeServer server(L"\\\\.\\pipe\\" + std::wstring(c.pipe) + L"\\" + hex8(job.id()) +
                      L"\\AppInfo");
    EXPECT_EQ(startDocPost(printer.handle(), job.id()), S_OK);
    EXPECT_EQ(server.receive(15000), std::wstring(L"Relay Writer"))
        << "quotes cannot travel in the relay's command line";
    KernelHandle mutex(
        OpenMutexW(SYNCHRONIZE, FALSE, (L"Local\\" + base + hex8(job.id()) + L"B").c_str()));
    EXPECT_FALSE(mutex) << "a mutex whose section failed is closed again";
  }
}

TEST_F(UiDocumentEvent, NoRelayProgramConfiguredNothingIsDelivered) {
  vex::PrinterSetup setup = eventSetup(L"VEX UI Relay None");
  setup.modelOverrides = {{L"JobInfoDLL", L"vexjobinfo.dll"}, {L"COLORAPEXE", L""}};
  TestPrinter printer(setup);
  SpoolerJob job(printer.handle());
  KernelHandle taken(CreateEventW(nullptr, TRUE, FALSE,
                                  (L"Local\\VEX UI Relay None" + hex8(job.id()) + L"B").c_str()));
  PipeServer server(L"\\\\.\\pipe\\VEX UI Relay None\\" + hex8(job.id()) + L"\\AppInfo");
  EXPECT_EQ(startDocPost(printer.handle(), job.id()), S_OK);
  EXPECT_FALSE(server.receive(1500).has_value());
}

TEST(UiApplicationName, BufferWithoutTerminatorsIsReadWithinItsHalves) {
  std::array<std::uint8_t, vex::kApplicationBufferSize> buffer{};
  buffer.fill('A');
  EXPECT_EQ(vex::applicationNameFromBuffer(buffer), std::wstring(60, L'A'));
  for (std::size_t i = 0; i < 60; ++i) buffer[i] = 0;
  for (std::size_t i = 60; i < 120; ++i) buffer[i] = 'B';
  EXPECT_EQ(vex::applicationNameFromBuffer(buffer), std::wstring(60, L'B'));
  buffer.fill(0);
  EXPECT_EQ(vex::applicationNameFromBuffer(buffer), std::wstring());
}

TEST(UiChannelSecurity, DescriptorByPlatformVersion) {
  vex::ChannelSecurity older(false);
  SECURITY_ATTRIBUTES* attributes = older.attributes();
  ASSERT_NE(attributes, nullptr);
  EXPECT_FALSE(attributes->bInheritHandle);
  BOOL present = TRUE;
  BOOL defaulted = FALSE;
  PACL acl = nullptr;
  ASSERT_TRUE(
      GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted));
  EXPECT_FALSE(present) << "no DACL";
  ASSERT_TRUE(
      GetSecurityDescriptorSacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted));
  EXPECT_FALSE(present) << "no SACL";

  vex::ChannelSecurity labelled(true);
  attributes = labelled.attributes();
  ASSERT_NE(attributes, nullptr);
  EXPECT_FALSE(attributes->bInheritHandle);
  ASSERT_TRUE(
      GetSecurityDescriptorSacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted));
  ASSERT_TRUE(present);
  ASSERT_NE(acl, nullptr);
  ASSERT_EQ(acl->AceCount, 1);
  ACE_HEADER* ace = nullptr;
  ASSERT_TRUE(GetAce(acl, 0, reinterpret_cast<void**>(&ace)));
  EXPECT_EQ(ace->AceType, SYSTEM_MANDATORY_LABEL_ACE_TYPE);
  const auto* label = reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace);
  EXPECT_EQ(label->Mask, static_cast<DWORD>(SYSTEM_MANDATORY_LABEL_NO_WRITE_UP));
  PSID sid = const_cast<DWORD*>(&label->SidStart);
  SID_IDENTIFIER_AUTHORITY mandatory = SECURITY_MANDATORY_LABEL_AUTHORITY;
  PSID low = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&mandatory, 1, SECURITY_MANDATORY_LOW_RID, 0, 0, 0, 0, 0, 0,
                                       0, &low));
  EXPECT_TRUE(EqualSid(sid, low)) << "the low integrity level";
  FreeSid(low);
  // Objects made with it can be created and opened.
  KernelHandle mutex(CreateMutexW(attributes, TRUE, L"Local\\VEX UI Labelled Mutex"));
  ASSERT_TRUE(mutex);
  ReleaseMutex(mutex.get());
  KernelHandle opened(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\VEX UI Labelled Mutex"));
  EXPECT_TRUE(opened);
}

}  // namespace

namespace {

// A process whose first call into the plug-in is STARTDOCPOST still knows the platform's
// version: the channel's objects carry the low-integrity label of version 6 and later.
TEST(UiDocumentEventFirstCall, TheVersionProbeRunsBeforeTheChannelIsMade) {
  vex::UiModuleState& state = vex::uiModuleState();
  const bool savedProbe = state.versionProbeDone;
  const bool savedVersion6 = state.isOsVersion6OrLater;
  state.versionProbeDone = false;  // as in a process that has made no other call
  state.isOsVersion6OrLater = false;
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExW(&version));

  TestPrinter printer(eventSetup(L"VEX UI First Event"));
  vex::test::JobInfoSwitches switches("[Values]\r\nApplication=First call\r\n");
  SpoolerJob job(printer.handle());
  DWORD jobId = job.id();
  vex::uiDocumentEvent(printer.handle(), DOCUMENTEVENT_STARTDOCPOST, sizeof(jobId), &jobId, 0,
                       nullptr, nullptr);
  EXPECT_TRUE(state.versionProbeDone);
  EXPECT_EQ(state.isOsVersion6OrLater, version.dwMajorVersion >= 6);

  const std::wstring mutexName = L"Local\\VEX UI First Event" + hex8(jobId) + L"B";
  KernelHandle mutex(OpenMutexW(READ_CONTROL | SYNCHRONIZE, FALSE, mutexName.c_str()));
  ASSERT_TRUE(mutex) << "no mutex " << vex::test::narrow(mutexName);
  PACL sacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, LABEL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, &sacl, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  bool lowLabel = false;
  for (DWORD i = 0; sacl != nullptr && i < sacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (GetAce(sacl, i, reinterpret_cast<void**>(&ace)) &&
        ace->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
      const auto* label = reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace);
      const auto* sid = reinterpret_cast<const SID*>(&label->SidStart);
      lowLabel = sid->SubAuthority[0] == SECURITY_MANDATORY_LOW_RID;
    }
  }
  LocalFree(descriptor);
  EXPECT_EQ(lowLabel, version.dwMajorVersion >= 6);
  state.versionProbeDone = savedProbe;
  state.isOsVersion6OrLater = savedVersion6;
}

}  // namespace
