#include "dib_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

struct Header {
  std::uint32_t headerSize = 40;
  std::int32_t width = 12;
  std::int32_t height = 9;
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 8;
  std::uint32_t compression = 0;
  std::uint32_t usedColours = 0;
};

// A header followed by `extra` zero bytes.
std::vector<std::uint8_t> dib(const Header& h, std::size_t extra) {
  std::vector<std::uint8_t> b(40 + extra, 0);
  put32(b, 0, h.headerSize);
  put32(b, 4, static_cast<std::uint32_t>(h.width));
  put32(b, 8, static_cast<std::uint32_t>(h.height));
  put16(b, 12, h.planes);
  put16(b, 14, h.bitCount);
  put32(b, 16, h.compression);
  put32(b, 32, h.usedColours);
  return b;
}

constexpr std::int32_t kMaxSide = 4096;

TEST(DibLayout, PartsOfWellFormedPictures) {
  const struct {
    const char* what;
    Header header;
    std::size_t extra;
    std::uint32_t palette;
    std::size_t table;
    std::size_t bits;
    std::size_t bitsSize;
  } cases[] = {
      // 12 pixels of 8 bits: rows of 12 bytes; 256 colours by default.
      {"8-bit, full table", {}, 1024 + 12 * 9, 256, 40, 40 + 1024, 12 * 9},
      {"8-bit, used colours 3", {.usedColours = 3}, 12 + 12 * 9, 3, 40, 52, 12 * 9},
      {"8-bit, top-down", {.height = -9}, 1024 + 12 * 9, 256, 40, 1064, 12 * 9},
      // 12 pixels of 24 bits = 36 bytes per row, already a multiple of 4.
      {"24-bit, no palette", {.bitCount = 24}, 36 * 9, 0, 40, 40, 36 * 9},
      {"24-bit, optional table is skipped",
       {.bitCount = 24, .usedColours = 2},
       8 + 36 * 9,
       0,
       40,
       48,
       36 * 9},
      {"1-bit rows round up to 4 bytes", {.bitCount = 1}, 8 + 4 * 9, 2, 40, 48, 4 * 9},
      {"4-bit", {.bitCount = 4}, 64 + 8 * 9, 16, 40, 104, 8 * 9},
      {"32-bit with masks", {.bitCount = 32, .compression = 3}, 12 + 48 * 9, 0, 52, 52, 48 * 9},
      {"larger header holds the masks",
       {.headerSize = 124, .bitCount = 32, .compression = 3},
       84 + 48 * 9,
       0,
       124,
       124,
       48 * 9},
      {"trailing bytes are allowed", {.bitCount = 24}, 36 * 9 + 100, 0, 40, 40, 36 * 9},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> bytes = dib(c.header, c.extra);
    const vex::DibLayout layout = vex::dibLayout(bytes.data(), bytes.size(), kMaxSide);
    ASSERT_TRUE(layout.valid) << c.what;
    EXPECT_EQ(layout.paletteEntries, c.palette) << c.what;
    EXPECT_EQ(layout.colourTableOffset, c.table) << c.what;
    EXPECT_EQ(layout.bitsOffset, c.bits) << c.what;
    EXPECT_EQ(layout.bitsSize, c.bitsSize) << c.what;
    EXPECT_EQ(layout.width, c.header.width) << c.what;
    EXPECT_EQ(layout.height, c.header.height) << c.what;
  }
}

TEST(DibLayout, DamagedOrUnsupportedPicturesAreRefused) {
  const struct {
    const char* what;
    Header header;
    std::size_t extra;
  } cases[] = {
      {"rows one byte short", {}, 1024 + 12 * 9 - 1},
      {"colour table cut", {}, 100},
      {"used colours beyond 8 bits", {.usedColours = 257}, 1028 + 12 * 9},
      {"used colours huge", {.usedColours = 0xFFFFFFFF}, 2000},
      {"24-bit table huge", {.bitCount = 24, .usedColours = 100000}, 36 * 9},
      {"header size too small (old core header)", {.headerSize = 12}, 1024 + 12 * 9},
      {"header size beyond the data", {.headerSize = 5000}, 1024 + 12 * 9},
      {"header size huge", {.headerSize = 0xFFFFFFF0}, 1024 + 12 * 9},
      {"zero width", {.width = 0}, 1024},
      {"negative width", {.width = -12}, 1024 + 12 * 9},
      {"zero height", {.height = 0}, 1024},
      {"most negative height", {.height = INT32_MIN}, 1024},
      {"sides beyond the limit", {.width = 100000, .height = 100000}, 64},
      {"side one beyond the limit", {.width = 4097, .height = 1, .bitCount = 24}, 3 * 4100},
      {"two planes", {.planes = 2}, 1024 + 12 * 9},
      {"bit count 7", {.bitCount = 7}, 1024 + 12 * 9},
      {"bit count 0 (compressed formats)", {.bitCount = 0}, 1024 + 12 * 9},
      {"run-length compression", {.compression = 1}, 1024 + 12 * 9},
      {"masks on an 8-bit picture", {.compression = 3}, 1036 + 12 * 9},
      {"masks cut", {.bitCount = 32, .compression = 3}, 48 * 9},
  };
  for (const auto& c : cases) {
    const std::vector<std::uint8_t> bytes = dib(c.header, c.extra);
    EXPECT_FALSE(vex::dibLayout(bytes.data(), bytes.size(), kMaxSide).valid) << c.what;
  }
}

TEST(DibLayout, ShortOrMissingData) {
  const std::vector<std::uint8_t> bytes = dib(Header{.bitCount = 24}, 36 * 9);
  for (std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{39}, std::size_t{40}, bytes.size() - 1}) {
    EXPECT_FALSE(vex::dibLayout(bytes.data(), size, kMaxSide).valid) << size;
  }
  EXPECT_FALSE(vex::dibLayout(nullptr, 4096, kMaxSide).valid);
  EXPECT_TRUE(vex::dibLayout(bytes.data(), bytes.size(), kMaxSide).valid);
  EXPECT_FALSE(vex::dibLayout(bytes.data(), bytes.size(), 11).valid) << "limit below the width";
}

}  // namespace
