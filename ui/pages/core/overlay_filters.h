// What the define-overlay dialog lets into its fields and what its OK accepts, over plain text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vex {

struct FilteredText {
  std::u16string text;
  std::size_t removed = 0;  // characters taken out (the caret moves back by as many)
};

// The custom page list: page numbers of at most four digits without a leading zero, one dash per
// comma-separated item, a dash or comma only after a digit; everything else is taken out.
FilteredText filterCustomPages(std::u16string_view text);

// The page mode after the custom page list changed: text makes it custom (4), no text turns
// custom back into all pages (0); other modes stay otherwise.
std::uint16_t pageModeForCustomPages(std::uint16_t pageMode, std::u16string_view filteredText);

// A form name: ASCII above the space, without " % ( ) * / : < > ? [ \ ] { | }.
FilteredText filterFormName(std::u16string_view text);

// A form name may not end with a full stop (message 10024).
bool formNameEndsWithStop(std::u16string_view name);

// What OK of the define-overlay dialog says, in the order the dialog checks.
enum class DefineOverlayVerdict {
  accept,
  noName,         // message 10023
  duplicateName,  // message 10020, once per equal name
  noForm,         // message 10021
};
struct DefineOverlayCheck {
  DefineOverlayVerdict verdict = DefineOverlayVerdict::accept;
  std::size_t duplicates = 0;
};
// `otherNames`: every defined overlay but the one being edited.
DefineOverlayCheck checkDefinedOverlay(std::u16string_view name,
                                       std::span<const std::u16string_view> otherNames,
                                       std::size_t formCount);

}  // namespace vex
