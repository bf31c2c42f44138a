// The job-information library through its two exports, called the way the plug-ins call them,
// with its switch file written beside it for each case.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "job_info_request.h"

namespace {

using GetJobInfoCmdFn = int(__cdecl*)(std::uint32_t, const JobInfoRequest*, char*, std::uint32_t*);
using GetPrintingApplicationFn = int(__cdecl*)(std::uint32_t, char*, std::uint32_t*);

const char kFixedValues[] =
    "[Values]\r\nComputerName=PC-01\r\nUserName=alice\r\nReceptionTime=2024/03/07 09:05:01\r\n";

std::string jobInfoText(const std::string& application) {
  return "@PJL VEXAUXJOBINFO DATA=\"ComputerName=PC-01\"\r\n"
         "@PJL VEXAUXJOBINFO DATA=\"UserName=alice\"\r\n"
         "@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=2024/03/07 09:05:01\"\r\n"
         "@PJL VEXAUXJOBINFO DATA=\"ApplicationName=" +
         application + "\"\r\n";
}

std::wstring folderOf(HMODULE module) {
  wchar_t path[MAX_PATH] = L"";
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder;
}

// What the rendering plug-in does with the library: size query with version 2, fall back to
// version 0 on 3, otherwise ask the size again; then fill a zero-filled buffer of that size.
struct Sequence {
  std::vector<std::uint32_t> versions;
  std::vector<int> answers;
  std::vector<bool> applicationNamePassed;
  std::uint32_t size = 0;
  std::vector<char> buffer;  // empty unless a fill was made
};

class JobInfoLibrary : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(L"vexjobinfo.dll");
    ASSERT_NE(module_, nullptr) << "vexjobinfo.dll not loaded, error " << GetLastError();
    getJobInfo_ = reinterpret_cast<GetJobInfoCmdFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "GetJobInfoCmd")));
    getApplication_ = reinterpret_cast<GetPrintingApplicationFn>(
        reinterpret_cast<void*>(GetProcAddress(module_, "GetPrintingApplication")));
    ASSERT_NE(getJobInfo_, nullptr);
    ASSERT_NE(getApplication_, nullptr);
    folder_ = folderOf(module_);
    switchFile_ = folder_ + L"vexjobinfo.ini";
    DeleteFileW(switchFile_.c_str());
  }
  void TearDown() override {
    DeleteFileW(switchFile_.c_str());
    if (module_ != nullptr) FreeLibrary(module_);
  }

  void writeSwitches(const std::string& text) {
    DeleteFileW(switchFile_.c_str());
    if (text.empty()) return;
    HANDLE file =
        CreateFileW(switchFile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, text.size());
  }

  int call(Sequence& s, std::uint32_t version, const JobInfoRequest& request, char* buffer) {
    const int answer = getJobInfo_(version, &request, buffer, &s.size);
    s.versions.push_back(version);
    s.answers.push_back(answer);
    s.applicationNamePassed.push_back(request.applicationName != nullptr);
    return answer;
  }

  Sequence runPluginSequence(JobInfoRequest request) {
    Sequence s;
    std::uint32_t version = 2;
    int answer = call(s, 2, request, nullptr);
    if (answer == 3) {
      version = 0;
      request.applicationName = nullptr;
      answer = call(s, 0, request, nullptr);
    } else {
      answer = call(s, 2, request, nullptr);
    }
    if (answer == 1 && s.size < 1024 * 1024) {
      s.buffer.assign(s.size, '\0');
      call(s, version, request, s.buffer.data());
    }
    return s;
  }

  std::string applicationBuffer() {
    char buffer[130];
    std::memset(buffer, 0xCC, sizeof buffer);
    std::uint32_t size = 120;
    EXPECT_EQ(getApplication_(0, buffer, &size), 1);
    EXPECT_EQ(buffer[120], '\xCC') << "wrote past the 120 bytes";
    return std::string(buffer, 120);
  }

  HMODULE module_ = nullptr;
  GetJobInfoCmdFn getJobInfo_ = nullptr;
  GetPrintingApplicationFn getApplication_ = nullptr;
  std::wstring folder_;
  std::wstring switchFile_;
};

JobInfoRequest requestFor(const char* application) {
  return JobInfoRequest{"VEX Demo", "C:\\drivers\\3\\vexdemo.cap", 26, 1, application};
}

struct SequenceCase {
  const char* name;
  std::string switches;  // the switch file after the fixed values
  const char* application;
  std::vector<std::uint32_t> versions;
  std::vector<int> answers;
  std::string text;          // expected text before the first zero ("" when nothing is filled)
  std::uint32_t extraZeros;  // zero bytes after the text's terminator
  bool terminated;
};

TEST_F(JobInfoLibrary, PluginSequenceAnswersAsTheSwitchesSay) {
  const std::string sixty(60, '6');
  const std::string hostile = "Wr\"it\r\ner\xE4\xB8\xAD\x01 \x7F(1)";
  const SequenceCase cases[] = {
      {"normal", "", "Writer", {2, 2, 2}, {1, 1, 0}, jobInfoText("Writer"), 0, true},
      {"version 2 refused",
       "[Behaviour]\r\nVersion2=refuse\r\n",
       "Writer",
       {2, 0, 0},
       {3, 1, 0},
       jobInfoText(""),
       0,
       true},
      {"size query fails",
       "[Behaviour]\r\nSizeQuery=fail\r\n",
       "Writer",
       {2, 2},
       {2, 2},
       "",
       0,
       false},
      {"refused, then size query fails",
       "[Behaviour]\r\nVersion2=refuse\r\nSizeQuery=fail\r\n",
       "Writer",
       {2, 0},
       {3, 2},
       "",
       0,
       false},
      {"larger size",
       "[Behaviour]\r\nExtraSize=10\r\n",
       "Writer",
       {2, 2, 2},
       {1, 1, 0},
       jobInfoText("Writer"),
       10,
       true},
      {"no terminator",
       "[Behaviour]\r\nNoTerminator=1\r\n",
       "Writer",
       {2, 2, 2},
       {1, 1, 0},
       jobInfoText("Writer"),
       0,
       false},
      {"unknown switch values",
       "[Behaviour]\r\nVersion2=no\r\nExtraSize=-5\r\nNoTerminator=2\r\n",
       "Writer",
       {2, 2, 2},
       {1, 1, 0},
       jobInfoText("Writer"),
       0,
       true},
      {"hostile application name",
       "",
       hostile.c_str(),
       {2, 2, 2},
       {1, 1, 0},
       jobInfoText("Writer (1)"),
       0,
       true},
      {"no application name", "", nullptr, {2, 2, 2}, {1, 1, 0}, jobInfoText(""), 0, true},
      {"60-byte application name",
       "",
       sixty.c_str(),
       {2, 2, 2},
       {1, 1, 0},
       jobInfoText(sixty),
       0,
       true},
  };
  for (const SequenceCase& c : cases) {
    SCOPED_TRACE(c.name);
    writeSwitches(kFixedValues + c.switches);
    const Sequence s = runPluginSequence(requestFor(c.application));
    EXPECT_EQ(s.versions, c.versions);
    EXPECT_EQ(s.answers, c.answers);
    for (std::size_t i = 0; i < s.versions.size(); ++i) {
      if (s.versions[i] == 0) {
        EXPECT_FALSE(s.applicationNamePassed[i]) << "call " << i;
      }
    }
    if (c.text.empty()) {
      EXPECT_TRUE(s.buffer.empty());
      continue;
    }
    ASSERT_EQ(s.size, c.text.size() + 1 + c.extraZeros);
    ASSERT_EQ(s.buffer.size(), s.size);
    if (c.terminated) {
      const std::string expected = c.text + std::string(1 + c.extraZeros, '\0');
      EXPECT_EQ(std::string(s.buffer.begin(), s.buffer.end()), expected);
    } else {
      EXPECT_EQ(std::string(s.buffer.begin(), s.buffer.begin() + c.text.size()), c.text);
      EXPECT_EQ(std::count(s.buffer.begin(), s.buffer.end(), '\0'), 0)
          << "no zero within the reported size";
    }
  }
}

TEST_F(JobInfoLibrary, SwitchFileIsReadOnEveryCall) {
  JobInfoRequest request = requestFor("Writer");
  std::uint32_t size = 0;
  writeSwitches("[Behaviour]\r\nVersion2=refuse\r\n");
  EXPECT_EQ(getJobInfo_(2, &request, nullptr, &size), 3);
  writeSwitches("");
  EXPECT_EQ(getJobInfo_(2, &request, nullptr, &size), 1);
  writeSwitches("[Behaviour]\r\nSizeQuery=fail\r\n");
  EXPECT_EQ(getJobInfo_(2, &request, nullptr, &size), 2);
}

TEST_F(JobInfoLibrary, ApplicationNameIsReadWithinItsField) {
  writeSwitches(kFixedValues);
  // A name field without its terminator, followed by other bytes: only the field is read.
  struct {
    char name[61];
    char after[8];
  } fields;
  std::memset(fields.name, 'b', sizeof fields.name);
  std::memcpy(fields.after, "cccccc\0", 8);
  const Sequence s = runPluginSequence(requestFor(fields.name));
  ASSERT_EQ(s.answers, (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(std::string(s.buffer.data()), jobInfoText(std::string(60, 'b')));
}

TEST_F(JobInfoLibrary, BadCallsTouchNothing) {
  writeSwitches(kFixedValues);
  const JobInfoRequest request = requestFor("Writer");
  const std::uint32_t textSize = static_cast<std::uint32_t>(jobInfoText("Writer").size() + 1);
  const struct {
    const char* name;
    std::uint32_t version;
    bool request;
    bool buffer;
    bool size;
    std::uint32_t sizeIn;
    int answer;
    std::uint32_t sizeOut;
  } cases[] = {
      {"version 1", 1, true, false, true, 0, 2, 0},
      {"version 3 with buffer", 3, true, true, true, 400, 2, 400},
      {"version 0xFFFFFFFF", 0xFFFFFFFF, true, false, true, 7, 2, 7},
      {"no request", 2, false, false, true, 0, 2, 0},
      {"no request with buffer", 0, false, true, true, 400, 2, 400},
      {"no size", 2, true, false, false, 0, 2, 0},
      {"no size with buffer", 2, true, true, false, 0, 2, 0},
      {"buffer one byte short", 2, true, true, true, textSize - 1, 2, textSize},
      {"empty buffer", 2, true, true, true, 0, 2, textSize},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<char> buffer(512, '\xCC');
    std::uint32_t size = c.sizeIn;
    EXPECT_EQ(getJobInfo_(c.version, c.request ? &request : nullptr,
                          c.buffer ? buffer.data() : nullptr, c.size ? &size : nullptr),
              c.answer);
    EXPECT_EQ(size, c.sizeOut);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), '\xCC'), 512) << "buffer written";
  }
}

std::string sanitised(const char* value) {
  std::string out;
  for (const char* p = value; *p != '\0' && out.size() < 64; ++p) {
    if (*p >= 0x20 && *p <= 0x7E && *p != '"') out.push_back(*p);
  }
  return out;
}

ULONGLONG secondsOf(const SYSTEMTIME& time) {
  FILETIME file{};
  SystemTimeToFileTime(&time, &file);
  return ((ULONGLONG(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000ULL;
}

TEST_F(JobInfoLibrary, MachineValuesWithoutSwitchFile) {
  SYSTEMTIME before{};
  GetLocalTime(&before);
  const Sequence s = runPluginSequence(requestFor("Writer"));
  SYSTEMTIME after{};
  GetLocalTime(&after);
  ASSERT_EQ(s.answers, (std::vector<int>{1, 1, 0}));
  const std::string text(s.buffer.data());

  char computer[256] = "";
  DWORD computerLength = sizeof computer;
  ASSERT_TRUE(GetComputerNameA(computer, &computerLength));
  char user[257] = "";
  DWORD userLength = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &userLength));
  const std::string head = "@PJL VEXAUXJOBINFO DATA=\"ComputerName=" + sanitised(computer) +
                           "\"\r\n@PJL VEXAUXJOBINFO DATA=\"UserName=" + sanitised(user) +
                           "\"\r\n@PJL VEXAUXJOBINFO DATA=\"ReceptionTime=";
  ASSERT_EQ(text.substr(0, head.size()), head);
  const std::string tail = "\"\r\n@PJL VEXAUXJOBINFO DATA=\"ApplicationName=Writer\"\r\n";
  ASSERT_EQ(text.size(), head.size() + 19 + tail.size());
  EXPECT_EQ(text.substr(head.size() + 19), tail);

  SYSTEMTIME stamp{};
  const std::string time = text.substr(head.size(), 19);
  ASSERT_EQ(std::sscanf(time.c_str(), "%4hu/%2hu/%2hu %2hu:%2hu:%2hu", &stamp.wYear, &stamp.wMonth,
                        &stamp.wDay, &stamp.wHour, &stamp.wMinute, &stamp.wSecond),
            6)
      << time;
  EXPECT_EQ(time[4], '/');
  EXPECT_EQ(time[10], ' ');
  EXPECT_LE(secondsOf(before), secondsOf(stamp)) << time;
  EXPECT_LE(secondsOf(stamp), secondsOf(after)) << time;
}

TEST_F(JobInfoLibrary, PrintingApplicationFromTheSwitchFile) {
  const std::string long80(80, 'L');
  const struct {
    const char* name;
    std::string switches;
    std::string first, second;
  } cases[] = {
      {"fixed first half", "[Values]\r\nApplication=Report Writer\r\n", "Report Writer",
       "dll_tests"},
      {"second half only", "[Values]\r\nApplicationSecondHalfOnly=writer\r\n", "", "writer"},
      {"both", "[Values]\r\nApplication=A\r\nApplicationSecondHalfOnly=B\r\n", "A", "B"},
      {"long names are cut",
       "[Values]\r\nApplication=" + long80 + "\r\nApplicationSecondHalfOnly=" + long80 + "\r\n",
       std::string(59, 'L'), std::string(59, 'L')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    writeSwitches(c.switches);
    std::string expected(120, '\0');
    expected.replace(0, c.first.size(), c.first);
    expected.replace(60, c.second.size(), c.second);
    EXPECT_EQ(applicationBuffer(), expected);
  }
}

TEST_F(JobInfoLibrary, PrintingApplicationRefusesSmallBuffers) {
  const struct {
    bool buffer;
    bool size;
    std::uint32_t sizeIn;
  } cases[] = {{true, true, 119}, {true, true, 0}, {false, true, 120}, {true, false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.buffer << c.size << " " << c.sizeIn);
    char buffer[120];
    std::memset(buffer, 0xCC, sizeof buffer);
    std::uint32_t size = c.sizeIn;
    EXPECT_EQ(getApplication_(0, c.buffer ? buffer : nullptr, c.size ? &size : nullptr), 0);
    EXPECT_EQ(std::count(buffer, buffer + 120, '\xCC'), 120) << "buffer written";
  }
}

// Runs `program` (beside the library) with `arguments`; its exit code, or -1.
DWORD runProgram(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
    return static_cast<DWORD>(-1);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 99);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string readFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(512, '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// Other programs as the printing application: one with a product name, one without.
TEST_F(JobInfoLibrary, PrintingApplicationNamesTheCallingProgram) {
  const struct {
    const wchar_t* program;
    std::string switches;
    std::string first, second;
  } cases[] = {
      {L"jobinfo-probe.exe", "", "VEX Probe Writer", "jobinfo-probe"},
      {L"jobinfo-probe-bare.exe", "", "", "jobinfo-probe-bare"},
      {L"jobinfo-probe.exe", "[Values]\r\nApplication=Fixed\r\n", "Fixed", "jobinfo-probe"},
      {L"jobinfo-probe.exe", "[Values]\r\nApplicationSecondHalfOnly=Second\r\n", "", "Second"},
  };
  wchar_t temp[MAX_PATH] = L"";
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring output =
      std::wstring(temp) + L"vex-probe-" + std::to_wstring(GetCurrentProcessId()) + L".bin";
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << "|" << c.second);
    const std::wstring program = folder_ + c.program;
    ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES)
        << "test program missing beside vexjobinfo.dll; build target vex_companions";
    writeSwitches(c.switches);
    DeleteFileW(output.c_str());
    EXPECT_EQ(runProgram(program, L"\"" + output + L"\""), 1u);
    std::string expected(120, '\0');
    expected.replace(0, c.first.size(), c.first);
    expected.replace(60, c.second.size(), c.second);
    EXPECT_EQ(readFileBytes(output), expected);
  }
  DeleteFileW(output.c_str());
}

}  // namespace
