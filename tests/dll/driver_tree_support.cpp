#include "driver_tree_support.h"

#include <stdexcept>

#include "private_settings.h"

namespace vex::test {

DriverTree::DriverTree(const std::vector<TreeItem>& items) : record_(kRecordSize, 0) {
  procs_.DrvUpdateUISetting = &DriverTree::updateSetting;
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

}  // namespace vex::test
