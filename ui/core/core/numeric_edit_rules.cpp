#include "numeric_edit_rules.h"

#include <cstdint>
#include <limits>

namespace vex {
namespace {

bool isSign(char16_t c) { return c == u'-' || c == u'+'; }

bool isBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The keystroke at `typed` (an index into the text) may stand.
bool keystrokeAllowed(std::u16string_view text, std::size_t typed, bool isSigned) {
  const char16_t c = text[typed];
  if (c >= u'1' && c <= u'9') return true;
  if (text == u"0") return true;
  if (c == u'0' && typed > 0) return true;  // a zero after the first position
  // One leading sign on a signed field, but not a sign in front of another one.
  return isSigned && isSign(c) && typed == 0 && !(text.size() > 1 && isSign(text[1]));
}

}  // namespace

std::int32_t readLeadingInteger(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && isSign(text[i])) negative = text[i++] == u'-';
  // Accumulated as a magnitude that stops growing once past the 32-bit range.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - u'0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(value);
}

NumericEditDecision decideNumericEdit(std::u16string_view text, std::size_t caret, bool isSigned,
                                      std::int32_t minimum, std::int32_t maximum) {
  NumericEditDecision decision;
  if (caret > text.size()) caret = text.size();
  if (caret == 0) return decision;  // nothing typed before the caret: nothing to judge
  if (!keystrokeAllowed(text, caret - 1, isSigned)) {
    decision.action = NumericEditAction::refuse;
    return decision;
  }
  decision.value = readLeadingInteger(text);
  if (decision.value < minimum) {
    decision.action = NumericEditAction::clampToMin;
    decision.value = minimum;
  } else if (decision.value > maximum) {
    decision.action = NumericEditAction::clampToMax;
    decision.value = maximum;
  }
  return decision;
}

std::optional<std::int32_t> parseBoundedNumber(std::u16string_view text, std::int32_t minimum,
                                               std::int32_t maximum) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  const std::size_t digits = i;
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > (std::int64_t{1} << 32)) return std::nullopt;  // beyond any range of a field
  }
  if (i == digits) return std::nullopt;
  while (i < text.size() && text[i] == u' ') ++i;
  if (i != text.size()) return std::nullopt;
  if (negative) value = -value;
  if (value < minimum || value > maximum) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace vex
