#include "devmode.h"

#include <algorithm>
#include <cstring>

namespace vex::host {
namespace {

bool parseInteger(std::wstring_view text, long long low, long long high, long long* value) {
  if (text.empty()) return false;
  bool negative = false;
  std::size_t i = 0;
  if (text[0] == L'-' || text[0] == L'+') {
    negative = text[0] == L'-';
    i = 1;
  }
  if (i == text.size()) return false;
  long long result = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    result = result * 10 + (text[i] - L'0');
    if (result > 0x1'0000'0000LL) return false;
  }
  if (negative) result = -result;
  if (result < low || result > high) return false;
  *value = result;
  return true;
}

struct ShortField {
  const wchar_t* name;
  DWORD flag;
};

struct DwordField {
  const wchar_t* name;
  DWORD flag;
};

const ShortField kShortFields[] = {
    {L"dmOrientation", DM_ORIENTATION},
    {L"dmPaperSize", DM_PAPERSIZE},
    {L"dmPaperLength", DM_PAPERLENGTH},
    {L"dmPaperWidth", DM_PAPERWIDTH},
    {L"dmScale", DM_SCALE},
    {L"dmCopies", DM_COPIES},
    {L"dmDefaultSource", DM_DEFAULTSOURCE},
    {L"dmPrintQuality", DM_PRINTQUALITY},
    {L"dmColor", DM_COLOR},
    {L"dmDuplex", DM_DUPLEX},
    {L"dmYResolution", DM_YRESOLUTION},
    {L"dmTTOption", DM_TTOPTION},
    {L"dmCollate", DM_COLLATE},
};

const DwordField kDwordFields[] = {
    {L"dmNup", DM_NUP},
    {L"dmICMMethod", DM_ICMMETHOD},
    {L"dmICMIntent", DM_ICMINTENT},
    {L"dmMediaType", DM_MEDIATYPE},
    {L"dmDitherType", DM_DITHERTYPE},
};

// The printer members sit in unnamed unions, so they are reached by their dmFields bit.
short* shortMember(DEVMODEW& dm, DWORD flag) {
  switch (flag) {
    case DM_ORIENTATION:
      return &dm.dmOrientation;
    case DM_PAPERSIZE:
      return &dm.dmPaperSize;
    case DM_PAPERLENGTH:
      return &dm.dmPaperLength;
    case DM_PAPERWIDTH:
      return &dm.dmPaperWidth;
    case DM_SCALE:
      return &dm.dmScale;
    case DM_COPIES:
      return &dm.dmCopies;
    case DM_DEFAULTSOURCE:
      return &dm.dmDefaultSource;
    case DM_PRINTQUALITY:
      return &dm.dmPrintQuality;
    case DM_COLOR:
      return &dm.dmColor;
    case DM_DUPLEX:
      return &dm.dmDuplex;
    case DM_YRESOLUTION:
      return &dm.dmYResolution;
    case DM_TTOPTION:
      return &dm.dmTTOption;
    case DM_COLLATE:
      return &dm.dmCollate;
    default:
      return nullptr;
  }
}

DWORD* dwordMember(DEVMODEW& dm, DWORD flag) {
  switch (flag) {
    case DM_NUP:
      return &dm.dmNup;
    case DM_ICMMETHOD:
      return &dm.dmICMMethod;
    case DM_ICMINTENT:
      return &dm.dmICMIntent;
    case DM_MEDIATYPE:
      return &dm.dmMediaType;
    case DM_DITHERTYPE:
      return &dm.dmDitherType;
    default:
      return nullptr;
  }
}

void copyName(wchar_t* field, std::size_t capacity, std::wstring_view text) {
  std::size_t n = std::min(text.size(), capacity - 1);
  std::fill(field, field + capacity, L'\0');
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), field);
}

}  // namespace

DEVMODEW defaultDevMode(const std::wstring& printerName) {
  DEVMODEW dm{};
  copyName(dm.dmDeviceName, CCHDEVICENAME, printerName);
  dm.dmSpecVersion = DM_SPECVERSION;
  dm.dmDriverVersion = 0x0100;
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_SCALE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR |
                DM_DUPLEX | DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE | DM_FORMNAME;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmScale = 100;
  dm.dmCopies = 1;
  dm.dmPrintQuality = 600;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmYResolution = 600;
  dm.dmTTOption = DMTT_DOWNLOAD;
  dm.dmCollate = DMCOLLATE_FALSE;
  copyName(dm.dmFormName, CCHFORMNAME, L"A4");
  return dm;
}

bool setDevModeField(DEVMODEW& dm, std::wstring_view name, std::wstring_view value,
                     std::wstring* error) {
  for (const auto& f : kShortFields) {
    if (name != f.name) continue;
    long long number = 0;
    if (!parseInteger(value, -32768, 32767, &number)) {
      *error = std::wstring(name) + L"=" + std::wstring(value) +
               L": expected a decimal number from -32768 to 32767";
      return false;
    }
    *shortMember(dm, f.flag) = static_cast<short>(number);
    dm.dmFields |= f.flag;
    return true;
  }
  for (const auto& f : kDwordFields) {
    if (name != f.name) continue;
    long long number = 0;
    if (!parseInteger(value, 0, 0xFFFFFFFFLL, &number)) {
      *error = std::wstring(name) + L"=" + std::wstring(value) +
               L": expected a decimal number from 0 to 4294967295";
      return false;
    }
    *dwordMember(dm, f.flag) = static_cast<DWORD>(number);
    dm.dmFields |= f.flag;
    return true;
  }
  if (name == L"dmFormName") {
    if (value.size() >= CCHFORMNAME) {
      *error = L"dmFormName holds at most 31 characters";
      return false;
    }
    copyName(dm.dmFormName, CCHFORMNAME, value);
    dm.dmFields |= DM_FORMNAME;
    return true;
  }
  *error = L"unknown device-mode member \"" + std::wstring(name) + L"\"";
  return false;
}

std::vector<std::uint8_t> publicDevModeWithRecord(const DEVMODEW& devMode,
                                                  const std::vector<std::uint8_t>& record) {
  DEVMODEW head = devMode;
  head.dmSize = sizeof(DEVMODEW);
  head.dmDriverExtra = static_cast<WORD>(std::min<std::size_t>(record.size(), 0xFFFF));
  std::vector<std::uint8_t> block(sizeof(DEVMODEW) + head.dmDriverExtra);
  std::memcpy(block.data(), &head, sizeof(DEVMODEW));
  if (head.dmDriverExtra)
    std::memcpy(block.data() + sizeof(DEVMODEW), record.data(), head.dmDriverExtra);
  return block;
}

PageGeometry pageGeometry(const DEVMODEW& dm) {
  struct Paper {
    short id;
    int width, height;
  };
  static constexpr Paper kPapers[] = {
      {DMPAPER_LETTER, 612, 792}, {DMPAPER_LEGAL, 612, 1008}, {DMPAPER_A3, 842, 1191},
      {DMPAPER_A4, 595, 842},     {DMPAPER_A5, 420, 595},     {DMPAPER_B5, 516, 729},
  };
  PageGeometry page;
  bool known = false;
  for (const auto& p : kPapers) {
    if (dm.dmPaperSize == p.id) {
      page.width = p.width;
      page.height = p.height;
      known = true;
    }
  }
  if (!known && (dm.dmFields & DM_PAPERWIDTH) && (dm.dmFields & DM_PAPERLENGTH) &&
      dm.dmPaperWidth > 0 && dm.dmPaperLength > 0) {
    // Tenths of a millimetre to points.
    page.width = std::max(1, (dm.dmPaperWidth * 72 + 127) / 254);
    page.height = std::max(1, (dm.dmPaperLength * 72 + 127) / 254);
  }
  page.landscape = dm.dmOrientation == DMORIENT_LANDSCAPE;
  return page;
}

}  // namespace vex::host
