// Fuzz target: the "FeatureKeyword" edit over any block bytes, any stated size, any keyword and
// text. Input: 2 bytes stated size, 1 byte keyword length, 1 byte text length, 1 byte splice
// position, keyword, text, and the rest as the block (at most 256 bytes are used; the block is
// the 256-byte area). A splice position below 255 copies the keyword and a NUL into the block
// there, so that random blocks hold the keyword often.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "feature_keyword.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  const std::size_t stated = (std::size_t{data[0]} | (std::size_t{data[1]} << 8)) % 600;
  std::size_t keywordLength = data[2] % 32;
  std::size_t textLength = data[3];
  const std::size_t splice = data[4];
  data += 5;
  size -= 5;
  keywordLength = keywordLength < size ? keywordLength : size;
  const std::string_view keyword(reinterpret_cast<const char*>(data), keywordLength);
  data += keywordLength;
  size -= keywordLength;
  textLength = textLength < size ? textLength : size;
  const std::string_view text(reinterpret_cast<const char*>(data), textLength);
  data += textLength;
  size -= textLength;

  // The block lives in a heap area of exactly its size: a write past it is caught by ASan.
  auto* block =
      static_cast<vex::FeatureKeywordBlock*>(std::malloc(sizeof(vex::FeatureKeywordBlock)));
  std::memset(block->data(), 0, block->size());
  std::memcpy(block->data(), data, size < block->size() ? size : block->size());
  if (splice < 255) {
    for (std::size_t i = 0; i <= keyword.size() && splice + i < block->size(); ++i) {
      (*block)[splice + i] = i < keyword.size() ? static_cast<std::uint8_t>(keyword[i]) : 0;
    }
  }
  const vex::FeatureKeywordBlock before = *block;

  const vex::KeywordEditResult result = vex::setFeatureKeyword(*block, stated, keyword, text);
  if (result.length > vex::kFeatureKeywordBytes) std::abort();
  if (result.outcome != vex::KeywordEdit::Replaced) {
    if (*block != before) std::abort();  // refused or absent: not touched
    if (result.length !=
        (stated < vex::kFeatureKeywordBytes ? stated : vex::kFeatureKeywordBytes)) {
      std::abort();
    }
  } else {
    // A replaced block ends in its two NULs, and nothing stale follows them.
    if (result.length < 2 || (*block)[result.length - 1] != 0 || (*block)[result.length - 2] != 0) {
      std::abort();
    }
    for (std::size_t i = result.length; i < block->size(); ++i) {
      if ((*block)[i] != 0) std::abort();
    }
    // ... and holds the new entry.
    std::string entry(keyword);
    entry.push_back('\0');
    entry.append(text);
    entry.append("\0\n", 2);
    const std::string_view edited(reinterpret_cast<const char*>(block->data()), result.length);
    if (edited.find(entry) == std::string_view::npos) std::abort();
  }
  std::free(block);
  return 0;
}
