#include "document_pages.h"

#include <prsht.h>
#include <winspool.h>

#include <cwchar>
#include <memory>

#include "colour_page.h"
#include "config_files.h"
#include "job_options_page.h"
#include "support_page.h"
#include "ui_module_state.h"
#include "ui_resource_ids.h"
#include "unique_handle.h"

namespace vex {
namespace {

// The structure version the sheet is given: the one with the activation context, 96 bytes in a
// 64-bit process (and 52 in a 32-bit one).
using PageBlock = PROPSHEETPAGEW_V3;
static_assert(sizeof(void*) != 8 || sizeof(PageBlock) == 96, "page block of the 64-bit sheet");
static_assert(sizeof(void*) != 4 || sizeof(PageBlock) == 52, "page block of the 32-bit sheet");

constexpr int kColourSlot = 10;

// Hands the page to the sheet; the object stays with the context for as long as the page can
// call it.
HANDLE addPage(DocumentContext& context, std::unique_ptr<DialogBase> page, HINSTANCE module,
               UINT templateId, HICON icon) {
  PageBlock block{};
  block.dwSize = sizeof(block);
  block.dwFlags = icon != nullptr ? PSP_USEHICON : 0;
  block.hInstance = module;
  block.pszTemplate = MAKEINTRESOURCEW(templateId);
  block.hIcon = icon;
  block.pfnDlgProc = DialogBase::pageProcedure;
  block.lParam = reinterpret_cast<LPARAM>(page.get());
  const LONG_PTR handle = context.comPropSheet(context.propertySheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                               reinterpret_cast<LPARAM>(&block), 0);
  if (handle == 0) return nullptr;
  context.pageObjects.push_back(std::move(page));
  return reinterpret_cast<HANDLE>(handle);
}

// The support page comes from the library the configuration names, when it names one.
void addSupportPage(DocumentContext& context) {
  const POEMUIPSPARAM param = context.uiParam;
  if (param == nullptr) return;
  // The configuration is read through a handle of our own, or the sheet's when the name cannot
  // be opened.
  PrinterHandle opened;
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
  HANDLE handle = nullptr;
  if (param->pPrinterName != nullptr && param->pPrinterName[0] != L'\0' &&
      OpenPrinterW(param->pPrinterName, &handle, &defaults)) {
    opened.reset(handle);
  }
  const HANDLE printer = opened ? opened.get() : param->hPrinter;
  wchar_t iniPath[kPathChars] = {};
  std::wmemcpy(iniPath, context.iniPath, kPathChars - 1);
  if (iniPath[0] == L'\0') findDriverFiles(printer, iniPath);
  const HMODULE library = supportPageLibrary(printer, iniPath);
  if (library == nullptr) return;
  const auto icon = static_cast<HICON>(LoadImageW(library, MAKEINTRESOURCEW(kSupportPageIcon),
                                                  IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  context.pageHandles[2] =
      addPage(context, std::make_unique<SupportPage>(context), library, kSupportPageTemplate, icon);
}

}  // namespace

LONG_PTR addDocumentPages(DocumentContext& context, const PROPSHEETUI_INFO& info) {
  context.propertySheet = info.hComPropSheet;
  context.comPropSheet = info.pfnComPropSheet;
  context.uiParam = reinterpret_cast<POEMUIPSPARAM>(info.lParamInit);
  if (context.comPropSheet == nullptr) return 1;
  const HINSTANCE module = uiModuleState().moduleInstance;
  context.pageHandles[0] =
      addPage(context, std::make_unique<JobOptionsPage>(context), module, IDD_JOB_OPTIONS, nullptr);
  if (context.itemIndex[kColourSlot] != kNoItem) {
    context.pageHandles[1] =
        addPage(context, std::make_unique<ColourPage>(context), module, IDD_COLOUR_PAGE, nullptr);
  }
  addSupportPage(context);
  return 1;
}

}  // namespace vex
