// Arbitrary bytes as the record's watermark block and texts, as a formatter template, and as the
// overlay store's texts. What reaches PostScript must keep its token: the escaped text never
// ends in a lone backslash nor leaves a parenthesis unescaped, the font and colour tokens are
// clean, the page items are digits. Aborts on any broken invariant.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "overlay_ps.h"
#include "private_settings.h"
#include "ps_text.h"
#include "watermark_ps.h"

namespace {

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "postscript_fuzz: invariant broken: %s\n", what);
    std::abort();
  }
}

const std::string kInit =
    "\r\n(%1!S!) %2!d! /%2!S! %3 %4 %5!d! %6 %7 %8!d! %9!d! %9!d! %9!d! %9!d! %9!d! %9!d!\r\n";

// The body of a PostScript string stays one string: parentheses and backslashes come escaped.
void requireStringBody(const std::string& body) {
  require(body.size() <= 384, "escaped text longer than 384 bytes");
  for (std::size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    require(static_cast<unsigned char>(c) >= 0x20 || c == '\t', "control byte in the string");
    if (c == '\\') {
      require(i + 1 < body.size(), "lone backslash at the end");
      const char next = body[++i];
      require(next == '\\' || next == '(' || next == ')', "backslash before another character");
    } else {
      require(c != '(' && c != ')', "unescaped parenthesis");
    }
  }
}

std::u16string wide(const std::uint8_t* data, std::size_t bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) text.push_back(data[i] | data[i + 1] << 8);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The record: the input over a zeroed record from the watermark block on.
  std::vector<std::uint8_t> record(vex::kRecordSize, 0);
  std::memcpy(record.data() + vex::rec::wmSize, data,
              std::min(size, vex::kRecordSize - vex::rec::wmSize));
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = bytes.substr(0, 265);
  const std::string font = bytes.substr(size / 2, 40);

  const std::string init = vex::watermarkInitText(kInit, record.data(), text, font);
  require(init.size() > 4 && init.compare(0, 3, "\r\n(") == 0, "initialisation start");
  const std::string escaped = vex::escapePostScriptString(text);
  requireStringBody(escaped);
  require(init.compare(3, escaped.size(), escaped) == 0, "text not where it belongs");
  const std::string afterText = init.substr(3 + escaped.size());
  require(afterText.compare(0, 2, ") ") == 0, "string not closed after the text");
  const std::size_t slash = afterText.find(" /");
  require(slash != std::string::npos, "no font token");
  const std::size_t fontEnd = afterText.find(' ', slash + 2);
  require(vex::isPostScriptName(afterText.substr(slash + 2, fontEnd - slash - 2)), "font token");
  require(vex::isColorText(vex::watermarkColorText(record.data())), "colour token");
  const int folded = vex::foldAngle(vex::getI16(record.data(), vex::rec::wmAngle) * 7);
  require(folded >= 0 && folded <= 90, "folded angle out of the table");

  // Any template with any arguments formats without reading past them.
  std::vector<vex::FormatArg> args = {vex::FormatArg::num(size), vex::FormatArg::str(font)};
  (void)vex::formatTemplate(bytes, text, font, args);

  // Overlay texts from the store.
  const std::u16string pages = wide(data, size);
  const std::string items = vex::customPageItems(pages);
  for (char c : items) {
    require((c >= '0' && c <= '9') || c == ' ' || c == '[' || c == ']', "page item character");
  }
  vex::OverlayEntry entry;
  entry.formNames = {pages.substr(0, 70), pages.substr(size / 4)};
  entry.pageMode = 4;
  entry.customPage = pages;
  for (const std::string& piece : vex::overlayBlockWrites({entry})) {
    if (piece.rfind("\t\t\t/FormList [", 0) == 0) {
      const std::string names = piece.substr(14, piece.size() - 14 - 3);
      for (char c : names) {
        require(c != '[' && c != ']' && c != '{' && c != '}' && c != '(' && c != ')' && c != '%',
                "delimiter in the form list");
      }
    }
  }
  return 0;
}
