#include "job_name_filter.h"

namespace vex {

bool isJobNameCharacter(char16_t c) { return c >= u' ' && c <= u'~' && c != u'"'; }

JobNameEdit filterJobName(std::u16string_view text, std::size_t selectionEnd) {
  JobNameEdit edit;
  edit.text.reserve(text.size());
  for (const char16_t c : text) {
    if (isJobNameCharacter(c)) {
      edit.text.push_back(c);
    } else {
      ++edit.removed;
    }
  }
  edit.caret = selectionEnd > edit.removed ? selectionEnd - edit.removed : 0;
  return edit;
}

}  // namespace vex
