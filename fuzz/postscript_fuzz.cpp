// Arbitrary bytes as the record's watermark block and texts, as a formatter template, and as the
// overlay store's texts. What reaches PostScript must keep its token: the escaped text never
// ends in a lone backslash nor leaves a parenthesis unescaped, the font and colour tokens are
// clean, the page items are digits. Each line is also read by a PostScript scanner of this
// target's own, independent of the product's validators: the watermark's initialisation is one
// string, numbers and one literal name, and the form list only literal names in one array.
// Aborts on any broken invariant.
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

// A PostScript scanner after the language's token rules, enough for what the plug-in writes.
enum class Token { String, HexString, LiteralName, Name, Number, Open, Close, Bad };

bool isWhite(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0';
}
bool isDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
         c == '}' || c == '/' || c == '%';
}

bool isNumber(const std::string& t) {
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  bool digits = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digits = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digits = true;
  }
  return digits && i == t.size();
}

// The tokens of `text`, with the decoded body of each string; Bad for anything unterminated.
std::vector<Token> scan(const std::string& text, std::vector<std::string>* strings) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (isWhite(c)) {
      ++i;
    } else if (c == '%') {
      while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
    } else if (c == '(') {
      std::string body;
      int depth = 1;
      for (++i; i < text.size() && depth > 0; ++i) {
        char d = text[i];
        if (d == '\\') {
          if (++i == text.size()) break;
          d = text[i];
        } else if (d == '(') {
          ++depth;
        } else if (d == ')' && --depth == 0) {
          break;
        }
        body.push_back(d);
      }
      if (depth != 0) return {Token::Bad};
      ++i;
      tokens.push_back(Token::String);
      if (strings) strings->push_back(body);
    } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
      tokens.push_back(Token::Open);
      i += 2;
    } else if (c == '>' && i + 1 < text.size() && text[i + 1] == '>') {
      tokens.push_back(Token::Close);
      i += 2;
    } else if (c == '<') {
      const std::size_t end = text.find('>', i);
      if (end == std::string::npos) return {Token::Bad};
      tokens.push_back(Token::HexString);
      i = end + 1;
    } else if (c == '[' || c == '{') {
      tokens.push_back(Token::Open);
      ++i;
    } else if (c == ']' || c == '}') {
      tokens.push_back(Token::Close);
      ++i;
    } else if (c == ')' || c == '>') {
      return {Token::Bad};
    } else {
      const bool literal = c == '/';
      if (literal) ++i;
      std::string word;
      while (i < text.size() && !isWhite(text[i]) && !isDelimiter(text[i])) word += text[i++];
      tokens.push_back(literal ? Token::LiteralName : isNumber(word) ? Token::Number : Token::Name);
    }
  }
  return tokens;
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
  // The scanner's reading: one string (the text, whatever it held), a number, the font's literal
  // name, then numbers only.
  std::vector<std::string> strings;
  const std::vector<Token> tokens = scan(init, &strings);
  require(tokens.size() >= 3 && tokens[0] == Token::String && tokens[1] == Token::Number &&
              tokens[2] == Token::LiteralName,
          "scanner: the initialisation does not start with string, number, font name");
  for (std::size_t i = 3; i < tokens.size(); ++i) {
    require(tokens[i] == Token::Number, "scanner: not a number after the font name");
  }
  require(strings.size() == 1 && strings[0].size() <= text.size(),
          "scanner: the text is not one string of its own bytes");
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
      const std::vector<Token> formTokens = scan(piece, nullptr);
      require(formTokens.size() >= 3 && formTokens[0] == Token::LiteralName &&
                  formTokens[1] == Token::Open && formTokens.back() == Token::Close,
              "scanner: the form list is not one array");
      for (std::size_t i = 2; i + 1 < formTokens.size(); ++i) {
        require(formTokens[i] == Token::LiteralName, "scanner: not a form name in the list");
      }
    }
  }
  return 0;
}
