// The job description file (docs/render-host.md): what the application prints and how the
// driver is set up for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "printer_setup.h"

namespace vex::host {

// What DrvGetDriverSetting answers: feature keyword -> option keyword (ANSI bytes), and the
// OEMGDS_PSDM_DIALECT byte.
struct FeatureSettings {
  std::vector<std::pair<std::string, std::string>> options;
  std::uint8_t dialect = 0;
};

struct DocumentSettings {
  std::wstring name = L"VEX demo document";
  int pages = 1;
  bool bitmapSurface = false;
  // PostScript page body, a file read page by page while it is printed (never held whole, so
  // that the stand-in's memory does not grow with the job); absent: the built-in page.
  std::optional<std::wstring> bodyPath;
  // The printing application's name, published as the UI plug-in's document event would.
  std::optional<std::wstring> application;
  // A program started once the job id is known (%JOBID% and %JOBHEX% in it are replaced), to
  // play the producer side of the application-name channel from another process.
  std::wstring producer;
  int producerReadySeconds = 0;  // wait this long for its ready event (0: do not wait)
};

struct JobDescription {
  std::wstring path;  // full path of the job file
  FeatureSettings features;
  DEVMODEW devMode{};                     // defaults with the [DevMode] members applied
  std::optional<std::string> recordFile;  // raw record bytes, at most the record size
  std::vector<std::pair<std::string, std::u16string>> recordFields;  // checked names and values
  PrinterSetup printer;
  DocumentSettings document;
  // False (--no-merge): the job's record reaches the plug-in as it stands, without the
  // device-mode merge that would validate it first.
  bool mergeRecord = true;
};

// Reads and checks the job file; throws HostFailure (bad input) naming the first problem.
JobDescription readJobFile(const std::wstring& path);

// Applies the job's record bytes and fields over `record` (kRecordSize bytes).
void applyRecordSettings(const JobDescription& job, std::uint8_t* record);

}  // namespace vex::host
