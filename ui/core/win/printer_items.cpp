#include "printer_items.h"

#include "config_files.h"
#include "driver_item_view.h"
#include "extension_libraries.h"
#include "no_throw.h"
#include "oem_heap_blocks.h"
#include "option_discovery.h"
#include "ui_module_state.h"

namespace vex {
namespace {

constexpr UINT kPushButtonName = 8040;
constexpr LPARAM kPushButtonMarker = 9999;
constexpr int kMaxStringChars = 256;
// The common UI's callback reason once the items exist (value 7 of the reasons).
constexpr WORD kReasonItemsCreated = 7;

// String `id` of our string table in a heap block of exactly its length.
LPWSTR loadHeapString(HANDLE heap, UINT id) {
  auto* text =
      static_cast<LPWSTR>(HeapAlloc(heap, HEAP_ZERO_MEMORY, kMaxStringChars * sizeof(wchar_t)));
  if (text == nullptr) return nullptr;
  const int length = LoadStringW(uiModuleState().moduleInstance, id, text, kMaxStringChars);
  const SIZE_T bytes = static_cast<SIZE_T>(length + 1) * sizeof(wchar_t);
  void* shrunk = HeapReAlloc(heap, 0, text, bytes);
  return shrunk != nullptr ? static_cast<LPWSTR>(shrunk) : text;
}

void bindPrinterItems(POEMCUIPPARAM param, POIEXT ext) {
  forEachDriverItem(param, [&](DWORD, OPTITEM& item) {
    if (nameResourceOf(item.pName) == kInstallableOptionsName) item.Flags |= OPTIF_COLLAPSE;
    const auto keyword = keywordOf(item);
    if (!keyword) return;
    const InstallableOption* option = installableOptionFor(*keyword);
    if (option == nullptr) return;
    if (ext != nullptr) {
      item.HelpIndex = option->help;
      item.Flags |= OPTIF_HAS_POIEXT;
      item.pOIExt = ext;
    }
    item.UserItemID = static_cast<BYTE>(option->userItemId);
  });
}

// The push button that starts the installable-option discovery.
bool fillPushButton(HANDLE heap, OPTITEM& item, POIEXT ext) {
  auto* type = static_cast<POPTTYPE>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(OPTTYPE)));
  auto* params = static_cast<POPTPARAM>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 2 * sizeof(OPTPARAM)));
  if (type == nullptr || params == nullptr) return false;
  params[0].cbSize = sizeof(OPTPARAM);
  params[1].cbSize = sizeof(OPTPARAM);
  params[1].lParam = kPushButtonMarker;
  type->cbSize = sizeof(OPTTYPE);
  type->Type = TVOT_PUSHBUTTON;
  type->Count = 1;
  type->BegCtrlID = 1;
  type->pOptParam = params;
  type->Style = OTS_PUSH_INCL_SETUP_TITLE | OTS_PUSH_NO_DOT_DOT_DOT | OTS_PUSH_ENABLE_ALWAYS;
  item.Level = 2;
  item.DlgPageIdx = 0;
  item.Flags = OPTIF_CALLBACK | OPTIF_HAS_POIEXT;
  item.pName = loadHeapString(heap, kPushButtonName);
  item.pOptType = type;
  item.HelpIndex = kPushButtonHelp;
  item.UserItemID = static_cast<BYTE>(kPushButtonUserItemId);
  item.pOIExt = ext;
  return true;
}

}  // namespace

HRESULT setUpPrinterTree(UiSheetState& state, void* owner, POEMCUIPPARAM param) {
  if (param->pOEMOptItems == nullptr) {
    param->cOEMOptItems = 1;
    return S_OK;
  }
  param->pOEMUserData = owner;
  param->OEMCUIPCallback = printerItemsCallback;
  for (DWORD i = 0; i < param->cOEMOptItems; ++i) {
    ZeroMemory(&param->pOEMOptItems[i], sizeof(OPTITEM));
    param->pOEMOptItems[i].cbSize = sizeof(OPTITEM);
  }

  if (state.oemHeap == param->hOEMHeap) freeHeapBlock(state.oemHeap, state.printerPageContext);
  state.printerPageContext = nullptr;
  state.oemHeap = param->hOEMHeap;
  auto* context = static_cast<PrinterContext*>(
      HeapAlloc(state.oemHeap, HEAP_ZERO_MEMORY, kPrinterContextBytes));
  if (context == nullptr) return E_OUTOFMEMORY;
  state.printerPageContext = context;
  context->cuiParam = param;

  POIEXT ext = newHelpExtension(state.oemHeap);
  bindPrinterItems(param, ext);
  if (param->cOEMOptItems >= 1) {
    OPTITEM& button = param->pOEMOptItems[0];
    if (!fillPushButton(state.oemHeap, button, ext)) return E_OUTOFMEMORY;
    // CommonUIProp has just located this printer's configuration: the library is asked directly.
    const NetworkExtension network(param->hPrinter);
    if (!network.capability(extensionPrinterName(param->pPrinterName))) {
      button.Flags |= OPTIF_HIDE;
    }
  }

  // The printer sheet's pages share the document pages' context as well.
  state.pageContext = std::make_unique<DocumentContext>();
  state.pageContext->hideStandardUiQueried = state.hideStandardUiQueried;
  return S_OK;
}

namespace {

LONG handlePrinterItems(PCPSUICBPARAM callback, POEMCUIPPARAM param) {
  UiSheetState* state = uiSheetStateOf(param);
  const OPTITEM* current = callback->pCurItem;
  switch (callback->Reason) {
    case CPSUICB_REASON_SEL_CHANGED:
      if (current != nullptr && current->UserItemID == kPushButtonUserItemId) {
        DWORD values[kDiscoveryValueCount] = {};
        if (networkDiscovery(param, callback->hDlg, values)) applyInstalledOptions(param, values);
        return CPSUICB_ACTION_OPTIF_CHANGED;
      }
      if (current != nullptr && current->UserItemID == kJobLimitUserItemId) {
        const bool hidden = state != nullptr && state->hideStandardUiQueried == 1;
        if (hidden && !isOsVersion6OrLater()) return CPSUICB_ACTION_NONE;
        forEachDriverItem(param, [&](DWORD index, OPTITEM& item) {
          if (item.UserItemID != kJobLimitUserItemId) return;
          DWORD on = 1;
          updateDriverItem(param, index, on, 2);
        });
        return CPSUICB_ACTION_OPTIF_CHANGED;
      }
      return CPSUICB_ACTION_NONE;
    case CPSUICB_REASON_APPLYNOW: {
      uiModuleState().applyPending = true;
      DWORD selection = 0;
      if (param->pOEMOptItems != nullptr && param->cOEMOptItems >= 1) {
        selection = static_cast<DWORD>(param->pOEMOptItems[0].Sel);
      }
      SetPrinterDataW(param->hPrinter, const_cast<wchar_t*>(L"OEMUI_VALUE"), REG_DWORD,
                      reinterpret_cast<BYTE*>(&selection), sizeof(selection));
      return CPSUICB_ACTION_NONE;
    }
    case kReasonItemsCreated:
      if (current != nullptr && current->UserItemID == kPushButtonUserItemId) {
        // The item belongs to the plug-in; the flags are all it changes on it.
        auto* button = const_cast<OPTITEM*>(current);
        if (networkLibraryAnswers(param)) {
          button->Flags &= ~static_cast<DWORD>(OPTIF_DISABLED);
        } else {
          button->Flags |= OPTIF_DISABLED;
        }
        button->Flags |= OPTIF_CHANGED;
      }
      return CPSUICB_ACTION_NONE;
    case CPSUICB_REASON_SETACTIVE: {
      UiModuleState& module = uiModuleState();
      const bool justApplied = module.applyPending;
      module.applyPending = false;
      if (justApplied || !isOsVersion6OrLater()) return CPSUICB_ACTION_NONE;
      DWORD values[kDiscoveryValueCount] = {};
      if (!localDiscovery(param, callback->hDlg, values)) return CPSUICB_ACTION_NONE;
      applyInstalledOptions(param, values);
      return CPSUICB_ACTION_OPTIF_CHANGED;
    }
    default:
      return CPSUICB_ACTION_NONE;
  }
}

}  // namespace

LONG APIENTRY printerItemsCallback(PCPSUICBPARAM callback, POEMCUIPPARAM param) {
  if (callback == nullptr || param == nullptr) return CPSUICB_ACTION_NONE;
  return noThrow<LONG>(CPSUICB_ACTION_NONE, [&] { return handlePrinterItems(callback, param); });
}

}  // namespace vex
