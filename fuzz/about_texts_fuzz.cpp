// Fuzz target: the about box's PPD line readers and the version text over any bytes. The
// property: every text stays within its bound and no reader reads outside its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "about_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const char* keyword : {"FileVersion", "Copyright"}) {
    const std::string piece = vex::findPpdPiece(bytes, keyword);
    if (piece.size() > vex::kPpdPieceBytes) std::abort();
    if (vex::ppdFileVersion(piece).size() > vex::kAboutTextChars) std::abort();
    if (vex::ppdCopyright(piece).size() > vex::kAboutTextChars) std::abort();
  }
  if (vex::ppdFileVersion(bytes).size() > vex::kAboutTextChars) std::abort();
  if (vex::ppdCopyright(bytes).size() > vex::kAboutTextChars) std::abort();

  // The same bytes as three version values, split at the first two zero bytes.
  std::u16string values[3];
  int field = 0;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (c == 0 && field < 2) {
      ++field;
      continue;
    }
    values[field].push_back(c);
  }
  const vex::VersionValues version{values[0], values[1], values[2]};
  const std::u16string text = vex::driverVersionText(version);
  if (text.size() > vex::kOptionVerChars) std::abort();
  return 0;
}
