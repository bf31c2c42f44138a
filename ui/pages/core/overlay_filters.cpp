#include "overlay_filters.h"

namespace vex {
namespace {

constexpr std::size_t kMaxPageDigits = 4;
constexpr std::uint16_t kCustomPages = 4;
constexpr std::uint16_t kAllPages = 0;
constexpr std::u16string_view kForbiddenInFormNames = u"\"%()*/:<>?[\\]{|}";

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

FilteredText filterCustomPages(std::u16string_view text) {
  FilteredText result;
  std::size_t digits = 0;  // of the current number
  bool itemHasDash = false;
  for (const char16_t c : text) {
    bool keep = false;
    if (isDigit(c)) {
      keep = digits < kMaxPageDigits && !(c == u'0' && digits == 0);
      if (keep) ++digits;
    } else if (c == u'-') {
      keep = digits > 0 && !itemHasDash;
      if (keep) {
        digits = 0;
        itemHasDash = true;
      }
    } else if (c == u',') {
      keep = digits > 0;
      if (keep) {
        digits = 0;
        itemHasDash = false;
      }
    }
    if (keep) {
      result.text.push_back(c);
    } else {
      ++result.removed;
    }
  }
  return result;
}

std::uint16_t pageModeForCustomPages(std::uint16_t pageMode, std::u16string_view filteredText) {
  if (!filteredText.empty()) return kCustomPages;
  return pageMode == kCustomPages ? kAllPages : pageMode;
}

FilteredText filterFormName(std::u16string_view text) {
  FilteredText result;
  for (const char16_t c : text) {
    const bool keep =
        c > u' ' && c <= 0x7F && kForbiddenInFormNames.find(c) == std::u16string_view::npos;
    if (keep) {
      result.text.push_back(c);
    } else {
      ++result.removed;
    }
  }
  return result;
}

bool formNameEndsWithStop(std::u16string_view name) { return !name.empty() && name.back() == u'.'; }

DefineOverlayCheck checkDefinedOverlay(std::u16string_view name,
                                       std::span<const std::u16string_view> otherNames,
                                       std::size_t formCount) {
  DefineOverlayCheck check;
  if (name.empty()) {
    check.verdict = DefineOverlayVerdict::noName;
    return check;
  }
  for (const std::u16string_view other : otherNames) {
    if (other == name) ++check.duplicates;
  }
  if (check.duplicates > 0) {
    check.verdict = DefineOverlayVerdict::duplicateName;
  } else if (formCount == 0) {
    check.verdict = DefineOverlayVerdict::noForm;
  }
  return check;
}

}  // namespace vex
