// A minimal PNG encoder for the runner's screenshots: 8-bit RGB, stored (uncompressed) deflate
// blocks, so that no image library is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vex::uihost {

// `rgb` holds height rows of width pixels, 3 bytes each (red, green, blue), top row first.
// Returns the PNG file's bytes; empty when the sizes do not match or are out of bounds.
std::string encodePng(std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint8_t>& rgb);

}  // namespace vex::uihost
