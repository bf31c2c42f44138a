#include "dialog_script.h"

#include <cstdlib>

namespace vex::uihost {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits one line into blank-separated tokens; `#` outside quotes ends the line.
bool tokenise(std::string_view line, std::vector<Token>* tokens, std::string* error) {
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    if (c == '#') return true;
    Token token;
    if (c == '"') {
      token.quoted = true;
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d != '\\') {
          token.text.push_back(d);
          continue;
        }
        if (i >= line.size()) break;
        const char e = line[i++];
        if (e == '"' || e == '\\') {
          token.text.push_back(e);
        } else if (e == 'n') {
          token.text.push_back('\n');
        } else {
          *error = std::string("unknown escape \\") + e;
          return false;
        }
      }
      if (!closed) {
        *error = "unclosed quote";
        return false;
      }
      if (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '#') {
        *error = "a blank must follow a closing quote";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        if (line[i] == '"') {
          *error = "a quote inside a word";
          return false;
        }
        token.text.push_back(line[i++]);
      }
    }
    tokens->push_back(std::move(token));
  }
  return true;
}

bool integer(const Token& token, long low, long high, long* out) {
  if (token.quoted || token.text.empty() || token.text.size() > 10) return false;
  const std::string& t = token.text;
  const bool hex = t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
  const std::size_t start = hex ? 2 : (t[0] == '-' ? 1 : 0);
  if (start >= t.size()) return false;
  for (std::size_t k = start; k < t.size(); ++k) {
    const char c = t[k];
    const bool digit = c >= '0' && c <= '9';
    const bool hexDigit = hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'));
    if (!digit && !hexDigit) return false;
  }
  const long value = std::strtol(t.c_str(), nullptr, hex ? 16 : 10);
  if (value < low || value > high) return false;
  *out = value;
  return true;
}

long virtualKey(std::string_view name) {
  static const struct {
    const char* name;
    long key;
  } keys[] = {{"Left", 0x25},   {"Right", 0x27},    {"Up", 0x26},    {"Down", 0x28},
              {"PageUp", 0x21}, {"PageDown", 0x22}, {"Home", 0x24},  {"End", 0x23},
              {"Delete", 0x2E}, {"Back", 0x08},     {"Enter", 0x0D}, {"Escape", 0x1B},
              {"Tab", 0x09}};
  for (const auto& k : keys) {
    if (name == k.name) return k.key;
  }
  return 0;
}

bool shotName(const std::string& name) {
  if (name.empty() || name.size() > 64 || name[0] == '.') return false;
  for (char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '-' || c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

// Fills `step` from the tokens of one line; false with the reason.
bool parseStep(const std::vector<Token>& t, Step* step, std::string* error) {
  const std::string& verb = t[0].text;
  const std::size_t n = t.size();
  const auto count = [&](std::size_t wanted) {
    if (n == wanted) return true;
    *error = verb + " takes " + std::to_string(wanted - 1) + " argument(s)";
    return false;
  };
  const auto id = [&](std::size_t at) {
    long value = 0;
    if (!integer(t[at], 0, 0xFFFF, &value)) {
      *error = verb + ": \"" + t[at].text + "\" is not a control id (0 to 65535)";
      return false;
    }
    step->id = static_cast<int>(value);
    return true;
  };
  const auto number = [&](std::size_t at, long low, long high) {
    if (!integer(t[at], low, high, &step->number)) {
      *error = verb + ": \"" + t[at].text + "\" is not a number from " + std::to_string(low) +
               " to " + std::to_string(high);
      return false;
    }
    return true;
  };
  const auto text = [&](std::size_t at) {
    if (!t[at].quoted) {
      *error = verb + ": the text must be in double quotes";
      return false;
    }
    step->text = t[at].text;
    return true;
  };
  const auto flag = [&](std::size_t at) { return number(at, 0, 1); };

  if (t[0].quoted) {
    *error = "a step begins with a verb, not a text";
    return false;
  }
  if (verb == "page") {
    step->verb = Verb::Page;
    return count(2) && number(1, 0, 64);
  }
  if (verb == "click") {
    step->verb = Verb::Click;
    return count(2) && id(1);
  }
  if (verb == "type" || verb == "settext") {
    step->verb = verb == "type" ? Verb::Type : Verb::SetText;
    return count(3) && id(1) && text(2);
  }
  if (verb == "select") {
    step->verb = Verb::Select;
    return count(3) && id(1) && number(2, 0, 0x7FFF);
  }
  if (verb == "key") {
    step->verb = Verb::Key;
    if (!count(3) || !id(1)) return false;
    step->number = t[2].quoted ? 0 : virtualKey(t[2].text);
    if (step->number == 0) {
      *error = "key: unknown key \"" + t[2].text + "\"";
      return false;
    }
    step->text = t[2].text;
    return true;
  }
  if (verb == "drag" || verb == "drop") {
    step->verb = verb == "drag" ? Verb::Drag : Verb::Drop;
    return count(3) && id(1) && number(2, -32768, 32767);
  }
  if (verb == "expect") {
    step->verb = Verb::Expect;
    if (n >= 2 && !t[1].quoted && (t[1].text == "window" || t[1].text == "message")) {
      step->check = t[1].text == "window" ? Check::Window : Check::Message;
      return count(3) && text(2);
    }
    if (n < 3) {
      *error = "expect needs a control id and what to check";
      return false;
    }
    if (!id(1)) return false;
    const std::string& what = t[2].quoted ? std::string() : t[2].text;
    static const struct {
      const char* name;
      Check check;
    } checks[] = {{"text", Check::Text},       {"enabled", Check::Enabled},
                  {"visible", Check::Visible}, {"exists", Check::Exists},
                  {"checked", Check::Checked}, {"selected", Check::Selected},
                  {"rows", Check::Rows},       {"row", Check::Row},
                  {"focused", Check::Focused}, {"caret", Check::Caret}};
    for (const auto& c : checks) {
      if (what != c.name) continue;
      step->check = c.check;
      switch (c.check) {
        case Check::Text:
          return count(4) && text(3);
        case Check::Selected:
          return count(4) && number(3, -1, 0x7FFF);
        case Check::Rows:
        case Check::Caret:
          return count(4) && number(3, 0, 0x7FFF);
        case Check::Row:
          return count(5) && number(3, 0, 0x7FFF) && text(4);
        default:
          return count(4) && flag(3);
      }
    }
    *error = "expect: unknown check \"" + t[2].text + "\"";
    return false;
  }
  if (verb == "answer") {
    step->verb = Verb::Answer;
    if (!count(2)) return false;
    step->text = t[1].text;
    if (!t[1].quoted && (step->text == "ok" || step->text == "cancel" || step->text == "yes" ||
                         step->text == "no")) {
      return true;
    }
    *error = "answer takes ok, cancel, yes or no";
    return false;
  }
  if (verb == "ok" || verb == "cancel" || verb == "apply" || verb == "controls") {
    step->verb = verb == "ok"       ? Verb::Ok
                 : verb == "cancel" ? Verb::Cancel
                 : verb == "apply"  ? Verb::Apply
                                    : Verb::Controls;
    return count(1);
  }
  if (verb == "shot") {
    step->verb = Verb::Shot;
    if (!count(2)) return false;
    step->text = t[1].text;
    if (t[1].quoted || !shotName(step->text)) {
      *error = "shot: the name is letters, digits, '-', '_' and '.' (at most 64)";
      return false;
    }
    return true;
  }
  if (verb == "wait") {
    step->verb = Verb::Wait;
    return count(2) && number(1, 0, kMaxWaitMs);
  }
  *error = "unknown verb \"" + verb + "\"";
  return false;
}

}  // namespace

std::string normaliseLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

bool parseScript(std::string_view text, std::vector<Step>* steps, ScriptError* error) {
  steps->clear();
  if (text.size() > kMaxScriptBytes) {
    *error = {0, "the script is longer than " + std::to_string(kMaxScriptBytes) + " bytes"};
    return false;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\0') != std::string_view::npos) {
      *error = {lineNumber, "a NUL byte in the line"};
      return false;
    }
    std::vector<Token> tokens;
    std::string problem;
    if (!tokenise(line, &tokens, &problem)) {
      *error = {lineNumber, problem};
      return false;
    }
    if (tokens.empty()) continue;
    if (steps->size() >= kMaxScriptSteps) {
      *error = {lineNumber, "more than " + std::to_string(kMaxScriptSteps) + " steps"};
      return false;
    }
    Step step;
    step.line = lineNumber;
    step.source = std::string(line.substr(0, 200));
    if (!parseStep(tokens, &step, &problem)) {
      *error = {lineNumber, problem};
      return false;
    }
    steps->push_back(std::move(step));
  }
  return true;
}

}  // namespace vex::uihost
