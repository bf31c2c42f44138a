#include "driver_tree_support.h"

#include <cstring>
#include <stdexcept>

#include "private_settings.h"

namespace vex::test {

DriverTree::DriverTree(const std::vector<TreeItem>& items) : record_(kRecordSize, 0) {
  procs_.DrvUpdateUISetting = &DriverTree::updateSetting;
  procs_.DrvGetDriverSetting = &DriverTree::getSetting;
  uiObject_.object.cbSize = sizeof(OEMUIOBJ);
  uiObject_.object.pOemUIProcs = &procs_;
  uiObject_.tree = this;
  items_.resize(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TreeItem& source = items[i];
    OPTITEM& item = items_[i];
    item.cbSize = sizeof(OPTITEM);
    item.DMPubID = source.dmPubId;
    item.Sel = source.sel;
    item.UserItemID = source.userItemId;
    item.pName = source.nameResource != 0
                     ? reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(source.nameResource))
                     : texts_.emplace_back(source.name).data();
    if (!source.keyword.empty() || source.itemId) {
      USERDATA& data = userData_.emplace_back();
      data.dwSize = sizeof(USERDATA);
      data.dwItemID = source.itemId.value_or(100 + i);
      data.pKeyWordName =
          source.keyword.empty() ? nullptr : keywords_.emplace_back(source.keyword).data();
      item.UserData = reinterpret_cast<ULONG_PTR>(&data);
    }
    if (!source.options.empty()) {
      std::vector<OPTPARAM>& params = optionParams_.emplace_back(source.options.size());
      for (std::size_t k = 0; k < source.options.size(); ++k) {
        params[k].cbSize = sizeof(OPTPARAM);
        params[k].pData = texts_.emplace_back(source.options[k]).data();
      }
      OPTTYPE& type = types_.emplace_back();
      type.cbSize = sizeof(OPTTYPE);
      type.Type = TVOT_LISTBOX;
      type.Count = static_cast<WORD>(params.size());
      type.pOptParam = params.data();
      item.pOptType = &type;
    }
  }
}

DriverTree::~DriverTree() {
  if (heap_ != nullptr) HeapDestroy(heap_);
}

OEMCUIPPARAM& DriverTree::param(HANDLE printer, const wchar_t* printerName) {
  if (heap_ == nullptr) heap_ = HeapCreate(0, 0, 0);
  param_ = {};
  param_.cbSize = sizeof(OEMCUIPPARAM);
  param_.poemuiobj = &uiObject_.object;
  param_.hPrinter = printer;
  param_.pPrinterName = const_cast<PWSTR>(printerName);
  param_.hOEMHeap = heap_;
  param_.pOEMDM = record_.data();
  param_.pDrvOptItems = items_.data();
  param_.cDrvOptItems = static_cast<DWORD>(items_.size());
  return param_;
}

OPTPARAM& DriverTree::option(std::size_t i, const std::wstring& text) {
  OPTTYPE* type = items_.at(i).pOptType;
  for (WORD k = 0; type != nullptr && k < type->Count; ++k) {
    if (text == type->pOptParam[k].pData) return type->pOptParam[k];
  }
  throw std::out_of_range("no such option");
}

BOOL APIENTRY DriverTree::updateSetting(PVOID driverObject, PVOID item, DWORD previous,
                                        DWORD mode) {
  auto* tree = reinterpret_cast<UiObject*>(driverObject)->tree;
  auto* optItem = static_cast<OPTITEM*>(item);
  const auto index = static_cast<DWORD>(optItem - tree->items_.data());
  tree->calls_.push_back(
      {index, optItem->Sel, previous, mode, (optItem->Flags & OPTIF_HIDE) != 0});
  for (const auto& [refusedIndex, sel] : tree->refused_) {
    if (refusedIndex == index && sel == optItem->Sel) return FALSE;
  }
  return TRUE;
}

BOOL APIENTRY DriverTree::getSetting(PVOID driverObject, PCSTR feature, PVOID output, DWORD size,
                                     PDWORD needed, PDWORD returned) {
  auto* tree = reinterpret_cast<UiObject*>(driverObject)->tree;
  if (feature == nullptr || needed == nullptr) return FALSE;
  for (const auto& [keyword, value] : tree->settings_) {
    if (keyword != feature) continue;
    *needed = static_cast<DWORD>(value.size() + 2);
    if (output == nullptr || size < *needed) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    std::memcpy(output, value.data(), value.size());
    static_cast<char*>(output)[value.size()] = '\0';
    static_cast<char*>(output)[value.size() + 1] = '\0';
    if (returned != nullptr) *returned = 1;
    return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

BoundTree::BoundTree(DriverTree& tree, HANDLE printer, const wchar_t* printerName, DWORD mode)
    : plugin_(new vex::UiPlugin()), param_(tree.param(printer, printerName)) {
  first_ = plugin_->CommonUIProp(mode, &param_);
  reported_ = param_.cOEMOptItems;
  second_ = bindAgain(mode);
}

HRESULT BoundTree::bindAgain(DWORD mode) {
  oemItems_.assign(reported_, OPTITEM{});
  param_.cOEMOptItems = reported_;
  param_.pOEMOptItems = oemItems_.empty() ? nullptr : oemItems_.data();
  if (mode == OEMCUIP_DOCPROP && oemItems_.empty()) {
    // The driver's second call carries a buffer even when no item was asked for.
    oemItems_.resize(1);
    param_.pOEMOptItems = oemItems_.data();
    param_.cOEMOptItems = 0;
  }
  return plugin_->CommonUIProp(mode, &param_);
}

BoundTree::~BoundTree() { plugin_->Release(); }

}  // namespace vex::test
