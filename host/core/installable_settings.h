// The printer's installable-option settings as the driver answers them in a document sheet: the
// PPD defaults of the InstallableOptions group, overridden by the printer's "FeatureKeyword"
// block (as the plug-in's option discovery records it), overridden by `--option KEY=VALUE`.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ppd_model.h"

namespace vex::uihost {

class InstallableSettings {
 public:
  InstallableSettings() = default;
  // `block` is the "FeatureKeyword" value as read (at most 256 bytes; empty when absent).
  InstallableSettings(const ppd::Model& model, std::string_view block,
                      const std::vector<std::pair<std::string, std::string>>& options);

  // The option keyword of an installable feature; none for other keywords.
  std::optional<std::string> find(std::string_view keyword) const;
  // One line per setting and per block entry that was not taken, for the sheet's dump.
  std::string describe() const;

 private:
  struct Setting {
    std::string value;
    const char* source;
  };
  std::map<std::string, Setting, std::less<>> settings_;
  std::vector<std::string> notes_;
};

// Entries of a "FeatureKeyword" block: keyword, NUL, text, NUL, line feed; two NULs end it. Stops
// at the first malformed entry, never reading past the block.
std::vector<std::pair<std::string, std::string>> featureKeywordEntries(std::string_view block,
                                                                       bool* malformed);

}  // namespace vex::uihost
