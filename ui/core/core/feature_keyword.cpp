#include "feature_keyword.h"

#include <algorithm>

namespace vex {
namespace {

// The work area the edited block is built in; every write is bounded by its capacity.
class WorkArea {
 public:
  bool put(std::uint8_t byte) {
    if (size_ >= kFeatureKeywordBytes) return false;
    bytes_[size_++] = byte;
    return true;
  }
  bool put(std::string_view text) {
    if (text.size() > kFeatureKeywordBytes - size_) return false;
    for (char c : text) bytes_[size_++] = static_cast<std::uint8_t>(c);
    return true;
  }
  std::size_t size() const { return size_; }
  std::uint8_t last() const { return size_ ? bytes_[size_ - 1] : 0xFF; }
  const FeatureKeywordBlock& bytes() const { return bytes_; }

 private:
  FeatureKeywordBlock bytes_{};
  std::size_t size_ = 0;
};

}  // namespace

KeywordEditResult setFeatureKeyword(FeatureKeywordBlock& block, std::size_t length,
                                    std::string_view keyword, std::string_view text) {
  const std::size_t n = std::min(length, kFeatureKeywordBytes);
  const KeywordEditResult unchanged{KeywordEdit::NotFound, n};
  const KeywordEditResult refused{KeywordEdit::Refused, n};
  if (keyword.empty() || keyword.find('\0') != std::string_view::npos ||
      text.find('\0') != std::string_view::npos) {
    return refused;
  }

  WorkArea out;
  bool replaced = false;
  bool terminated = false;
  std::size_t matched = 0;  // characters of keyword + NUL matched so far
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t byte = block[i];
    if (!out.put(byte)) return refused;
    const std::uint8_t expected =
        matched < keyword.size() ? static_cast<std::uint8_t>(keyword[matched]) : 0;
    if (byte == expected) {
      if (++matched == keyword.size() + 1) {
        // The keyword and its NUL: the new text follows, the old one is skipped.
        if (!out.put(text) || !out.put(0) || !out.put('\n')) return refused;
        replaced = true;
        matched = 0;
        ++i;
        while (i < n && block[i] != '\n') ++i;
        if (i < n) ++i;  // past the old entry's line feed
        continue;
      }
    } else {
      matched = 0;
    }
    if (byte == 0 && i + 1 < n && block[i + 1] == 0) {
      if (!out.put(0)) return refused;
      terminated = true;
      break;
    }
    ++i;
  }
  if (!replaced) return unchanged;
  if (!terminated) {
    // The source ran out before its end mark: the edited block gets one.
    if (out.last() != 0 && !out.put(0)) return refused;
    if (!out.put(0)) return refused;
  }
  block = out.bytes();  // bytes past the new length are zero
  return {KeywordEdit::Replaced, out.size()};
}

}  // namespace vex
