// The PostScript the plug-in adds to the job: resource files and page-setup values in the prolog,
// the watermark's initialisation and per-page call, the overlay form block and each page's
// number.
#include "job_writers.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "card_library.h"
#include "config_files.h"
#include "document_state.h"
#include "injection.h"
#include "module_state.h"
#include "overlay_ps.h"
#include "private_settings.h"
#include "prolog_values.h"
#include "shared_driver_files.h"
#include "text_convert.h"
#include "unique_handle.h"
#include "watermark_ps.h"

namespace vex {
namespace {

constexpr std::size_t kResourceNameChars = 520;
constexpr std::size_t kOverlayTextChars = 511;  // 510 characters and the terminator
constexpr std::size_t kWatermarkTextBytes = 265;
constexpr std::size_t kFontNameBytes = 128;

// The plug-in INI file of the printer: as found at DrvStartDoc, else looked up now.
std::wstring pluginIni(PDEVOBJ pdevobj) {
  const DocumentState& state = documentState(pdevobj);
  if (state.pluginIniPath[0] != L'\0') return boundedWide(state.pluginIniPath, MAX_PATH);
  wchar_t path[kPathChars] = L"";
  findDriverFiles(pdevobj->hPrinter, path);
  return boundedWide(path, kPathChars);
}

const std::uint8_t* recordOf(PDEVOBJ pdevobj) {
  return static_cast<const std::uint8_t*>(pdevobj->pOEMDM);
}

std::wstring wideOf(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// A resource file is sent into every user's jobs: it must not be a file that every user may
// write (printer initialisation opens the plug-in INI file, its PPD and the colour-matching
// file to everyone), nor the configuration or version file. Compared as files, so that no
// other letter case or short name reaches them.
bool isSendableResource(HANDLE printer, const std::wstring& ini, HANDLE resource) {
  const std::optional<FileIdentity> identity = fileIdentity(resource);
  if (!identity) return false;
  for (const std::wstring& refused : filesRefusedAsResources(printer, ini)) {
    if (fileIdentity(refused) == identity) return false;
  }
  return true;
}

// Sends one resource file named under `key` in 1024-byte blocks; nothing when the key is empty,
// names more than a file of the driver's folder, or the file cannot be opened.
bool sendResourceFile(const JobWriteContext& job, const std::wstring& ini, std::string_view key) {
  wchar_t name[kResourceNameChars] = L"";
  GetPrivateProfileStringW(L"DependentFiles", wideOf(key).c_str(), L"", name, kResourceNameChars,
                           ini.c_str());
  const std::wstring fileName = boundedWide(name, kResourceNameChars);
  if (!isResourceFileName(toU16(fileName))) return true;
  const std::wstring path = driverFilePath(fileName);
  if (path.empty()) return true;
  const KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return true;
  if (!isSendableResource(job.pdevobj->hPrinter, ini, file.get())) return true;
  char block[kResourceBlockBytes];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), block, sizeof block, &read, nullptr)) return false;
    if (read == 0) return true;
    if (!injectionWrite(job.helper, job.pdevobj, std::string_view(block, read))) return false;
  }
}

// The bytes of template `id`, or nothing when the module lacks it.
bool loadTemplate(PDEVOBJ pdevobj, int id, std::string_view* bytes) {
  HMODULE module = static_cast<HMODULE>(pdevobj->hOEM);
  if (module == nullptr) module = moduleState().instance;
  HRSRC found =
      FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kTemplateResourceType));
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return false;
  *bytes = std::string_view(static_cast<const char*>(data), SizeofResource(module, found));
  return true;
}

// One stored overlay, read from section "Overlay_Info <index>" with every text bounded.
OverlayEntry readOverlay(const std::wstring& ini, std::uint16_t index) {
  const std::wstring section = L"Overlay_Info " + std::to_wstring(index);
  OverlayEntry entry;
  const unsigned formCount =
      GetPrivateProfileIntW(section.c_str(), L"Form_Num", 0, ini.c_str()) % 65536u;
  wchar_t text[kOverlayTextChars];
  for (unsigned k = 0; k < formCount && k < kMaxOverlayForms; ++k) {
    const std::wstring key = L"Form_Name " + std::to_wstring(k);
    text[0] = L'\0';
    GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", text, kOverlayTextChars,
                             ini.c_str());
    entry.formNames.push_back(toU16(boundedWide(text, kOverlayTextChars)));
  }
  entry.pageMode = static_cast<std::uint16_t>(
      GetPrivateProfileIntW(section.c_str(), L"PageMode", 0, ini.c_str()) % 65536u);
  if (entry.pageMode == 4) {
    text[0] = L'\0';
    GetPrivateProfileStringW(section.c_str(), L"CustomPage", L"", text, kOverlayTextChars,
                             ini.c_str());
    entry.customPage = toU16(boundedWide(text, kOverlayTextChars));
  }
  return entry;
}

}  // namespace

bool writePrologResources(const JobWriteContext& job) {
  const std::wstring ini = pluginIni(job.pdevobj);
  if (ini.empty()) return true;
  const std::string overlay = readFeature(job.pdevobj, "VXOverlay");
  const std::string overprint = readFeature(job.pdevobj, "VXOverPrint");
  bool ok = true;
  for (std::string_view key : resourceKeys(overlay, overprint)) {
    ok = sendResourceFile(job, ini, key) && ok;
  }
  return ok;
}

bool writePageSetupValues(const JobWriteContext& job) {
  const std::uint8_t* record = recordOf(job.pdevobj);
  PageSetupInputs inputs;
  if (record != nullptr) {
    inputs.nupSelection = getU8(record, rec::nupSelection);
    inputs.orientation = getU8(record, rec::orientationSelection);
  }
  inputs.dmColor = job.pdevobj->pPublicDM ? job.pdevobj->pPublicDM->dmColor : DMCOLOR_COLOR;
  inputs.icCard = isIcCardPrinter(job.pdevobj->hPrinter);
  bool ok = true;
  for (const std::string& piece : pageSetupWrites(inputs)) {
    ok = injectionWrite(job.helper, job.pdevobj, piece) && ok;
  }
  return ok;
}

bool writeWatermarkSetup(const JobWriteContext& job) {
  const std::uint8_t* record = recordOf(job.pdevobj);
  std::string_view pattern;
  if (record == nullptr || !loadTemplate(job.pdevobj, kWatermarkInitTemplate, &pattern)) {
    return true;
  }
  const std::string text =
      toAnsi(toWide(getWide(record, rec::wmText, rec::wmTextChars)), kWatermarkTextBytes);
  const std::string font =
      toAnsi(toWide(getWide(record, rec::wmFontFace, rec::wmFontFaceChars)), kFontNameBytes);
  return injectionWrite(job.helper, job.pdevobj, watermarkInitText(pattern, record, text, font));
}

bool writeWatermarkPage(const JobWriteContext& job) {
  const std::uint8_t* record = recordOf(job.pdevobj);
  std::string_view pattern;
  if (record == nullptr || !loadTemplate(job.pdevobj, watermarkPageTemplate(record), &pattern)) {
    return true;
  }
  return injectionWrite(job.helper, job.pdevobj, pattern);
}

bool overlayFormsInUse(PDEVOBJ pdevobj) {
  return !isEpsOutput(pdevobj) && readFeature(pdevobj, "VXOverlay") == "Use";
}

bool writeOverlayForms(const JobWriteContext& job) {
  const std::uint8_t* record = recordOf(job.pdevobj);
  const std::wstring ini = pluginIni(job.pdevobj);
  std::vector<OverlayEntry> overlays;
  for (std::size_t slot = 0; record != nullptr && slot < rec::overlaySlots; ++slot) {
    const std::uint16_t index = getU16(record, rec::overlayList + 2 * slot);
    if (index == 255) continue;
    overlays.push_back(ini.empty() ? OverlayEntry{} : readOverlay(ini, index));
  }
  const std::vector<std::string> writes = overlayBlockWrites(overlays);
  bool last = false;
  for (const std::string& piece : writes) last = injectionWrite(job.helper, job.pdevobj, piece);
  return last;
}

bool writePageNumber(const JobWriteContext& job, std::uint32_t page) {
  return injectionWrite(job.helper, job.pdevobj, pageNumberLine(page));
}

}  // namespace vex
