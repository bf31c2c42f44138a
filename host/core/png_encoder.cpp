#include "png_encoder.h"

#include <array>

namespace vex::uihost {
namespace {

constexpr std::uint32_t kMaxSide = 8192;

std::uint32_t crc32(const std::string& bytes, std::size_t from) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = from; i < bytes.size(); ++i) {
    c = table[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
  }
  return c ^ 0xFFFFFFFFu;
}

void putU32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(value >> shift));
}

void chunk(std::string& out, const char* type, const std::string& data) {
  putU32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.append(type, 4);
  out += data;
  putU32(out, crc32(out, start));
}

}  // namespace

std::string encodePng(std::uint32_t width, std::uint32_t height,
                      const std::vector<std::uint8_t>& rgb) {
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
      rgb.size() != static_cast<std::size_t>(width) * height * 3) {
    return {};
  }
  // The image data: each row behind filter byte 0, in stored deflate blocks of at most 65535.
  std::string raw;
  raw.reserve(static_cast<std::size_t>(width * 3 + 1) * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(rgb.data()) + static_cast<std::size_t>(y) * width * 3,
               static_cast<std::size_t>(width) * 3);
  }
  std::string zlib("\x78\x01", 2);
  std::size_t at = 0;
  do {
    const std::size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
    const bool last = at + length == raw.size();
    zlib.push_back(last ? 1 : 0);
    zlib.push_back(static_cast<char>(length & 0xFF));
    zlib.push_back(static_cast<char>(length >> 8));
    zlib.push_back(static_cast<char>(~length & 0xFF));
    zlib.push_back(static_cast<char>((~length >> 8) & 0xFF));
    zlib.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  std::uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<std::uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  putU32(zlib, (b << 16) | a);

  std::string header;
  putU32(header, width);
  putU32(header, height);
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, deflate, no filter, no interlace
  std::string out("\x89PNG\r\n\x1a\n", 8);
  chunk(out, "IHDR", header);
  chunk(out, "IDAT", zlib);
  chunk(out, "IEND", "");
  return out;
}

}  // namespace vex::uihost
