#include "ppd_model.h"

#include <algorithm>
#include <map>
#include <optional>

namespace vex::ppd {
namespace {

constexpr std::string_view kInstallableGroup = "InstallableOptions";

bool isKeywordChar(char c) { return c > 0x20 && c < 0x7F && c != ':' && c != '/'; }

bool isKeyword(std::string_view text, const Limits& limits) {
  return !text.empty() && text.size() <= limits.maxKeywordBytes &&
         std::all_of(text.begin(), text.end(), isKeywordChar);
}

std::string_view trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Splits "keyword/translation"; the translation is optional.
std::pair<std::string_view, std::string_view> splitTranslation(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return {trim(text), {}};
  return {trim(text.substr(0, slash)), trim(text.substr(slash + 1))};
}

// One statement line: "*Main[ Option[/Translation]]: value".
struct Statement {
  std::string_view main;
  std::string_view option;  // with its translation
  std::string_view value;
  bool hasColon = false;
};

Statement splitStatement(std::string_view line) {
  Statement s;
  line.remove_prefix(1);  // '*'
  std::size_t end = 0;
  while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ':') ++end;
  s.main = line.substr(0, end);
  const std::size_t colon = line.find(':', end);
  if (colon == std::string_view::npos) {
    s.option = trim(line.substr(end));
    return s;
  }
  s.hasColon = true;
  s.option = trim(line.substr(end, colon - end));
  s.value = trim(line.substr(colon + 1));
  return s;
}

class Parser {
 public:
  Parser(const Limits& limits, Model& model) : limits_(limits), model_(model) {}

  void line(std::string_view text, std::size_t number) {
    number_ = number;
    // A quoted value may run over several lines; nothing inside it is a statement.
    if (inQuote_) {
      const std::size_t quote = text.find('"');
      if (capture_) appendCode(quote == std::string_view::npos ? text : text.substr(0, quote));
      if (quote != std::string_view::npos) {
        inQuote_ = false;
        if (capture_) endCapture();
      } else if (capture_) {
        appendCode("\n");
      }
      return;
    }
    if (text.empty() || text.front() != '*') return;
    trackQuote(text);
    if (text.size() > limits_.maxLineBytes) return warn("line longer than the limit skipped");
    if (text.find('\0') != std::string_view::npos) return warn("line with a NUL byte skipped");
    if (text.size() >= 2 && text[1] == '%') return;  // comment
    statement(splitStatement(text));
  }

  void finish() {
    if (open_ != nullptr) warn("feature " + open_->keyword + " has no *CloseUI");
    if (inInstallable_) warn("group InstallableOptions has no *CloseGroup");
    if (inQuote_) warn("quoted value runs to the end of the file");
    capture_.reset();  // code that never ends is not kept
    std::vector<Feature> kept;
    for (Feature& feature : model_.features) {
      if (feature.options.empty()) {
        warn("feature " + feature.keyword + " without options dropped");
        continue;
      }
      const auto order = orders_.find(feature.keyword);
      if (order != orders_.end()) {
        feature.section = order->second.first;
        feature.order = order->second.second;
      }
      const auto it = defaults_.find(feature.keyword);
      if (it != defaults_.end()) {
        const auto match = std::find_if(feature.options.begin(), feature.options.end(),
                                        [&](const Option& o) { return o.keyword == it->second; });
        if (match != feature.options.end()) {
          feature.defaultIndex = static_cast<std::size_t>(match - feature.options.begin());
        } else {
          warn("default of " + feature.keyword + " names no option; the first is taken");
        }
      }
      kept.push_back(std::move(feature));
    }
    model_.features = std::move(kept);
  }

  void warn(const std::string& what) {
    if (model_.warnings.size() < limits_.maxWarnings) {
      model_.warnings.push_back("line " + std::to_string(number_) + ": " + what);
    }
  }

 private:
  // A value that opens a quote without closing it on its line continues on the next ones.
  void trackQuote(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return;
    const std::string_view value = trim(text.substr(colon + 1));
    if (!value.empty() && value.front() == '"' && std::count(value.begin(), value.end(), '"') % 2) {
      inQuote_ = true;
    }
  }

  void statement(const Statement& s) {
    if (s.main == "OpenUI" || s.main == "JCLOpenUI") return openUi(s);
    if (s.main == "CloseUI" || s.main == "JCLCloseUI") return closeUi(s);
    if (s.main == "ColorDevice" && s.option.empty()) {
      model_.colorDevice = trim(s.value) != "False";
      return;
    }
    if (s.main == "OpenGroup") {
      if (splitTranslation(s.value).first == kInstallableGroup) inInstallable_ = true;
      return;
    }
    if (s.main == "CloseGroup") {
      if (splitTranslation(s.value).first == kInstallableGroup) inInstallable_ = false;
      return;
    }
    if (s.main == "OrderDependency" && s.option.empty()) return orderDependency(s.value);
    if (s.main.size() > 7 && s.main.substr(0, 7) == "Default" && s.option.empty()) {
      return defaultValue(s.main.substr(7), s.value);
    }
    if (open_ != nullptr && s.main == open_->keyword && !s.option.empty() && s.hasColon) {
      return option(s.option, s.value);
    }
  }

  void openUi(const Statement& s) {
    if (open_ != nullptr) {
      warn("feature " + open_->keyword + " has no *CloseUI before the next *OpenUI");
      open_ = nullptr;
    }
    const auto [name, text] = splitTranslation(s.option);
    if (name.size() < 2 || name.front() != '*' || !isKeyword(name.substr(1), limits_)) {
      return warn("*OpenUI with a missing, over-long or malformed keyword ignored");
    }
    const std::string keyword(name.substr(1));
    if (model_.find(keyword) != nullptr) return warn("duplicate feature " + keyword + " ignored");
    if (model_.features.size() >= limits_.maxFeatures) return warn("too many features");
    Feature feature;
    feature.keyword = keyword;
    const std::string_view shown = text.empty() ? name.substr(1) : text;
    if (shown.size() > limits_.maxTextBytes)
      warn("text of feature " + keyword + " cut to the limit");
    feature.text = std::string(shown.substr(0, limits_.maxTextBytes));
    feature.installable = inInstallable_;
    feature.jcl = s.main == "JCLOpenUI";
    if (s.value == "PickMany") {
      feature.type = UiType::PickMany;
    } else if (s.value == "Boolean") {
      feature.type = UiType::Boolean;
    } else if (s.value != "PickOne") {
      warn("feature " + keyword + " has an unknown type; read as PickOne");
    }
    model_.features.push_back(std::move(feature));
    open_ = &model_.features.back();
  }

  void closeUi(const Statement& s) {
    if (open_ == nullptr) return warn("*CloseUI without an open feature");
    if (s.value.size() < 2 || s.value.substr(1) != open_->keyword) {
      warn("*CloseUI does not name the open feature " + open_->keyword);
    }
    open_->closed = true;
    open_ = nullptr;
  }

  void defaultValue(std::string_view keyword, std::string_view value) {
    if (!isKeyword(keyword, limits_) || !isKeyword(value, limits_)) {
      return warn("malformed or over-long default ignored");
    }
    if (!defaults_.emplace(std::string(keyword), std::string(value)).second) {
      warn("second default of " + std::string(keyword) + " ignored");
    }
  }

  void option(std::string_view text, std::string_view value) {
    const auto parts = splitTranslation(text);
    const std::string_view keyword = parts.first;
    const std::string_view translation = parts.second;
    if (!isKeyword(keyword, limits_)) {
      return warn("option of " + open_->keyword + " with a malformed or over-long keyword ignored");
    }
    auto& options = open_->options;
    if (std::any_of(options.begin(), options.end(),
                    [&](const Option& o) { return o.keyword == keyword; })) {
      return warn("duplicate option " + std::string(keyword) + " of " + open_->keyword);
    }
    if (options.size() >= limits_.maxOptions) {
      return warn("too many options of " + open_->keyword);
    }
    if (translation.size() > limits_.maxTextBytes) {
      warn("translation of " + std::string(keyword) + " cut to the limit");
    }
    const std::string_view shown = translation.empty() ? keyword : translation;
    options.push_back(
        {std::string(keyword), std::string(shown.substr(0, limits_.maxTextBytes)), {}});
    invocation(options.back(), value);
  }

  // The option's code: the quoted value, on this line or running on until its closing quote.
  void invocation(Option& option, std::string_view value) {
    if (value.empty() || value.front() != '"') return;
    const std::size_t quotes =
        static_cast<std::size_t>(std::count(value.begin(), value.end(), '"'));
    if (quotes > 2)
      return warn("code of " + open_->keyword + " " + option.keyword + " is malformed");
    const std::string_view inside = value.substr(1);
    if (quotes == 2) {
      const std::string_view code = inside.substr(0, inside.find('"'));
      if (code.size() > limits_.maxCodeBytes) return tooLong(option.keyword);
      option.code = std::string(code);
      return;
    }
    capture_ = Capture{static_cast<std::size_t>(open_ - model_.features.data()),
                       open_->options.size() - 1,
                       {},
                       false};
    appendCode(inside);
    appendCode("\n");
  }

  void appendCode(std::string_view part) {
    Capture& c = *capture_;
    if (c.tooLong) return;
    if (part.find('\0') != std::string_view::npos ||
        c.code.size() + part.size() > limits_.maxCodeBytes) {
      c.tooLong = true;
      c.code = std::string();  // gives the memory back
      return;
    }
    c.code += part;
  }

  void endCapture() {
    Capture& c = *capture_;
    Option& option = model_.features[c.feature].options[c.option];
    if (c.tooLong) {
      tooLong(option.keyword);
    } else {
      option.code = std::move(c.code);
    }
    capture_.reset();
  }

  void tooLong(const std::string& option) {
    warn("code of option " + option + " is longer than the limit or holds a NUL byte; dropped");
  }

  // "*OrderDependency: 22 AnySetup *VXControl": the number and section of a feature's code.
  void orderDependency(std::string_view value) {
    std::vector<std::string_view> words;
    while (!value.empty() && words.size() < 4) {
      const std::size_t end = value.find_first_of(" \t");
      words.push_back(value.substr(0, end));
      value = end == std::string_view::npos ? std::string_view{} : trim(value.substr(end));
    }
    const std::optional<double> order = words.size() >= 3 ? orderNumber(words[0]) : std::nullopt;
    const std::optional<Section> section =
        words.size() >= 3 ? sectionNamed(words[1]) : std::nullopt;
    if (!order || !section || words[2].size() < 2 || words[2].front() != '*' ||
        !isKeyword(words[2].substr(1), limits_)) {
      return warn("malformed *OrderDependency ignored");
    }
    if (!orders_.emplace(std::string(words[2].substr(1)), std::make_pair(*section, *order))
             .second) {
      warn("second *OrderDependency of " + std::string(words[2].substr(1)) + " ignored");
    }
  }

  static std::optional<Section> sectionNamed(std::string_view name) {
    static const std::pair<std::string_view, Section> kSections[] = {
        {"ExitServer", Section::ExitServer},       {"Prolog", Section::Prolog},
        {"DocumentSetup", Section::DocumentSetup}, {"PageSetup", Section::PageSetup},
        {"JCLSetup", Section::JCLSetup},           {"AnySetup", Section::AnySetup}};
    for (const auto& [text, section] : kSections) {
      if (name == text) return section;
    }
    return std::nullopt;
  }

  // A decimal number such as "22" or "10.5", read without the locale's help.
  static std::optional<double> orderNumber(std::string_view text) {
    if (text.empty() || text.size() > 16) return std::nullopt;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
      negative = text.front() == '-';
      text.remove_prefix(1);
    }
    double value = 0;
    double scale = 0;  // 0 before the point
    bool digits = false;
    for (char c : text) {
      if (c == '.' && scale == 0) {
        scale = 1;
      } else if (c >= '0' && c <= '9') {
        digits = true;
        if (scale == 0) {
          value = value * 10 + (c - '0');
        } else {
          scale /= 10;
          value += (c - '0') * scale;
        }
      } else {
        return std::nullopt;
      }
    }
    if (!digits) return std::nullopt;
    return negative ? -value : value;
  }

  const Limits& limits_;
  Model& model_;
  Feature* open_ = nullptr;  // features are reserved up front: the pointer stays valid
  bool inInstallable_ = false;
  bool inQuote_ = false;
  std::size_t number_ = 0;
  std::map<std::string, std::string, std::less<>> defaults_;
  std::map<std::string, std::pair<Section, double>, std::less<>> orders_;
  // The option whose code runs over several lines, while it is read.
  struct Capture {
    std::size_t feature;
    std::size_t option;
    std::string code;
    bool tooLong;
  };
  std::optional<Capture> capture_;
};

}  // namespace

const Feature* Model::find(std::string_view keyword) const {
  for (const Feature& feature : features) {
    if (feature.keyword == keyword) return &feature;
  }
  return nullptr;
}

const Option* Feature::findOption(std::string_view keyword) const {
  for (const Option& option : options) {
    if (option.keyword == keyword) return &option;
  }
  return nullptr;
}

std::vector<Option> Model::papers() const {
  const Feature* pageSize = find("PageSize");
  return pageSize != nullptr ? pageSize->options : std::vector<Option>{};
}

Model parse(std::string_view text, const Limits& limits) {
  Model model;
  model.features.reserve(limits.maxFeatures);
  Parser parser(limits, model);
  if (text.size() > limits.maxFileBytes) {
    parser.warn("file longer than the limit; the rest is ignored");
    text = text.substr(0, limits.maxFileBytes);
  }
  std::size_t number = 1;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    parser.line(text.substr(start, end - start), number);
    if (end == text.size()) break;
    // CR LF counts as one line end.
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    ++number;
  }
  parser.finish();
  return model;
}

}  // namespace vex::ppd

namespace vex::ppd {
namespace {

// Line ends before the code and blanks after it are the file's layout, not the code.
std::string_view trimCode(std::string_view code) {
  while (!code.empty() && (code.front() == '\n' || code.front() == '\r')) code.remove_prefix(1);
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!code.empty() && blank(code.back())) code.remove_suffix(1);
  return code;
}

}  // namespace

SetupCode setupCode(const Model& model,
                    const std::vector<std::pair<std::string, std::string>>& choices) {
  struct Chosen {
    const Feature* feature;
    FeatureCode code;
  };
  std::vector<Chosen> document;
  std::vector<Chosen> page;
  std::vector<const Feature*> seen;
  for (const auto& [keyword, optionKeyword] : choices) {
    const Feature* feature = model.find(keyword);
    if (feature == nullptr || feature->jcl || feature->section == Section::ExitServer ||
        feature->section == Section::JCLSetup) {
      continue;
    }
    if (std::find(seen.begin(), seen.end(), feature) != seen.end()) continue;
    seen.push_back(feature);
    const Option* option = feature->findOption(optionKeyword);
    if (option == nullptr) continue;
    const std::string_view code = trimCode(option->code);
    if (code.empty()) continue;
    Chosen chosen{feature, {feature->keyword, option->keyword, std::string(code)}};
    (feature->section == Section::PageSetup ? page : document).push_back(std::move(chosen));
  }
  const auto before = [](const Chosen& a, const Chosen& b) {
    const bool aUnordered = a.feature->section == Section::Unordered;
    const bool bUnordered = b.feature->section == Section::Unordered;
    if (aUnordered != bUnordered) return bUnordered;
    return !aUnordered && a.feature->order < b.feature->order;
  };
  SetupCode result;
  for (auto* list : {&document, &page}) {
    std::stable_sort(list->begin(), list->end(), before);
    auto& out = list == &document ? result.document : result.page;
    for (Chosen& chosen : *list) out.push_back(std::move(chosen.code));
  }
  return result;
}

std::string featureText(const std::vector<FeatureCode>& code) {
  std::string text;
  for (const FeatureCode& c : code) {
    text += "%%BeginFeature: *" + c.feature + " " + c.option + "\n";
    text += c.code + "\n";
    text += "%%EndFeature\n";
  }
  return text;
}

}  // namespace vex::ppd
