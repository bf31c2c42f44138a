#include "card_library.h"

#include <cstring>
#include <string>

#include "config_files.h"
#include "outside_library.h"
#include "text_convert.h"

namespace vex {
namespace {

// Converts with the C library's current locale into at most `bytes` - 1 bytes and a NUL; false
// when the text cannot be converted whole (a cut path would name another file).
bool toLocaleBytes(const std::wstring& text, char* out, std::size_t bytes) {
  const std::string converted = toLocaleMultibyte(text, bytes);
  std::memcpy(out, converted.c_str(), converted.size() + 1);
  return !converted.empty() || text.empty();
}

struct CardQuery {
  char driverName[kCardDriverNameBytes];
  char configPath[kCardConfigPathBytes];
  OutsideLibrary library;
};

bool prepare(HANDLE printer, CardQuery& query) {
  const std::wstring driver = printerDriverName(printer);
  if (driver.empty()) return false;
  // A longer driver name is passed cut to its first 221 bytes of whole characters, as the
  // header's comment names it; a cut path would name another file and is refused.
  const std::string name = toLocaleMultibytePrefix(driver, sizeof(query.driverName));
  if (name.empty()) return false;
  std::memcpy(query.driverName, name.c_str(), name.size() + 1);
  if (!toLocaleBytes(configFilePath(), query.configPath, sizeof(query.configPath))) return false;
  query.library = loadConfiguredLibrary(printer, L"CARD_DLL");
  return query.library.loaded();
}

}  // namespace

bool isIcCardPrinter(HANDLE printer) {
  CardQuery query;
  if (!prepare(printer, query)) return false;
  const auto fn = query.library.entry<card::QueryCardDriverFn>("QueryCardDriver");
  return fn != nullptr && fn(query.driverName, query.configPath) != 0;
}

bool getCardData(HANDLE printer, BYTE* buffer, DWORD* size) {
  if (buffer == nullptr || size == nullptr) return false;
  const DWORD capacity = *size;
  CardQuery query;
  if (!prepare(printer, query)) return false;
  const auto fn = query.library.entry<card::GetCardDataFn>("GetCardData");
  if (fn == nullptr || fn(query.driverName, query.configPath, buffer, size) == 0) return false;
  return *size <= capacity;  // a library claiming more than it was given is not believed
}

}  // namespace vex
