#include "job_file.h"

#include <algorithm>
#include <cstring>

#include "devmode.h"
#include "host_files.h"
#include "private_settings.h"
#include "record_fields.h"
#include "report.h"

namespace vex::host {
namespace {

constexpr std::size_t kMaxBodyBytes = 256u << 20;
constexpr std::size_t kMaxOptionBytes = 255;
constexpr int kMaxPages = 9999;

[[noreturn]] void bad(const JobDescription& job, const std::wstring& message) {
  failWith(ExitCode::kBadInput, job.path + L": " + message);
}

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) { return sameName(a, b); }

// The "key=value" lines of a section, as the profile API returns them.
std::vector<std::pair<std::wstring, std::wstring>> readSection(const JobDescription& job,
                                                               const wchar_t* section) {
  std::vector<wchar_t> buffer(4096);
  for (;;) {
    DWORD got = GetPrivateProfileSectionW(section, buffer.data(), static_cast<DWORD>(buffer.size()),
                                          job.path.c_str());
    if (got + 2 < buffer.size()) {
      buffer.resize(got + 1);
      break;
    }
    if (buffer.size() >= (16u << 20))
      bad(job, L"section [" + std::wstring(section) + L"] is too long");
    buffer.resize(buffer.size() * 4);
  }
  std::vector<std::pair<std::wstring, std::wstring>> entries;
  for (const wchar_t* p = buffer.data(); *p; p += wcslen(p) + 1) {
    std::wstring line = p;
    std::size_t eq = line.find(L'=');
    if (eq == std::wstring::npos) {
      bad(job, L"[" + std::wstring(section) + L"] line \"" + line + L"\" is not key=value");
    }
    std::wstring key = line.substr(0, eq);
    std::wstring value = line.substr(eq + 1);
    while (!key.empty() && (key.back() == L' ' || key.back() == L'\t')) key.pop_back();
    std::size_t start = value.find_first_not_of(L" \t");
    value = start == std::wstring::npos ? std::wstring() : value.substr(start);
    while (!value.empty() && (value.back() == L' ' || value.back() == L'\t')) value.pop_back();
    // One pair of double quotes keeps leading or trailing blanks, as the profile API reads it.
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"') {
      value = value.substr(1, value.size() - 2);
    }
    entries.emplace_back(std::move(key), std::move(value));
  }
  return entries;
}

std::wstring resolvePath(const JobDescription& job, const std::wstring& path) {
  bool absolute = (path.size() >= 2 && path[1] == L':') ||
                  (!path.empty() && (path[0] == L'\\' || path[0] == L'/'));
  std::wstring joined =
      absolute ? path : joinPath(job.path.substr(0, job.path.find_last_of(L"\\/")), path);
  DWORD length = GetFullPathNameW(joined.c_str(), 0, nullptr, nullptr);
  if (length == 0) return joined;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(joined.c_str(), length, full.data(), nullptr);
  full.resize(length);
  return full;
}

std::string readFileOf(const JobDescription& job, const std::wstring& key,
                       const std::wstring& value, std::size_t limit) {
  std::wstring path = resolvePath(job, value);
  std::string bytes;
  DWORD code = 0;
  if (!readWholeFile(path, limit, &bytes, &code)) {
    bad(job,
        key + L"=" + value + L": cannot read " + path + L": " +
            (code == ERROR_FILE_TOO_LARGE ? L"larger than " + std::to_wstring(limit) + L" bytes"
                                          : win32ErrorText(code)));
  }
  return bytes;
}

// The body file's full path, once it is known to be a readable file of at most kMaxBodyBytes.
std::wstring checkedBodyPath(const JobDescription& job, const std::wstring& value) {
  const std::wstring path = resolvePath(job, value);
  const std::wstring what = L"[Document] Body=" + value + L": cannot read " + path + L": ";
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) bad(job, what + win32ErrorText(GetLastError()));
  LARGE_INTEGER size{};
  const bool sized = GetFileSizeEx(file, &size) != FALSE;
  const DWORD code = GetLastError();
  CloseHandle(file);
  if (!sized) bad(job, what + win32ErrorText(code));
  if (static_cast<std::uint64_t>(size.QuadPart) > kMaxBodyBytes) {
    bad(job, what + L"larger than " + std::to_wstring(kMaxBodyBytes) + L" bytes");
  }
  return path;
}

// ANSI bytes of a keyword or option; text that the code page cannot hold is refused.
std::string ansiOf(const JobDescription& job, const std::wstring& text, const std::wstring& what) {
  std::string bytes = toAnsi(text);
  if (fromAnsi(bytes) != text) bad(job, what + L" \"" + text + L"\" is not ANSI text");
  return bytes;
}

bool parseFlag(std::wstring_view text, bool* value) {
  if (text == L"1" || equalsIgnoringCase(text, L"true") || equalsIgnoringCase(text, L"yes")) {
    *value = true;
    return true;
  }
  if (text == L"0" || equalsIgnoringCase(text, L"false") || equalsIgnoringCase(text, L"no")) {
    *value = false;
    return true;
  }
  return false;
}

bool parseSmallNumber(std::wstring_view text, int low, int high, int* value) {
  if (text.empty() || text.size() > 6) return false;
  int result = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    result = result * 10 + (c - L'0');
  }
  if (result < low || result > high) return false;
  *value = result;
  return true;
}

void readFeatures(JobDescription& job) {
  for (const auto& [key, value] : readSection(job, L"Features")) {
    if (key == L"Dialect") {
      int dialect = 0;
      if (!parseSmallNumber(value, 0, 3, &dialect)) {
        bad(job, L"[Features] Dialect=" + value +
                     L": expected 0 (speed), 1 (portability), 2 (EPS) or 3 (archive)");
      }
      job.features.dialect = static_cast<std::uint8_t>(dialect);
      continue;
    }
    std::string keyword = ansiOf(job, key, L"[Features] keyword");
    std::string option = ansiOf(job, value, L"[Features] option");
    if (keyword.empty()) bad(job, L"[Features] has an empty keyword");
    if (option.size() > kMaxOptionBytes) {
      bad(job, L"[Features] " + key + L": options are at most 255 bytes");
    }
    for (const auto& existing : job.features.options) {
      if (existing.first == keyword) bad(job, L"[Features] " + key + L" is given twice");
    }
    job.features.options.emplace_back(std::move(keyword), std::move(option));
  }
}

void readDevMode(JobDescription& job) {
  job.devMode = defaultDevMode(job.printer.printerName);
  for (const auto& [key, value] : readSection(job, L"DevMode")) {
    std::wstring error;
    if (!setDevModeField(job.devMode, key, value, &error)) bad(job, L"[DevMode] " + error);
  }
}

void readRecord(JobDescription& job) {
  std::vector<std::uint8_t> scratch(kRecordSize, 0);
  for (const auto& [key, value] : readSection(job, L"Record")) {
    if (equalsIgnoringCase(key, L"RecordFile")) {
      if (job.recordFile) bad(job, L"[Record] RecordFile is given twice");
      job.recordFile = readFileOf(job, L"[Record] RecordFile", value, kRecordSize);
      continue;
    }
    std::string name = ansiOf(job, key, L"[Record] field");
    std::u16string text(value.begin(), value.end());
    std::string error;
    // Checked on a scratch record now, so that a bad field stops the job before printing.
    if (!setRecordFieldFromText(scratch.data(), name, text, &error)) {
      bad(job, L"[Record] " + fromAnsi(error));
    }
    job.recordFields.emplace_back(std::move(name), std::move(text));
  }
}

void readPrinter(JobDescription& job) {
  for (const auto& [key, value] : readSection(job, L"Printer")) {
    if (equalsIgnoringCase(key, L"Name")) {
      job.printer.printerName = value;
    } else if (equalsIgnoringCase(key, L"Driver")) {
      job.printer.driverName = value;
    } else if (equalsIgnoringCase(key, L"Shared")) {
      if (!parseFlag(value, &job.printer.shared))
        bad(job, L"[Printer] Shared=" + value + L": expected 0 or 1");
    } else if (equalsIgnoringCase(key, L"ShareName")) {
      job.printer.shareName = value;
    } else if (equalsIgnoringCase(key, L"Package")) {
      job.printer.packageDir = resolvePath(job, value);
      DWORD attributes = GetFileAttributesW(job.printer.packageDir.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        bad(job, L"[Printer] Package=" + value + L": no folder " + job.printer.packageDir);
      }
    } else if (equalsIgnoringCase(key, L"Files")) {
      // Further files installed among the driver's files, besides vexps.dll and the build's
      // companions: every printer gets the build's own companions afresh, so that no result
      // depends on what an earlier run left in the shared driver folder. A model key decides
      // whether a companion is used ("Model.JobInfoDll=" leaves it out).
      if (job.printer.pluginFiles.empty()) job.printer.pluginFiles = defaultPluginFiles();
      std::wstring_view rest = value;
      while (!rest.empty()) {
        const std::size_t comma = rest.find(L',');
        std::wstring name(rest.substr(0, comma));
        while (!name.empty() && name.front() == L' ') name.erase(0, 1);
        while (!name.empty() && name.back() == L' ') name.pop_back();
        if (!name.empty()) job.printer.pluginFiles.push_back(name);
        rest = comma == std::wstring_view::npos ? std::wstring_view() : rest.substr(comma + 1);
      }
    } else if (key.size() > 6 &&
               equalsIgnoringCase(std::wstring_view(key).substr(0, 6), L"Model.")) {
      job.printer.modelOverrides.emplace_back(key.substr(6), value);
    } else {
      bad(job, L"[Printer] unknown key \"" + key + L"\"");
    }
  }
  if (job.printer.printerName.empty()) bad(job, L"[Printer] Name is empty");
  if (job.printer.shared && job.printer.shareName.empty()) {
    bad(job, L"[Printer] a shared printer needs ShareName");
  }
}

void readDocument(JobDescription& job) {
  for (const auto& [key, value] : readSection(job, L"Document")) {
    if (equalsIgnoringCase(key, L"Name")) {
      job.document.name = value;
    } else if (equalsIgnoringCase(key, L"Pages")) {
      if (!parseSmallNumber(value, 1, kMaxPages, &job.document.pages)) {
        bad(job, L"[Document] Pages=" + value + L": expected 1 to 9999");
      }
    } else if (equalsIgnoringCase(key, L"Surface")) {
      if (equalsIgnoringCase(value, L"device")) {
        job.document.bitmapSurface = false;
      } else if (equalsIgnoringCase(value, L"bitmap")) {
        job.document.bitmapSurface = true;
      } else {
        bad(job, L"[Document] Surface=" + value + L": expected device or bitmap");
      }
    } else if (equalsIgnoringCase(key, L"Application")) {
      job.document.application = value;
    } else if (equalsIgnoringCase(key, L"Producer")) {
      job.document.producer = value;
    } else if (equalsIgnoringCase(key, L"ProducerReady")) {
      if (!parseSmallNumber(value, 0, 60, &job.document.producerReadySeconds)) {
        bad(job, L"[Document] ProducerReady=" + value + L": expected 0 to 60 seconds");
      }
    } else if (equalsIgnoringCase(key, L"Body")) {
      job.document.bodyPath = checkedBodyPath(job, value);
    } else {
      bad(job, L"[Document] unknown key \"" + key + L"\"");
    }
  }
}

}  // namespace

JobDescription readJobFile(const std::wstring& path) {
  JobDescription job;
  DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  job.path.assign(length ? length : 1, L'\0');
  length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(job.path.size()), job.path.data(), nullptr);
  if (length == 0) failWith(ExitCode::kBadInput, L"bad job file path \"" + path + L"\"");
  job.path.resize(length);
  // The profile API reads a missing file as an empty one.
  if (!fileExists(job.path)) failWith(ExitCode::kBadInput, L"no job file " + job.path);

  std::vector<wchar_t> names(4096);
  DWORD got = GetPrivateProfileSectionNamesW(names.data(), static_cast<DWORD>(names.size()),
                                             job.path.c_str());
  if (got + 2 >= names.size()) bad(job, L"too many sections");
  for (const wchar_t* p = names.data(); *p; p += wcslen(p) + 1) {
    std::wstring_view name = p;
    if (!equalsIgnoringCase(name, L"Features") && !equalsIgnoringCase(name, L"DevMode") &&
        !equalsIgnoringCase(name, L"Record") && !equalsIgnoringCase(name, L"Printer") &&
        !equalsIgnoringCase(name, L"Document")) {
      bad(job, L"unknown section [" + std::wstring(name) + L"]");
    }
  }
  readPrinter(job);
  readFeatures(job);
  readDevMode(job);
  readRecord(job);
  readDocument(job);
  return job;
}

void applyRecordSettings(const JobDescription& job, std::uint8_t* record) {
  if (job.recordFile) std::memcpy(record, job.recordFile->data(), job.recordFile->size());
  for (const auto& [name, value] : job.recordFields) {
    std::string error;
    if (!setRecordFieldFromText(record, name, value, &error)) {
      failWith(ExitCode::kBadInput, job.path + L": [Record] " + fromAnsi(error));
    }
  }
}

}  // namespace vex::host
