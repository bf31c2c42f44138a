#include "property_items.h"

#include <winspool.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "config_files.h"
#include "driver_item_view.h"
#include "oem_heap_blocks.h"
#include "printer_items.h"
#include "ui_module_state.h"

namespace vex {
namespace {

constexpr DWORD kPathBufferBytes = 522;
constexpr DWORD kHelpPathBytes = 520;
constexpr std::size_t kPaperValueChars = 522;

HRESULT invalidParameter() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return E_FAIL;
}

// The help file named by "HELP" of the plug-in INI file's dependent files, in the driver's
// folder; empty when there is none.
void refreshHelpFilePath(const wchar_t* iniPath) {
  wchar_t* help = uiModuleState().helpFilePath;
  help[0] = L'\0';
  wchar_t name[kHelpPathBytes / sizeof(wchar_t)] = L"";
  GetPrivateProfileStringW(L"DependentFiles", L"HELP", L"", name, kHelpPathBytes / sizeof(wchar_t),
                           iniPath);
  if (name[0] == L'\0') return;
  DWORD bytes = kHelpPathBytes;
  if (!driverFilePath(help, &bytes, name)) help[0] = L'\0';
}

void clearReportedItems(POEMCUIPPARAM param) {
  for (DWORD i = 0; i < param->cOEMOptItems; ++i) {
    OPTITEM& item = param->pOEMOptItems[i];
    ZeroMemory(&item, sizeof(item));
    item.cbSize = sizeof(OPTITEM);
    item.DMPubID = 0;
  }
}

void giveHelp(OPTITEM& item, std::uint16_t help, POIEXT ext) {
  if (help == 0 || ext == nullptr) return;
  item.HelpIndex = help;
  item.Flags |= OPTIF_HAS_POIEXT;
  item.pOIExt = ext;
}

// The papers of the form-name item that "HidePaperName" names disappear from its list.
void hidePapers(OPTITEM& item, const wchar_t* iniPath) {
  wchar_t value[kPaperValueChars] = L"";
  GetPrivateProfileStringW(L"Plg_Feature", L"HidePaperName", L"", value, kPaperValueChars,
                           iniPath);
  const auto names = hiddenPaperNames(std::u16string_view(
      reinterpret_cast<const char16_t*>(value), std::wcslen(value)));
  if (names.empty()) return;
  forEachOptionText(item, [&](OPTPARAM& option, std::u16string_view text) {
    for (const std::u16string& name : names) {
      if (text == name) {
        option.Flags |= OPTPF_HIDE;
        break;
      }
    }
  });
}

void bindDocumentItems(DocumentContext& context, POEMCUIPPARAM param, POIEXT ext) {
  if (readCompression(param->hPrinter) & 1) context.itemIndex[kCompressionSlot] = 0;
  forEachDriverItem(param, [&](DWORD index, OPTITEM& item) {
    const DocumentItemRole role = documentItemRole(itemFacts(item));
    if (role.hidePapers) hidePapers(item, context.iniPath);
    for (const SlotBinding& binding : role.bindings) {
      if (binding.slot >= 0) {
        context.itemIndex[binding.slot] = index;
        if (binding.recordValue) context.itemValue[binding.slot] = static_cast<DWORD>(item.Sel);
      }
      if (binding.hide) item.Flags |= OPTIF_HIDE;
      giveHelp(item, binding.help, ext);
    }
  });
}

HRESULT setUpDocumentTree(UiSheetState& state, void* owner, POEMCUIPPARAM param,
                          wchar_t* iniPath) {
  if (param->pOEMOptItems == nullptr) {
    param->cOEMOptItems = 0;
    return S_OK;
  }
  param->pOEMUserData = owner;
  param->OEMCUIPCallback = documentItemsCallback;
  clearReportedItems(param);

  uiModuleState().canWritePrinterData = probePrinterDataWrite(param->hPrinter);

  // A tree bound again replaces its context, and whatever the pages kept in the old one.
  state.pageContext.reset();
  state.oemHeap = param->hOEMHeap;
  state.pageContext = std::make_unique<DocumentContext>();
  DocumentContext* context = state.pageContext.get();
  context->cuiParam = param;
  lstrcpynW(context->iniPath, iniPath, kPathChars);

  bindDocumentItems(*context, param, newHelpExtension(state.oemHeap));
  context->hideStandardUiQueried = state.hideStandardUiQueried;
  return S_OK;
}

}  // namespace

bool probePrinterDataWrite(HANDLE printer) {
  DWORD tick = GetTickCount();
  return SetPrinterDataW(printer, const_cast<wchar_t*>(L"W_TEST"), REG_DWORD,
                         reinterpret_cast<BYTE*>(&tick), sizeof(tick)) == ERROR_SUCCESS;
}

HRESULT commonUiProp(UiSheetState& state, void* owner, DWORD mode, POEMCUIPPARAM param) {
  if (mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP) return invalidParameter();
  if (param == nullptr || param->hOEMHeap == nullptr) return invalidParameter();

  auto* iniPath =
      static_cast<wchar_t*>(HeapAlloc(param->hOEMHeap, HEAP_ZERO_MEMORY, kPathBufferBytes));
  if (iniPath == nullptr) return E_OUTOFMEMORY;
  if (!findDriverFiles(param->hPrinter, *reinterpret_cast<wchar_t(*)[kPathChars]>(iniPath))) {
    return E_FAIL;
  }
  refreshHelpFilePath(iniPath);

  if (mode == OEMCUIP_DOCPROP) {
    state.docPropParam = param;
    return setUpDocumentTree(state, owner, param, iniPath);
  }
  state.printerPropParam = param;
  return setUpPrinterTree(state, owner, param);
}

}  // namespace vex
