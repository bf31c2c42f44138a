// Bounded reading of the driver's option items: the driver hands its tree over as raw blocks,
// and nothing in them (counts, names, keywords, option lists) is trusted beyond its bounds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string_view>

#include "oem/oem_platform.h"
#include "property_item_rules.h"

namespace vex {

// Keywords and option names longer than this are nobody's we know.
inline constexpr std::size_t kMaxKeywordBytes = 128;
inline constexpr std::size_t kMaxOptionTextChars = 128;

// The driver item at `index`, or null when the tree has no such item.
inline OPTITEM* driverItem(POEMCUIPPARAM param, DWORD index) {
  if (param == nullptr || param->pDrvOptItems == nullptr || index >= param->cDrvOptItems ||
      index >= kNoItem) {
    return nullptr;
  }
  return &param->pDrvOptItems[index];
}

// Calls fn(index, item) for each driver item; indexes stop below kNoItem, which means "none".
template <typename Fn>
void forEachDriverItem(POEMCUIPPARAM param, Fn fn) {
  if (param == nullptr || param->pDrvOptItems == nullptr) return;
  const DWORD count = param->cDrvOptItems < kNoItem ? param->cDrvOptItems : kNoItem;
  for (DWORD i = 0; i < count; ++i) fn(i, param->pDrvOptItems[i]);
}

// The item's USERDATA when it holds the fields read here.
inline const USERDATA* userDataOf(const OPTITEM& item) {
  const auto* data = reinterpret_cast<const USERDATA*>(item.UserData);
  if (data == nullptr || data->dwSize < offsetof(USERDATA, pKeyWordName) + sizeof(PSTR)) {
    return nullptr;
  }
  return data;
}

// The item's PPD keyword; a missing or over-long keyword reads as none.
inline std::optional<std::string_view> keywordOf(const OPTITEM& item) {
  const USERDATA* data = userDataOf(item);
  if (data == nullptr || data->pKeyWordName == nullptr) return std::nullopt;
  const char* text = data->pKeyWordName;
  std::size_t length = 0;
  while (length <= kMaxKeywordBytes && text[length] != '\0') ++length;
  if (length > kMaxKeywordBytes) return std::nullopt;
  return std::string_view(text, length);
}

// A name given as a resource number (the common UI's convention for names below 0x10000).
inline std::uint32_t nameResourceOf(LPCWSTR name) {
  return name != nullptr && IS_INTRESOURCE(name)
             ? static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(name))
             : 0;
}

inline DocumentItemFacts itemFacts(const OPTITEM& item) {
  DocumentItemFacts facts;
  facts.dmPubId = item.DMPubID;
  if (const USERDATA* data = userDataOf(item)) facts.itemId = data->dwItemID;
  facts.nameResource = nameResourceOf(item.pName);
  facts.keyword = keywordOf(item);
  return facts;
}

// A text (not a resource number) of at most kMaxOptionTextChars characters, else empty.
inline std::u16string_view boundedText(LPCWSTR text) {
  if (text == nullptr || IS_INTRESOURCE(text)) return {};
  std::size_t length = 0;
  while (length <= kMaxOptionTextChars && text[length] != L'\0') ++length;
  if (length > kMaxOptionTextChars) return {};
  return std::u16string_view(reinterpret_cast<const char16_t*>(text), length);
}

// Calls fn(option, text) for each option of the item that has a text name.
template <typename Fn>
void forEachOptionText(OPTITEM& item, Fn fn) {
  if (item.pOptType == nullptr || item.pOptType->pOptParam == nullptr) return;
  for (WORD k = 0; k < item.pOptType->Count; ++k) {
    OPTPARAM& option = item.pOptType->pOptParam[k];
    const std::u16string_view text = boundedText(option.pData);
    if (!text.empty()) fn(option, text);
  }
}

}  // namespace vex
