#include "installable_settings.h"

namespace vex::uihost {
namespace {

bool optionOf(const ppd::Feature& feature, std::string_view value) {
  for (const ppd::Option& option : feature.options) {
    if (option.keyword == value) return true;
  }
  return false;
}

// Registry bytes shown in the dump: printable ASCII, anything else as '?', at most 64.
std::string shown(const std::string& text) {
  std::string out;
  for (char c : text.substr(0, 64)) out += (c >= 0x20 && c < 0x7F) ? c : '?';
  return out;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> featureKeywordEntries(std::string_view block,
                                                                       bool* malformed) {
  std::vector<std::pair<std::string, std::string>> entries;
  *malformed = false;
  std::size_t at = 0;
  const auto field = [&](std::string* out) {
    const std::size_t nul = block.find('\0', at);
    if (nul == std::string_view::npos) return false;
    out->assign(block.substr(at, nul - at));
    at = nul + 1;
    return true;
  };
  while (at < block.size() && block[at] != '\0') {
    std::string keyword, text;
    if (!field(&keyword) || !field(&text)) {
      *malformed = true;
      break;
    }
    entries.emplace_back(std::move(keyword), std::move(text));
    if (at < block.size() && block[at] == '\n') ++at;
  }
  return entries;
}

InstallableSettings::InstallableSettings(
    const ppd::Model& model, std::string_view block,
    const std::vector<std::pair<std::string, std::string>>& options) {
  for (const ppd::Feature& feature : model.features) {
    if (!feature.installable || feature.options.empty()) continue;
    settings_[feature.keyword] = {feature.options[feature.defaultIndex].keyword, "ppd"};
  }
  bool malformed = false;
  for (const auto& [keyword, text] : featureKeywordEntries(block, &malformed)) {
    const ppd::Feature* feature = model.find(keyword);
    if (feature == nullptr || !feature->installable) {
      notes_.push_back("FeatureKeyword \"" + shown(keyword) +
                       "\" ignored: not an installable option");
    } else if (!optionOf(*feature, text)) {
      notes_.push_back("FeatureKeyword \"" + shown(keyword) + "\" ignored: no option \"" +
                       shown(text) + "\"");
    } else {
      settings_[keyword] = {text, "FeatureKeyword"};
    }
  }
  if (malformed) notes_.push_back("FeatureKeyword block ends inside an entry");
  // The command line may name any keyword and value: a test can so play a driver that knows
  // more than the PPD says.
  for (const auto& [keyword, value] : options) settings_[keyword] = {value, "--option"};
}

std::optional<std::string> InstallableSettings::find(std::string_view keyword) const {
  const auto found = settings_.find(keyword);
  if (found == settings_.end()) return std::nullopt;
  return found->second.value;
}

std::string InstallableSettings::describe() const {
  std::string out;
  for (const auto& [keyword, setting] : settings_) {
    out += "installable " + keyword + " = \"" + setting.value + "\" (" + setting.source + ")\n";
  }
  for (const std::string& note : notes_) out += note + "\n";
  return out;
}

}  // namespace vex::uihost
