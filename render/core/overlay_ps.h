// The overlay form block written at the document setup: the selected overlays, read from the
// overlay store of the plug-in INI file, handed to the printer's @VXFormDict.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

// Most forms an overlay is read with (the dialog allows three).
inline constexpr std::size_t kMaxOverlayForms = 3;

// One stored overlay as the store holds it (texts bounded by the reader).
struct OverlayEntry {
  std::vector<std::u16string> formNames;  // Form_Name 0 .. Form_Num - 1
  std::uint16_t pageMode = 0;             // PageMode
  std::u16string customPage;              // CustomPage, used when pageMode is 4
};

// A form name as the overlay dialog lets a user enter it: 1 to 63 printable ASCII characters
// other than " % ( ) * / : < > ? [ \ ] { | }, not ending in ".".
bool isFormName(std::u16string_view name);

// The PageArray items of a custom page list ("1,3-4,7-" gives " [1 1] [3 4] [7 9999]"). Items
// that are not page numbers of digits (a lower number, optionally a dash and an upper number)
// are left out.
std::string customPageItems(std::u16string_view pages);

// The block's writes, in order: opening text, then per overlay its lines, then the closing
// text (the last element; its result is the block's).
std::vector<std::string> overlayBlockWrites(const std::vector<OverlayEntry>& overlays);

}  // namespace vex
