// What a job-name field accepts (the print-time dialog and the job password dialog). The name
// goes into a quoted PJL line, so the field keeps only printable ASCII without the double quote;
// everything else that reaches it (a pasted or composed character, a quote, a control character)
// is taken out again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vex {

// Characters the field holds (EM_LIMITTEXT) and reads back.
inline constexpr std::size_t kJobNameMaxChars = 16;

// True for the characters a job name may hold: ' ' to '~' except '"'.
bool isJobNameCharacter(char16_t c);

// The field after an edit.
struct JobNameEdit {
  std::u16string text;      // the accepted characters of the field, in their order
  std::size_t removed = 0;  // how many were taken out
  std::size_t caret = 0;    // selection end less the characters removed, never below 0
};

// Filters the field's text; `selectionEnd` is the caret as the edit left it.
JobNameEdit filterJobName(std::u16string_view text, std::size_t selectionEnd);

}  // namespace vex
