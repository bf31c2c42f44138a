// The relay program as a real second process: the test serves the pipe the way the rendering
// plug-in does (one instance, overlapped connect with a 10 s wait, one read of 122 bytes) and
// starts the program the way the UI plug-in does.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

std::wstring besideTests(const wchar_t* file) {
  wchar_t path[MAX_PATH] = L"";
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder + file;
}

std::wstring relayPath() { return besideTests(L"vexrelay.exe"); }

std::wstring uniquePipeName() {
  static unsigned counter = 0;
  wchar_t job[16];
  std::swprintf(job, 16, L"%08x", ++counter);
  return L"\\\\.\\pipe\\VEX Relay Test " + std::to_wstring(GetCurrentProcessId()) + L"\\" + job +
         L"\\AppInfo";
}

std::string bytesOf(const std::wstring& name) {
  std::string bytes;
  for (wchar_t c : name) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  bytes.append(2, '\0');
  return bytes;
}

// The pipe as the rendering plug-in serves it.
class ConsumerPipe {
 public:
  explicit ConsumerPipe(const std::wstring& name) {
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    pipe_ = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, 0, 2000,
                             &attributes);
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    connect_.hEvent = event_;
    if (valid()) {
      if (ConnectNamedPipe(pipe_, &connect_)) {
        connected_ = true;
      } else {
        const DWORD error = GetLastError();
        connected_ = error == ERROR_PIPE_CONNECTED;
        pending_ = error == ERROR_IO_PENDING;
      }
    }
  }
  ~ConsumerPipe() {
    if (pending_) {
      CancelIo(pipe_);
      DWORD ignored = 0;
      GetOverlappedResult(pipe_, &connect_, &ignored, TRUE);
    }
    if (valid()) CloseHandle(pipe_);
    if (event_ != nullptr) CloseHandle(event_);
  }
  ConsumerPipe(const ConsumerPipe&) = delete;
  ConsumerPipe& operator=(const ConsumerPipe&) = delete;

  bool valid() const { return pipe_ != INVALID_HANDLE_VALUE && event_ != nullptr; }

  // One client within `waitMs`, then one read of at most 122 bytes; nothing when no client came.
  std::optional<std::string> serveOnce(DWORD waitMs) {
    if (pending_) {
      pending_ = false;
      DWORD ignored = 0;
      if (WaitForSingleObject(event_, waitMs) == WAIT_OBJECT_0 &&
          GetOverlappedResult(pipe_, &connect_, &ignored, FALSE)) {
        connected_ = true;
      } else {
        CancelIo(pipe_);
        GetOverlappedResult(pipe_, &connect_, &ignored, TRUE);
      }
    }
    if (!connected_) return std::nullopt;
    char buffer[122];
    OVERLAPPED read{};
    read.hEvent = event_;
    ResetEvent(event_);
    DWORD count = 0;
    if (!ReadFile(pipe_, buffer, sizeof buffer, &count, &read)) {
      if (GetLastError() != ERROR_IO_PENDING ||
          WaitForSingleObject(event_, 10000) != WAIT_OBJECT_0 ||
          !GetOverlappedResult(pipe_, &read, &count, FALSE)) {
        CancelIo(pipe_);
        GetOverlappedResult(pipe_, &read, &count, TRUE);
        count = 0;
      }
    }
    DisconnectNamedPipe(pipe_);
    return std::string(buffer, count);
  }

 private:
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE event_ = nullptr;
  OVERLAPPED connect_{};
  bool connected_ = false;
  bool pending_ = false;
};

// A started relay program; its standard error goes to a file when asked for.
class RelayProcess {
 public:
  // `producerForm`: started as the UI plug-in starts it (program path apart, the command line
  // without the program's name); otherwise with the program's name in front.
  RelayProcess(const std::wstring& arguments, bool producerForm, bool captureErrors = false) {
    std::wstring commandLine =
        producerForm ? arguments
                     : L"\"" + relayPath() + L"\"" + (arguments.empty() ? L"" : L" ") + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    BOOL inherit = FALSE;
    if (captureErrors) {
      wchar_t temp[MAX_PATH] = L"";
      GetTempPathW(MAX_PATH, temp);
      static unsigned counter = 0;
      errorFile_ = std::wstring(temp) + L"vex-relay-" + std::to_wstring(GetCurrentProcessId()) +
                   L"-" + std::to_wstring(++counter) + L".txt";
      SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
      errors_ = CreateFileW(errorFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                            CREATE_ALWAYS, 0, nullptr);
      startup.dwFlags |= STARTF_USESTDHANDLES;
      startup.hStdError = errors_;
      startup.hStdOutput = errors_;
      startup.hStdInput = nullptr;
      inherit = TRUE;
    }
    started_ = GetTickCount64();
    ok_ = CreateProcessW(relayPath().c_str(), commandLine.data(), nullptr, nullptr, inherit,
                         CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_) != FALSE;
  }
  ~RelayProcess() {
    if (ok_) {
      if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
      }
      CloseHandle(process_.hThread);
      CloseHandle(process_.hProcess);
    }
    if (errors_ != INVALID_HANDLE_VALUE) CloseHandle(errors_);
    if (!errorFile_.empty()) DeleteFileW(errorFile_.c_str());
  }
  RelayProcess(const RelayProcess&) = delete;
  RelayProcess& operator=(const RelayProcess&) = delete;

  bool started() const { return ok_; }

  // The exit code, or -1 when the program did not end within `waitMs`.
  DWORD exitCode(DWORD waitMs = 20000) {
    if (!ok_ || WaitForSingleObject(process_.hProcess, waitMs) != WAIT_OBJECT_0) {
      return static_cast<DWORD>(-1);
    }
    elapsed_ = GetTickCount64() - started_;
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  ULONGLONG elapsedMs() const { return elapsed_; }

  std::string errors() const {
    HANDLE file = CreateFileW(errorFile_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text(4096, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
  }

 private:
  PROCESS_INFORMATION process_{};
  bool ok_ = false;
  ULONGLONG started_ = 0;
  ULONGLONG elapsed_ = 0;
  HANDLE errors_ = INVALID_HANDLE_VALUE;
  std::wstring errorFile_;
};

std::wstring quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

class RelayProgram : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesW(relayPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "vexrelay.exe missing beside the test program";
  }
};

TEST_F(RelayProgram, DeliversTheNameAsOneMessage) {
  const std::wstring seventy(70, L'n');
  const struct {
    const char* name;
    std::wstring application;
    bool producerForm;
    std::wstring options;
    std::wstring pipe;  // empty: a fresh name of the tests
    std::string expected;
  } cases[] = {
      {"as the plug-in starts it", L"Writer", true, L"", L"", bytesOf(L"Writer")},
      {"with the program name", L"Writer", false, L"", L"", bytesOf(L"Writer")},
      {"with a wait bound", L"Writer", false, L" --wait-ms 3000", L"", bytesOf(L"Writer")},
      {"empty name", L"", true, L"", L"", std::string(2, '\0')},
      {"name with spaces", L"Report Writer 2.0", true, L"", L"", bytesOf(L"Report Writer 2.0")},
      {"Chinese name", L"\u6587\u5B57\u5904\u7406", true, L"", L"",
       bytesOf(L"\u6587\u5B57\u5904\u7406")},
      {"70 characters are cut to 60", seventy, true, L"", L"", bytesOf(seventy.substr(0, 60))},
      {"the name \"0\"", L"0", true, L"", L"", bytesOf(L"0")},
      {"printer name with colon and slash", L"Writer", true, L"",
       L"\\\\.\\pipe\\Office/3F:Laser " + std::to_wstring(GetCurrentProcessId()) +
           L"\\0000001a\\AppInfo",
       bytesOf(L"Writer")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring pipeName = c.pipe.empty() ? uniquePipeName() : c.pipe;
    ConsumerPipe pipe(pipeName);
    ASSERT_TRUE(pipe.valid()) << "CreateNamedPipeW failed, error " << GetLastError();
    RelayProcess relay(L"0 " + quoted(c.application) + L" " + quoted(pipeName) + c.options,
                       c.producerForm);
    ASSERT_TRUE(relay.started()) << "CreateProcessW failed, error " << GetLastError();
    const std::optional<std::string> message = pipe.serveOnce(10000);
    ASSERT_TRUE(message.has_value()) << "no client within 10 s";
    EXPECT_EQ(*message, c.expected);
    EXPECT_LE(message->size(), 122u);
    EXPECT_EQ(relay.exitCode(), 0u);
  }
}

TEST_F(RelayProgram, WaitsForThePipeToAppear) {
  const std::wstring pipeName = uniquePipeName();
  RelayProcess relay(L"0 \"Writer\" " + quoted(pipeName), true);
  ASSERT_TRUE(relay.started());
  Sleep(700);
  ConsumerPipe pipe(pipeName);
  ASSERT_TRUE(pipe.valid());
  const std::optional<std::string> message = pipe.serveOnce(10000);
  ASSERT_TRUE(message.has_value());
  EXPECT_EQ(*message, bytesOf(L"Writer"));
  EXPECT_EQ(relay.exitCode(), 0u);
}

TEST_F(RelayProgram, NoPipeEndsWithinTheWait) {
  const std::wstring pipeName = uniquePipeName();
  RelayProcess relay(L"0 \"Writer\" " + quoted(pipeName) + L" --wait-ms 500", false, true);
  ASSERT_TRUE(relay.started());
  EXPECT_EQ(relay.exitCode(10000), 3u);
  EXPECT_GE(relay.elapsedMs(), 450u);
  EXPECT_LT(relay.elapsedMs(), 8000u);
  std::string narrowName(pipeName.begin(), pipeName.end());
  EXPECT_NE(relay.errors().find("pipe " + narrowName + " not found"), std::string::npos)
      << relay.errors();
}

TEST_F(RelayProgram, BadCommandLinesAreRefused) {
  wchar_t temp[MAX_PATH] = L"";
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring target =
      std::wstring(temp) + L"vex-relay-target-" + std::to_wstring(GetCurrentProcessId()) + L".bin";
  DeleteFileW(target.c_str());
  const std::wstring pipe = quoted(uniquePipeName());
  const struct {
    const char* name;
    std::wstring arguments;
    bool producerForm;
  } cases[] = {
      {"no arguments", L"", false},
      {"no pipe name", L"0 \"Writer\"", false},
      {"no pipe name, plug-in form", L"0 \"Writer\"", true},
      {"first argument not 0", L"1 \"Writer\" " + pipe, false},
      {"a file instead of a pipe", L"0 \"Writer\" " + quoted(target), false},
      {"a file instead of a pipe, plug-in form", L"0 \"Writer\" " + quoted(target), true},
      {"a path out of the pipe folder", L"0 \"Writer\" \"\\\\.\\pipe\\..\\C:\\x\"", false},
      {"wait not a number", L"0 \"Writer\" " + pipe + L" --wait-ms abc", false},
      {"wait too long", L"0 \"Writer\" " + pipe + L" --wait-ms 600001", false},
      {"unknown option", L"0 \"Writer\" " + pipe + L" --other 5", false},
      {"too many arguments", L"0 \"Writer\" " + pipe + L" --wait-ms 5 x", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RelayProcess relay(c.arguments, c.producerForm, true);
    ASSERT_TRUE(relay.started());
    EXPECT_EQ(relay.exitCode(10000), 2u);
    EXPECT_LT(relay.elapsedMs(), 5000u);
    EXPECT_EQ(relay.errors().rfind("vexrelay: ", 0), 0u) << relay.errors();
  }
  EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES) << "a file was created";
}

}  // namespace
