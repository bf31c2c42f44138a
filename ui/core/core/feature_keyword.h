// The printer's "FeatureKeyword" block: its installable-option keywords with their option texts,
// each entry a keyword, a NUL, the text, a NUL and a line feed; two NULs end the block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vex {

inline constexpr std::size_t kFeatureKeywordBytes = 256;
using FeatureKeywordBlock = std::array<std::uint8_t, kFeatureKeywordBytes>;

enum class KeywordEdit {
  NotFound,  // the keyword is absent: the block is unchanged
  Replaced,  // the block holds the new text; the length is the new length
  Refused,   // the result would not fit the block (or the arguments cannot form an entry): the
             // block is unchanged and the caller keeps its old block
};

struct KeywordEditResult {
  KeywordEdit outcome = KeywordEdit::NotFound;
  std::size_t length = 0;
};

// Sets the option text of `keyword` in the first `length` bytes of `block` (a stated length beyond
// the block counts as the whole block). The block is scanned left to right for the keyword and
// its NUL, the match restarting at the keyword's first character after each mismatch; each
// match's old text, up to and including its line feed, is replaced by `text`, a NUL and a line
// feed. Copying ends at the first pair of NULs, which stay in the result; a block that runs out
// without them gets them added. Keywords and texts holding a NUL, and an empty keyword, are
// refused.
KeywordEditResult setFeatureKeyword(FeatureKeywordBlock& block, std::size_t length,
                                    std::string_view keyword, std::string_view text);

}  // namespace vex
