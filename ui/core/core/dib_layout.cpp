#include "dib_layout.h"

namespace vex {
namespace {

constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later headers are larger
constexpr std::uint32_t kRgb = 0;            // BI_RGB
constexpr std::uint32_t kBitFields = 3;      // BI_BITFIELDS

std::uint32_t u32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

}  // namespace

DibLayout dibLayout(const std::uint8_t* data, std::size_t size, std::int32_t maxSide) {
  DibLayout layout;
  if (data == nullptr || size < kInfoHeaderSize) return layout;
  const std::uint32_t headerSize = u32(data);
  if (headerSize < kInfoHeaderSize || headerSize > size) return layout;
  const auto width = static_cast<std::int32_t>(u32(data + 4));
  const auto height = static_cast<std::int32_t>(u32(data + 8));
  const std::uint16_t planes = u16(data + 12);
  const std::uint16_t bitCount = u16(data + 14);
  const std::uint32_t compression = u32(data + 16);
  const std::uint32_t usedColours = u32(data + 32);

  if (planes != 1) return layout;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32) {
    return layout;
  }
  const bool bitFields = compression == kBitFields;
  if (compression != kRgb && !(bitFields && (bitCount == 16 || bitCount == 32))) return layout;
  // Compared as 64-bit values: -INT32_MIN does not exist as a 32-bit one.
  const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
  if (width <= 0 || width > maxSide || rows == 0 || rows > maxSide) return layout;

  // The colour table: at most one entry per pixel value, and never more than 256.
  std::uint64_t tableEntries = usedColours;
  if (bitCount <= 8) {
    const std::uint32_t values = 1u << bitCount;
    if (tableEntries == 0) tableEntries = values;
    if (tableEntries > values) return layout;
  } else if (tableEntries > 256) {
    return layout;
  }
  // Only a plain info header is followed by separate masks; later headers hold them inside.
  const std::uint64_t masks = bitFields && headerSize == kInfoHeaderSize ? 12 : 0;
  const std::uint64_t tableOffset = headerSize + masks;
  const std::uint64_t bitsOffset = tableOffset + tableEntries * 4;
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
  const std::uint64_t bitsSize = stride * static_cast<std::uint64_t>(rows);
  if (bitsOffset > size || bitsSize > size - bitsOffset) return layout;

  layout.valid = true;
  layout.width = width;
  layout.height = height;
  layout.bitCount = bitCount;
  layout.paletteEntries = bitCount <= 8 ? static_cast<std::uint32_t>(tableEntries) : 0;
  layout.colourTableOffset = static_cast<std::size_t>(tableOffset);
  layout.bitsOffset = static_cast<std::size_t>(bitsOffset);
  layout.bitsSize = static_cast<std::size_t>(bitsSize);
  return layout;
}

}  // namespace vex
