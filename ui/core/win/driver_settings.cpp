#include "driver_settings.h"

#include <cstring>

#include "driver_item_view.h"

namespace vex {
namespace {

constexpr int kResourceTextChars = 256;

POEMUIOBJ uiObjectOf(const DocumentContext& context) {
  if (context.cuiParam != nullptr && context.cuiParam->poemuiobj != nullptr) {
    return context.cuiParam->poemuiobj;
  }
  return context.uiParam != nullptr ? context.uiParam->poemuiobj : nullptr;
}

// The number item's range parameter: the second of its option type.
OPTPARAM* rangeParameter(const OPTITEM& item) {
  OPTTYPE* type = item.pOptType;
  if (type == nullptr || type->pOptParam == nullptr || type->Count < 2) return nullptr;
  if (type->Type != TVOT_UDARROW && type->Type != TVOT_TRACKBAR && type->Type != TVOT_SCROLLBAR) {
    return nullptr;
  }
  return &type->pOptParam[1];
}

}  // namespace

std::optional<std::string> readDriverSetting(const DocumentContext& context, const char* keyword) {
  POEMUIOBJ object = uiObjectOf(context);
  if (keyword == nullptr || object == nullptr || object->pOemUIProcs == nullptr ||
      object->pOemUIProcs->DrvGetDriverSetting == nullptr) {
    return std::nullopt;
  }
  char value[kDriverSettingBytes] = {};
  DWORD needed = 0;
  DWORD returned = 0;
  if (!object->pOemUIProcs->DrvGetDriverSetting(object, keyword, value, sizeof(value), &needed,
                                                &returned)) {
    return std::nullopt;
  }
  // The first string of the answer, never read past the buffer.
  const void* end = std::memchr(value, '\0', sizeof(value));
  const std::size_t length = end != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(end) - value)
                                 : sizeof(value);
  return std::string(value, length);
}

std::wstring missingOptionName(std::uint32_t resourceNumber) {
  return L"#" + std::to_wstring(resourceNumber);
}

std::vector<std::wstring> optionNames(const OPTITEM& item, HMODULE driverModule) {
  std::vector<std::wstring> names;
  const OPTTYPE* type = item.pOptType;
  if (type == nullptr || type->pOptParam == nullptr) return names;
  names.reserve(type->Count);
  for (WORD k = 0; k < type->Count; ++k) {
    const LPCWSTR name = type->pOptParam[k].pData;
    if (const std::uint32_t number = nameResourceOf(name)) {
      wchar_t text[kResourceTextChars] = L"";
      const int length =
          driverModule != nullptr ? LoadStringW(driverModule, number, text, kResourceTextChars) : 0;
      names.push_back(length > 0 ? std::wstring(text, static_cast<std::size_t>(length))
                                 : missingOptionName(number));
      continue;
    }
    // A text longer than any option name is cut, not dropped: the row must stay.
    std::size_t length = 0;
    while (name != nullptr && length < kMaxOptionTextChars && name[length] != L'\0') ++length;
    names.emplace_back(name != nullptr ? name : L"", length);
  }
  return names;
}

HMODULE driverModuleOf(const DocumentContext& context) {
  POEMUIOBJ object = uiObjectOf(context);
  if (object == nullptr || object->pOemUIProcs == nullptr) return nullptr;
  HMODULE module = nullptr;
  const auto address = reinterpret_cast<LPCWSTR>(object->pOemUIProcs->DrvGetDriverSetting);
  if (address == nullptr || !GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                                    GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                                address, &module)) {
    return nullptr;
  }
  return module;
}

std::optional<ItemRange> numberItemRange(const OPTITEM& item) {
  const OPTPARAM* range = rangeParameter(item);
  if (range == nullptr) return std::nullopt;
  return ItemRange{static_cast<LONG>(range->IconID), static_cast<LONG>(range->lParam)};
}

bool setNumberItemMaximum(OPTITEM& item, LONG maximum) {
  OPTPARAM* range = rangeParameter(item);
  if (range == nullptr) return false;
  range->lParam = maximum;
  return true;
}

}  // namespace vex
