#include "feature_code.h"

#include <winspool.h>

#include <vector>

#include "host_files.h"
#include "ppd_model.h"
#include "report.h"

namespace vex::host {
namespace {

std::wstring ppdPath(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
  std::vector<BYTE> block(needed ? needed : 1, 0);
  if (needed < sizeof(DRIVER_INFO_2W) ||
      !GetPrinterDriverW(printer, nullptr, 2, block.data(), needed, &needed)) {
    failWith(ExitCode::kSpooler, L"GetPrinterDriverW level 2: " + win32ErrorText(GetLastError()));
  }
  const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(block.data());
  return info->pDataFile != nullptr ? info->pDataFile : L"";
}

}  // namespace

FeatureBlocks featureBlocks(HANDLE printer, const FeatureSettings& features) {
  if (features.options.empty()) return {};
  const std::wstring path = ppdPath(printer);
  const ppd::Limits limits;
  std::string bytes;
  DWORD code = 0;
  if (path.empty() || !readWholeFile(path, limits.maxFileBytes, &bytes, &code)) {
    failWith(ExitCode::kBadInput,
             L"cannot read the PPD file \"" + path + L"\": " + win32ErrorText(code));
  }
  const ppd::SetupCode setup = ppd::setupCode(ppd::parse(bytes, limits), features.options);
  return {ppd::featureText(setup.document), ppd::featureText(setup.page)};
}

}  // namespace vex::host
