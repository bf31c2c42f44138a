#include "line_marker.h"

#include <cstring>

namespace vex {

LineMarker::LineMarker(std::string_view pattern) : pattern_(pattern) {
  const auto n = static_cast<std::uint32_t>(pattern_.size());
  shift_.fill(n);
  for (std::size_t j = 0; j + 1 < pattern_.size(); ++j) {
    shift_[static_cast<std::uint8_t>(pattern_[j])] = n - 1 - static_cast<std::uint32_t>(j);
  }
}

std::ptrdiff_t LineMarker::find(const std::uint8_t* buffer, std::size_t length) const {
  const std::size_t n = pattern_.size();
  if (n == 0 || buffer == nullptr || length < n) return -1;
  const auto* pattern = reinterpret_cast<const std::uint8_t*>(pattern_.data());
  if (n == 1) {
    const void* hit = std::memchr(buffer, pattern[0], length);
    return hit == nullptr ? -1 : static_cast<const std::uint8_t*>(hit) - buffer;
  }
  const std::uint8_t last = pattern[n - 1];
  std::size_t end = n - 1;  // candidate end of a match
  while (end < length) {
    const std::uint8_t byte = buffer[end];
    if (byte == last) {
      const std::size_t start = end - (n - 1);
      std::size_t k = n - 1;
      while (k > 0 && buffer[start + k - 1] == pattern[k - 1]) --k;
      if (k == 0) return static_cast<std::ptrdiff_t>(start);
    }
    end += shift_[byte];
  }
  return -1;
}

}  // namespace vex
