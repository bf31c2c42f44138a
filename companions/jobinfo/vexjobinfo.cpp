// The job-information library: composes the job-information lines that the rendering plug-in
// writes into the PJL header, and names the printing application for the UI plug-in. The rules
// over strings live in job_info_lines; this file gathers the machine's values and the switches.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "job_info_lines.h"
#include "job_info_request.h"

namespace {

std::wstring modulePath(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

HMODULE thisModule() {
  HMODULE self = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&thisModule), &self);
  return self;
}

std::string toAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

// At most 59 bytes, so that the half keeps its zero; never half a double-byte character.
std::string cutForHalf(const std::string& text) {
  const std::size_t n =
      vex::multibytePrefixLength(text, vex::kApplicationHalfBytes - 1,
                                 [](unsigned char byte) { return IsDBCSLeadByte(byte) != 0; });
  return text.substr(0, n);
}

// "vexjobinfo.ini" in this library's folder.
std::wstring switchFilePath() {
  std::wstring path = modulePath(thisModule());
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  path.resize(slash + 1);
  path += L"vexjobinfo.ini";
  return path;
}

// Read on every call: tests change the file between jobs.
vex::JobInfoSwitches currentSwitches() {
  const std::wstring file = switchFilePath();
  if (file.empty() || GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  return vex::readJobInfoSwitches(
      [&file](std::string_view section, std::string_view key) -> std::optional<std::string> {
        const std::wstring s(section.begin(), section.end());
        const std::wstring k(key.begin(), key.end());
        // No file line holds this control character, so it marks an absent key.
        const wchar_t absent[] = L"\x01";
        wchar_t value[512] = L"";
        GetPrivateProfileStringW(s.c_str(), k.c_str(), absent, value, 512, file.c_str());
        if (std::wcscmp(value, absent) == 0) return std::nullopt;
        return toAnsi(value);
      });
}

std::string machineComputerName() {
  char name[256] = "";
  DWORD length = sizeof name;
  if (!GetComputerNameA(name, &length) || length >= sizeof name) return {};
  return std::string(name, length);
}

std::string machineUserName() {
  char name[257] = "";
  DWORD length = sizeof name;
  if (!GetUserNameA(name, &length)) return {};
  name[sizeof name - 1] = '\0';
  return name;
}

std::string machineReceptionTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return vex::formatReceptionTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                  now.wSecond);
}

// A request string read without going past its 61-byte field.
std::string requestText(const char* text) {
  if (text == nullptr) return {};
  std::size_t n = 0;
  while (n < vex::kRequestTextBytes && text[n] != '\0') ++n;
  return std::string(text, n);
}

std::string hex4(unsigned value) {
  static const char digits[] = "0123456789abcdef";
  std::string out(4, '0');
  for (int i = 3; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = digits[value & 15];
  return out;
}

// ProductName of the first translation in the calling program's version resource.
std::string productName() {
  const std::wstring exe = modulePath(nullptr);
  if (exe.empty()) return {};
  DWORD ignored = 0;
  const DWORD bytes = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  if (bytes == 0) return {};
  std::vector<BYTE> data(bytes);
  if (!GetFileVersionInfoW(exe.c_str(), 0, bytes, data.data())) return {};
  struct Translation {
    WORD language;
    WORD codePage;
  };
  void* found = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &found, &length) ||
      found == nullptr || length < sizeof(Translation)) {
    return {};
  }
  const auto* translation = static_cast<const Translation*>(found);
  const std::string block = hex4(translation->language) + hex4(translation->codePage);
  const std::wstring key =
      L"\\StringFileInfo\\" + std::wstring(block.begin(), block.end()) + L"\\ProductName";
  found = nullptr;
  length = 0;
  if (!VerQueryValueW(data.data(), key.c_str(), &found, &length) || found == nullptr) return {};
  const auto* value = static_cast<const wchar_t*>(found);
  std::size_t n = 0;
  while (n < length && value[n] != L'\0') ++n;
  return toAnsi(std::wstring_view(value, n));
}

}  // namespace

extern "C" int __cdecl GetJobInfoCmd(std::uint32_t version, const JobInfoRequest* request,
                                     char* buffer, std::uint32_t* size) {
  try {
    if (version != 0 && version != 2) return vex::kJobInfoFailed;
    const vex::JobInfoSwitches switches = currentSwitches();
    std::string text;
    if (request != nullptr && size != nullptr) {
      vex::JobInfoValues values;
      values.computerName = switches.computerName.value_or(machineComputerName());
      values.userName = switches.userName.value_or(machineUserName());
      values.receptionTime = switches.receptionTime.value_or(machineReceptionTime());
      if (version == 2) values.applicationName = requestText(request->applicationName);
      text = vex::composeJobInfoText(values);
    }
    return vex::answerJobInfoCall(switches, version, request != nullptr, text, buffer, size);
  } catch (...) {
    return vex::kJobInfoFailed;
  }
}

extern "C" int __cdecl GetPrintingApplication(std::uint32_t /*reserved*/, char* buffer,
                                              std::uint32_t* size) {
  try {
    if (buffer == nullptr || size == nullptr || *size < vex::kApplicationBufferBytes) return 0;
    const vex::JobInfoSwitches switches = currentSwitches();
    std::string first;
    std::string second;
    if (switches.application) {
      first = *switches.application;
    } else if (!switches.applicationSecondHalfOnly) {
      first = productName();
    }
    if (switches.applicationSecondHalfOnly) {
      second = *switches.applicationSecondHalfOnly;
    } else {
      const std::wstring exe = modulePath(nullptr);
      const std::u16string base = vex::executableBaseName(std::u16string(exe.begin(), exe.end()));
      second = toAnsi(std::wstring(base.begin(), base.end()));
    }
    const auto halves = vex::composeApplicationHalves(cutForHalf(first), cutForHalf(second));
    std::memcpy(buffer, halves.data(), halves.size());
    return 1;
  } catch (...) {
    return 0;
  }
}
