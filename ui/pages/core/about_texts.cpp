#include "about_texts.h"

#include <algorithm>

namespace vex {
namespace {

constexpr std::size_t kDriverVerPartChars = 5;
constexpr std::size_t kInternalTailLimit = 246;

std::string_view withoutLineEnd(std::string_view piece) {
  while (!piece.empty() && (piece.back() == '\n' || piece.back() == '\r')) piece.remove_suffix(1);
  return piece;
}

std::string bounded(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kAboutTextChars)));
}

}  // namespace

std::string findPpdPiece(std::string_view ppd, std::string_view keyword) {
  if (keyword.empty()) return {};
  std::size_t start = 0;
  while (start < ppd.size()) {
    // A piece ends after its line feed or when the buffer is full.
    const std::size_t feed = ppd.find('\n', start);
    const std::size_t lineEnd = feed == std::string_view::npos ? ppd.size() : feed + 1;
    const std::size_t end = std::min(lineEnd, start + kPpdPieceBytes);
    const std::string_view piece = ppd.substr(start, end - start);
    if (piece.find(keyword) != std::string_view::npos) return std::string(withoutLineEnd(piece));
    start = end;
  }
  return {};
}

std::string ppdFileVersion(std::string_view line) {
  const std::size_t open = line.find('"');
  if (open == std::string_view::npos) return {};
  const std::size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return bounded(line.substr(open + 1, close - open - 1));
}

std::string ppdCopyright(std::string_view line) {
  line = withoutLineEnd(line);
  const std::size_t space = line.find(' ');
  if (space == std::string_view::npos) return {};
  return bounded(line.substr(space + 1));
}

std::u16string driverVersionText(const VersionValues& values) {
  const std::u16string_view option =
      std::u16string_view(values.optionVer).substr(0, kOptionVerChars);
  if (!option.empty()) return std::u16string(option);

  std::u16string version;
  const std::u16string_view driver =
      std::u16string_view(values.driverVer).substr(0, kDriverVerChars);
  const std::size_t comma = driver.find(u',');
  if (comma != std::u16string_view::npos) {
    std::u16string_view part = driver.substr(comma + 1);
    part = part.substr(0, part.find(u'"'));
    version = part.substr(0, kDriverVerPartChars);
  }

  const std::u16string_view internal =
      std::u16string_view(values.internalVer).substr(0, kInternalVerChars);
  bool quoted = false;
  int dashes = 0;
  for (std::size_t i = 0; i < internal.size(); ++i) {
    const char16_t c = internal[i];
    if (c == u'"') {
      quoted = !quoted;
      continue;
    }
    if (quoted || c != u'-' || ++dashes < 2) continue;
    if (internal.size() - i > kInternalTailLimit) break;
    std::u16string_view tail = internal.substr(i + 1);
    if (!tail.empty() && tail.front() == u'"') {
      tail.remove_prefix(1);
      if (!tail.empty()) tail.remove_suffix(1);
    }
    version += tail;
    break;
  }
  return version;
}

Band internalVersionBand(long clientWidth, long copyrightBottom) {
  return {10, copyrightBottom + 2, clientWidth - 10, copyrightBottom + 22};
}

bool strictlyInside(const Band& rect, long x, long y) {
  return x > rect.left && x < rect.right && y > rect.top && y < rect.bottom;
}

}  // namespace vex
