#include "job_info_record.h"

#include <winspool.h>

#include <cstring>
#include <string>
#include <vector>

#include "config_files.h"
#include "document_name.h"
#include "text_convert.h"

namespace vex {
namespace {

template <typename Info>
std::vector<BYTE> queryBlock(BOOL (*query)(HANDLE, DWORD, DWORD, BYTE*, DWORD, DWORD*), HANDLE h,
                             DWORD id, DWORD level) {
  DWORD needed = 0;
  query(h, id, level, nullptr, 0, &needed);
  if (needed < sizeof(Info) || needed > 16 * 1024 * 1024) return {};
  std::vector<BYTE> block(needed, 0);
  if (!query(h, id, level, block.data(), needed, &needed)) return {};
  return block;
}

BOOL printerQuery(HANDLE h, DWORD, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  return GetPrinterW(h, level, buffer, size, needed);
}

BOOL jobQuery(HANDLE h, DWORD id, DWORD level, BYTE* buffer, DWORD size, DWORD* needed) {
  return GetJobW(h, id, level, buffer, size, needed);
}

void storeAnsi(char (&field)[193], const wchar_t* text) {
  std::wstring first(text ? text : L"");
  if (first.size() > 64) first.resize(64);
  const std::string ansi = toAnsi(first, sizeof(field) - 1);
  std::memcpy(field, ansi.c_str(), ansi.size() + 1);
}

const CodePageRules& systemCodePage() {
  static const CodePageRules rules{
      [](std::uint8_t b) { return IsDBCSLeadByteEx(CP_ACP, b) != FALSE; },
      [](std::uint8_t lead, std::uint8_t trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        wchar_t out[2];
        return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pair, 2, out, 2) == 1;
      }};
  return rules;
}

}  // namespace

bool fillJobInfoRecord(HANDLE printer, DWORD jobId, JobInfoRecord& record) {
  record.jobId = jobId;
  const std::vector<BYTE> printerBlock = queryBlock<PRINTER_INFO_2W>(printerQuery, printer, 0, 2);
  if (printerBlock.empty()) return false;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(printerBlock.data());

  const wchar_t* config = configFilePath();
  if (config[0] != L'\0' && info->pDriverName != nullptr) {
    wchar_t section[520] = L"";
    GetPrivateProfileStringW(L"Capability", info->pDriverName, L"", section, 520, config);
    wchar_t library[128] = L"";
    if (section[0] != L'\0') {
      GetPrivateProfileStringW(section, L"JobInfoDll", L"", library, 128, config);
    }
    if (library[0] != L'\0') copyBounded(record.libraryName, 128, library);
  }
  storeAnsi(record.printerName, info->pPrinterName);
  storeAnsi(record.configFilePath, config);

  const std::vector<BYTE> jobBlock = queryBlock<JOB_INFO_2W>(jobQuery, printer, jobId, 2);
  if (jobBlock.empty()) return true;
  const auto* job = reinterpret_cast<const JOB_INFO_2W*>(jobBlock.data());
  const std::string ansi = toAnsi(job->pDocument ? job->pDocument : L"", kDocumentNameBytes);
  const std::string clean = cleanDocumentName(ansi, systemCodePage());
  std::memcpy(record.documentName, clean.c_str(), clean.size() + 1);
  return true;
}

}  // namespace vex
