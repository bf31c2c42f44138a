// The IC-card library that the configuration names with "CARD_DLL", backed by a simulated card
// reader: the card lying on the reader is a file. The library reads its own keys from the model
// section of the configuration file it is given:
//   CardFile=<path>     the card's data (relative paths are relative to the configuration file's
//                       folder); no file means no card on the reader
//   CardReader=fault    the reader fails every read
#include <windows.h>

#include <cstring>
#include <string>

#define VEXCARD_EXPORT extern "C" __declspec(dllexport)

namespace {

constexpr DWORD kValueBytes = 522;
constexpr std::size_t kMaxNameBytes = 260;

bool boundedString(const char* s) {
  return s != nullptr && s[0] != '\0' && strnlen(s, kMaxNameBytes + 1) <= kMaxNameBytes;
}

std::string profileString(const char* section, const char* key, const char* file) {
  char value[kValueBytes] = "";
  GetPrivateProfileStringA(section, key, "", value, kValueBytes, file);
  return value;
}

// The model section that the configuration file gives this driver, or empty.
std::string modelSection(const char* driverName, const char* configPath) {
  return profileString("Capability", driverName, configPath);
}

std::string cardFilePath(const char* configPath, const std::string& value) {
  const bool absolute =
      value.size() > 1 && (value[1] == ':' || value[0] == '\\' || value[0] == '/');
  if (absolute) return value;
  std::string folder(configPath);
  const std::size_t slash = folder.find_last_of("\\/");
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
  return folder + value;
}

struct File {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~File() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

}  // namespace

VEXCARD_EXPORT int __cdecl QueryCardDriver(const char* driverName, const char* configPath) {
  if (!boundedString(driverName) || !boundedString(configPath)) return 0;
  return modelSection(driverName, configPath).empty() ? 0 : 1;
}

VEXCARD_EXPORT int __cdecl GetCardData(const char* driverName, const char* configPath, BYTE* buffer,
                                       DWORD* size) {
  if (!boundedString(driverName) || !boundedString(configPath) || buffer == nullptr ||
      size == nullptr) {
    return 0;
  }
  const std::string section = modelSection(driverName, configPath);
  if (section.empty()) return 0;
  if (lstrcmpiA(profileString(section.c_str(), "CardReader", configPath).c_str(), "fault") == 0) {
    return 0;
  }
  const std::string card = profileString(section.c_str(), "CardFile", configPath);
  if (card.empty()) return 0;
  File file;
  file.handle = CreateFileA(cardFilePath(configPath, card).c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file.handle == INVALID_HANDLE_VALUE) return 0;  // no card on the reader
  LARGE_INTEGER length{};
  if (!GetFileSizeEx(file.handle, &length) || length.QuadPart <= 0 ||
      length.QuadPart > static_cast<LONGLONG>(*size)) {
    return 0;  // a blank card, or more data than the caller can take
  }
  DWORD read = 0;
  const DWORD want = static_cast<DWORD>(length.QuadPart);
  if (!ReadFile(file.handle, buffer, want, &read, nullptr) || read != want) return 0;
  *size = read;
  return 1;
}
