// Where the parts of a device-independent bitmap (a bitmap resource: info header, optional
// colour masks, colour table, pixel rows) lie, checked against the bytes that are really there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vex {

struct DibLayout {
  bool valid = false;
  std::int32_t width = 0;
  std::int32_t height = 0;  // rows; negative in the header for top-down bitmaps
  std::uint16_t bitCount = 0;
  // Colours of the logical palette: the header's used-colour count, or 2^bitCount when that is
  // 0; none above 8 bits per pixel.
  std::uint32_t paletteEntries = 0;
  std::size_t colourTableOffset = 0;  // the RGBQUAD entries, after the header and any masks
  std::size_t bitsOffset = 0;
  std::size_t bitsSize = 0;
};

// Accepts uncompressed 1, 4, 8, 16, 24 and 32-bit pictures (bit-field masks for 16 and 32) whose
// sides are at most `maxSide` pixels and whose header, colour table and rows all fit in `size`.
DibLayout dibLayout(const std::uint8_t* data, std::size_t size, std::int32_t maxSide);

}  // namespace vex
