// Substring search over the outgoing job stream: Boyer-Moore-Horspool with a 256-entry shift
// table, so that scanning a buffered job header is sub-linear in practice.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vex {

class LineMarker {
 public:
  explicit LineMarker(std::string_view pattern);

  // Offset of the first occurrence in the buffer, or -1. An empty pattern never matches.
  std::ptrdiff_t find(const std::uint8_t* buffer, std::size_t length) const;
  std::ptrdiff_t find(std::string_view text) const {
    return find(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  }

  std::size_t length() const { return pattern_.size(); }
  std::uint32_t shift(std::uint8_t byte) const { return shift_[byte]; }

 private:
  std::string pattern_;
  std::array<std::uint32_t, 256> shift_{};
};

}  // namespace vex
