// The dialog script that `docsheet --script` and `prnsheet --script` play against the sheet: one
// step per line, parsed in full before the sheet comes up (see docs/ui-host.md for the grammar).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vex::uihost {

enum class Verb {
  Page,
  Click,
  Type,
  SetText,
  Select,
  Key,
  Drag,
  Drop,
  Expect,
  Answer,
  Ok,
  Cancel,
  Apply,
  Shot,
  Wait,
  Controls,
};

// What an `expect` step checks.
enum class Check {
  Text,
  Enabled,
  Visible,
  Exists,
  Checked,
  Selected,
  Rows,
  Row,
  Focused,
  Caret,
  Window,
  Message
};

struct Step {
  int line = 0;
  std::string source;  // the line as written, for reports
  Verb verb = Verb::Page;
  Check check = Check::Text;
  int id = 0;        // control id
  long number = 0;   // page, row, flag, count, milliseconds, virtual key or thumb position
  std::string text;  // UTF-8: typed or expected text, answer, shot name
};

struct ScriptError {
  int line = 0;
  std::string message;
};

// Parses a whole script (UTF-8, optionally with a byte-order mark). Returns false with the
// first error; never reads past `text`.
bool parseScript(std::string_view text, std::vector<Step>* steps, ScriptError* error);

// Texts compare with CR LF and LF taken as equal.
std::string normaliseLineBreaks(std::string_view text);

inline constexpr std::size_t kMaxScriptBytes = 1u << 20;
inline constexpr std::size_t kMaxScriptSteps = 10000;
inline constexpr long kMaxWaitMs = 60000;

}  // namespace vex::uihost
