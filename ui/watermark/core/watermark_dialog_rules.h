// The rules of the watermark dialogs over plain values: the list's New, Edit and Delete, what a
// scroll-bar message does to a position, the offset fields' filter, the font dialog's size and
// style, and the fields of a watermark font file's entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "watermark_store.h"

namespace vex {

// --- The list ---

// Makes `index` the current definition (an index beyond the list counts as 0) and the working
// copy a copy of it; definition 0's copy has no text, so the preview shows none.
void selectWatermark(WatermarkList& list, std::uint32_t index);
// Whether New may open the edit dialog: the list holds fewer than 16 definitions.
bool canAddWatermark(const WatermarkList& list);
// Appends a copy of the working copy and makes it current; false (nothing changed) when full.
bool addWorkingWatermark(WatermarkList& list);
// Copies the working copy into the current definition; false for definition 0, which keeps its
// defaults.
bool storeWorkingWatermark(WatermarkList& list);
// Removes the current definition (not definition 0); the current index becomes 0.
bool deleteCurrentWatermark(WatermarkList& list);
// Edit and Delete act on a user's definition only.
inline bool canEditWatermark(const WatermarkList& list) { return list.currentIndex != 0; }

// --- Scroll bars ---

// The scroll-bar codes of WM_HSCROLL, as the platform numbers them.
enum class ScrollCode : int {
  lineLeft = 0,
  lineRight = 1,
  pageLeft = 2,
  pageRight = 3,
  thumbPosition = 4,
  thumbTrack = 5,
  left = 6,
  right = 7,
  endScroll = 8,
};

// The bar's new position: a line is 1, a page 10, a released thumb its (signed 16-bit) position;
// a dragged thumb and every other code leave it. Always inside minimum .. maximum.
std::int32_t scrollPosition(int code, std::int32_t current, std::int32_t thumb,
                            std::int32_t minimum, std::int32_t maximum);

// --- Offsets ---

inline constexpr std::int32_t kMaxWatermarkOffset = 1000;

struct OffsetField {
  std::u16string kept;     // the digits, and a "-" when it came first
  bool dropped = false;    // a character was dropped: the field is to be rewritten
  bool clamped = false;    // the number lay beyond the limits: the field is to show the limit
  bool hasValue = false;   // false for an empty field, which leaves the value alone
  std::int32_t value = 0;  // the kept text as a number, inside -1000 .. 1000
};
OffsetField filterOffsetField(std::u16string_view text);

// --- Size and angle fields ---

// The unsigned number at the start of the size field taken as a 16-bit signed value; nothing
// when the field holds no digit first.
bool readSizeField(std::u16string_view text, std::int32_t* size);
// The signed number at the start of the angle field; nothing when it holds none.
bool readAngleField(std::u16string_view text, std::int32_t* angle);

// --- The font dialog ---

// The sixteen sizes of the size list (the string table holds their texts).
inline constexpr std::int32_t kFontDialogSizes[16] = {8,  9,  10, 11, 12, 14, 16, 18,
                                                      20, 22, 24, 26, 28, 36, 48, 72};
// The row of `size` in the size list, or -1.
int fontSizeRow(std::int32_t size);
// The typed size: the unsigned number as a 16-bit signed value, then 1 below 0 and 600 above
// (0, and a field without a number, give 0).
std::int32_t typedFontSize(std::u16string_view text);
// The style row of a weight and italic flag: bold (exactly 700) 2, italic 1.
int fontStyleRow(std::int32_t weight, std::uint8_t italic);
// What a style row sets.
std::int32_t fontStyleWeight(int row);
std::uint8_t fontStyleItalic(int row);

// --- The watermark font file ---

// Field n (1-based) of a font entry: fields are separated by "," and ";"; a missing field is
// empty.
std::u16string_view fontEntryField(std::u16string_view entry, std::size_t n);

// The face the preview draws a font's text in: field 2 in the Japanese character set for a font
// whose field 4 begins with its two marker characters, else field 5 in the definition's set.
struct PreviewFace {
  std::u16string name;  // at most 31 characters, as a LOGFONT holds them
  bool shiftJis = false;
};
PreviewFace previewFace(std::u16string_view entry);

}  // namespace vex
