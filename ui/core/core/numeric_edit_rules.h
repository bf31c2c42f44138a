// What a numeric edit field does with a keystroke, over plain values: the dialogs' edit guard
// asks this after every update of the field's text and carries out the answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vex {

enum class NumericEditAction {
  keep,        // leave the text as typed
  refuse,      // beep, restore the remembered text, caret back one position
  clampToMin,  // the field becomes the minimum
  clampToMax,  // the field becomes the maximum
};

struct NumericEditDecision {
  NumericEditAction action = NumericEditAction::keep;
  std::int32_t value = 0;  // the text read as an integer (the clamped value when clamping)
};

// `caret` is the start of the selection after the update, so the character just typed stands at
// caret - 1. A caret of 0 decides nothing; a caret past the end of the text counts as the end.
NumericEditDecision decideNumericEdit(std::u16string_view text, std::size_t caret, bool isSigned,
                                      std::int32_t minimum, std::int32_t maximum);

// The leading integer of a text, read as the C library's atoi reads it (blanks, one sign,
// decimal digits up to the first other character; no digits → 0), but saturating at the 32-bit
// limits instead of overflowing.
std::int32_t readLeadingInteger(std::u16string_view text);

// A whole field read as a number: optional blanks around one optional sign and decimal digits,
// nothing else; nullopt when it is not such a number or lies outside minimum .. maximum.
std::optional<std::int32_t> parseBoundedNumber(std::u16string_view text, std::int32_t minimum,
                                               std::int32_t maximum);

}  // namespace vex
