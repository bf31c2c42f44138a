// A minimal IC-card library for the tests: "QueryCardDriver" answers CARD_ANSWER when it is
// given a driver name and a configuration path that ends in ".cap", and 0 otherwise; built with
// CARD_CRASH it writes through a null pointer instead.
#include <cstring>
#include <cctype>

namespace {
bool endsWithCap(const char* path) {
  const std::size_t n = std::strlen(path);
  if (n < 4) return false;
  const char* tail = path + n - 4;
  return tail[0] == '.' && std::tolower(static_cast<unsigned char>(tail[1])) == 'c' &&
         std::tolower(static_cast<unsigned char>(tail[2])) == 'a' &&
         std::tolower(static_cast<unsigned char>(tail[3])) == 'p';
}
}  // namespace

extern "C" __declspec(dllexport) int __cdecl QueryCardDriver(const char* driverName,
                                                             const char* configPath) {
#ifdef CARD_CRASH
  *static_cast<volatile int*>(nullptr) = 1;
#endif
  if (driverName == nullptr || driverName[0] == '\0' || configPath == nullptr) return 0;
  return endsWithCap(configPath) ? CARD_ANSWER : 0;
}
