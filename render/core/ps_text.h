// Text that goes into PostScript: the string escaping of the watermark text, the small message
// formatter of the watermark templates, and the token checks that keep values from the record and
// the shared plug-in INI file inside the one token they are meant to fill.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

// The watermark text as the body of a PostScript string: cut at the first control byte (below
// 0x20, TAB excepted), at most 384 bytes considered, a backslash before "(", ")" and "\", then at
// most 384 bytes, without a trailing backslash that would escape the closing parenthesis.
std::string escapePostScriptString(std::string_view ansi);

// One argument of the formatter's list: a number (written as unsigned decimal) or a byte string.
struct FormatArg {
  bool isNumber = false;
  std::uint32_t number = 0;
  std::string text;

  static FormatArg num(std::uint32_t value) { return {true, value, {}}; }
  static FormatArg str(std::string value) { return {false, 0, std::move(value)}; }
};

// Fills a template: %n!d! / %n!D! the next number, %1!S! the first text escaped as a PostScript
// string, %n!S! (n not 1) the second text as it stands, %n the next byte string, %n!x! (other x)
// nothing; "%" before a non-digit is dropped. The list is consumed in order of appearance; a
// placeholder without a matching argument (or of the wrong kind) writes nothing.
std::string formatTemplate(std::string_view pattern, std::string_view firstText,
                           std::string_view secondText, const std::vector<FormatArg>& args);

// A PostScript name as the font-name token may carry it: 1 to 127 printable ASCII characters
// without white space and without the delimiters ( ) < > [ ] { } / %.
bool isPostScriptName(std::string_view name);

// Three decimal numbers separated by single blanks ("0.75 0.75 0.75"), each digits with an
// optional fraction: what the colour text of the record is made of.
bool isColorText(std::string_view text);

// Decimal text of a signed number ("-120", "0").
std::string decimalText(std::int64_t value);

}  // namespace vex
